#pragma once

#include "frameencoder.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

// One simulated instrument: what it reads at a given time since switch-on,
// as the payload of the frame it sends.
class Instrument
{
public:
    enum Kind
    {
        Multimeter,
        PowerSupply,
        SolderingIron,
        HotAirGun
    };
    static constexpr int kKinds = 4;

    explicit Instrument(quint32 seed) : random(seed) {}
    virtual ~Instrument() = default;

    virtual Kind kind() const = 0;
    // Readings per second the real instrument sends.
    virtual double defaultRate() const = 0;
    // The frame payload at that time; calls come with rising times.
    virtual QByteArray payload(double seconds) = 0;

    QByteArray frame(double seconds, FrameEncoder::Fault fault = FrameEncoder::Fault::None)
    {
        return FrameEncoder::frame(payload(seconds), fault);
    }

    // "mul", "power", "iron", "hotair"; kindOf gives -1 for any other name.
    static QString name(int kind);
    static int kindOf(const QString &name);

protected:
    // Uniform in [-amplitude, amplitude].
    double noise(double amplitude) { return amplitude * (2 * random.generateDouble() - 1); }
    // The value with a fixed number of decimals, as the instruments print it.
    static QByteArray decimal(double value, int decimals);

    QRandomGenerator random;
};
