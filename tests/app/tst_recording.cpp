// Recording in the window: rows that match the displays for a stream of all
// four instruments, across a port close and a language switch; failures that
// stop with a message and keep the window running; a kill that loses nothing
// already written.
#include "filesizelimit.h"
#include "framebuilder.h"
#include "languagetext.h"
#include "mainwindow.h"
#include "mylcdnumber.h"
#include "pseudoterminal.h"
#include "recordingcontrol.h"
#include "recordingfolder.h"
#include "testenvironment.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLCDNumber>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QtTest>

#include <cerrno>
#include <cstdio>

namespace {

using FrameBuilder::multimeter;
using FrameBuilder::record;
using FrameBuilder::station;

QString recordText(const char *entry)
{
    return languageText[QStringLiteral("ids_Record_Language/") + entry];
}

QString powerFrame()
{
    return station(1, {record("12.50", 0x0056), record("0.5", 0x0041)});
}

// Frames of all four instruments, each with the rows it gives: instrument,
// quantity, value, unit, detail.
const QList<QPair<QString, QString>> &stream()
{
    static const QList<QPair<QString, QString>> frames = {
        {multimeter(0xFFFF, " 123", 0x0056, 0, {2}), "multimeter,reading,1.23,V,DC voltage"},
        {multimeter(0xFFFE, " 5  ", 0x6D56, 0, {1}, true), "multimeter,reading,-0.5,mV,AC voltage"},
        {multimeter(0xFFF1, "1000", 0x4B4F, 0, {1}), "multimeter,reading,1.000,KΩ,resistance"},
        {multimeter(0xFFF1, " 0L ", 0x4D4F, 0, {2}), "multimeter,reading,OL,MΩ,resistance"},
        {multimeter(0xFFFF, " 0L ", 0x0056, 0, {}, true), "multimeter,reading,-OL,V,DC voltage"},
        {multimeter(0xFFF0, "  50", 0x4B48), "multimeter,reading,50,KHz,frequency"},
        {multimeter(0xFFEE, "0512", 0x0056, 0, {1}), "multimeter,reading,0.512,V,diode"},
        {multimeter(0xFFED, " 47 ", 0x7546), "multimeter,reading,47,uF,capacitance"},
        {multimeter(0xFFEF, "  12", 0x004F), "multimeter,reading,12,Ω,resistance"},
        {powerFrame(), "power,voltage,12.50,V,;power,current,0.5,A,;power,power,6.25,W,"},
        {station(1, {record("500", 0x6D56), record("20", 0x6D41)}),
         "power,voltage,500,mV,;power,current,20,mA,;power,power,0.01,W,"},
        {station(2, {record("350", 0x0043), record("348.5", 0x0043)}),
         "iron,set_temperature,350,°C,;iron,temperature,348.5,°C,"},
        {station(3, {record("572", 0x0046), record("560", 0x0046), record("45", 0x0025)}),
         "hotair,set_temperature,572,°F,;hotair,temperature,560,°F,;hotair,air_speed,45,%,"},
    };
    return frames;
}

// The rows of a recording without its header (these hold no quoted fields).
QList<QStringList> csvRows(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QList<QStringList> rows;
    for (const QString &line : QString::fromUtf8(file.readAll()).split("\r\n").mid(1)) {
        if (!line.isEmpty())
            rows << line.split(',');
    }
    return rows;
}

// The display and unit label of each recorded station quantity.
const QHash<QString, QPair<const char *, const char *>> kPlaces = {
    {"power/voltage", {"lcdNumber_voltage", "label_voltageUnit"}},
    {"power/current", {"lcdNumber_current", "label_currentUnit"}},
    {"power/power", {"lcdNumber_power", nullptr}},
    {"iron/set_temperature", {"lcdNumber_settingTemp_e", "label_settingTempUnit_e"}},
    {"iron/temperature", {"lcdNumber_realTemp_e", "label_realTempUnit_e"}},
    {"hotair/set_temperature", {"lcdNumber_settingTemp_a", "label_settingTempUnit_a"}},
    {"hotair/temperature", {"lcdNumber_realTemp_a", "label_realTempUnit_a"}},
    {"hotair/air_speed", {"lcdNumber_speed", nullptr}},
};

struct Fixture
{
    explicit Fixture(int language = 2)
    {
        TestEnvironment::writeSettings({{"ids_LanguageType/LanguageType", language}});
        window.reset(new MainWindow);
        window->show();
    }
    template <typename T> T *child(const char *name) const { return window->findChild<T *>(name); }
    QPushButton *button() const { return child<QPushButton>("pushButton_record"); }
    QLabel *label() const { return child<QLabel>("recordingLabel"); }
    // The two recording actions end the view menu.
    QAction *viewAction(int fromEnd) const
    {
        const QList<QAction *> actions = child<QToolButton>("toolButton_view")->menu()->actions();
        return actions.at(actions.size() - fromEnd);
    }
    const CsvRecorder &recorder() const { return window->recording()->csvRecorder(); }
    QString text(const char *name) const { return child<QLabel>(name)->text(); }

    void checkAgainstDisplays(const QStringList &row) const
    {
        const QString key = row[2] + '/' + row[3], value = row[4], unit = row[5];
        if (key == "multimeter/reading") {
            const QString shown = child<myLCDNumber>("lcdNumber_multimeter")->valueText();
            if (shown.contains('L'))
                QCOMPARE(value, QString(shown.startsWith('-') ? "-OL" : "OL"));
            else
                QCOMPARE(value.toDouble(), shown.toDouble());
            QCOMPARE(unit, text("label_mulUnit"));
            return;
        }
        QVERIFY2(kPlaces.contains(key), qPrintable(key));
        const auto [lcd, unitLabel] = kPlaces[key];
        QVERIFY(qFuzzyCompare(value.toDouble(), child<QLCDNumber>(lcd)->value()));
        // "°C" is the compatibility form of the window's "℃".
        if (unitLabel)
            QCOMPARE(unit, text(unitLabel).normalized(QString::NormalizationForm_KC));
    }

    std::unique_ptr<MainWindow> window;
};

// The crash-safety test runs this program a second time to record until it is
// killed; once 400 rows are written it says so, with the file, and goes on.
int recordUntilKilled()
{
    MainWindow window;
    window.findChild<QPushButton *>("pushButton_record")->click();
    const CsvRecorder &recorder = window.recording()->csvRecorder();
    for (int frame = 0; recorder.isRecording(); ++frame) {
        window.decipher(stream()[frame % stream().size()].first);
        if (recorder.rowCount() >= 400 && recorder.rowCount() < 403) {
            std::printf("%lld %s\n", static_cast<long long>(recorder.rowCount()),
                        qPrintable(recorder.filePath()));
            std::fflush(stdout);
        }
    }
    return 1;
}

} // namespace

class RecordingTest : public QObject
{
    Q_OBJECT

private slots:
    void recordsWhatTheDisplaysShow()
    {
        Fixture f;
        QVERIFY(!f.label()->isVisible());
        f.button()->click();
        const QString path = f.recorder().filePath();
        QCOMPARE(QFileInfo(path).absolutePath(), RecordingFolder::path());
        QVERIFY(QRegularExpression(R"(/korvanta-\d{8}-\d{6}\.csv$)").match(path).hasMatch());
        QCOMPARE(f.button()->toolTip(), QString("Stop recording"));
        QCOMPARE(f.viewAction(2)->text(), QString("Stop recording"));
        QCOMPARE(f.label()->toolTip(), QDir::toNativeSeparators(path));
        QVERIFY(f.label()->text().contains("0 rows"));
        f.window->actItemClick(); // the graphic view has room for the whole name
        QTRY_VERIFY(f.label()->text().contains(QFileInfo(path).fileName()));

        int rows = 0;
        for (const auto &[frame, expected] : stream()) {
            f.window->decipher(frame);
            QStringList written;
            for (const QStringList &row : csvRows(path).mid(rows)) {
                f.checkAgainstDisplays(row);
                written << row.mid(2).join(',');
            }
            QCOMPARE(written.join(';'), expected);
            rows += written.size();
        }
        QTRY_VERIFY(f.label()->text().contains(QString("%1 rows").arg(rows)));

        // Closing the port and switching the language keep the same file.
        f.window->SerialOpenFailed_slot();
        f.window->LanguageChangedToGerman();
        QVERIFY(recordText("ids_stopRecord") != "Stop recording");
        QCOMPARE(f.button()->toolTip(), recordText("ids_stopRecord"));
        QCOMPARE(f.viewAction(1)->text(), recordText("ids_openFolder"));
        QVERIFY(f.label()->text().contains(recordText("ids_rows").arg(rows)));
        f.window->decipher(powerFrame());
        QCOMPARE(csvRows(path).size(), rows + 3);

        f.viewAction(2)->trigger();
        QVERIFY(!f.recorder().isRecording());
        QCOMPARE(f.button()->toolTip(), recordText("ids_record"));
        f.window->decipher(powerFrame());
        QCOMPARE(csvRows(path).size(), rows + 3);
        // For a few seconds the status bar says where the rows went.
        const QString saved = recordText("ids_saved");
        const QString count = QString::number(rows + 3);
        QVERIFY(saved.contains("%1") && saved.contains("%2"));
        QVERIFY(f.label()->isVisible());
        QCOMPARE(f.label()->text(), saved.arg(QFileInfo(path).fileName(), count));
        QCOMPARE(f.label()->toolTip(), saved.arg(QDir::toNativeSeparators(path), count));
        QTRY_VERIFY_WITH_TIMEOUT(!f.label()->isVisible(), 3 * RecordingControl::kSavedShownMs);
    }

    void loggerRecordsWhatTheWindowRecords()
    {
        Fixture f;
        f.button()->click();
        QByteArray line;
        QStringList expectedRows;
        for (const auto &[frame, expected] : stream()) {
            f.window->decipher(frame);
            line += frame.toLatin1();
            expectedRows += expected.split(';');
        }
        QStringList inWindow;
        for (const QStringList &row : csvRows(f.recorder().filePath()))
            inWindow << row.mid(2).join(',');
        QCOMPARE(inWindow, expectedRows);

        PseudoTerminal port;
        QProcess log;
        log.start(KORVANTA_LOG_PATH, {port.slavePath()});
        QVERIFY(log.waitForStarted(10000));
        // The header comes once the port is open.
        QByteArray out;
        const auto lines = [&] {
            out += log.readAllStandardOutput();
            return out.count("\r\n");
        };
        QTRY_VERIFY_WITH_TIMEOUT(lines() >= 1, 10000);
        QVERIFY(port.write(line));
        QTRY_VERIFY_WITH_TIMEOUT(lines() >= inWindow.size() + 1, 10000);
        log.terminate();
        QVERIFY(log.waitForFinished(10000));
        lines();
        QStringList logged;
        for (const QString &row : QString::fromUtf8(out).split("\r\n").mid(1)) {
            if (!row.isEmpty())
                logged << row.section(',', 2);
        }
        QCOMPARE(logged, inWindow);
    }

    void failuresStopWithAMessage_data()
    {
        QTest::addColumn<bool>("midRecording");
        QTest::newRow("folder cannot be created") << false;
        QTest::newRow("write fails while recording") << true;
    }

    void failuresStopWithAMessage()
    {
        QFETCH(bool, midRecording);
        Fixture f(4); // German: the message follows the current language
        QString message;
        if (midRecording) {
            f.button()->click();
            f.window->decipher(powerFrame());
            FileSizeLimit limit(QFileInfo(f.recorder().filePath()).size() + 10);
            f.window->decipher(powerFrame());
            QCOMPARE(csvRows(f.recorder().filePath()).size(), 3);
            message = recordText("ids_stopped").arg("%1", qt_error_string(EFBIG));
        } else {
            QFile(RecordingFolder::path()).open(QIODevice::WriteOnly); // where the folder belongs
            f.button()->click();
            message = recordText("ids_cannotStart").arg("%1", qt_error_string(ENOTDIR));
        }
        const QString failed = f.recorder().filePath();
        QVERIFY(failed.startsWith(RecordingFolder::path() + "/korvanta-"));
        QVERIFY(!f.recorder().isRecording() && f.label()->isVisible());
        QCOMPARE(f.label()->toolTip(), message.arg(QDir::toNativeSeparators(failed)));
        QCOMPARE(f.button()->toolTip(), recordText("ids_record"));
        QVERIFY(f.window->findChildren<QMessageBox *>().isEmpty());
        // The window goes on showing readings.
        f.window->decipher(station(2, {record("123", 0x0043), record("99", 0x0043)}));
        QCOMPARE(f.child<QLCDNumber>("lcdNumber_realTemp_e")->value(), 99.0);

        // With the cause gone the next attempt records; a failed recording
        // keeps its rows and the new one goes beside it.
        QFile::remove(RecordingFolder::path());
        f.button()->click();
        QVERIFY(f.recorder().isRecording());
        f.window->decipher(powerFrame());
        QCOMPARE(csvRows(f.recorder().filePath()).size(), 3);
        if (midRecording)
            QVERIFY(f.recorder().filePath() != failed && csvRows(failed).size() == 3);
        QCOMPARE(f.button()->toolTip(), recordText("ids_stopRecord"));
        QTRY_VERIFY(f.label()->text().contains(recordText("ids_rows").arg(3)));
    }

    void killLosesNoRowAlreadyWritten()
    {
        TestEnvironment::writeSettings();
        QProcess recording;
        recording.setStandardErrorFile(QProcess::nullDevice());
        recording.start(QCoreApplication::applicationFilePath(), {"--record-until-killed"});
        while (!recording.canReadLine() && recording.waitForReadyRead(120000)) {
        }
        const QString said = QString::fromLocal8Bit(recording.readLine()).trimmed();
        const qint64 written = said.section(' ', 0, 0).toLongLong();
        const QString path = said.section(' ', 1);
        QVERIFY2(written >= 400, "nothing was recorded");
        recording.kill(); // SIGKILL
        QVERIFY(recording.waitForFinished());
        QCOMPARE(recording.exitStatus(), QProcess::CrashExit);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().endsWith("\r\n"));
        const QList<QStringList> rows = csvRows(path);
        QVERIFY2(rows.size() >= written,
                 qPrintable(QString("%1 < %2").arg(rows.size()).arg(written)));
        for (const QStringList &row : rows)
            QCOMPARE(row.size(), 7);
    }
};

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--record-until-killed") == 0) {
        QApplication app(argc, argv);
        return recordUntilKilled();
    }
    TestEnvironment::useTemporaryHome();
    QApplication app(argc, argv);
    RecordingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recording.moc"
