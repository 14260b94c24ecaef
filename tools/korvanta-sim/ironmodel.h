#pragma once

#include "instrument.h"

// A soldering iron switched on cold: it heats from room temperature towards
// its set temperature and then holds it within a degree or so.
class IronModel : public Instrument
{
public:
    static constexpr double kSetCelsius = 350, kRoomCelsius = 22, kHeatingSeconds = 4;

    explicit IronModel(quint32 seed) : Instrument(seed) {}

    Kind kind() const override { return SolderingIron; }
    double defaultRate() const override { return 4; }
    QByteArray payload(double seconds) override;

    // Tip temperature without the noise.
    static double tipCelsius(double seconds);
};
