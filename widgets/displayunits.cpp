#include "displayunits.h"

namespace DisplayUnits {

double toDisplayTemperature(double value, int unit, int displayUnit)
{
    if (unit == displayUnit)
        return value;
    if (unit == 0)
        return value * 9 / 5 + 32;
    if (unit == 1)
        return (value - 32) * 5 / 9;
    return value;
}

double toDisplayUnit(double value, int unit, int displayUnit)
{
    if (unit == displayUnit)
        return value;
    if (displayUnit == 0)
        return value * 1000;
    if (displayUnit == 1)
        return value / 1000;
    return value;
}

} // namespace DisplayUnits
