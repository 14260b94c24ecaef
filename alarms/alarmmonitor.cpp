#include "alarmmonitor.h"

#include <cmath>
#include <limits>

namespace {

double secondsBetween(const QDateTime &from, const QDateTime &to)
{
    return from.msecsTo(to) / 1000.0;
}

AlarmEvent event(bool start, const QString &key, const QString &bounds, const Reading &reading)
{
    return {start, key, bounds, reading};
}

} // namespace

AlarmMonitor::AlarmMonitor(const LimitSet &limits)
{
    for (const LimitRule &rule : limits.limits)
        limitStates.append({rule, std::nullopt, std::nullopt});
    for (const ToleranceRule &rule : limits.tolerances) {
        if (rule.enabled)
            toleranceStates.append({rule, std::nullopt, false, std::nullopt, std::nullopt});
    }
}

std::optional<QPair<QString, double>> AlarmMonitor::baseQuantity(const QString &unit)
{
    static const QHash<QString, QPair<QString, double>> units = {
        {"V", {"volts", 1}},      {"mV", {"volts", 1e-3}},  {"Ω", {"ohms", 1}},
        {"KΩ", {"ohms", 1e3}},    {"MΩ", {"ohms", 1e6}},    {"Hz", {"hertz", 1}},
        {"KHz", {"hertz", 1e3}},  {"MHz", {"hertz", 1e6}},  {"nF", {"farads", 1e-9}},
        {"uF", {"farads", 1e-6}}, {"mF", {"farads", 1e-3}},
    };
    const auto found = units.constFind(unit);
    return found == units.constEnd() ? std::nullopt : std::optional<QPair<QString, double>>(*found);
}

std::optional<double> AlarmMonitor::comparedValue(const Reading &reading, double factor)
{
    if (reading.value == QLatin1String("OL"))
        return std::numeric_limits<double>::infinity();
    if (reading.value == QLatin1String("-OL"))
        return -std::numeric_limits<double>::infinity();
    bool ok = false;
    const double value = reading.value.toDouble(&ok) * factor;
    return ok && !std::isnan(value) ? std::optional<double>(value) : std::nullopt;
}

QList<AlarmEvent> AlarmMonitor::check(const QList<Reading> &readings)
{
    QList<AlarmEvent> events;
    if (!hasChecks())
        return events;
    const Reading *set = nullptr;
    const Reading *actual = nullptr;
    for (const Reading &reading : readings) {
        QString quantity = reading.quantity;
        double factor = 1;
        if (reading.instrument == QLatin1String("multimeter")) {
            const auto base = baseQuantity(reading.unit);
            if (!base)
                continue;
            quantity = base->first;
            factor = base->second;
        }
        if (reading.quantity == QLatin1String("set_temperature"))
            set = &reading;
        else if (reading.quantity == QLatin1String("temperature"))
            actual = &reading;
        const auto value = comparedValue(reading, factor);
        if (!value)
            continue;
        for (LimitState &state : limitStates) {
            if (state.rule.instrument == reading.instrument && state.rule.quantity == quantity)
                checkLimit(state, reading, *value, events);
        }
    }
    if (set && actual) {
        for (ToleranceState &state : toleranceStates) {
            if (state.rule.instrument == actual->instrument)
                checkTolerance(state, *set, *actual, events);
        }
    }
    return events;
}

void AlarmMonitor::checkLimit(LimitState &state, const Reading &reading, double value,
                              QList<AlarmEvent> &events)
{
    const LimitRule &rule = state.rule;
    if (state.started) {
        if (rule.isBackInside(value)) {
            events.append(event(false, rule.key(), rule.boundsText(), reading));
            state.started.reset();
            state.outsideSince.reset();
        }
        return;
    }
    if (!rule.isOutside(value)) {
        state.outsideSince.reset();
        return;
    }
    if (!state.outsideSince)
        state.outsideSince = reading.time;
    if (secondsBetween(*state.outsideSince, reading.time) >= rule.delaySeconds) {
        state.started = event(true, rule.key(), rule.boundsText(), reading);
        events.append(*state.started);
    }
}

void AlarmMonitor::checkTolerance(ToleranceState &state, const Reading &set, const Reading &actual,
                                  QList<AlarmEvent> &events)
{
    bool setOk = false, actualOk = false;
    const double setValue = set.value.toDouble(&setOk);
    const double actualValue = actual.value.toDouble(&actualOk);
    if (!setOk || !actualOk)
        return;
    const ToleranceRule &rule = state.rule;
    // A new setting starts a new heat-up, which ends an excursion from the old one.
    if (state.setTemperature != setValue) {
        state.setTemperature = setValue;
        state.heatedUp = false;
        state.outsideSince.reset();
        if (state.started) {
            events.append(event(false, rule.key(), rule.boundsText(), actual));
            state.started.reset();
        }
    }
    const bool within = std::abs(actualValue - setValue) <= rule.tolerance;
    if (!state.heatedUp) {
        state.heatedUp = within;
        return;
    }
    if (within) {
        state.outsideSince.reset();
        if (state.started) {
            events.append(event(false, rule.key(), rule.boundsText(), actual));
            state.started.reset();
        }
        return;
    }
    if (state.started)
        return;
    if (!state.outsideSince)
        state.outsideSince = actual.time;
    if (secondsBetween(*state.outsideSince, actual.time) > rule.delaySeconds) {
        state.started = event(true, rule.key(), rule.boundsText(), actual);
        events.append(*state.started);
    }
}

QList<AlarmEvent> AlarmMonitor::active() const
{
    QList<AlarmEvent> events;
    for (const LimitState &state : limitStates) {
        if (state.started)
            events.append(*state.started);
    }
    for (const ToleranceState &state : toleranceStates) {
        if (state.started)
            events.append(*state.started);
    }
    std::stable_sort(events.begin(), events.end(), [](const AlarmEvent &a, const AlarmEvent &b) {
        return a.reading.time < b.reading.time;
    });
    return events;
}
