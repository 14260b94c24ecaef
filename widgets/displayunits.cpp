#include "displayunits.h"

#include <cmath>

namespace DisplayUnits {

double finiteOrZero(double value)
{
    // + 0.0 turns -0 into 0, so no panel shows "-0".
    return std::isfinite(value) ? value + 0.0 : 0.0;
}

double toDisplayTemperature(double value, int unit, int displayUnit)
{
    if (unit == displayUnit)
        return finiteOrZero(value);
    if (unit == 0)
        return finiteOrZero(value * 9 / 5 + 32);
    if (unit == 1)
        return finiteOrZero((value - 32) * 5 / 9);
    return finiteOrZero(value);
}

double toDisplayUnit(double value, int unit, int displayUnit)
{
    if (unit == displayUnit)
        return finiteOrZero(value);
    if (displayUnit == 0)
        return finiteOrZero(value * 1000);
    if (displayUnit == 1)
        return finiteOrZero(value / 1000);
    return finiteOrZero(value);
}

QString numberText(double value)
{
    return QString::number(finiteOrZero(value), 'g', 6);
}

} // namespace DisplayUnits
