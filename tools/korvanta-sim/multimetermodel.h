#pragma once

#include "instrument.h"

// A multimeter that is moved through its functions, a few seconds each: DC
// volts (a 12 V rail, then a negative reading), millivolts, AC mains, ohms,
// an open circuit ("0.L"), continuity, a diode, frequency and capacitance.
// When asked to, it sends the flag that switches the program's table view at
// a fixed interval, as a user pressing the meter's table button would.
class MultimeterModel : public Instrument
{
public:
    static constexpr quint8 kTableFlag = 0x08, kAutoFlag = 0x04, kHighVoltageFlag = 0x02,
                            kBuzzerFlag = 0x01;
    static constexpr double kSceneSeconds = 5;
    static constexpr int kScenes = 10;

    struct Reading
    {
        quint16 functionCode;
        quint16 unitCode;
        QByteArray shown; // the display text, for example "-5.02" or "0.L"
        quint8 flags;
    };

    // tableEvery: seconds between two table flags; 0 sends none, as a meter
    // whose table button nobody presses.
    explicit MultimeterModel(quint32 seed, double tableEvery = 0)
        : Instrument(seed), tableEvery(tableEvery)
    {
    }

    Kind kind() const override { return Multimeter; }
    double defaultRate() const override { return 3; }
    QByteArray payload(double seconds) override;

    // What the display shows at that time (without the table flag).
    Reading reading(double seconds);

    // The four digit bytes of a display text of digits, 'L' and ' ', with
    // points and a leading minus; false when it does not fit the display.
    static bool displayDigits(const QByteArray &shown, quint8 (&digits)[4]);

private:
    double tableEvery;
    qint64 lastTablePeriod = 0;
};
