#pragma once

#include "alarmevent.h"
#include "limitset.h"

#include <QDateTime>
#include <QList>

#include <optional>

// Follows the readings of every frame against the limits and the stations'
// process checks, and tells when an alarm starts or ends. Times are the
// readings' own, so a recording checked afterwards gives the same alarms.
class AlarmMonitor
{
public:
    explicit AlarmMonitor(const LimitSet &limits = {});

    // The alarms the readings of one frame start or end, in that order.
    QList<AlarmEvent> check(const QList<Reading> &readings);
    // The alarms that have started and not ended, oldest first.
    QList<AlarmEvent> active() const;
    bool hasChecks() const { return !limitStates.isEmpty() || !toleranceStates.isEmpty(); }

    // A multimeter reading in its base unit: "volts", "ohms", "hertz" or
    // "farads" and the factor to it; nothing for a unit without one.
    static std::optional<QPair<QString, double>> baseQuantity(const QString &unit);
    // The value a reading compares with: an overload is beyond any bound.
    static std::optional<double> comparedValue(const Reading &reading, double factor);

private:
    struct LimitState
    {
        LimitRule rule;
        std::optional<QDateTime> outsideSince;
        std::optional<AlarmEvent> started;
    };
    struct ToleranceState
    {
        ToleranceRule rule;
        std::optional<double> setTemperature;
        bool heatedUp = false;
        std::optional<QDateTime> outsideSince;
        std::optional<AlarmEvent> started;
    };

    void checkLimit(LimitState &state, const Reading &reading, double value,
                    QList<AlarmEvent> &events);
    void checkTolerance(ToleranceState &state, const Reading &set, const Reading &actual,
                        QList<AlarmEvent> &events);

    QList<LimitState> limitStates;
    QList<ToleranceState> toleranceStates;
};
