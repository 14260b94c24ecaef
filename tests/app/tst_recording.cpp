// Recording in the window: the button, the menu actions and the status bar;
// rows that match the displays for a stream of all four instruments; failures
// that stop with a message and keep the window running; a kill that loses
// nothing already written.
#include "filesizelimit.h"
#include "framebuilder.h"
#include "languagetext.h"
#include "mainwindow.h"
#include "mylcdnumber.h"
#include "recordingcontrol.h"
#include "recordingfolder.h"
#include "testenvironment.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
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

namespace {

const quint16 kPower = 0x0001, kIron = 0x0002, kHotAir = 0x0003;

QString recordText(const char *entry)
{
    return languageText[QStringLiteral("ids_Record_Language/") + entry];
}

// The rows of a recording without its header, split into fields (the rows of
// these tests hold no quoted fields).
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
    double lcd(const char *name) const { return child<QLCDNumber>(name)->value(); }
    QString text(const char *name) const { return child<QLabel>(name)->text(); }

    // Compares one recorded row with what the window shows.
    void checkAgainstDisplays(const QStringList &row) const
    {
        QCOMPARE(row.size(), 7);
        const QString key = row[2] + '/' + row[3];
        const QString value = row[4], unit = row[5];
        if (key == "multimeter/reading") {
            const QString shown = child<myLCDNumber>("lcdNumber_multimeter")->valueText();
            if (shown.contains('L'))
                QCOMPARE(value, QString(shown.startsWith('-') ? "-OL" : "OL"));
            else
                QCOMPARE(value.toDouble(), shown.toDouble());
            QCOMPARE(unit, text("label_mulUnit"));
            return;
        }
        const struct
        {
            const char *key, *lcd, *unitLabel;
        } places[] = {
            {"power/voltage", "lcdNumber_voltage", "label_voltageUnit"},
            {"power/current", "lcdNumber_current", "label_currentUnit"},
            {"power/power", "lcdNumber_power", nullptr},
            {"iron/set_temperature", "lcdNumber_settingTemp_e", "label_settingTempUnit_e"},
            {"iron/temperature", "lcdNumber_realTemp_e", "label_realTempUnit_e"},
            {"hotair/set_temperature", "lcdNumber_settingTemp_a", "label_settingTempUnit_a"},
            {"hotair/temperature", "lcdNumber_realTemp_a", "label_realTempUnit_a"},
            {"hotair/air_speed", "lcdNumber_speed", nullptr},
        };
        for (const auto &place : places) {
            if (key != place.key)
                continue;
            QVERIFY(qFuzzyCompare(value.toDouble(), lcd(place.lcd)));
            // "°C" is the compatibility form of the window's "℃".
            if (place.unitLabel)
                QCOMPARE(unit, text(place.unitLabel).normalized(QString::NormalizationForm_KC));
            return;
        }
        QFAIL(qPrintable("unexpected row " + key));
    }

    std::unique_ptr<MainWindow> window;
};

QString powerFrame()
{
    return FrameBuilder::station(
        kPower, {FrameBuilder::record("12.50", 0x0056), FrameBuilder::record("0.5", 0x0041)});
}

// Stands in for the desktop's file manager.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    explicit UrlCatcher(QUrl *opened) : opened(opened) {}
public slots:
    void open(const QUrl &url) { *opened = url; }

private:
    QUrl *opened;
};

bool anyMessageBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMessageBox *>(widget))
            return true;
    }
    return false;
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
        QVERIFY(f.recorder().isRecording());
        const QString path = f.recorder().filePath();
        QCOMPARE(QFileInfo(path).absolutePath(), RecordingFolder::path());
        QVERIFY(QRegularExpression(R"(^korvanta-\d{8}-\d{6}\.csv$)")
                    .match(QFileInfo(path).fileName())
                    .hasMatch());
        QCOMPARE(f.button()->toolTip(), QString("Stop recording"));
        QCOMPARE(f.viewAction(2)->text(), QString("Stop recording"));
        QVERIFY(f.label()->isVisible());
        QCOMPARE(f.label()->toolTip(), QDir::toNativeSeparators(path));
        QVERIFY(f.label()->text().contains("0 rows"));
        f.window->actItemClick(); // the graphic view has room for the whole name
        QTRY_VERIFY(f.label()->text().contains(QFileInfo(path).fileName()));

        using FrameBuilder::multimeter;
        using FrameBuilder::record;
        const QList<QPair<QString, int>> stream = {
            {multimeter(0xFFFF, " 123", 0x0056, 0, {2}), 1},
            {multimeter(0xFFFE, " 5  ", 0x6D56, 0, {1}, true), 1},
            {multimeter(0xFFF1, " 0L ", 0x4D4F, 0, {2}), 1},
            {multimeter(0xFFF0, "  50", 0x4B48), 1},
            {multimeter(0xFFEE, "0512", 0x0056, 0, {1}), 1},
            {multimeter(0xFFED, " 47 ", 0x6E46), 1},
            {multimeter(0xFFEF, "  12", 0x004F), 1},
            {powerFrame(), 3},
            {FrameBuilder::station(kPower, {record("500", 0x6D56), record("20", 0x6D41)}), 3},
            {FrameBuilder::station(kIron, {record("350", 0x0043), record("348.5", 0x0043)}), 2},
            {FrameBuilder::station(kIron, {record("662", 0x0046), record("659", 0x0046)}), 2},
            {FrameBuilder::station(
                 kHotAir, {record("572", 0x0046), record("560", 0x0046), record("45", 0x0025)}),
             3},
        };
        int rows = 0;
        for (const auto &[frame, count] : stream) {
            f.window->decipher(frame);
            const QList<QStringList> written = csvRows(path);
            QCOMPARE(written.size(), rows + count);
            for (int i = rows; i < written.size(); ++i)
                f.checkAgainstDisplays(written[i]);
            rows += count;
        }
        QTRY_VERIFY(f.label()->text().contains(QString("%1 rows").arg(rows)));

        f.viewAction(2)->trigger();
        QVERIFY(!f.recorder().isRecording());
        QVERIFY(!f.label()->isVisible());
        QCOMPARE(f.button()->toolTip(), QString("Start recording"));
        f.window->decipher(powerFrame());
        QCOMPARE(csvRows(path).size(), rows);
    }

    void survivesPortCloseAndLanguageSwitch()
    {
        Fixture f;
        f.button()->click();
        const QString path = f.recorder().filePath();
        f.window->decipher(powerFrame());
        f.window->SerialOpenFailed_slot(); // what closing the port does
        f.window->LanguageChangedToGerman();
        QVERIFY(f.recorder().isRecording());
        QCOMPARE(f.recorder().filePath(), path);
        QVERIFY(recordText("ids_stopRecord") != "Stop recording");
        QCOMPARE(f.button()->toolTip(), recordText("ids_stopRecord"));
        QCOMPARE(f.viewAction(1)->text(), recordText("ids_openFolder"));
        QVERIFY(f.label()->text().contains(recordText("ids_rows").arg(3)));
        f.window->decipher(powerFrame());
        QCOMPARE(csvRows(path).size(), 6);
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
        QString path, message;
        if (!midRecording) {
            QFile blocker(RecordingFolder::path()); // a file where the folder belongs
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.close();
            f.button()->click();
            path = f.recorder().filePath();
            message = recordText("ids_cannotStart")
                          .arg(QDir::toNativeSeparators(path), qt_error_string(ENOTDIR));
        } else {
            f.button()->click();
            f.window->decipher(powerFrame());
            path = f.recorder().filePath();
            FileSizeLimit limit(QFileInfo(path).size() + 10);
            f.window->decipher(powerFrame());
            message = recordText("ids_stopped")
                          .arg(QDir::toNativeSeparators(path), qt_error_string(EFBIG));
            QCOMPARE(csvRows(path).size(), 3);
        }
        QVERIFY(!f.recorder().isRecording());
        QVERIFY(f.label()->isVisible());
        QCOMPARE(f.label()->toolTip(), message);
        QCOMPARE(f.button()->toolTip(), recordText("ids_record"));
        QVERIFY(!anyMessageBox());
        // The window goes on showing readings.
        f.window->decipher(FrameBuilder::station(
            kIron, {FrameBuilder::record("123", 0x0043), FrameBuilder::record("99", 0x0043)}));
        QCOMPARE(f.lcd("lcdNumber_realTemp_e"), 99.0);
    }

    void opensTheFolderInTheFileManager()
    {
        Fixture f;
        QUrl opened;
        UrlCatcher catcher(&opened);
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        f.viewAction(1)->trigger();
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(opened, QUrl::fromLocalFile(RecordingFolder::path()));
        QVERIFY(QFileInfo(RecordingFolder::path()).isDir());
    }

    void killLosesNoRowAlreadyWritten()
    {
        QTemporaryDir home;
        QProcess helper;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.path() + "/.config");
        env.remove("XDG_DOCUMENTS_DIR");
        helper.setProcessEnvironment(env);
        helper.start(QCoreApplication::applicationDirPath() + "/recording_helper", QStringList());
        QVERIFY(helper.waitForStarted());

        QString path;
        qint64 printed = 0;
        const auto readLines = [&] {
            while (helper.canReadLine()) {
                const QString line = QString::fromLocal8Bit(helper.readLine()).trimmed();
                if (line.startsWith("file "))
                    path = line.mid(5);
                else if (line.startsWith("rows "))
                    printed = qMax(printed, line.mid(5).toLongLong());
            }
        };
        QElapsedTimer waited;
        waited.start();
        while (printed < 400 && waited.elapsed() < 120000) {
            helper.waitForReadyRead(1000);
            readLines();
        }
        QVERIFY2(printed >= 400, "the helper did not record");
        helper.kill(); // SIGKILL
        QVERIFY(helper.waitForFinished());
        QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
        readLines();

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.endsWith("\r\n"));
        const QList<QStringList> rows = csvRows(path);
        QVERIFY2(rows.size() >= printed,
                 qPrintable(QString("%1 < %2").arg(rows.size()).arg(printed)));
        for (const QStringList &row : rows)
            QCOMPARE(row.size(), 7);
    }
};

KORVANTA_TEST_MAIN(QApplication, RecordingTest)
#include "tst_recording.moc"
