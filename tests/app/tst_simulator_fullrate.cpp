// korvanta-sim at the full line rate into the program over a pseudo-terminal:
// every frame it reports as sent reaches the decoder.
#include "dataprocessthread.h"
#include "debugcapture.h"
#include "mainwindow.h"
#include "serialsettingdlg.h"
#include "simprocess.h"
#include "testenvironment.h"

#include <QApplication>
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
};

KORVANTA_TEST_MAIN(QApplication, SimulatorFullRateTest)
#include "tst_simulator_fullrate.moc"
