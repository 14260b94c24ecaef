// Latency from the last character of a power supply frame written to the line
// until the window paints its voltage (or a newer one): the program's window
// on a pseudo-terminal, frames written by a thread of this program.
//
//   bench_latency [--rate calm|full] [--view numeric|graphic] [--seconds N]
//
// calm: one power supply frame every 200 ms. full: the line kept full at
// 115200 baud with frames of all four instruments in turn, as korvanta-sim
// --rate max does. Every power supply frame carries a voltage one higher than
// the last, so a paint tells which frames it shows.
#include "dataprocessthread.h"
#include "frameencoder.h"
#include "mainwindow.h"
#include "pseudoterminal.h"
#include "serialsettingdlg.h"
#include "settinginfo.h"

#include <QApplication>
#include <QDir>
#include <QLCDNumber>
#include <QLabel>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const int kMaxFrames = 9999;          // voltages 1..9999
const double kCharsPerSecond = 11520; // 115200 baud, 8N1

qint64 nowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
        .count();
}

QByteArray powerFrame(int volts)
{
    return FrameEncoder::stationFrame(
        0x0001, {FrameEncoder::stationRecord(QByteArray::number(volts), 0x0056),
                 FrameEncoder::stationRecord("0.5", 0x0041)});
}

QByteArray otherFrame(int turn)
{
    switch (turn % 3) {
    case 0: {
        const quint8 digits[4] = {0x00, FrameEncoder::digitSegments('1'),
                                  FrameEncoder::digitSegments('2'),
                                  FrameEncoder::digitSegments(char('0' + turn % 10))};
        return FrameEncoder::multimeterFrame(0xFFFF,
                                             FrameEncoder::multimeterData(0, digits, 0x0056));
    }
    case 1:
        return FrameEncoder::stationFrame(
            0x0002, {FrameEncoder::stationRecord("350", 0x0043),
                     FrameEncoder::stationRecord(QByteArray::number(340 + turn % 20), 0x0043)});
    default:
        return FrameEncoder::stationFrame(
            0x0003, {FrameEncoder::stationRecord("300", 0x0043),
                     FrameEncoder::stationRecord(QByteArray::number(290 + turn % 20), 0x0043),
                     FrameEncoder::stationRecord("40", 0x0025)});
    }
}

// Sees the paints of the voltage display and credits every frame up to the
// voltage painted.
class PaintWatch : public QObject
{
public:
    PaintWatch(QWidget *display, std::vector<std::atomic<qint64>> &written)
        : display(display), written(written)
    {
        display->installEventFilter(this);
    }
    std::vector<double> latenciesMs;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != display || event->type() != QEvent::Paint)
            return false;
        const qint64 now = nowUs();
        const int shown = qMin(shownVolts(), kMaxFrames);
        for (int k = lastCredited + 1; k <= shown; ++k) {
            const qint64 at = written[k].load();
            if (at > 0)
                latenciesMs.push_back((now - at) / 1000.0);
        }
        lastCredited = qMax(lastCredited, shown);
        return false;
    }

private:
    int shownVolts() const
    {
        if (auto *lcd = qobject_cast<QLCDNumber *>(display))
            return qRound(lcd->value());
        QString text = static_cast<QLabel *>(display)->text();
        const bool milli = text.endsWith(QLatin1String("mV"));
        text.remove(QRegularExpression(QStringLiteral("[^0-9.]")));
        return qRound(text.toDouble() / (milli ? 1000 : 1));
    }

    QWidget *display;
    std::vector<std::atomic<qint64>> &written;
    int lastCredited = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    // A home of its own: no settings of the user are read or written.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
    qunsetenv("XDG_DOCUMENTS_DIR");
    QApplication app(argc, argv);

    bool full = false;
    bool graphic = false;
    int seconds = 30;
    const QStringList arguments = app.arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--rate"))
            full = arguments[i + 1] == QLatin1String("full");
        else if (arguments[i] == QLatin1String("--view"))
            graphic = arguments[i + 1] == QLatin1String("graphic");
        else if (arguments[i] == QLatin1String("--seconds"))
            seconds = qBound(1, arguments[i + 1].toInt(), 200);
    }
    loadSettings(); // creates the file
    {
        QSettings file(settingsFilePath(), QSettings::IniFormat);
        file.setValue("SerialInfo/nDisplayType", graphic ? 1 : 0);
        file.setValue("SerialInfo/strSerialName", QString());
    }
    curSetting = savedSetting = SettingInfo();
    loadSettings();

    PseudoTerminal line;
    if (!line.isOpen()) {
        std::fprintf(stderr, "bench_latency: no pseudo-terminal\n");
        return 1;
    }
    MainWindow window;
    window.show();
    if (!window.serialSettingDlg()->openPort(line.slavePath())) {
        std::fprintf(stderr, "bench_latency: cannot open %s\n", qPrintable(line.slavePath()));
        return 1;
    }
    window.serialSettingDlg()->hide();
    QWidget *display = graphic ? static_cast<QWidget *>(window.findChild<QLabel *>("label_VValue"))
                               : window.findChild<QLCDNumber *>("lcdNumber_voltage");
    std::vector<std::atomic<qint64>> written(kMaxFrames + 1);
    PaintWatch watch(display, written);

    std::atomic_bool stop{false};
    std::thread writer([&] {
        const auto start = Clock::now();
        const auto end = start + std::chrono::seconds(seconds);
        double chars = 0;
        int volts = 0;
        for (int turn = 0; Clock::now() < end && !stop && volts < kMaxFrames; ++turn) {
            const bool power = !full || turn % 4 == 0;
            const QByteArray frame = power ? powerFrame(volts + 1) : otherFrame(turn);
            if (!line.write(frame))
                break;
            if (power)
                written[++volts].store(nowUs());
            // Paced as the line carries it, or five power frames a second.
            chars += full ? frame.size() : kCharsPerSecond / 5;
            std::this_thread::sleep_until(
                start + std::chrono::microseconds(qint64(chars / kCharsPerSecond * 1e6)));
        }
    });
    QTimer::singleShot((seconds + 1) * 1000, &app, &QCoreApplication::quit);
    app.exec();
    stop = true;
    writer.join();

    std::vector<double> &ms = watch.latenciesMs;
    if (ms.empty()) {
        std::fprintf(stderr, "bench_latency: no frame was painted\n");
        return 1;
    }
    std::sort(ms.begin(), ms.end());
    const auto at = [&ms](double share) { return ms[size_t(share * (ms.size() - 1))]; };
    std::printf("%s rate, %s view: %zu frames, latency median %.1f ms, 99th percentile %.1f ms, "
                "max %.1f ms\n",
                full ? "full" : "calm", graphic ? "graphic" : "numeric", ms.size(), at(0.5),
                at(0.99), ms.back());
    return 0;
}
