// Throughput of the receive path's pure parts: CRC, framing, checks, routing.
#include "c1frame.h"
#include "crc16.h"
#include "frameencoder.h"
#include "framesplitter.h"

#include <benchmark/benchmark.h>

#include <QRandomGenerator>

namespace {

void BM_Crc16Modbus(benchmark::State &state)
{
    QByteArray data(int(state.range(0)), Qt::Uninitialized);
    QRandomGenerator random(1);
    for (char &byte : data)
        byte = char(random.bounded(256));
    for (auto _ : state)
        benchmark::DoNotOptimize(crc16Modbus(data));
    state.SetBytesProcessed(int64_t(state.iterations()) * data.size());
}
BENCHMARK(BM_Crc16Modbus)->Arg(64)->Arg(4096);

QByteArray multimeterFrame()
{
    const quint8 digits[4] = {0x00, 0x0A, 0xBD, 0x8F};
    return FrameEncoder::multimeterFrame(0xFFFF, FrameEncoder::multimeterData(0, digits, 0x6D56));
}

QByteArray stationFrame()
{
    return FrameEncoder::stationFrame(0x0003, {FrameEncoder::stationRecord("350", 0x0043),
                                               FrameEncoder::stationRecord("348.5", 0x0043),
                                               FrameEncoder::stationRecord("80", 0x0025)});
}

// A stream of one kind of frame, cut into chunks the size a serial driver
// typically delivers at 115200 baud.
void framingThroughput(benchmark::State &state, const QByteArray &frame)
{
    const int framesPerStream = 256;
    const QByteArray stream = frame.repeated(framesPerStream);
    const int chunkSize = int(state.range(0));
    QList<QByteArray> chunks;
    for (int pos = 0; pos < stream.size(); pos += chunkSize)
        chunks << stream.mid(pos, chunkSize);

    FrameSplitter splitter;
    int routed = 0;
    for (auto _ : state) {
        for (const QByteArray &chunk : chunks) {
            for (const QByteArray &cut : splitter.feed(chunk)) {
                const C1Frame::Check check = C1Frame::check(QString::fromLatin1(cut));
                if (check.checksumOk && C1Frame::deviceKindOf(check.strFunCode) >= 0)
                    ++routed;
            }
        }
    }
    if (routed != int(state.iterations()) * framesPerStream)
        state.SkipWithError("frames were lost");
    state.SetItemsProcessed(int64_t(state.iterations()) * framesPerStream);
    state.counters["chars/frame"] = frame.size();
}

void BM_FramingMultimeter(benchmark::State &state)
{
    framingThroughput(state, multimeterFrame());
}
void BM_FramingStation(benchmark::State &state)
{
    framingThroughput(state, stationFrame());
}
BENCHMARK(BM_FramingMultimeter)->Arg(32)->Arg(256);
BENCHMARK(BM_FramingStation)->Arg(32)->Arg(256);

} // namespace

BENCHMARK_MAIN();
