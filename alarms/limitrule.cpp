#include "limitrule.h"

#include <QStringList>

#include <cmath>

namespace {

// The quantities a limit may name, per instrument.
bool knownQuantity(const QString &instrument, const QString &quantity)
{
    static const QStringList power = {"voltage", "current", "power"};
    static const QStringList station = {"set_temperature", "temperature"};
    static const QStringList multimeter = {"volts", "ohms", "hertz", "farads"};
    if (instrument == QLatin1String("power"))
        return power.contains(quantity);
    if (instrument == QLatin1String("iron"))
        return station.contains(quantity);
    if (instrument == QLatin1String("hotair"))
        return station.contains(quantity) || quantity == QLatin1String("air_speed");
    if (instrument == QLatin1String("multimeter"))
        return multimeter.contains(quantity);
    return false;
}

// A finite number, or nothing; an empty text is a missing bound.
bool parseNumber(const QString &text, std::optional<double> &into)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return true;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    into = value;
    return true;
}

QString numberText(const std::optional<double> &value)
{
    return value ? QString::number(*value, 'g', 15) : QString();
}

} // namespace

std::optional<LimitRule> LimitRule::parse(const QString &key, const QString &value)
{
    LimitRule rule;
    const int dot = key.indexOf(QLatin1Char('.'));
    rule.instrument = key.left(dot).trimmed();
    rule.quantity = key.mid(dot + 1).trimmed();
    if (dot < 0 || !knownQuantity(rule.instrument, rule.quantity))
        return std::nullopt;

    const QStringList parts = value.split(QLatin1Char(','));
    const QStringList bounds = parts[0].split(QLatin1Char(':'));
    if (parts.size() > 3 || bounds.size() != 2 || !parseNumber(bounds[0], rule.low) ||
        !parseNumber(bounds[1], rule.high) || (!rule.low && !rule.high))
        return std::nullopt;
    if (rule.low && rule.high && *rule.low > *rule.high)
        return std::nullopt;
    std::optional<double> delay, hysteresis;
    if ((parts.size() > 1 && (!parseNumber(parts[1], delay) || (delay && *delay < 0))) ||
        (parts.size() > 2 &&
         (!parseNumber(parts[2], hysteresis) || (hysteresis && *hysteresis < 0))))
        return std::nullopt;
    rule.delaySeconds = delay.value_or(kDefaultDelaySeconds);
    rule.hysteresis = hysteresis.value_or(0);
    return rule;
}

QString LimitRule::boundsText() const
{
    return numberText(low) + QLatin1Char(':') + numberText(high);
}

bool LimitRule::isOutside(double value) const
{
    return (low && value < *low) || (high && value > *high);
}

bool LimitRule::isBackInside(double value) const
{
    return (!low || value >= *low + hysteresis) && (!high || value <= *high - hysteresis);
}
