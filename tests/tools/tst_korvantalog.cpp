// korvanta-log on the simulated bench over a pseudo-terminal: every frame the
// simulator sends becomes the rows the window records for it, in both formats;
// the run ends as asked with the documented exit status and nothing lost.
#include "decodedframe.h"
#include "languagetext.h"
#include "portstatus.h"
#include "settinginfo.h"
#include "simprocess.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Row
{
    QString instrument, quantity, value, unit, detail;
    double elapsed = 0;
};

// The fields of one RFC 4180 line.
QStringList csvFields(const QString &line)
{
    QStringList fields{QString()};
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            fields.last() += line[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields << QString();
        else
            fields.last() += c;
    }
    return fields;
}

QList<Row> parseCsv(const QByteArray &bytes)
{
    QList<Row> rows;
    const QStringList lines = QString::fromUtf8(bytes).split("\r\n");
    if (lines.value(0) != "time,elapsed_s,instrument,quantity,value,unit,detail")
        return {};
    for (const QString &line : lines.mid(1, lines.size() - 2)) {
        const QStringList f = csvFields(line);
        rows << Row{f.value(2), f.value(3), f.value(4),
                    f.value(5), f.value(6), f.value(1).toDouble()};
    }
    return rows;
}

QList<Row> parseJsonl(const QByteArray &bytes)
{
    QList<Row> rows;
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        const QJsonValue value = o.value("value");
        // A number compares by value: 12.50 reads back as 12.5.
        const QString valueText =
            value.isDouble() ? QString::number(value.toDouble(), 'g', 15) : value.toString();
        rows << Row{o.value("instrument").toString(),
                    o.value("quantity").toString(),
                    valueText,
                    o.value("unit").toString(),
                    o.value("detail").toString(),
                    o.value("elapsed_s").toDouble(-1)};
    }
    return rows;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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

QString portText(PortStatus::Kind kind, const QString &port)
{
    return "korvanta-log: " + PortStatus(kind, port).text();
}

// The logger as the user nobody: root opens any device.
class UnprivilegedProcess : public QProcess
{
protected:
    void setupChildProcess() override
    {
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
            _exit(127);
    }
};

// A copy of the logger with its English texts (and the leak checker's
// suppressions) where the user nobody can run it: a clone in a private folder,
// such as root's home, keeps nobody out of the build.
class ReachableLogger
{
public:
    ReachableLogger()
    {
        if (!dir.isValid() || !QFile::setPermissions(dir.path(), kOpen) ||
            !QDir(dir.path()).mkdir("settings") ||
            !QFile::setPermissions(dir.filePath("settings"), kOpen) ||
            !copy(KORVANTA_LOG_PATH, dir.filePath("korvanta-log")) ||
            !copy(QFileInfo(KORVANTA_LOG_PATH).path() + "/settings/en.ini",
                  dir.filePath("settings/en.ini")))
            return;
        QString lsan = qEnvironmentVariable("LSAN_OPTIONS");
        const QRegularExpression suppressions("suppressions=([^:]*)");
        const QRegularExpressionMatch match = suppressions.match(lsan);
        if (match.hasMatch()) {
            if (!copy(match.captured(1), dir.filePath("lsan.supp")))
                return;
            lsan.replace(match.capturedStart(1), match.capturedLength(1),
                         dir.filePath("lsan.supp"));
        }
        environment.insert("LSAN_OPTIONS", lsan);
        ready = runsAsNobody(dir.filePath("korvanta-log"));
    }

    bool isReady() const { return ready; }
    QString program() const { return dir.filePath("korvanta-log"); }
    QProcessEnvironment env() const { return environment; }

private:
    static constexpr QFile::Permissions kOpen =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

    static bool copy(const QString &from, const QString &to)
    {
        return QFile::copy(from, to) && QFile::setPermissions(to, kOpen);
    }

    // Whether the folders above the copy let nobody reach it.
    static bool runsAsNobody(const QString &program)
    {
        const QByteArray path = QFile::encodeName(program);
        const pid_t child = fork();
        if (child == 0) {
            const bool reached = setgroups(0, nullptr) == 0 && setgid(65534) == 0 &&
                                 setuid(65534) == 0 && access(path.constData(), X_OK) == 0;
            _exit(reached ? 0 : 1);
        }
        int status = 0;
        return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
               WEXITSTATUS(status) == 0;
    }

    QTemporaryDir dir{QDir::tempPath() + "/korvanta-log-XXXXXX"};
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    bool ready = false;
};

} // namespace

class KorvantaLogTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString link;

    // Starts the simulator on a fresh link and waits for it.
    void startSim(SimProcess &sim, const QStringList &arguments)
    {
        QFile::remove(link);
        sim.start(QStringList{"--link", link, "--seed", "11"} + arguments);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), 10000);
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
        savedSetting.LanguageType = 2; // the logger speaks English
        loadLanguage();
        QVERIFY(!languageText["ids_Port_Language/ids_notFound"].isEmpty());
    }

    void everyFrameBecomesItsRows_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("simArguments");
        // The simulator's end closes the line; an unplug takes it away.
        QTest::newRow("csv, faults, line closed")
            << "csv"
            << QStringList{"--seconds",   "3",    "--noise",        "0.2", "--bad-checksum", "0.05",
                           "--lose-char", "0.05", "--random-chunks"};
        QTest::newRow("jsonl, unplugged")
            << "jsonl" << QStringList{"--unplug-after", "3", "--seconds", "4"};
    }

    void everyFrameBecomesItsRows()
    {
        QFETCH(QString, format);
        QFETCH(QStringList, simArguments);
        SimProcess sim;
        startSim(sim, QStringList{"--rate", "max"} + simArguments);
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
        QVERIFY2(err.startsWith("korvanta-log: lost " + link), qPrintable(err));

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
        QVERIFY2(rows.last().elapsed <= 1.5 + 0.5,
                 qPrintable(QString::number(rows.last().elapsed)));
    }

    void stopSignalWritesEverything_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
    }

    void stopSignalWritesEverything()
    {
        QFETCH(int, signal);
        SimProcess sim;
        startSim(sim, {"--rate", "max"});
        const QString output = dir.path() + "/stopped.csv";
        QFile::remove(output);
        QProcess log;
        startLog(log, {link, "--output", output});
        QTRY_VERIFY_WITH_TIMEOUT(contents(output).count('\n') > 20, 20000);
        ::kill(pid_t(log.processId()), signal);
        QVERIFY(ended(log));
        QCOMPARE(log.exitStatus(), QProcess::NormalExit);
        QCOMPARE(log.exitCode(), 0);
        const QByteArray bytes = contents(output);
        QVERIFY(bytes.endsWith("\r\n"));
        const QString err = QString::fromLocal8Bit(log.readAllStandardError());
        QVERIFY2(err.contains(QString("rows=%1 ").arg(parseCsv(bytes).size())), qPrintable(err));
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no port") << QStringList{};
        QTest::newRow("two ports") << QStringList{"/dev/a", "/dev/b"};
        QTest::newRow("unknown option") << QStringList{"/dev/a", "--speed", "9600"};
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
        QVERIFY(log.readAllStandardError().contains("\nUsage: korvanta-log PORT "));
    }

    void portCannotBeOpened_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("not found") << int(PortStatus::NotFound);
        QTest::newRow("in use") << int(PortStatus::InUse);
        QTest::newRow("no permission") << int(PortStatus::NoPermission);
    }

    void portCannotBeOpened()
    {
        QFETCH(int, kind);
        SimProcess sim;
        startSim(sim, {});
        QString port = link;
        QSerialPort holder(link);
        std::unique_ptr<QProcess> log = std::make_unique<QProcess>();
        ReachableLogger reachable;
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
        QCOMPARE(err, portText(PortStatus::Kind(kind), port));
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
        QVERIFY(full.readAllStandardError().contains(
            languageText["ids_Record_Language/ids_diskFull"].toUtf8()));
    }
};

QTEST_GUILESS_MAIN(KorvantaLogTest)
#include "tst_korvantalog.moc"
