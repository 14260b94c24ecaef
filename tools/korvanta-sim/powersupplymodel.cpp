#include "powersupplymodel.h"

#include <cmath>

namespace {

// Current the load draws at constant voltage, by its phase in the cycle.
double loadAmps(double phase)
{
    if (phase < 5)
        return 0.120;
    if (phase < 12)
        return 0.850;
    if (phase < 18)
        return 1.600;
    return 0.450; // after the overload
}

} // namespace

bool PowerSupplyModel::currentLimited(double seconds)
{
    const double phase = std::fmod(seconds, kCycleSeconds);
    return phase >= 18 && phase < 21;
}

QByteArray PowerSupplyModel::payload(double seconds)
{
    double volts, amps;
    if (currentLimited(seconds)) {
        amps = kLimitAmps + noise(0.002);
        volts = 8.40 + noise(0.03); // the load's resistance times the limit
    } else {
        amps = loadAmps(std::fmod(seconds, kCycleSeconds)) + noise(0.003);
        volts = kSetVolts - 0.02 * amps + noise(0.005);
    }
    return FrameEncoder::payload(0x0001, FrameEncoder::stationRecord(decimal(volts, 2), 0x0056) +
                                             FrameEncoder::stationRecord(decimal(amps, 3), 0x0041));
}
