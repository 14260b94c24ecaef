// The history at the full line rate (about 180 frames/s of the four
// instruments in turn, 9 readings per round): the cost of keeping each
// reading, the memory of 24 hours, curves at every zoom on that history,
// statistics, and reading a million-row recording.
#include "csvrecorder.h"
#include "fullrateline.h"
#include "historystore.h"
#include "recordingreader.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>

namespace {

const qint64 Start = FullRateLine::Start;
const double FramesPerSecond = FullRateLine::FramesPerSecond;
const double ReadingsPerSecond = FullRateLine::ReadingsPerSecond;

qint64 residentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmRSS:") {
            qint64 kb = 0;
            status >> kb;
            return kb * 1024;
        }
    return 0;
}

// The frames of ten minutes, made once.
std::vector<QList<Reading>> tenMinutes()
{
    FullRateLine line;
    std::vector<QList<Reading>> frames;
    for (qint64 n = 0; n < qint64(FramesPerSecond * 600); ++n)
        frames.push_back(line.frame(n));
    return frames;
}

void BM_AddFullRate(benchmark::State &state)
{
    static const std::vector<QList<Reading>> frames = tenMinutes();
    qint64 readings = 0;
    for (const auto &frame : frames)
        readings += frame.size();
    HistoryStore::Options options;
    options.memoryBudgetBytes = state.range(0) * 1024 * 1024;
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<HistoryStore>(options);
        state.ResumeTiming();
        for (const auto &frame : frames)
            store->add(frame);
        benchmark::DoNotOptimize(store->memoryBytes());
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * readings);
    // Filled by Counters after the run: ns per reading and the share of a core at the line rate.
    state.counters["ns/reading"] =
        benchmark::Counter(double(state.iterations() * readings),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["readings/s"] = ReadingsPerSecond;
}
// The window's budget (nothing given up in ten minutes), and a budget that
// the ten minutes overrun, so that giving up old data is in the cost.
BENCHMARK(BM_AddFullRate)->Arg(300)->Arg(4)->Unit(benchmark::kMillisecond);

// 24 hours at the full rate, made once for the benchmarks after this.
HistoryStore &day()
{
    static HistoryStore *store = nullptr;
    if (!store) {
        const qint64 before = residentBytes();
        store = &FullRateLine::day();
        std::printf("24 h history: memoryBytes %.1f MB, process RSS grew by %.1f MB (to %.1f MB), "
                    "%.2f h held\n",
                    store->memoryBytes() / 1048576.0, (residentBytes() - before) / 1048576.0,
                    residentBytes() / 1048576.0,
                    (store->lastTimeMs() - store->firstTimeMs()) / 3600000.0);
    }
    return *store;
}

void BM_Memory24h(benchmark::State &state)
{
    HistoryStore &store = day();
    for (auto _ : state)
        benchmark::DoNotOptimize(store.memoryBytes());
    state.counters["MB"] = store.memoryBytes() / 1048576.0;
    state.counters["RSS_MB"] = residentBytes() / 1048576.0;
}
BENCHMARK(BM_Memory24h)->Iterations(1);

// Every quantity's curve for a chart 1920 samples wide, the newest minutes to the whole day.
void BM_CurveAllQuantities(benchmark::State &state)
{
    HistoryStore &store = day();
    const qint64 to = store.lastTimeMs();
    const qint64 from = to - state.range(0) * 1000 + 1;
    const auto keys = store.keys();
    qint64 samples = 0;
    for (auto _ : state) {
        samples = 0;
        for (const auto &key : keys)
            for (const HistoryCurvePiece &piece : store.curve(key, from, to, 1920))
                samples += piece.samples.size();
        benchmark::DoNotOptimize(samples);
    }
    state.counters["quantities"] = keys.size();
    state.counters["samples"] = double(samples);
}
BENCHMARK(BM_CurveAllQuantities)
    ->ArgName("seconds")
    ->Arg(60)
    ->Arg(600)
    ->Arg(3600)
    ->Arg(6 * 3600)
    ->Arg(24 * 3600)
    ->Unit(benchmark::kMillisecond);

// The oldest hour, where only buckets are left.
void BM_CurveOldestHour(benchmark::State &state)
{
    HistoryStore &store = day();
    const auto keys = store.keys();
    for (auto _ : state)
        for (const auto &key : keys)
            benchmark::DoNotOptimize(store.curve(key, Start, Start + 3600000, 1920));
}
BENCHMARK(BM_CurveOldestHour)->Unit(benchmark::kMillisecond);

void BM_Statistics(benchmark::State &state)
{
    HistoryStore &store = day();
    const qint64 to = store.lastTimeMs();
    for (auto _ : state)
        benchmark::DoNotOptimize(store.statistics(to - state.range(0) * 1000 + 1, to));
}
BENCHMARK(BM_Statistics)
    ->ArgName("seconds")
    ->Arg(600)
    ->Arg(24 * 3600)
    ->Unit(benchmark::kMillisecond);

// A million rows of the full-rate line as the window records them; joined:
// the same rows as two recordings joined with cat, the later half first, so
// that the times go back in the middle.
void BM_ReadMillionRowCsv(benchmark::State &state)
{
    static QTemporaryDir dir;
    const bool joined = state.range(0) == 1;
    const QString path = dir.filePath(joined ? "joined.csv" : "million.csv");
    if (!QFile::exists(path)) {
        FullRateLine line;
        QByteArray halves[2];
        qint64 rows = 0;
        for (qint64 n = 0; rows < 1000000; ++n)
            for (const Reading &reading : line.frame(n))
                if (rows < 1000000)
                    halves[rows++ < 500000 ? 0 : 1] +=
                        CsvRecorder::row(reading, line.timeMs(n) - Start);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(CsvRecorder::header());
        file.write(halves[joined ? 1 : 0]);
        if (joined)
            file.write(CsvRecorder::header());
        file.write(halves[joined ? 0 : 1]);
    }
    qint64 rows = 0;
    for (auto _ : state) {
        HistoryStore store;
        rows = RecordingReader::read(path, store).rows;
    }
    if (rows != 1000000)
        state.SkipWithError("rows were lost");
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["MB"] = QFileInfo(path).size() / 1048576.0;
}
BENCHMARK(BM_ReadMillionRowCsv)->ArgName("joined")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
