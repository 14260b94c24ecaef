// Recordings without a window: readings of frames the displays show nothing
// new for, the CSV format in any locale, a full disk. The frames the displays
// show, and the other failures, are tested through the window.
#include "csvrecorder.h"
#include "decodedframe.h"
#include "framebuilder.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using FrameBuilder::record;
using FrameBuilder::station;

Reading reading(const QString &value, const QString &detail = QString())
{
    return {QDateTime::currentDateTime(), "power", "voltage", value, "V", detail};
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
    void partialOrRejectedFrames_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("readings");
        QTest::newRow("blank display") << FrameBuilder::multimeter(0xFFFF, "    ", 0x0056) << "";
        QTest::newRow("unit the function does not list")
            << FrameBuilder::multimeter(0xFFF0, "  50", 0x0056) << "multimeter,50,,frequency";
        QTest::newRow("power, current unit unknown")
            << station(1, {record("5.00", 0x5600), record("1.0", 0x0000)}) << "power,5.00,V,";
        QTest::newRow("hot air, empty value, speed without percent")
            << station(3, {record("300", 0x0043), record("", 0x0043), record("45", 0x0000)})
            << "hotair,300,°C,";
        QTest::newRow("wrong checksum")
            << QString::fromLatin1(FrameEncoder::stationFrame(2, {record("350", 0x0043)},
                                                              FrameEncoder::Fault::WrongChecksum))
            << "";
        QTest::newRow("code no instrument sends") << station(4, {record("350", 0x0043)}) << "";
    }

    void partialOrRejectedFrames()
    {
        QFETCH(QString, frame);
        QFETCH(QString, readings);
        QStringList rows;
        for (const Reading &r : DecodedFrame::of(frame, QDateTime::currentDateTime()).readings)
            rows << QStringList{r.instrument, r.value, r.unit, r.detail}.join(',');
        QCOMPARE(rows.join(';'), readings);
    }

    void writesTheDocumentedFormat()
    {
        // A comma decimal separator in the user's locale changes nothing.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QTemporaryDir dir;
        const QString path = dir.path() + "/new/folder/rec.csv";
        CsvRecorder recorder;
        QVERIFY(recorder.start(path));
        const QString power = station(1, {record("12.50", 0x6D56), record("500", 0x6D41)});
        QVERIFY(recorder.append(DecodedFrame::of(power, QDateTime::currentDateTime()).readings));
        QVERIFY(recorder.append({reading("1", "a \"quoted\", detail")}));
        // The rows are in the file before append returns, not in a buffer.
        QCOMPARE(contents(path).count("\r\n"), 5);
        recorder.stop();
        QLocale::setDefault(QLocale::c());
        QCOMPARE(recorder.rowCount(), 4);

        const QList<QByteArray> lines = contents(path).split('\n');
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], QByteArray("time,elapsed_s,instrument,quantity,value,unit,detail\r"));
        const QRegularExpression row(
            R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,\d+\.\d{3},power,(.*)\r$)");
        QStringList rest;
        for (const QByteArray &line : lines.mid(1, 4))
            rest << row.match(QString::fromUtf8(line)).captured(1);
        QCOMPARE(rest, (QStringList{"voltage,12.50,mV,", "current,500,mA,", "power,0.00625,W,",
                                    "voltage,1,V,\"a \"\"quoted\"\", detail\""}));
    }

    void fullDisk()
    {
        // The window's tests cover the other failures; a full disk needs a device.
        CsvRecorder recorder;
        auto full = std::make_unique<QFile>("/dev/full");
        if (!full->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            QSKIP("no /dev/full here");
        QVERIFY(!recorder.start(std::move(full)));
        QVERIFY(!recorder.isRecording());
        QCOMPARE(recorder.failure().reason, RecordingFailure::DiskFull);
    }
};

QTEST_GUILESS_MAIN(CsvRecorderTest)
#include "tst_csvrecorder.moc"
