// The history window's redraw over a full day at full line rate: every plot
// replotted offscreen (with the curves, alarm spans and statistics of the
// range fetched from the store) at the zoom levels a user picks.
#include "historystore.h"
#include "historywindow.h"
#include "languagetext.h"
#include "settinginfo.h"
#include "solderingstatistics.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

const qint64 kDayMs = 24LL * 3600 * 1000;

// About what the line carries at 115200 baud: some 180 frames a second,
// shared by the four instruments.
HistoryStore &dayStore()
{
    static std::unique_ptr<HistoryStore> store;
    if (store)
        return *store;
    store = std::make_unique<HistoryStore>();
    QElapsedTimer clock;
    clock.start();
    const qint64 start = QDateTime(QDate(2026, 3, 2), QTime(0, 0)).toMSecsSinceEpoch();
    const int offset = QDateTime::fromMSecsSinceEpoch(start).offsetFromUtc();
    const auto reading = [&](qint64 ms, const char *instrument, const char *quantity, double value,
                             const char *unit, const char *detail = "") {
        return Reading{QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, offset),
                       QLatin1String(instrument),
                       QLatin1String(quantity),
                       QString::number(value, 'f', 3),
                       QString::fromUtf8(unit),
                       QLatin1String(detail)};
    };
    qint64 frames = 0;
    for (qint64 t = start; t < start + kDayMs; ++frames, t = start + frames * 1000 / 180) {
        const double phase = double(t - start) / 60000.0;
        switch (frames % 4) {
        case 0:
            store->add(
                {reading(t, "multimeter", "reading", 5 + std::sin(phase), "V", "DC voltage")});
            break;
        case 1:
            store->add({reading(t, "power", "voltage", 12, "V"),
                        reading(t, "power", "current", 0.5 + 0.4 * std::sin(phase), "A"),
                        reading(t, "power", "power", 6 + 4.8 * std::sin(phase), "W")});
            break;
        case 2:
            store->add({reading(t, "iron", "set_temperature", 350, "°C"),
                        reading(t, "iron", "temperature", 350 + 4 * std::sin(phase * 7), "°C")});
            break;
        default:
            store->add({reading(t, "hotair", "set_temperature", 300, "°C"),
                        reading(t, "hotair", "temperature", 300 + 8 * std::sin(phase * 3), "°C"),
                        reading(t, "hotair", "air_speed", 60, "%")});
        }
    }
    std::fprintf(stderr, "bench_historywindow: %lld frames in %.1f s, store %.0f MiB\n", frames,
                 clock.elapsed() / 1000.0, store->memoryBytes() / 1048576.0);
    return *store;
}

void BM_HistoryRedraw(benchmark::State &state)
{
    HistoryStore &store = dayStore();
    HistoryWindow window(&store);
    window.resize(1280, 900);
    window.show();
    QApplication::processEvents();
    const qint64 span = state.range(0) * 1000;
    const qint64 last = store.lastTimeMs();
    // Alternating between two ranges, so no redraw finds its range drawn already.
    bool shifted = false;
    for (auto _ : state) {
        const qint64 to = shifted ? last - span / 10 : last;
        window.setRange(to - span, to);
        shifted = !shifted;
    }
    state.counters["plots"] = window.plots().size();
}
BENCHMARK(BM_HistoryRedraw)
    ->ArgName("span_s")
    ->Arg(60)
    ->Arg(600)
    ->Arg(3600)
    ->Arg(6 * 3600)
    ->Arg(24 * 3600)
    ->Unit(benchmark::kMillisecond);

// The parts of a redraw that the store does: every quantity's curve at a
// sample per pixel column of a 1280-pixel window, and the table's statistics.
void BM_HistoryCurves(benchmark::State &state)
{
    HistoryStore &store = dayStore();
    const qint64 span = state.range(0) * 1000;
    const qint64 last = store.lastTimeMs();
    const QList<HistoryStore::Key> keys = store.keys();
    for (auto _ : state)
        for (const HistoryStore::Key &key : keys)
            benchmark::DoNotOptimize(store.curve(key, last - span, last, 1150));
}
BENCHMARK(BM_HistoryCurves)
    ->ArgName("span_s")
    ->Arg(60)
    ->Arg(3600)
    ->Arg(24 * 3600)
    ->Unit(benchmark::kMillisecond);

void BM_HistoryStatistics(benchmark::State &state)
{
    HistoryStore &store = dayStore();
    const qint64 span = state.range(0) * 1000;
    const qint64 last = store.lastTimeMs();
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.statistics(last - span, last));
        benchmark::DoNotOptimize(SolderingStatistics::of(store, last - span, last, 5, 10));
    }
}
BENCHMARK(BM_HistoryStatistics)
    ->ArgName("span_s")
    ->Arg(60)
    ->Arg(3600)
    ->Arg(24 * 3600)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    loadSettings();
    loadLanguage();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
