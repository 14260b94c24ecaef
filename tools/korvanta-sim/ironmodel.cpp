#include "ironmodel.h"

#include <cmath>

double IronModel::tipCelsius(double seconds)
{
    return kSetCelsius -
           (kSetCelsius - kRoomCelsius) * std::exp(-std::max(seconds, 0.0) / kHeatingSeconds);
}

QByteArray IronModel::payload(double seconds)
{
    const double tip = tipCelsius(seconds) + noise(1.2);
    return FrameEncoder::payload(
        0x0002, FrameEncoder::stationRecord(decimal(kSetCelsius, 0), 0x0043) +
                    FrameEncoder::stationRecord(decimal(std::round(tip), 0), 0x0043));
}
