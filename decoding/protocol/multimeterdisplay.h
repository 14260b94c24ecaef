#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <array>

// The multimeter sends the state of its own display: indicator flags, four
// seven-segment digits with points and minus sign, and a unit code.
namespace MultimeterDisplay {

// Row r, column c holds bit (3 - c) of the nibble assigned to row r.
using SegmentMatrix = std::array<std::array<int, 4>, 9>;

// Fills the matrix from a payload text and returns the codes of the lit cells,
// "rc" in row-major order. Characters missing from hexDigitValue count as 0.
QStringList decodeSegments(const QString &payload, const QMap<QString, int> &hexDigitValue,
                           SegmentMatrix &matrix);

// Data bytes 6 and 7 as four hex digits, for example "6D56" for millivolt.
QString unitCode(const QString &payload);

struct Function
{
    QString iconStyle; // style sheet of the function icon; empty: no icon
    int panelType;     // function type of the multimeter panel; -1: not set
    int tableType;     // reading table type; -1: no table row
};

// The row of a multimeter function code, or nullptr for any other code.
const Function *functionFor(const QString &functionCode);

// Unit label text of a function's unit code; a null text leaves the label as it is.
QString unitText(const QString &functionCode, const QString &unitCode);

} // namespace MultimeterDisplay
