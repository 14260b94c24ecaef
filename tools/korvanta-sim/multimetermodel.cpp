#include "multimetermodel.h"

#include <QList>

#include <cmath>

namespace {

constexpr quint8 kPointOrMinus = 0x10;

// Function codes and unit codes as the multimeter sends them.
enum : quint16
{
    kDc = 0xFFFF,
    kAc = 0xFFFE,
    kOhm = 0xFFF1,
    kHertz = 0xFFF0,
    kContinuity = 0xFFEF,
    kDiode = 0xFFEE,
    kCapacitance = 0xFFED,
    kVolt = 0x0056,
    kMilliVolt = 0x6D56,
    kKiloOhm = 0x4B4F,
    kMegaOhm = 0x4D4F,
    kOhmUnit = 0x004F,
    kHertzUnit = 0x0048,
    kKiloHertz = 0x4B48,
    kNanoFarad = 0x6E46,
    kMicroFarad = 0x7546,
};

const QByteArray kOpen = "0.L";

} // namespace

MultimeterModel::Reading MultimeterModel::reading(double seconds)
{
    const int scene = int(std::fmod(seconds / kSceneSeconds, kScenes));
    // Scenes with two readings switch half-way: probe on, probe off and so on.
    const bool firstHalf = std::fmod(seconds, kSceneSeconds) < kSceneSeconds / 2;
    switch (scene) {
    case 0:
        return {kDc, kVolt, decimal(12.03 + noise(0.01), 2), kAutoFlag};
    case 1:
        return {kDc, kVolt, decimal(-5.02 + noise(0.01), 2), kAutoFlag};
    case 2:
        return {kDc, kMilliVolt, decimal(235.6 + 3 * std::sin(seconds) + noise(0.2), 1), kAutoFlag};
    case 3:
        return {kAc, kVolt, decimal(230.4 + noise(0.4), 1), quint8(kAutoFlag | kHighVoltageFlag)};
    case 4:
        return {kOhm, kKiloOhm, decimal(4.702 + noise(0.002), 3), kAutoFlag};
    case 5:
        return {kOhm, kMegaOhm, kOpen, kAutoFlag};
    case 6:
        if (firstHalf)
            return {kContinuity, kOhmUnit, decimal(0.3 + noise(0.1), 1), kBuzzerFlag};
        return {kContinuity, kOhmUnit, kOpen, 0};
    case 7:
        return {kDiode, kVolt, firstHalf ? decimal(0.612 + noise(0.002), 3) : kOpen, 0};
    case 8:
        if (firstHalf)
            return {kHertz, kHertzUnit, decimal(50.00 + noise(0.02), 2), kAutoFlag};
        return {kHertz, kKiloHertz, decimal(1.000 + noise(0.001), 3), kAutoFlag};
    default:
        if (firstHalf)
            return {kCapacitance, kNanoFarad, decimal(100.2 + noise(0.3), 1), kAutoFlag};
        return {kCapacitance, kMicroFarad, decimal(47.0 + noise(0.2), 1), kAutoFlag};
    }
}

QByteArray MultimeterModel::payload(double seconds)
{
    Reading now = reading(seconds);
    if (tableEvery > 0) {
        const qint64 period = qint64(seconds / tableEvery);
        if (period > lastTablePeriod) {
            lastTablePeriod = period;
            now.flags |= kTableFlag;
        }
    }
    quint8 digits[4];
    if (!displayDigits(now.shown, digits))
        displayDigits(kOpen, digits); // out of range reads as overload
    return FrameEncoder::payload(now.functionCode,
                                 FrameEncoder::multimeterData(now.flags, digits, now.unitCode));
}

bool MultimeterModel::displayDigits(const QByteArray &shown, quint8 (&digits)[4])
{
    const bool negative = shown.startsWith('-');
    QList<quint8> glyphs;
    bool point = false;
    for (const char c : shown.mid(negative ? 1 : 0)) {
        if (c == '.') {
            if (point || glyphs.isEmpty())
                return false;
            point = true;
            continue;
        }
        const quint8 segments = FrameEncoder::digitSegments(c);
        if (segments == 0 && c != ' ')
            return false;
        glyphs << quint8(segments | (point ? kPointOrMinus : 0));
        point = false;
    }
    if (point || glyphs.size() > 4)
        return false;
    while (glyphs.size() < 4)
        glyphs.prepend(0);
    // Digit 0 has no point in front of it: its bit is the minus sign.
    if (glyphs[0] & kPointOrMinus)
        return false;
    for (int i = 0; i < 4; ++i)
        digits[i] = glyphs[i];
    if (negative)
        digits[0] |= kPointOrMinus;
    return true;
}
