// korvanta-log on the simulated bench over a pseudo-terminal: every frame the
// simulator sends becomes the rows the window records for it, in both formats;
// the run ends as asked with the documented exit status and nothing lost.
#include "decodedframe.h"
#include "logrows.h"
#include "portstatus.h"
#include "reachablecopy.h"
#include "simprocess.h"
#include "unprivilegedprocess.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the rows of a --raw recording show: each raw frame followed by exactly
// the rows the window's decoders give for it. Returns the intact frames per
// instrument, or a description of the first row that breaks the rule.
QMap<QString, int> framesChecked(const QList<Row> &rows, bool json, QString &fault,
                                 int *invalidFrames = nullptr)
{
    QMap<QString, int> frames;
    for (int i = 0; i < rows.size() && fault.isEmpty();) {
        const Row &raw = rows[i++];
        if (raw.quantity == "raw_invalid") {
            if (invalidFrames && raw.detail.startsWith("C101"))
                ++*invalidFrames;
            continue;
        }
        if (raw.quantity != "raw") {
            fault = QString("row %1: %2 without its frame").arg(i).arg(raw.quantity);
            break;
        }
        ++frames[raw.instrument];
        for (const Reading &r :
             DecodedFrame::of(raw.detail, QDateTime::currentDateTime()).readings) {
            QString value = r.value;
            if (json && r.value != "OL" && r.value != "-OL")
                value = QString::number(r.value.toDouble(), 'g', 15);
            const Row row = rows.value(i++);
            const QStringList got{row.instrument, row.quantity, row.value, row.unit, row.detail};
            const QStringList want{r.instrument, r.quantity, value, r.unit, r.detail};
            if (got != want)
                fault = QString("frame %1: %2 instead of %3")
                            .arg(raw.detail, got.join(','), want.join(','));
        }
    }
    return frames;
}

// Every message is one line in the tool's own form: its name, then a text
// in lower case without a full stop.
bool toolsForm(const QString &line)
{
    static const QRegularExpression form("^korvanta-log: [a-z-][^\n]*[^.\n]$");
    return form.match(line).hasMatch();
}

} // namespace

class KorvantaLogTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString link;

    // Starts the simulator and waits for it. Its link is left as the killed
    // simulator of the case before left it, dangling.
    void startSim(SimProcess &sim, const QStringList &arguments)
    {
        sim.start(QStringList{"--link", link, "--seed", "11"} + arguments);
        QTRY_VERIFY_WITH_TIMEOUT(sim.standardOutput().contains("korvanta-sim: open " + link),
                                 10000);
    }

    static void startLog(QProcess &log, const QStringList &arguments,
                         const QString &program = KORVANTA_LOG_PATH)
    {
        log.start(program, arguments);
        QVERIFY(log.waitForStarted(10000));
    }

    static bool ended(QProcess &log, int timeoutMs = 60000)
    {
        return log.state() == QProcess::NotRunning || log.waitForFinished(timeoutMs);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        link = dir.path() + "/bench";
        QVERIFY(QFile::link(dir.path() + "/gone", link));
    }

    void everyFrameBecomesItsRows_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("simArguments");
        // The simulator's end closes the line; an unplug takes it away.
        QTest::newRow("csv, faults, line closed")
            << "csv"
            << QStringList{"--seconds",   "5",    "--noise",        "0.2", "--bad-checksum", "0.05",
                           "--lose-char", "0.05", "--random-chunks"};
        QTest::newRow("jsonl, unplugged")
            << "jsonl" << QStringList{"--unplug-after", "5", "--seconds", "6"};
    }

    void everyFrameBecomesItsRows()
    {
        QFETCH(QString, format);
        QFETCH(QStringList, simArguments);
        SimProcess sim;
        // Silent at first: what the line holds when the logger opens it is
        // dropped, and the simulator would count it as sent.
        QStringList quietStart;
        for (const char *name : {"mul", "power", "iron", "hotair"})
            quietStart << "--silence" << QString("%1:0:2").arg(name);
        startSim(sim, QStringList{"--rate", "max"} + quietStart + simArguments);
        const QString output = dir.path() + "/all." + format;
        QFile::remove(output);
        QProcess log;
        startLog(log, {link, "--raw", "--format", format, "--output", output});

        QVERIFY(ended(log));
        QVERIFY(sim.waitForEnd(30000));
        const QMap<QString, double> report = sim.report();
        QVERIFY2(!report.isEmpty(), qPrintable(sim.standardError()));
        const QString err = QString::fromLocal8Bit(log.readAllStandardError());
        QCOMPARE(log.exitCode(), 3);
        QVERIFY2(err.startsWith("korvanta-log: lost " + link + ": "), qPrintable(err));
        QVERIFY2(toolsForm(err.section('\n', 0, 0)), qPrintable(err));

        const QByteArray bytes = contents(output);
        const QList<Row> rows = format == "csv" ? parseCsv(bytes) : parseJsonl(bytes);
        QVERIFY(err.contains(QString("rows=%1 ").arg(rows.size())));
        QString fault;
        int invalid = 0;
        const QMap<QString, int> frames = framesChecked(rows, format == "jsonl", fault, &invalid);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QVERIFY(report["mul"] > 0 && report["power"] > 0 && report["iron"] > 0 &&
                report["hotair"] > 0);
        QCOMPARE(frames.value("multimeter"), int(report["mul"]));
        QCOMPARE(frames.value("power"), int(report["power"]));
        QCOMPARE(frames.value("iron"), int(report["iron"]));
        QCOMPARE(frames.value("hotair"), int(report["hotair"]));
        // Every damaged frame shows as received, from its start marker on.
        QVERIFY(invalid >= int(report["broken"]));
    }

    void countsFramesOfTheChosenInstruments()
    {
        SimProcess sim;
        startSim(sim, {"--rate", "max", "--bad-checksum", "0.1"});
        QProcess log;
        startLog(log,
                 {link, "--only", "iron,hotair", "--count", "25", "--raw", "--format", "jsonl"});
        QVERIFY(ended(log));
        QCOMPARE(log.exitCode(), 0);
        const QList<Row> rows = parseJsonl(log.readAllStandardOutput());
        QString fault;
        const QMap<QString, int> frames = framesChecked(rows, true, fault);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QCOMPARE(frames.keys(), (QStringList{"hotair", "iron"}));
        QCOMPARE(frames["hotair"] + frames["iron"], 25);
        QVERIFY(log.readAllStandardError().startsWith("korvanta-log: frames=25 "));
    }

    void endsAfterTheDuration()
    {
        SimProcess sim;
        startSim(sim, {});
        QProcess log;
        startLog(log, {link, "--duration", "1.5"});
        QVERIFY(ended(log));
        QCOMPARE(log.exitCode(), 0);
        const QList<Row> rows = parseCsv(log.readAllStandardOutput());
        QVERIFY(!rows.isEmpty());
        // Seconds, not milliseconds or minutes; the rows stop at the end.
        QVERIFY2(rows.last().elapsed >= 1 && rows.last().elapsed <= 1.5 + 0.5,
                 qPrintable(QString::number(rows.last().elapsed)));
        const double seconds =
            QString(log.readAllStandardError()).section("seconds=", 1).toDouble();
        QVERIFY2(seconds >= 1.5 && seconds <= 2, qPrintable(QString::number(seconds)));
    }

    void stopSignalWritesEverything_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("toFile");
        QTest::newRow("SIGINT, file") << SIGINT << true;
        QTest::newRow("SIGTERM") << SIGTERM << false;
        QTest::newRow("SIGHUP") << SIGHUP << false;
        QTest::newRow("SIGKILL") << SIGKILL << false;
    }

    // Rows reach the file or pipe as they come, at one instrument's pace of a
    // few hundred bytes a second: a stop signal ends the run cleanly, and a
    // SIGKILL loses no row already there.
    void stopSignalWritesEverything()
    {
        QFETCH(int, signal);
        QFETCH(bool, toFile);
        SimProcess sim;
        startSim(sim, {});
        const QString output = dir.path() + "/stopped.csv";
        QFile::remove(output);
        QProcess log;
        startLog(log, QStringList{link, "--only", "iron"} +
                          (toFile ? QStringList{"--output", output} : QStringList()));
        QByteArray bytes;
        const auto lines = [&] {
            bytes = toFile ? contents(output) : bytes + log.readAllStandardOutput();
            return int(bytes.count('\n'));
        };
        QTRY_VERIFY_WITH_TIMEOUT(lines() > 6, 8000);
        const int seen = lines();
        ::kill(pid_t(log.processId()), signal);
        QVERIFY(ended(log));
        QVERIFY(lines() >= seen && bytes.endsWith("\r\n"));
        QCOMPARE(log.exitStatus(), signal == SIGKILL ? QProcess::CrashExit : QProcess::NormalExit);
        if (signal == SIGKILL)
            return;
        QCOMPARE(log.exitCode(), 0);
        const QString err = QString::fromLocal8Bit(log.readAllStandardError());
        QVERIFY2(err.contains(QString("rows=%1 ").arg(parseCsv(bytes).size())), qPrintable(err));
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no port") << QStringList{};
        QTest::newRow("two ports") << QStringList{"/dev/a", "/dev/b"};
        QTest::newRow("unknown option") << QStringList{"/dev/a", "--speed", "9600"};
        QTest::newRow("unknown short option") << QStringList{"/dev/a", "-x"};
        QTest::newRow("missing value") << QStringList{"/dev/a", "--format"};
        QTest::newRow("format") << QStringList{"/dev/a", "--format", "xml"};
        QTest::newRow("count 0") << QStringList{"/dev/a", "--count", "0"};
        QTest::newRow("count text") << QStringList{"/dev/a", "--count", "many"};
        QTest::newRow("duration") << QStringList{"/dev/a", "--duration", "-1"};
        QTest::newRow("instrument") << QStringList{"/dev/a", "--only", "mul,scope"};
        QTest::newRow("empty output") << QStringList{"/dev/a", "--output", ""};
    }

    void badArguments()
    {
        QFETCH(QStringList, arguments);
        QProcess log;
        startLog(log, arguments);
        QVERIFY(ended(log));
        QCOMPARE(log.exitCode(), 1);
        QVERIFY(log.readAllStandardOutput().isEmpty());
        const QString err = QString::fromLocal8Bit(log.readAllStandardError());
        QVERIFY(err.contains("\nUsage: korvanta-log PORT "));
        QVERIFY2(toolsForm(err.section('\n', 0, 0)), qPrintable(err));
    }

    void portCannotBeOpened_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not found") << int(PortStatus::NotFound) << "not found";
        QTest::newRow("in use") << int(PortStatus::InUse) << "in use by another program";
        QTest::newRow("no permission")
            << int(PortStatus::NoPermission)
            << "no permission (add your user to the dialout group and log in again)";
    }

    void portCannotBeOpened()
    {
        QFETCH(int, kind);
        QFETCH(QString, reason);
        SimProcess sim;
        startSim(sim, {});
        QString port = link;
        QSerialPort holder(link);
        std::unique_ptr<QProcess> log = std::make_unique<QProcess>();
        ReachableCopy reachable(KORVANTA_LOG_PATH);
        QString program = KORVANTA_LOG_PATH;
        if (kind == PortStatus::NotFound) {
            port = dir.path() + "/nothing";
        } else if (kind == PortStatus::InUse) {
            QVERIFY(holder.open(QIODevice::ReadOnly));
        } else {
            // The device itself: nobody may not even look into the test's folder.
            port = QFileInfo(link).symLinkTarget();
            if (geteuid() == 0) {
                if (!reachable.isReady())
                    QSKIP("no folder where the user nobody can run a copy of the logger");
                log = std::make_unique<UnprivilegedProcess>();
                log->setProcessEnvironment(reachable.env());
                program = reachable.program();
            } else {
                QCOMPARE(chmod(QFile::encodeName(port).constData(), 0), 0);
            }
        }
        startLog(*log, {port}, program);
        QVERIFY(ended(*log));
        QCOMPARE(log->exitCode(), 2);
        const QString err = QString::fromLocal8Bit(log->readAllStandardError()).trimmed();
        QCOMPARE(err, "korvanta-log: cannot open " + port + ": " + reason);
        QVERIFY(log->readAllStandardOutput().isEmpty());
    }

    void outputCannotBeWritten()
    {
        // An existing file is never replaced; a full disk stops the run.
        SimProcess sim;
        startSim(sim, {});
        const QString existing = dir.path() + "/existing.csv";
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep");
        file.close();
        QProcess log;
        startLog(log, {link, "--output", existing});
        QVERIFY(ended(log));
        QCOMPARE(log.exitCode(), 4);
        QCOMPARE(contents(existing), QByteArray("keep"));

        QProcess full;
        full.setStandardOutputFile("/dev/full");
        startLog(full, {link});
        QVERIFY(ended(full));
        QCOMPARE(full.exitCode(), 4);
        QVERIFY(full.readAllStandardError().startsWith(
            "korvanta-log: cannot write standard output: disk full\n"));
    }

    void missingFolderIsAnOutputError()
    {
        SimProcess sim;
        startSim(sim, {});
        const QString folder = dir.path() + "/missing";
        const QString output = folder + "/deeper/run.csv";
        QProcess log;
        startLog(log, {link, "--output", output});
        QVERIFY(ended(log));
        QCOMPARE(log.exitCode(), 4);
        QVERIFY(!QFileInfo::exists(folder));
        const QString err = QString::fromLocal8Bit(log.readAllStandardError());
        QCOMPARE(err.section('\n', 0, 0),
                 "korvanta-log: cannot create " + output + ": no folder " + folder + "/deeper");
        QVERIFY(log.readAllStandardOutput().isEmpty());
    }

    void rowsAreStampedWhenReceived()
    {
        // Frames pile up in the line while nobody reads: about two seconds'
        // worth. They are not the logger's; its first rows come as received,
        // a frame or two a read, not all with the time of its start.
        SimProcess sim;
        startSim(sim, {});
        QTest::qWait(3000);
        QProcess log;
        startLog(log, {link, "--count", "30", "--format", "jsonl"});
        QVERIFY(ended(log));
        QCOMPARE(log.exitCode(), 0);
        const QList<Row> rows = parseJsonl(log.readAllStandardOutput());
        QVERIFY(rows.size() >= 30);
        // One read's rows are written within a few milliseconds; reads are
        // 20 ms apart.
        const int firstRead = int(std::count_if(rows.begin(), rows.end(), [&](const Row &row) {
            return row.elapsed - rows.first().elapsed < 0.005;
        }));
        QVERIFY2(firstRead <= 6, qPrintable(QString::number(firstRead)));
    }

    void silentPortIsReportedOnce()
    {
        // A port that delivers nothing intact: said once, and the run goes on.
        SimProcess sim;
        startSim(sim, {"--only", "iron", "--silence", "iron:0:60"});
        QProcess log;
        startLog(log, {link, "--duration", "11"});
        QVERIFY(ended(log));
        QCOMPARE(log.exitCode(), 0);
        QCOMPARE(log.readAllStandardOutput(),
                 QByteArray("time,elapsed_s,instrument,quantity,value,unit,detail\r\n"));
        const QStringList lines =
            QString::fromLocal8Bit(log.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], "korvanta-log: no intact frame from " + link +
                               " in 5 s (115200 baud, 8N1); still listening");
        QVERIFY(lines[1].startsWith("korvanta-log: frames=0 rows=0 "));
    }
};

QTEST_GUILESS_MAIN(KorvantaLogTest)
#include "tst_korvantalog.moc"
