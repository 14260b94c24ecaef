// korvanta-sim: the instruments' readings as the program decodes them, the
// options, and the program itself writing into a file and a pseudo-terminal.
#include "c1frame.h"
#include "debugcapture.h"
#include "framesplitter.h"
#include "hotairmodel.h"
#include "ironmodel.h"
#include "mainwindow.h"
#include "multimetermodel.h"
#include "mylcdnumber.h"
#include "powersupplymodel.h"
#include "programversion.h"
#include "simoptions.h"
#include "simprocess.h"
#include "stationrecords.h"
#include "testenvironment.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLCDNumber>
#include <QLabel>
#include <QSet>
#include <QtTest>

#include <fcntl.h>
#include <numeric>
#include <unistd.h>

namespace {

QString text(const QByteArray &frame)
{
    return QString::fromLatin1(frame);
}

// The intact frames in what the program wrote, by function code.
QMap<QString, int> framesIn(const QByteArray &written)
{
    QMap<QString, int> codes;
    for (const QByteArray &frame : FrameSplitter().feed(written))
        ++codes[text(frame.mid(24, 4))];
    return codes;
}

int sum(const QMap<QString, int> &counts)
{
    return std::accumulate(counts.begin(), counts.end(), 0);
}

int multimeterFrames(const QMap<QString, int> &codes)
{
    return sum(codes) - codes.value("0001") - codes.value("0002") - codes.value("0003");
}

// A fresh file for the program to write into, under the test's home.
QString emptyFile(const QString &name)
{
    const QString path = TestEnvironment::home().path() + '/' + name;
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    return path;
}

QByteArray readLine(const QString &path, int minimum)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    QByteArray data;
    if (fd < 0)
        return data;
    QElapsedTimer waited;
    waited.start();
    while (data.size() < minimum && waited.elapsed() < 10000) {
        char buffer[512];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0)
            data.append(buffer, int(got));
        else
            QTest::qWait(20);
    }
    ::close(fd);
    return data;
}

} // namespace

class SimulatorTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::writeSettings(); }

    void multimeterReadingsShowAsSent_data()
    {
        // Like a real meter, the table mode only when asked for.
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("tableSwitches");
        QTest::newRow("default") << QStringList{} << 0;
        QTest::newRow("table every 30 s") << QStringList{"--table-every", "30"} << 3;
    }

    void multimeterReadingsShowAsSent()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, tableSwitches);
        SimOptions options;
        QString why;
        QCOMPARE(SimOptions::parse(QStringList{"korvanta-sim"} + arguments, options, why),
                 SimOptions::Outcome::Run);
        MainWindow window;
        DebugCapture quiet; // every frame goes to the debug output
        auto *display = window.findChild<myLCDNumber *>("lcdNumber_multimeter");
        auto *unit = window.findChild<QLabel *>("label_mulUnit");
        MultimeterModel meter(3, options.tableEvery);
        MultimeterModel twin(3); // same seed: the readings the frames carry
        QSet<QString> functions;
        bool negative = false, open = false, buzzer = false;
        int switches = 0;
        bool tableMode = window.bTableMode;
        for (double t = 0; t < 120; t += 0.25) {
            const MultimeterModel::Reading reading = twin.reading(t);
            window.decipher(text(meter.frame(t)));
            QCOMPARE(window.strFunCode, QString::number(reading.functionCode, 16).toUpper());
            QCOMPARE(display->valueText(), QString::fromLatin1(reading.shown));
            QVERIFY2(!unit->text().isEmpty(), qPrintable(window.strFunCode));
            functions << window.strFunCode;
            negative |= reading.shown.startsWith('-');
            open |= reading.shown == "0.L";
            buzzer |= bool(reading.flags & MultimeterModel::kBuzzerFlag);
            switches += window.bTableMode != tableMode;
            tableMode = window.bTableMode;
        }
        QCOMPARE(functions.size(), 7);
        QVERIFY(negative && open && buzzer);
        QCOMPARE(switches, tableSwitches); // at 30, 60 and 90 s when asked
    }

    void displayTextsThatDoNotFitAreRefused_data()
    {
        QTest::addColumn<QByteArray>("shown");
        QTest::addColumn<bool>("fits");
        QTest::newRow("four digits and a point") << QByteArray("12.34") << true;
        QTest::newRow("minus") << QByteArray("-5.02") << true;
        QTest::newRow("overload") << QByteArray("0.L") << true;
        QTest::newRow("five digits") << QByteArray("12345") << false;
        QTest::newRow("point in front") << QByteArray(".5") << false;
        QTest::newRow("point before the first of four") << QByteArray("1.234") << true;
        QTest::newRow("two points") << QByteArray("1..2") << false;
        QTest::newRow("trailing point") << QByteArray("12.") << false;
        QTest::newRow("letter") << QByteArray("1x") << false;
    }

    void displayTextsThatDoNotFitAreRefused()
    {
        QFETCH(QByteArray, shown);
        QFETCH(bool, fits);
        quint8 digits[4];
        QCOMPARE(MultimeterModel::displayDigits(shown, digits), fits);
    }

    void stationReadingsBehave()
    {
        PowerSupplyModel power(1);
        IronModel iron(2);
        HotAirModel hotAir(3);
        auto records = [](const QByteArray &frame, quint16 code) {
            const C1Frame::Check check = C1Frame::check(text(frame));
            const QString codeText = QString::number(code, 16).rightJustified(4, '0');
            return check.checksumOk && check.strFunCode == codeText
                       ? StationRecords::parse(check.strPayload)
                             .value_or(QList<StationRecords::Record>())
                       : QList<StationRecords::Record>();
        };
        double firstTip = 0, lastTip = 0, lastNozzle = 0;
        QSet<int> speeds;
        for (double t = 0; t < 120; t += 0.25) {
            const auto supply = records(power.frame(t), 0x0001);
            QCOMPARE(supply.size(), 2);
            QCOMPARE(StationRecords::unitText(supply[0].unitCode), QString("V"));
            QCOMPARE(StationRecords::unitText(supply[1].unitCode), QString("A"));
            const double volts = StationRecords::number(supply[0].value);
            const double amps = StationRecords::number(supply[1].value);
            if (PowerSupplyModel::currentLimited(t)) {
                QVERIFY(qAbs(amps - 2.0) < 0.01 && volts < 11);
            } else {
                QVERIFY2(qAbs(volts - 12) < 0.1 && amps > 0.1 && amps < 1.7,
                         qPrintable(supply[0].value + ' ' + supply[1].value));
            }

            const auto tip = records(iron.frame(t), 0x0002);
            QCOMPARE(tip.size(), 2);
            QCOMPARE(StationRecords::unitText(tip[1].unitCode), QString("℃"));
            QCOMPARE(tip[0].value, QString("350"));
            lastTip = StationRecords::number(tip[1].value);
            if (t == 0)
                firstTip = lastTip;

            const auto nozzle = records(hotAir.frame(t), 0x0003);
            QCOMPARE(nozzle.size(), 3);
            QCOMPARE(nozzle[2].unitCode, QString("0025"));
            speeds << nozzle[2].value.toInt();
            lastNozzle = StationRecords::number(nozzle[1].value);
        }
        QVERIFY(firstTip < 30);
        QVERIFY(qAbs(lastTip - 350) <= 3);
        QVERIFY(qAbs(lastNozzle - 300) <= 12);
        QVERIFY(speeds.size() >= 4);
    }

    void badOptionsAreRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown instrument") << QStringList{"--only", "mul,scope"};
        QTest::newRow("rate zero") << QStringList{"--rate", "0"};
        QTest::newRow("rate text") << QStringList{"--rate", "fast"};
        QTest::newRow("share above one") << QStringList{"--bad-checksum", "1.5"};
        QTest::newRow("percent above 100") << QStringList{"--lose-char", "120%"};
        QTest::newRow("silence without length") << QStringList{"--silence", "iron:10"};
        QTest::newRow("silence of nobody") << QStringList{"--silence", "kettle:1:1"};
        QTest::newRow("replug alone") << QStringList{"--replug-after", "3"};
        QTest::newRow("device and link") << QStringList{"--device", "/dev/null", "--link", "x"};
        QTest::newRow("negative seconds") << QStringList{"--seconds", "-1"};
        QTest::newRow("stray argument") << QStringList{"now"};
    }

    void badOptionsAreRefused()
    {
        QFETCH(QStringList, arguments);
        SimOptions options;
        QString why;
        QCOMPARE(SimOptions::parse(QStringList{"korvanta-sim"} + arguments, options, why),
                 SimOptions::Outcome::Error);
        QVERIFY(!why.isEmpty());
    }

    void optionsAreRead()
    {
        SimOptions options;
        QString why;
        QCOMPARE(SimOptions::parse({"korvanta-sim", "--only", "hotair,mul", "--rate", "max",
                                    "--noise", "25%", "--silence", "iron:10:8", "--unplug-after",
                                    "4", "--replug-after", "2", "--seed", "9"},
                                   options, why),
                 SimOptions::Outcome::Run);
        QCOMPARE(options.kinds, (QList<int>{Instrument::HotAirGun, Instrument::Multimeter}));
        QVERIFY(options.maxRate);
        QCOMPARE(options.faults.noise, 0.25);
        QCOMPARE(options.silences.size(), 1);
        QCOMPARE(options.silences[0].kind, int(Instrument::SolderingIron));
        QCOMPARE(options.silences[0].seconds, 8.0);
        QCOMPARE(options.seed, 9u);
        QCOMPARE(options.link, SimOptions::defaultLink());
    }

    void helpAndVersion()
    {
        SimProcess help;
        help.start({"--help"});
        QVERIFY(help.waitForEnd(10000));
        for (const char *option :
             {"--link", "--device", "--only", "--rate", "--seconds", "--seed", "--random-chunks",
              "--noise", "--bad-checksum", "--lose-char", "--silence", "--unplug-after",
              "--replug-after", "--table-every"})
            QVERIFY2(help.standardOutput().contains(option), option);
        SimProcess version;
        version.start({"--version"});
        QVERIFY(version.waitForEnd(10000));
        QCOMPARE(version.standardOutput().trimmed(), "korvanta-sim " + programVersion());
    }

    void onlyTheChosenInstrumentsSendUntilInterrupted()
    {
        const QString path = emptyFile("only.txt");
        SimProcess sim;
        sim.start({"--device", path, "--only", "mul,power,iron", "--silence", "iron:0:1000",
                   "--rate", "20", "--seed", "4"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(path).size() > 2000, 20000);
        sim.interrupt(SIGTERM);
        QVERIFY(sim.waitForEnd(20000));
        QCOMPARE(sim.exitCode(), 0);
        const QMap<QString, double> report = sim.report();
        QVERIFY2(!report.isEmpty(), qPrintable(sim.standardError()));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QMap<QString, int> codes = framesIn(file.readAll());
        QCOMPARE(sum(codes), int(report["sent"]));
        QCOMPARE(multimeterFrames(codes), int(report["mul"]));
        QCOMPARE(codes.value("0001"), int(report["power"]));
        QVERIFY(report["mul"] > 0 && report["power"] > 0);
        QCOMPARE(codes.value("0002") + codes.value("0003"), 0);
    }

    void faultSharesAndExactIntactCount()
    {
        const QString path = emptyFile("faults.txt");
        SimProcess sim;
        sim.start({"--device", path, "--rate", "max", "--seconds", "3", "--seed", "11",
                   "--bad-checksum", "0.2", "--lose-char", "10%", "--noise", "0.5",
                   "--random-chunks"});
        QVERIFY(sim.waitForEnd(30000));
        QCOMPARE(sim.exitCode(), 0);
        const QMap<QString, double> report = sim.report();
        QVERIFY2(report["sent"] > 200, qPrintable(sim.standardError()));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        const QMap<QString, int> codes = framesIn(written);
        // Every damaged frame fails, every intact one passes, noise or not.
        QCOMPARE(sum(codes), int(report["intact"]));
        QCOMPARE(multimeterFrames(codes), int(report["mul"]));
        QCOMPARE(codes.value("0003"), int(report["hotair"]));
        // 1 - 0.8 * 0.9 of the frames are damaged.
        const double brokenShare = report["broken"] / report["sent"];
        QVERIFY2(qAbs(brokenShare - 0.28) < 0.06, qPrintable(QString::number(brokenShare)));
        QVERIFY(written.contains('\xFF') || written.contains('\n'));
        // A full line at 11520 characters/s, not more.
        const double carried = 11520 * report["seconds"];
        QVERIFY2(written.size() >= 0.9 * carried && written.size() <= 1.02 * carried + 100,
                 qPrintable(QString("%1 of %2").arg(written.size()).arg(carried)));
    }

    void unplugAndReplugAtTheSameLink()
    {
        const QString link = TestEnvironment::home().path() + "/unplugged";
        SimProcess sim;
        sim.start({"--link", link, "--unplug-after", "2", "--replug-after", "2", "--rate", "20",
                   "--seed", "2"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), 10000);
        const QString first = QFileInfo(link).symLinkTarget();
        QVERIFY(readLine(link, 200).contains("C101"));
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo(link).isSymLink(), 10000);
        QVERIFY(!QFileInfo::exists(first)); // the device went with the link
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), 10000);
        QVERIFY(QFileInfo::exists(link));
        QVERIFY(readLine(link, 200).contains("C101"));
        sim.interrupt(SIGHUP);
        QVERIFY(sim.waitForEnd(30000));
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(sim.standardOutput().contains("plugged in again"));
        QVERIFY(!QFileInfo(link).isSymLink()); // cleaned up at the end
    }
};

KORVANTA_TEST_MAIN(QApplication, SimulatorTest)
#include "tst_simulator.moc"
