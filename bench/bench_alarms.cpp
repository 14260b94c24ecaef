// What the alarm checks cost per frame at full line rate: no checks at all,
// the stations' default process checks (what a fresh settings file has), and
// a limit on every quantity besides, side by side in one run.
#include "alarmmonitor.h"

#include <benchmark/benchmark.h>

namespace {

// About what korvanta-sim --rate max sends: the four instruments in turn.
constexpr double kFramesPerSecond = 180;

QList<QList<Reading>> frameCycle(const QDateTime &time)
{
    auto reading = [&](const char *instrument, const char *quantity, const char *value,
                       const char *unit, const char *detail = "") {
        return Reading{time, instrument, quantity, value, unit, detail};
    };
    return {{reading("multimeter", "reading", "12.034", "V", "DC voltage")},
            {reading("power", "voltage", "12.00", "V"), reading("power", "current", "0.512", "A"),
             reading("power", "power", "6.14", "W")},
            {reading("iron", "set_temperature", "350", "°C"),
             reading("iron", "temperature", "348", "°C")},
            {reading("hotair", "set_temperature", "400", "°C"),
             reading("hotair", "temperature", "398", "°C"),
             reading("hotair", "air_speed", "60", "%")}};
}

LimitSet limitSet(int kind)
{
    if (kind == 0)
        return LimitSet::fromEntries({{"iron.tolerance", "off"}, {"hotair.tolerance", "off"}});
    if (kind == 1)
        return LimitSet::fromEntries({});
    return LimitSet::fromEntries({{"multimeter.volts", "-20:20,0.5,0.1"},
                                  {"power.voltage", "11:13"},
                                  {"power.current", ":1.5,0.2"},
                                  {"power.power", ":20"},
                                  {"iron.temperature", "300:400"},
                                  {"iron.set_temperature", ":450"},
                                  {"hotair.temperature", "300:450"},
                                  {"hotair.set_temperature", ":480"},
                                  {"hotair.air_speed", "20:"}});
}

void BM_AlarmChecksPerFrame(benchmark::State &state)
{
    // The frames of a minute at full rate, each a little later than the one
    // before, made before the clock runs.
    QList<QList<Reading>> frames;
    const QDateTime start = QDateTime::currentDateTime();
    const QList<QList<Reading>> cycle = frameCycle(start);
    for (int i = 0; i < 60 * int(kFramesPerSecond); ++i) {
        QList<Reading> frame = cycle[i % cycle.size()];
        const QDateTime time = start.addMSecs(qint64(i * 1000 / kFramesPerSecond));
        for (Reading &reading : frame)
            reading.time = time;
        frames << frame;
    }
    AlarmMonitor monitor(limitSet(int(state.range(0))));
    int frameIndex = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(monitor.check(frames[frameIndex]));
        // Round again from a fresh monitor, so times never run backwards.
        if (++frameIndex == frames.size()) {
            state.PauseTiming();
            frameIndex = 0;
            monitor = AlarmMonitor(limitSet(int(state.range(0))));
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_AlarmChecksPerFrame)
    ->ArgName("checks_none0_defaults1_everyquantity2")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2);

} // namespace

BENCHMARK_MAIN();
