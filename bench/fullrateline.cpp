#include "fullrateline.h"

#include "historystore.h"

#include <cmath>
#include <memory>

FullRateLine::FullRateLine()
{
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(Start);
    meter = {{t, "multimeter", "reading", "", "V", "DC voltage"}};
    power = {{t, "power", "voltage", "", "V", ""},
             {t, "power", "current", "", "A", ""},
             {t, "power", "power", "", "W", ""}};
    iron = {{t, "iron", "set_temperature", "350", "°C", ""},
            {t, "iron", "temperature", "", "°C", ""}};
    hotair = {{t, "hotair", "set_temperature", "300", "°C", ""},
              {t, "hotair", "temperature", "", "°C", ""},
              {t, "hotair", "air_speed", "", "%", ""}};
}

QList<Reading> &FullRateLine::frame(qint64 n)
{
    const qint64 ms = timeMs(n);
    const double s = double(ms - Start) / 1000;
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(ms);
    QList<Reading> *readings = nullptr;
    switch (n % 4) {
    case 0: {
        static const char *const units[][3] = {{"V", "DC voltage", ""},
                                               {"mV", "DC voltage", ""},
                                               {"V", "AC voltage", ""},
                                               {"KΩ", "resistance", ""},
                                               {"MΩ", "resistance", "OL"}};
        const auto &f = units[(qint64(s) / 5) % 5];
        readings = &meter;
        meter[0].unit = f[0];
        meter[0].detail = f[1];
        meter[0].value = *f[2] ? QString(f[2]) : QString::number(12 + std::sin(s), 'f', 3);
        break;
    }
    case 1:
        readings = &power;
        power[0].value = QString::number(12 - 0.05 * std::sin(s / 7), 'f', 2);
        power[1].value = QString::number(0.85 + 0.7 * std::sin(s / 11), 'f', 3);
        power[2].value = QString::number(10.2 + 8 * std::sin(s / 11), 'g', 15);
        break;
    case 2:
        readings = &iron;
        iron[1].value = QString::number(qMin(350.0, 22 + s * 10) + std::sin(s * 3), 'f', 0);
        break;
    default:
        readings = &hotair;
        hotair[1].value = QString::number(qMin(300.0, 22 + s * 8) - std::fabs(std::sin(s)), 'f', 0);
        hotair[2].value = QString::number(40 + 10 * (qint64(s) / 12 % 3), 'f', 0);
    }
    for (Reading &reading : *readings)
        reading.time = time;
    return *readings;
}

HistoryStore &FullRateLine::day()
{
    static std::unique_ptr<HistoryStore> store;
    if (!store) {
        store = std::make_unique<HistoryStore>();
        FullRateLine line;
        const qint64 frames = qint64(FramesPerSecond * 86400);
        for (qint64 n = 0; n < frames; ++n)
            store->add(line.frame(n));
    }
    return *store;
}
