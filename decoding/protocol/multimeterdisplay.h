#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

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

// The functions of the meter's dial, as its function codes name them.
enum class Function
{
    DcVoltage,
    AcVoltage,
    Resistance,
    Continuity,
    Frequency,
    Diode,
    Capacitance
};

// The function of a multimeter function code; nothing for any other code.
std::optional<Function> functionOf(const QString &functionCode);
// What the function measures, as recordings name it: "DC voltage", "resistance", …
QString functionName(Function function);

// Unit label text of a function's unit code; a null text leaves the label as it is.
QString unitText(const QString &functionCode, const QString &unitCode);

// Drawable elements of the display: digit segments are digit + 4 * segment
// (digit 0 leftmost, segments a..g = 0..6); then the points in front of digits
// 3, 2, 1 and the minus sign.
enum Element
{
    PointBeforeDigit3 = 28,
    PointBeforeDigit2 = 29,
    PointBeforeDigit1 = 30,
    MinusSign = 31,
    ElementCount = 32
};

// Element of a segment code, -1 for a code without one (such as the flags).
int elementIndex(const QString &code);
// The elements the codes light, each once, in a fixed order whatever the list repeats.
QList<int> elementsOf(const QStringList &codes);

// The reading the lit elements show, as the meter's own display reads: digits
// "0"-"9" and "L" (a blank or unknown pattern gives nothing), a "." in front of
// a digit whose point is lit, a leading "-" for the minus sign. For example
// "1.23", "-0.5" or "0L".
QString valueText(const QList<int> &elements);
inline QString valueText(const QStringList &codes)
{
    return valueText(elementsOf(codes));
}

// What one multimeter frame puts on the meter's display.
struct State
{
    SegmentMatrix matrix{};
    QStringList segmentCodes; // the lit cells, "rc" in row-major order
    std::optional<Function> function;
    QString unitCode; // data bytes 6 and 7, for example "6D56"
    QString unitText; // the unit label's text; a null text leaves the label as it is
    QString valueText;
    // The flags row: the table button was pressed, auto range, high voltage, buzzer.
    bool tableKey = false;
    bool autoRange = false;
    bool highVoltage = false;
    bool buzzer = false;
};

// The display a multimeter frame's payload text shows under its function code.
State decode(const QString &functionCode, const QString &payload);

} // namespace MultimeterDisplay
