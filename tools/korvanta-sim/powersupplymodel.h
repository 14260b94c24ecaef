#pragma once

#include "instrument.h"

// A bench supply set to 12 V with a 2 A current limit, feeding a load that
// steps through idle, medium and heavy draw, then asks for more than the
// limit for a few seconds: the supply holds 2 A and its voltage sags.
class PowerSupplyModel : public Instrument
{
public:
    static constexpr double kSetVolts = 12.0, kLimitAmps = 2.0, kCycleSeconds = 30;

    explicit PowerSupplyModel(quint32 seed) : Instrument(seed) {}

    Kind kind() const override { return PowerSupply; }
    double defaultRate() const override { return 5; }
    QByteArray payload(double seconds) override;

    // True while the load asks for more than the limit.
    static bool currentLimited(double seconds);
};
