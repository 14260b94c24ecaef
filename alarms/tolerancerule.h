#pragma once

#include <QString>

#include <optional>

// A station's process check: once the actual temperature has first come
// within ±tolerance of the set temperature (the heat-up is over), staying
// outside for longer than the delay is an alarm. "iron.tolerance=<T>,<delay_s>"
// or "off" in the [Limits] section.
struct ToleranceRule
{
    QString instrument; // "iron" or "hotair"
    double tolerance = 0;
    double delaySeconds = 0;
    bool enabled = true;

    // What applies when the section does not name the station.
    static ToleranceRule defaultFor(const QString &instrument);
    // The rule of one value; nothing when it does not parse.
    static std::optional<ToleranceRule> parse(const QString &instrument, const QString &value);
    QString key() const { return instrument + QStringLiteral(".tolerance"); }
    // "±5", for messages and recordings.
    QString boundsText() const;
};
