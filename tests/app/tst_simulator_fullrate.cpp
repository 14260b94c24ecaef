// korvanta-sim at the full line rate into the program over a pseudo-terminal:
// every frame it reports as sent reaches the decoder, and the window is
// painted at a pace.
#include "dataprocessthread.h"
#include "debugcapture.h"
#include "mainwindow.h"
#include "serialsettingdlg.h"
#include "simprocess.h"
#include "testenvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QtTest>

#include <cstdio>

class SimulatorFullRateTest : public QObject
{
    Q_OBJECT

private slots:
    void everyFrameSentAtFullRateIsDecoded()
    {
        TestEnvironment::writeSettings();
        MainWindow window;
        DebugCapture debug;
        QMap<QString, int> decoded;
        connect(window.worker(), &DataProcessThread::decipher_sig, this,
                [&](const QString &frame) { ++decoded[frame.mid(24, 4)]; });

        const QString link = TestEnvironment::home().path() + "/bench";
        SimProcess sim;
        // 22 s, so the line runs full for at least 20 s after the port opened.
        sim.start({"--link", link, "--rate", "max", "--seconds", "22", "--seed", "7"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), 10000);
        QVERIFY(window.serialSettingDlg()->openPort(link));

        QTRY_VERIFY_WITH_TIMEOUT(sim.waitForEnd(0), 90000);
        QCOMPARE(sim.exitCode(), 0);
        const QMap<QString, double> report = sim.report();
        QVERIFY2(!report.isEmpty(), qPrintable(sim.standardError()));
        auto count = [&](const char *key) { return int(report.value(key)); };
        QVERIFY(count("sent") > 0);
        QCOMPARE(count("broken"), 0);

        auto total = [&] {
            int sum = 0;
            for (int count : qAsConst(decoded))
                sum += count;
            return sum;
        };
        QTRY_COMPARE_WITH_TIMEOUT(total(), count("intact"), 20000);
        QCOMPARE(decoded.value("FFFF") + decoded.value("FFFE") + decoded.value("FFF1") +
                     decoded.value("FFF0") + decoded.value("FFEF") + decoded.value("FFEE") +
                     decoded.value("FFED"),
                 count("mul"));
        QCOMPARE(decoded.value("0001"), count("power"));
        QCOMPARE(decoded.value("0002"), count("iron"));
        QCOMPARE(decoded.value("0003"), count("hotair"));
        QCOMPARE(debug.frames().size(), count("intact"));
        // The debug output is captured here: the figures go to standard error.
        std::fprintf(stderr, "%s\ndecoded %d frames, %.0f per second of the run\n",
                     qPrintable(sim.standardError().trimmed()), total(),
                     total() / report["seconds"]);
    }

    // While the line streams the window is painted about ten times a second
    // (a batch of frames comes twenty times a second), and what the last frame
    // showed is on screen once the line has gone quiet.
    void windowPaintsAtAPaceWhileTheLineStreams()
    {
        TestEnvironment::writeSettings({{"SerialInfo/nDisplayType", 1}});
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QElapsedTimer clock;
        clock.start();
        qint64 lastFrameMs = -1;
        connect(window.worker(), &DataProcessThread::decipher_sig, this,
                [&] { lastFrameMs = clock.elapsed(); });
        PassCounter passes(&window, &clock);
        qApp->installEventFilter(&passes);

        const QString link = TestEnvironment::home().path() + "/paced";
        SimProcess sim;
        sim.start({"--link", link, "--rate", "max", "--seconds", "6", "--seed", "3"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), 10000);
        QVERIFY(window.serialSettingDlg()->openPort(link));
        QTRY_VERIFY_WITH_TIMEOUT(lastFrameMs >= 0, 10000);
        const qint64 streamStartMs = clock.elapsed();
        const int passesBefore = passes.count;
        QTRY_VERIFY_WITH_TIMEOUT(sim.waitForEnd(0), 30000);
        QCOMPARE(sim.exitCode(), 0);
        const double seconds = (lastFrameMs - streamStartMs) / 1000.0;
        QVERIFY(seconds > 3);
        const double perSecond = (passes.count - passesBefore) / seconds;
        QVERIFY2(perSecond >= 3 && perSecond <= 12, qPrintable(QString::number(perSecond)));
        QTRY_VERIFY_WITH_TIMEOUT(passes.lastPaintMs > lastFrameMs, 2000);
    }

private:
    // Counts the window's paint passes: paints less than 20 ms apart belong to one.
    class PassCounter : public QObject
    {
    public:
        PassCounter(QWidget *window, const QElapsedTimer *clock) : window(window), clock(clock) {}
        int count = 0;
        qint64 lastPaintMs = -1;

    protected:
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && watched->isWidgetType() &&
                static_cast<QWidget *>(watched)->window() == window) {
                const qint64 now = clock->elapsed();
                count += lastPaintMs < 0 || now - lastPaintMs >= 20;
                lastPaintMs = now;
            }
            return false;
        }

    private:
        QWidget *window;
        const QElapsedTimer *clock;
    };
};

KORVANTA_TEST_MAIN(QApplication, SimulatorFullRateTest)
#include "tst_simulator_fullrate.moc"
