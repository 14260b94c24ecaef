#pragma once

#include <QList>
#include <QString>

#include <optional>

// The stations send their readings as 7-byte records: five ASCII value bytes,
// right-aligned and padded with 00 on the left, then a two-character unit code.
namespace StationRecords {

struct Record
{
    QString value;    // the reading as text, for example "12.50"; empty when all 00
    QString unitCode; // four hex digits, for example "0056"
};

// The records of a station payload text, or nothing when the end marker is not
// where the data length places it.
std::optional<QList<Record>> parse(const QString &payload);

// Locale-independent decimal conversion; text that does not convert, or that is
// not a finite number, gives 0.
double number(const QString &text);

// "V", "mV", "A", "mA", "℃" or "℉"; empty for any other code.
QString unitText(const QString &unitCode);

} // namespace StationRecords
