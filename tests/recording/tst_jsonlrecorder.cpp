// JSON Lines recordings: numbers stay numbers with the instrument's digits,
// whatever the instrument pads them with; every line is valid JSON.
#include "jsonlrecorder.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

class JsonlRecorderTest : public QObject
{
    Q_OBJECT

private slots:
    void values_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("resolution kept") << "12.50" << QByteArray("12.50");
        QTest::newRow("negative") << "-0.5" << QByteArray("-0.5");
        QTest::newRow("zero") << "0" << QByteArray("0");
        QTest::newRow("padded") << "007.5" << QByteArray("7.5");
        QTest::newRow("padded negative") << "-00.25" << QByteArray("-0.25");
        QTest::newRow("padded zero") << "000" << QByteArray("0");
        QTest::newRow("exponent") << "1e+20" << QByteArray("1e+20");
        QTest::newRow("beyond a double") << "1E400" << QByteArray("\"1E400\"");
        QTest::newRow("overload") << "OL" << QByteArray("\"OL\"");
        QTest::newRow("negative overload") << "-OL" << QByteArray("\"-OL\"");
        QTest::newRow("no value") << "" << QByteArray("null");
    }

    void values()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, json);
        QCOMPARE(JsonlRecorder::value(value), json);
    }

    void linesAreJsonWithTheCsvColumns()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/rec.jsonl";
        JsonlRecorder recorder;
        QVERIFY(recorder.start(path));
        const QDateTime time =
            QDateTime::fromString("2024-05-01T14:03:07.125+02:00", Qt::ISODateWithMs);
        QVERIFY(recorder.append({{time, "hotair", "temperature", "0348.5", "°C", ""},
                                 {time, "", "raw_invalid", "", "", "C1\"\\\n\t\x01"}}));
        recorder.stop();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[2].isEmpty());

        QJsonParseError error;
        const QJsonObject first = QJsonDocument::fromJson(lines[0], &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(first.keys(), (QStringList{"detail", "elapsed_s", "instrument", "quantity", "time",
                                            "unit", "value"}));
        QVERIFY(
            lines[0].startsWith("{\"time\":\"2024-05-01T14:03:07.125+02:00\",\"elapsed_s\":0.0"));
        QCOMPARE(first["value"].toDouble(), 348.5);
        QCOMPARE(first["unit"].toString(), QString("°C"));
        const QJsonObject second = QJsonDocument::fromJson(lines[1], &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QVERIFY(second["value"].isNull());
        QCOMPARE(second["detail"].toString(), QString("C1\"\\\n\t\x01"));
    }
};

QTEST_GUILESS_MAIN(JsonlRecorderTest)
#include "tst_jsonlrecorder.moc"
