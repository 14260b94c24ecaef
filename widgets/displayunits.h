#pragma once

#include <QString>

// Conversions from the units an instrument reports to the display units chosen
// in the settings, and the number format of the panels.
namespace DisplayUnits {

// A temperature in unit code `unit` (0 ℃, 1 ℉) expressed in `displayUnit`;
// unknown codes leave it unconverted.
double toDisplayTemperature(double value, int unit, int displayUnit);

// A reading in unit code `unit` (0 milli, 1 whole) expressed in `displayUnit`;
// unknown display codes leave it unconverted.
double toDisplayUnit(double value, int unit, int displayUnit);

// Readings as the panels write them: up to six significant digits.
inline QString numberText(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace DisplayUnits
