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

// The text a seven-segment display shows for a value text: the text itself when
// it reads as a finite number (keeping the instrument's own digits, "12.50"),
// empty when it is empty, else "0" like its number.
QString displayText(const QString &text);

// "V", "mV", "A", "mA", "℃" or "℉"; empty for any other code.
QString unitText(const QString &unitCode);

// A voltage or current record of the power supply as the window shows it.
struct Electrical
{
    bool recognised = false; // the unit is the base unit or its thousandth
    double factor = 0;       // the value in the base unit (V, A)
    int unitIndex = 0;       // display unit index: 1 base unit, 0 thousandth
};
Electrical voltage(const Record &record);
Electrical current(const Record &record);
// Watts, when both units were recognised.
std::optional<double> power(const Electrical &voltage, const Electrical &current);

// True for the degree Celsius and Fahrenheit codes.
bool isTemperatureUnit(const QString &unitCode);
// True for the percent code that marks the hot-air gun's air speed.
bool isPercentUnit(const QString &unitCode);

} // namespace StationRecords
