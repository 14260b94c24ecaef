// korvanta-log --mqtt against Debian's mosquitto: the simulated stream on its
// topics, nothing lost while the broker is away, the end on a refusal, and
// the status topic's last will.
#include "brokersubscriber.h"
#include "mosquittobroker.h"
#include "simprocess.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

constexpr int longWait = 30000;

// A row without elapsed_s, which counts from the file's or the publisher's
// start: the same reading compares equal in both.
QByteArray key(const QByteArray &json)
{
    QJsonObject row = QJsonDocument::fromJson(json).object();
    if (row.isEmpty())
        return QByteArray();
    row.remove("elapsed_s");
    return QJsonDocument(row).toJson(QJsonDocument::Compact);
}

QList<QByteArray> fileRows(const QString &path)
{
    QFile file(path);
    QList<QByteArray> rows;
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (!line.isEmpty())
            rows << key(line);
    return rows;
}

// The rows that arrived, each once (QoS 1 may repeat one), in their order,
// and the topic each came on.
QList<QByteArray> firstArrivals(const BrokerSubscriber &subscriber,
                                QMap<QByteArray, QByteArray> *topics = nullptr)
{
    QList<QByteArray> rows;
    QSet<QByteArray> seen;
    for (const BrokerSubscriber::Message &message : subscriber.messages()) {
        if (message.topic.endsWith("/status") || message.topic.startsWith("homeassistant/"))
            continue;
        const QByteArray row = key(message.payload);
        if (row.isEmpty() || seen.contains(row))
            continue;
        seen.insert(row);
        rows << row;
        if (topics)
            topics->insert(row, message.topic);
    }
    return rows;
}

QString wordsOf(QProcess &process)
{
    return QString::fromUtf8(process.readAllStandardError());
}

} // namespace

class KorvantaLogMqttTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    int runs = 0;

    // The simulator on a new link, at its default rates.
    QString startSim(SimProcess &sim, int seconds)
    {
        const QString link = dir.filePath(QString("bench%1").arg(++runs));
        sim.start({"--link", link, "--seed", "5", "--seconds", QString::number(seconds)});
        if (!QTest::qWaitFor([&] { return QFileInfo(link).isSymLink(); }, 10000))
            return QString();
        return link;
    }

    QString privateFile(const QByteArray &text)
    {
        const QString path = dir.filePath(QString("auth%1").arg(++runs));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

private slots:
    void initTestCase()
    {
        if (!MosquittoBroker::available())
            QSKIP("Debian's mosquitto broker (/usr/sbin/mosquitto) is not installed");
    }

    void everyReadingOnItsTopic()
    {
        MosquittoBroker broker({});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        BrokerSubscriber subscriber(broker.port());
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.isSubscribed(), longWait);
        SimProcess sim;
        const QString link = startSim(sim, 30);
        QVERIFY(!link.isEmpty());
        const QString output = dir.filePath("stream.jsonl");
        QProcess log;
        log.start(KORVANTA_LOG_PATH,
                  {link, "--format", "jsonl", "--output", output, "--duration", "4", "--mqtt",
                   QString("mqtt://127.0.0.1:%1").arg(broker.port()), "--bench", "b1"});
        QVERIFY(log.waitForFinished(longWait));
        const QString err = wordsOf(log);
        QCOMPARE(log.exitCode(), 0);
        const QList<QByteArray> written = fileRows(output);
        QVERIFY(written.size() > 100);
        QVERIFY2(
            err.startsWith(
                QString("korvanta-log: publishing to mqtt://127.0.0.1:%1\n").arg(broker.port())),
            qPrintable(err));
        QVERIFY2(err.contains(QString(" published=%1 queued=0 dropped=0").arg(written.size())),
                 qPrintable(err));

        QMap<QByteArray, QByteArray> topics;
        QTRY_COMPARE_WITH_TIMEOUT(firstArrivals(subscriber).size(), written.size(), longWait);
        QCOMPARE(firstArrivals(subscriber, &topics), written);
        for (const QByteArray &row : written) {
            const QJsonObject o = QJsonDocument::fromJson(row).object();
            QCOMPARE(topics[row], "korvanta/b1/" + o["instrument"].toString().toUtf8() + '/' +
                                      o["quantity"].toString().toUtf8());
        }
        QCOMPARE(subscriber.last("korvanta/b1/status"), QByteArray("offline"));
    }

    // The broker is not there when the logger starts, comes, then stops for
    // 10 s mid-stream; its disk keeps the subscriber's session meanwhile.
    void brokerAwayLosesNothing()
    {
        MosquittoBroker broker({false, false, true});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        auto subscriber = std::make_unique<BrokerSubscriber>(broker.port(), true);
        QTRY_VERIFY_WITH_TIMEOUT(subscriber->isSubscribed(), longWait);
        broker.stop();

        SimProcess sim;
        const QString link = startSim(sim, 120);
        QVERIFY(!link.isEmpty());
        const QString output = dir.filePath("outage.jsonl");
        QProcess log;
        log.start(KORVANTA_LOG_PATH, {link, "--format", "jsonl", "--output", output, "--mqtt",
                                      QString("mqtt://127.0.0.1:%1").arg(broker.port())});
        QString err;
        QTRY_VERIFY_WITH_TIMEOUT((err += wordsOf(log)).contains("readings are queued"), longWait);
        QVERIFY2(err.startsWith(QString("korvanta-log: waiting for the broker at "
                                        "mqtt://127.0.0.1:%1 (")
                                    .arg(broker.port())),
                 qPrintable(err));
        QTest::qWait(2000);
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        QTRY_VERIFY_WITH_TIMEOUT((err += wordsOf(log)).contains("korvanta-log: publishing to"),
                                 longWait);
        QTRY_VERIFY_WITH_TIMEOUT(firstArrivals(*subscriber).size() > 50, longWait);
        broker.stop();
        QTest::qWait(10000);
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        // The next try comes within 16 s (1 s, doubling).
        QTRY_VERIFY_WITH_TIMEOUT((err += wordsOf(log)).count("korvanta-log: publishing to") == 2,
                                 longWait);
        QVERIFY2(err.contains("(the connection to the broker was lost)"), qPrintable(err));
        QTest::qWait(1000);
        ::kill(pid_t(log.processId()), SIGTERM);
        QVERIFY(log.waitForFinished(longWait));
        err += wordsOf(log);
        QCOMPARE(log.exitCode(), 0);
        QVERIFY2(err.contains(" queued=0 dropped=0"), qPrintable(err));

        const QList<QByteArray> written = fileRows(output);
        QVERIFY(written.size() > 300);
        QTRY_COMPARE_WITH_TIMEOUT(firstArrivals(*subscriber).size(), written.size(), longWait);
        QCOMPARE(firstArrivals(*subscriber), written);
    }

    void refusalsEndTheLogger_data()
    {
        QTest::addColumn<bool>("tls");
        QTest::addColumn<QByteArray>("credentials"); // user and password lines
        QTest::addColumn<bool>("trusted");           // --ca-file of the test CA
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong password")
            << false << QByteArray("bench\nwrong\n") << false << 6
            << "the broker at mqtt://127.0.0.1:%1 refused the connection: not authorised";
        QTest::newRow("untrusted certificate")
            << true << QByteArray("bench\nsecret\n") << false << 6
            << "cannot connect securely to mqtts://127.0.0.1:%1: the broker's certificate is "
               "not trusted";
        QTest::newRow("trusted, right password") << true << QByteArray("bench\nsecret\n") << true
                                                 << 0 << "publishing to mqtts://127.0.0.1:%1";
    }

    void refusalsEndTheLogger()
    {
        QFETCH(bool, tls);
        QFETCH(QByteArray, credentials);
        QFETCH(bool, trusted);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        MosquittoBroker broker({true, tls, false});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        SimProcess sim;
        const QString link = startSim(sim, 30);
        QVERIFY(!link.isEmpty());
        QStringList arguments{
            link,
            "--duration",
            "3",
            "--mqtt",
            QString("%1://127.0.0.1:%2").arg(tls ? "mqtts" : "mqtt").arg(broker.port()),
            "--mqtt-auth-file",
            privateFile(credentials)};
        if (trusted)
            arguments << "--ca-file" << broker.caFile();
        QProcess log;
        log.start(KORVANTA_LOG_PATH, arguments);
        QVERIFY(log.waitForFinished(longWait));
        const QString err = wordsOf(log);
        QCOMPARE(log.exitCode(), exitCode);
        QVERIFY2(err.startsWith("korvanta-log: " + message.arg(broker.port())), qPrintable(err));
        if (exitCode == 0)
            QVERIFY2(!err.contains(" published=0 "), qPrintable(err));
    }

    void credentialsAndOptionsChecked()
    {
        const QString shared = privateFile("bench\nsecret\n");
        QFile(shared).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QList<QPair<QStringList, QString>> cases{
            {{"--mqtt", "mqtt://localhost", "--mqtt-auth-file", shared},
             "--mqtt-auth-file: the credentials file " + shared +
                 " may be read by group or others: make it private"},
            {{"--mqtt", "mqtt://localhost", "--ca-file", shared},
             "--ca-file needs an mqtts:// broker"},
            {{"--mqtt", "mqtt://user:pw@localhost"}, "--mqtt: not a broker address"},
            {{"--bench", "b1"}, "--bench needs --mqtt"},
        };
        for (const auto &c : cases) {
            QProcess log;
            log.start(KORVANTA_LOG_PATH, QStringList{"/dev/null"} + c.first);
            QVERIFY(log.waitForFinished(longWait));
            const QString err = wordsOf(log);
            QCOMPARE(log.exitCode(), 1);
            QVERIFY2(err.startsWith("korvanta-log: " + c.second), qPrintable(err));
        }
    }

    void killedLoggerGoesOffline()
    {
        MosquittoBroker broker({});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        SimProcess sim;
        const QString link = startSim(sim, 60);
        QVERIFY(!link.isEmpty());
        QProcess log;
        log.start(KORVANTA_LOG_PATH,
                  {link, "--mqtt", QString("mqtt://127.0.0.1:%1").arg(broker.port()), "--bench",
                   "b2", "--ha-discovery"});
        QString err;
        QTRY_VERIFY_WITH_TIMEOUT((err += wordsOf(log)).contains("publishing to"), longWait);
        BrokerSubscriber subscriber(broker.port());
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last("korvanta/b2/status"), QByteArray("online"),
                                  longWait);
        // Home Assistant's sensors, retained: one per quantity seen.
        const QByteArray voltage = "homeassistant/sensor/b2_power_voltage/config";
        const QByteArray temperature = "homeassistant/sensor/b2_iron_temperature/config";
        QTRY_VERIFY_WITH_TIMEOUT(!subscriber.last(voltage).isEmpty(), longWait);
        QTRY_VERIFY_WITH_TIMEOUT(!subscriber.last(temperature).isEmpty(), longWait);
        const QJsonObject v = QJsonDocument::fromJson(subscriber.last(voltage)).object();
        QCOMPARE(v["device_class"].toString(), QString("voltage"));
        QCOMPARE(v["unit_of_measurement"].toString(), QString("V"));
        QCOMPARE(v["state_class"].toString(), QString("measurement"));
        QCOMPARE(v["availability_topic"].toString(), QString("korvanta/b2/status"));
        QCOMPARE(v["state_topic"].toString(), QString("korvanta/b2/power/voltage"));
        const QJsonObject t = QJsonDocument::fromJson(subscriber.last(temperature)).object();
        QCOMPARE(t["device_class"].toString(), QString("temperature"));
        QVERIFY(t["unit_of_measurement"].toString().startsWith(QChar(0x00B0)));

        log.kill();
        QVERIFY(log.waitForFinished(longWait));
        // The broker notices the lost connection at once (the socket closes).
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last("korvanta/b2/status"), QByteArray("offline"),
                                  longWait);
    }
};

QTEST_GUILESS_MAIN(KorvantaLogMqttTest)
#include "tst_korvantalog_mqtt.moc"
