// The history window's redraw over a full day at full line rate: every plot
// replotted offscreen (with the curves, alarm spans and statistics of the
// range fetched from the store) at the zoom levels a user picks.
#include "fullrateline.h"
#include "historystore.h"
#include "historywindow.h"
#include "languagetext.h"
#include "settinginfo.h"
#include "solderingstatistics.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

// The full line rate's day, and how long it took to make.
HistoryStore &dayStore()
{
    QElapsedTimer clock;
    clock.start();
    HistoryStore &store = FullRateLine::day();
    if (clock.elapsed() > 100)
        std::fprintf(stderr, "bench_historywindow: a day of readings in %.1f s, store %.0f MiB\n",
                     clock.elapsed() / 1000.0, store.memoryBytes() / 1048576.0);
    return store;
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
