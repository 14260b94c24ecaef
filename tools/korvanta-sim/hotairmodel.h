#pragma once

#include "instrument.h"

// A hot-air station heating towards its set temperature; every ten seconds
// or so the user turns the air speed up or down, and more air cools the
// nozzle for a moment until the regulator catches up.
class HotAirModel : public Instrument
{
public:
    static constexpr double kSetCelsius = 300, kRoomCelsius = 22, kHeatingSeconds = 5;

    explicit HotAirModel(quint32 seed) : Instrument(seed) {}

    Kind kind() const override { return HotAirGun; }
    double defaultRate() const override { return 4; }
    QByteArray payload(double seconds) override;

    int airSpeed() const { return speed; }

private:
    void turnKnob(double seconds);

    int speed = 50; // percent
    double nextChange = 8;
    double changedAt = -100;
    double dipCelsius = 0;
};
