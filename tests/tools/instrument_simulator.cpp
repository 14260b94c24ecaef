// Stands in for the four instruments: opens a pseudo-terminal, links its slave
// side to the path given (default /tmp/korvanta-instruments) and streams
// frames of all four instruments into it, ten times a second.
//
//   instrument_simulator [link-path] [seconds]
//
// Start Korvanta, open the link path in its serial dialog, and watch.
#include "frameencoder.h"
#include "pseudoterminal.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <QtMath>

#include <cstdio>

namespace {

QByteArray multimeterFrame(int tick)
{
    // Cycles through DC volts, resistance, frequency and capacitance; every 50
    // ticks the table flag flips the panel between dial and table.
    static const struct
    {
        quint16 code;
        quint16 unit;
    } functions[] = {{0xFFFF, 0x0056}, {0xFFF1, 0x4B4F}, {0xFFF0, 0x0048}, {0xFFED, 0x7546}};
    const auto &function = functions[(tick / 40) % 4];
    const QByteArray text =
        QByteArray::number(1000 + qRound(500 * qSin(tick / 10.0))).rightJustified(4, ' ');
    quint8 digits[4];
    for (int i = 0; i < 4; ++i)
        digits[i] = FrameEncoder::digitSegments(text[i]);
    digits[2] |= 0x10; // decimal point in front of digit 2
    const quint8 flags = (tick % 50 == 49 ? 0x08 : 0) | 0x04;
    return FrameEncoder::multimeterFrame(
        function.code, FrameEncoder::multimeterData(flags, digits, function.unit));
}

QByteArray value(double number, int decimals)
{
    return QByteArray::number(number, 'f', decimals);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString link =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/korvanta-instruments");
    const int seconds = argc > 2 ? QByteArray(argv[2]).toInt() : 3600;
    PseudoTerminal line;
    if (!line.isOpen()) {
        std::fprintf(stderr, "no pseudo-terminal available\n");
        return 1;
    }
    QFile::remove(link);
    if (!QFile::link(line.slavePath(), link)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(link));
        return 1;
    }
    std::printf("instruments on %s (%s)\n", qPrintable(link), qPrintable(line.slavePath()));
    std::fflush(stdout);

    QRandomGenerator random(1);
    for (int tick = 0; tick < seconds * 10; ++tick) {
        const double t = tick / 10.0;
        QByteArray stream = multimeterFrame(tick);
        stream += FrameEncoder::stationFrame(
            0x0001, {FrameEncoder::stationRecord(value(12 + 0.5 * qSin(t), 2), 0x0056),
                     FrameEncoder::stationRecord(value(450 + 40 * qCos(t / 2), 0), 0x6D41)});
        stream += FrameEncoder::stationFrame(
            0x0002, {FrameEncoder::stationRecord("350", 0x0043),
                     FrameEncoder::stationRecord(value(340 + 8 * qSin(t / 3), 0), 0x0043)});
        stream += FrameEncoder::stationFrame(
            0x0003, {FrameEncoder::stationRecord("300", 0x0043),
                     FrameEncoder::stationRecord(value(290 + 10 * qSin(t / 4), 0), 0x0043),
                     FrameEncoder::stationRecord(value(60 + 5 * qSin(t), 0), 0x0025)});
        // Deliver in uneven chunks, as a serial driver does.
        for (int pos = 0; pos < stream.size();) {
            const int size = 1 + random.bounded(64);
            if (!line.write(stream.mid(pos, size)))
                return 0;
            pos += size;
        }
        QThread::msleep(100);
    }
    QFile::remove(link);
    return 0;
}
