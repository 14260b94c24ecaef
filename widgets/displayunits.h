#pragma once

#include <QString>

// Conversions from the units an instrument reports to the display units chosen
// in the settings, and the number format of the panels.
namespace DisplayUnits {

// The value itself when it is finite, else 0: nothing shown is inf or nan.
double finiteOrZero(double value);

// A temperature in unit code `unit` (0 ℃, 1 ℉) expressed in `displayUnit`;
// unknown codes leave it unconverted. A result that overflows reads as 0.
double toDisplayTemperature(double value, int unit, int displayUnit);

// A reading in unit code `unit` (0 milli, 1 whole) expressed in `displayUnit`;
// unknown display codes leave it unconverted. A result that overflows reads as 0.
double toDisplayUnit(double value, int unit, int displayUnit);

// Readings as the panels write them: up to six significant digits; a value
// that is not finite is written as 0.
QString numberText(double value);

} // namespace DisplayUnits
