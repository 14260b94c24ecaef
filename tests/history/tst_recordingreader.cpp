// Reading recordings back: both formats, damaged and foreign files, cancelling.
#include "csvrecorder.h"
#include "historystore.h"
#include "jsonlrecorder.h"
#include "recordingreader.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
}

const QByteArray goodRow = "2024-05-01T14:03:07.125+02:00,0.102,power,voltage,12.00,V,\r\n";

} // namespace

class RecordingReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void damagedCsvKeepsWhatItCan()
    {
        QTemporaryDir dir;
        QByteArray text = CsvRecorder::header() + goodRow;
        text += "2024-05-01T14:03:07.225+02:00,0.2,multimeter,reading,1.5,V,\"DC, auto\"\r\n";
        text += "2024-05-01T14:03:07.325+02:00,0.3,power,voltage,12\"01,V,\r\n";  // bad quoting
        text += "2024-05-01T14:03:07.425+02:00,0.4,power,\"voltage,12.02,V,\r\n"; // never closed
        text += "2024-13-01T14:03:07.425+02:00,0.4,power,voltage,12.02,V,\r\n";   // month 13
        text += "yesterday,0.4,power,voltage,12.02,V,\r\n";
        text += "2024-05-01T14:03:07.525+02:00,0.5,power,voltage,twelve,V,\r\n";
        text += "2024-05-01T14:03:07.625+02:00,0.6,power,voltage,-OL,V,\r\n";
        text += QByteArray("\x00\xff\x13garbage\x01,,,", 13) + "\r\n";
        text += "2024-05-01T14:03:07.725+02:00,0.7,power,voltage,1e1,V,\r\n";
        text += "2024-05-01T14:03:07.825+02:00,0.8,power,volt"; // cut off
        HistoryStore store;
        const RecordingReader::Result result =
            RecordingReader::read(write(dir, "damaged.csv", text), store);
        QVERIFY(result.opened && result.recording && !result.cancelled);
        QCOMPARE(result.rows, 4);
        QCOMPARE(result.skippedMalformed, 4);
        QCOMPARE(result.skippedBadTime, 2);
        QCOMPARE(result.skippedBadValue, 1);
        QCOMPARE(result.skipped, 7);
        QCOMPARE(result.firstSkippedLine, 4);

        const QList<Reading> readings = store.readings(0, std::numeric_limits<qint64>::max());
        QCOMPARE(readings.size(), 4);
        QCOMPARE(readings[0].time,
                 QDateTime::fromString("2024-05-01T12:03:07.125Z", Qt::ISODateWithMs));
        QCOMPARE(readings[0].time.offsetFromUtc(), 7200);
        QCOMPARE(readings[0].value, QString("12.00"));
        QCOMPARE(readings[1].detail, QString("DC, auto"));
        QCOMPARE(readings[2].value, QString("-OL"));
        QCOMPARE(readings[3].value, QString("10"));
    }

    void notRecordings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("other CSV") << QByteArray("a,b,c\r\n1,2,3\r\n");
        QTest::newRow("header cut short") << QByteArray("time,elapsed_s,instrument\r\n");
        QTest::newRow("other JSON") << QByteArray("{\"name\":\"x\"}\n");
        QByteArray junk(70000, 0);
        for (int i = 0; i < junk.size(); ++i)
            junk[i] = char((i * 7919) % 251);
        QTest::newRow("binary") << junk;
    }

    void notRecordings()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        HistoryStore store;
        const RecordingReader::Result result = RecordingReader::read(write(dir, "x", bytes), store);
        QVERIFY(result.opened);
        QVERIFY(!result.recording);
        QCOMPARE(result.rows, 0);
        QVERIFY(store.isEmpty());
        QVERIFY(!RecordingReader::read(dir.filePath("missing"), store).opened);
    }

    void jsonLines()
    {
        const QDateTime time =
            QDateTime::fromString("2024-05-01T14:03:07.125+02:00", Qt::ISODateWithMs);
        const QList<Reading> rows{{time, "multimeter", "reading", "0.5", "KΩ", "resist\"ance\\"},
                                  {time, "multimeter", "reading", "OL", "KΩ", "resistance"},
                                  {time.addMSecs(10), "hotair", "air_speed", "", "%", ""},
                                  {time.addMSecs(20), "hotair", "air_speed", "45", "%", ""}};
        QByteArray text;
        for (const Reading &r : rows)
            text +=
                JsonlRecorder::row(ReadingRecorder::timeText(r.time).toLatin1(), "0.1", r) + '\n';
        text += "{\"time\":\"2024-05-01T14:03:07Z\",\"instrument\":\"iron\",\"quantity\":"
                "\"temperature\","
                "\"value\":\"3\\u00b0\",\"unit\":\"\\u00b0C\"}\n"; // a value that is no number
        text += "{\"time\":\"2024-05-01T14:03:08Z\",\"instrument\":\"iron\",\"quantity\":"
                "\"temperature\","
                "\"value\":300,\"unit\":\"\\u00b0C\"}\r\n";
        text +=
            "{\"time\":\"2024-05-01T14:03:09Z\",\"instrument\":[1],\"quantity\":\"temperature\"}\n";
        text += "{\"time\":\"2024-05-01T14:03:09Z\",\"instrument\":\"iron\",\"quant";
        QTemporaryDir dir;
        HistoryStore store;
        const RecordingReader::Result result =
            RecordingReader::read(write(dir, "r.jsonl", text), store);
        QVERIFY(result.recording);
        QCOMPARE(result.rows, 5);
        QCOMPARE(result.skippedBadValue, 1);
        QCOMPARE(result.skippedMalformed, 2);
        QCOMPARE(result.firstSkippedLine, 5);
        const QList<Reading> back = store.readings(0, std::numeric_limits<qint64>::max());
        QCOMPARE(back.size(), 5);
        for (int i = 0; i < rows.size(); ++i) {
            QCOMPARE(back[i].time, rows[i].time);
            QCOMPARE(back[i].value, rows[i].value);
            QCOMPARE(back[i].unit, rows[i].unit);
            QCOMPARE(back[i].detail, rows[i].detail);
        }
        QCOMPARE(back[4].unit, QString("°C"));
        QCOMPARE(back[4].time.offsetFromUtc(), 0);
    }

    void joinedRecordingsAreReadInTimeOrder()
    {
        // Two recordings joined with cat, the later one first: the second
        // header is a row without a time, and the times go back after it.
        const auto rows = [](int from, int count, const char *quantity) {
            QByteArray text = CsvRecorder::header();
            for (int i = from; i < from + count; ++i)
                text += "2024-05-01T14:03:" + QByteArray::number(10 + i) + ".000+02:00,0," +
                        "power," + quantity + "," + QByteArray::number(i) + ",V,\r\n";
            return text;
        };
        QTemporaryDir dir;
        const QString path =
            write(dir, "joined.csv", rows(20, 10, "voltage") + rows(0, 5, "voltage"));
        QList<int> percents;
        HistoryStore store;
        const auto result = RecordingReader::read(path, store, [&](int percent) {
            percents << percent;
            return true;
        });
        QCOMPARE(result.rows, 15);
        QCOMPARE(result.skippedBadTime, 1);
        QCOMPARE(result.firstSkippedLine, 12);
        QCOMPARE(percents.last(), 100);
        QStringList values;
        for (const Reading &r : store.readings(0, std::numeric_limits<qint64>::max()))
            values << r.value;
        QCOMPARE(values, QStringList({"0", "1", "2", "3", "4", "20", "21", "22", "23", "24", "25",
                                      "26", "27", "28", "29"}));
        // Each part keeps its own times: a gap between them, not a line.
        const qint64 first = store.firstTimeMs();
        QCOMPARE(store.lastTimeMs() - first, 29000);
        QCOMPARE(store.curve({"power", "voltage"}, first, first + 29000, 100).size(), 2);
        QCOMPARE(store.statistics(first, first + 4000)[0].count, 5);
    }

    void cancelKeepsWhatWasRead()
    {
        QByteArray text = CsvRecorder::header();
        for (int i = 0; i < 20000; ++i)
            text += "2024-05-01T14:03:07.125+02:00,0.1,power,current," + QByteArray::number(i) +
                    ",A,\r\n";
        QTemporaryDir dir;
        const QString path = write(dir, "long.csv", text);
        HistoryStore store;
        QList<int> percents;
        const auto result = RecordingReader::read(path, store, [&](int percent) {
            percents << percent;
            return percents.size() < 2;
        });
        QVERIFY(result.cancelled);
        QCOMPARE(percents.size(), 2);
        QVERIFY(percents[0] > 0 && percents[0] < percents[1] && percents[1] < 100);
        QVERIFY(result.rows > 0 && result.rows < 20000);
        QCOMPARE(store.statistics(0, std::numeric_limits<qint64>::max())[0].count, result.rows);

        percents.clear();
        HistoryStore whole;
        const auto complete = RecordingReader::read(path, whole, [&](int percent) {
            percents << percent;
            return true;
        });
        QVERIFY(!complete.cancelled);
        QCOMPARE(complete.rows, 20000);
        QCOMPARE(percents.last(), 100);
    }
};

QTEST_GUILESS_MAIN(RecordingReaderTest)
#include "tst_recordingreader.moc"
