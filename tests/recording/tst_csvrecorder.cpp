// The CSV file: format, file names, and every way writing it can fail.
#include "csvrecorder.h"
#include "filesizelimit.h"
#include "framebuilder.h"
#include "languagetext.h"
#include "readings.h"
#include "recordingfolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <ctime>

namespace {

Reading reading(const QString &quantity, const QString &value, const QString &detail = QString())
{
    return {QDateTime::currentDateTime(), "power", quantity, value, "V", detail};
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

class CsvRecorderTest : public QObject
{
    Q_OBJECT

private slots:
    void writesTheDocumentedFormat()
    {
        // A comma decimal separator in the user's locale changes nothing.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QTemporaryDir dir;
        const QString path = dir.path() + "/new/folder/rec.csv";
        CsvRecorder recorder;
        QVERIFY(recorder.start(path));
        QVERIFY(recorder.isRecording());
        const QString powerFrame = FrameBuilder::station(
            0x0001, {FrameBuilder::record("12.50", 0x6D56), FrameBuilder::record("500", 0x6D41)});
        QVERIFY(recorder.append(Readings::ofFrame(powerFrame, QDateTime::currentDateTime())));
        QVERIFY(recorder.append({reading("voltage", "1", "a \"quoted\", detail")}));
        // Rows are in the file before append returns: no buffer waits for stop().
        QCOMPARE(contents(path).count("\r\n"), 5);
        recorder.stop();
        QVERIFY(!recorder.isRecording());
        QCOMPARE(recorder.rowCount(), 4);
        QLocale::setDefault(QLocale::c());

        const QList<QByteArray> lines = contents(path).split('\n');
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], QByteArray("time,elapsed_s,instrument,quantity,value,unit,detail\r"));
        const QRegularExpression row(
            R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,\d+\.\d{3},power,(.*)\r$)");
        QStringList rest;
        for (int i = 1; i <= 4; ++i) {
            const QRegularExpressionMatch match = row.match(QString::fromUtf8(lines[i]));
            QVERIFY2(match.hasMatch(), lines[i].constData());
            rest << match.captured(1);
        }
        QCOMPARE(rest, (QStringList{"voltage,12.50,mV,", "current,500,mA,", "power,0.00625,W,",
                                    "voltage,1,V,\"a \"\"quoted\"\", detail\""}));
        QCOMPARE(lines[5], QByteArray());
    }

    void timeTextCarriesTheOffset_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QString>("text");
        // POSIX zones count west as positive: "<+0530>-5:30" is UTC+05:30.
        QTest::newRow("UTC") << QByteArray("UTC0") << "2024-05-01T12:03:07.045+00:00";
        QTest::newRow("east, half hour")
            << QByteArray("<+0530>-5:30") << "2024-05-01T17:33:07.045+05:30";
        QTest::newRow("west") << QByteArray("<-03>3") << "2024-05-01T09:03:07.045-03:00";
    }

    void timeTextCarriesTheOffset()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QString, text);
        const QByteArray saved = qgetenv("TZ");
        qputenv("TZ", zone);
        tzset();
        const QDateTime utc(QDate(2024, 5, 1), QTime(12, 3, 7, 45), Qt::UTC);
        const QString shown = CsvRecorder::timeText(utc.toLocalTime());
        saved.isEmpty() ? qunsetenv("TZ") : qputenv("TZ", saved);
        tzset();
        QCOMPARE(shown, text);
    }

    void newFileNamesNeverRepeat()
    {
        QTemporaryDir dir;
        const QDateTime start(QDate(2024, 5, 1), QTime(9, 4, 5));
        const QString first = RecordingFolder::newFilePath(dir.path(), start);
        QCOMPARE(first, dir.path() + "/korvanta-20240501-090405.csv");
        QFile(first).open(QIODevice::WriteOnly);
        QCOMPARE(RecordingFolder::newFilePath(dir.path(), start),
                 dir.path() + "/korvanta-20240501-090405-2.csv");
        // An existing file is never overwritten.
        CsvRecorder recorder;
        QVERIFY(!recorder.start(first));
    }

    void folderThatCannotBeCreated()
    {
        QTemporaryDir dir;
        QFile blocker(dir.path() + "/recordings");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        CsvRecorder recorder;
        QVERIFY(!recorder.start(dir.path() + "/recordings/rec.csv"));
        QVERIFY(!recorder.isRecording());
        QCOMPARE(recorder.failure().reason, RecordingFailure::Other);
        QCOMPARE(recorder.failure().reasonText(), qt_error_string(ENOTDIR));
        QVERIFY(!recorder.append({reading("voltage", "1")}));
    }

    void fullDiskAtStart()
    {
        auto full = std::make_unique<QFile>("/dev/full");
        if (!full->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            QSKIP("no /dev/full here");
        CsvRecorder recorder;
        QVERIFY(!recorder.start(std::move(full)));
        QVERIFY(!recorder.isRecording());
        QCOMPARE(recorder.failure().reason, RecordingFailure::DiskFull);
    }

    void writeErrorMidRecordingLeavesNoPartialRow()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/rec.csv";
        CsvRecorder recorder;
        QVERIFY(recorder.start(path));
        QVERIFY(recorder.append({reading("voltage", "1.5")}));
        const QByteArray before = contents(path);
        {
            // Room for part of the next rows only: the write stops mid-row.
            FileSizeLimit limit(before.size() + 40);
            QVERIFY(!recorder.append({reading("voltage", "2.5"), reading("current", "0.1")}));
        }
        QVERIFY(!recorder.isRecording());
        QCOMPARE(recorder.failure().reasonText(), qt_error_string(EFBIG));
        QCOMPARE(recorder.rowCount(), 1);
        QCOMPARE(contents(path), before);
        QVERIFY(!recorder.append({reading("voltage", "3")}));
    }

    void failureReasons_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("text");
        QTest::newRow("disk full") << ENOSPC << "disk full";
        QTest::newRow("read-only") << EROFS << "read-only";
        QTest::newRow("access") << EACCES << "no permission";
        QTest::newRow("not permitted") << EPERM << "no permission";
        for (int error : {ENOENT, ENODEV, EIO, ENXIO})
            QTest::newRow(qPrintable(qt_error_string(error))) << error << "removed";
        QTest::newRow("anything else") << EINVAL << qt_error_string(EINVAL);
    }

    void failureReasons()
    {
        QFETCH(int, error);
        QFETCH(QString, text);
        languageText.clear();
        const char *const texts[][2] = {{"ids_diskFull", "disk full"},
                                        {"ids_readOnly", "read-only"},
                                        {"ids_noPermission", "no permission"},
                                        {"ids_removed", "removed"}};
        for (const auto &entry : texts)
            languageText.setText(QString("ids_Record_Language/") + entry[0], entry[1]);
        QCOMPARE(RecordingFailure::fromErrno(error).reasonText(), text);
        // Without a language file the system's text still names the reason.
        languageText.clear();
        QCOMPARE(RecordingFailure::fromErrno(error).reasonText(), qt_error_string(error));
    }
};

QTEST_GUILESS_MAIN(CsvRecorderTest)
#include "tst_csvrecorder.moc"
