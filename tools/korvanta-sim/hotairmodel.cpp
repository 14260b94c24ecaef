#include "hotairmodel.h"

#include <cmath>

void HotAirModel::turnKnob(double seconds)
{
    while (seconds >= nextChange) {
        int next = speed;
        while (next == speed)
            next = 30 + 5 * random.bounded(13); // 30 … 90 %
        dipCelsius = 0.4 * (next - speed);
        speed = next;
        changedAt = nextChange;
        nextChange += 8 + random.bounded(8.0);
    }
}

QByteArray HotAirModel::payload(double seconds)
{
    turnKnob(seconds);
    const double heated = kSetCelsius - (kSetCelsius - kRoomCelsius) *
                                            std::exp(-std::max(seconds, 0.0) / kHeatingSeconds);
    const double dip = dipCelsius * std::exp(-(seconds - changedAt) / 2.5);
    const double nozzle = std::round(heated - dip + noise(1.5));
    return FrameEncoder::payload(
        0x0003, FrameEncoder::stationRecord(decimal(kSetCelsius, 0), 0x0043) +
                    FrameEncoder::stationRecord(decimal(nozzle, 0), 0x0043) +
                    FrameEncoder::stationRecord(QByteArray::number(speed), 0x0025));
}
