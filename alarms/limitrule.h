#pragma once

#include <QString>

#include <optional>

// One limit of the [Limits] section: "<instrument>.<quantity>" with
// "<low>:<high>[,<delay_s>[,<hysteresis>]]", either bound may be empty.
struct LimitRule
{
    QString instrument; // "power", "iron", "hotair" or "multimeter"
    QString quantity;   // as the recording names it; for the multimeter the
                        // base quantity: "volts", "ohms", "hertz" or "farads"
    std::optional<double> low;
    std::optional<double> high;
    double delaySeconds = kDefaultDelaySeconds;
    double hysteresis = 0;

    static constexpr double kDefaultDelaySeconds = 0.5;

    // The rule of one key and value; nothing when either does not parse.
    static std::optional<LimitRule> parse(const QString &key, const QString &value);
    QString key() const { return instrument + QLatin1Char('.') + quantity; }
    // "<low>:<high>" as the user wrote it, for messages and recordings.
    QString boundsText() const;
    bool isOutside(double value) const;
    // Inside by the hysteresis, so that an active alarm may end.
    bool isBackInside(double value) const;
};
