#include "tolerancerule.h"

#include <QStringList>

#include <cmath>

ToleranceRule ToleranceRule::defaultFor(const QString &instrument)
{
    // An iron at idle is expected within ±5 °C of its setting; a joint pulls it
    // down for a few seconds, so only a drift of more than 8 s alarms. A
    // nozzle dips by up to some 25 °C for about 2 s when the air speed
    // changes, and rework stations hold about ±10 °C.
    if (instrument == QLatin1String("iron"))
        return {instrument, 5, 8, true};
    return {instrument, 10, 5, true};
}

std::optional<ToleranceRule> ToleranceRule::parse(const QString &instrument, const QString &value)
{
    if (instrument != QLatin1String("iron") && instrument != QLatin1String("hotair"))
        return std::nullopt;
    ToleranceRule rule = defaultFor(instrument);
    if (value.trimmed() == QLatin1String("off")) {
        rule.enabled = false;
        return rule;
    }
    const QStringList parts = value.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    bool toleranceOk = false, delayOk = false;
    rule.tolerance = parts[0].trimmed().toDouble(&toleranceOk);
    rule.delaySeconds = parts[1].trimmed().toDouble(&delayOk);
    if (!toleranceOk || !delayOk || !std::isfinite(rule.tolerance) ||
        !std::isfinite(rule.delaySeconds) || rule.tolerance <= 0 || rule.delaySeconds < 0)
        return std::nullopt;
    return rule;
}

QString ToleranceRule::boundsText() const
{
    return QStringLiteral("±") + QString::number(tolerance, 'g', 15);
}
