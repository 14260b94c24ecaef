#include "brokersubscriber.h"
#include "brokerurl.h"
#include "mosquittobroker.h"
#include "mqttcredentials.h"
#include "mqttpublisher.h"
#include "readingrecorder.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

constexpr int longWait = 30000;

MqttOptions optionsFor(int port, bool tls = false)
{
    MqttOptions options;
    options.url =
        BrokerUrl::parse(QStringLiteral("%1://127.0.0.1:%2").arg(tls ? "mqtts" : "mqtt").arg(port));
    options.bench = QStringLiteral("bench1");
    return options;
}

// The n-th reading of a stream: every one has its own time, so that
// duplicates show.
Reading streamReading(int n)
{
    static const QDateTime start = QDateTime::currentDateTime();
    static const QStringList instruments{"multimeter", "power", "iron", "hotair"};
    const QString instrument = instruments[n % 4];
    return Reading{
        start.addMSecs(n),  instrument, instrument == "multimeter" ? "reading" : "set_temperature",
        QString::number(n), "V",        ""};
}

QJsonObject json(const QByteArray &payload)
{
    return QJsonDocument::fromJson(payload).object();
}

int publishUntilKilled(int port)
{
    MqttPublisher publisher(optionsFor(port));
    publisher.start();
    QObject::connect(&publisher, &MqttPublisher::stateChanged, [](MqttStatus::State state) {
        if (state == MqttStatus::Connected)
            std::printf("connected\n"), std::fflush(stdout);
    });
    return QCoreApplication::exec();
}

} // namespace

class MqttPublisherTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!MosquittoBroker::available())
            QSKIP("Debian's mosquitto broker (/usr/sbin/mosquitto) is not installed");
    }

    void brokerUrls_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // empty: refused
        QTest::newRow("plain") << "mqtt://broker.lan"
                               << "mqtt://broker.lan:1883";
        QTest::newRow("tls") << "mqtts://broker.lan"
                             << "mqtts://broker.lan:8883";
        QTest::newRow("port") << "mqtt://10.0.0.2:1884"
                              << "mqtt://10.0.0.2:1884";
        QTest::newRow("http") << "http://broker.lan"
                              << "";
        QTest::newRow("no scheme") << "broker.lan:1883"
                                   << "";
        QTest::newRow("no host") << "mqtt://:1883"
                                 << "";
        QTest::newRow("bad port") << "mqtt://broker.lan:99999"
                                  << "";
        QTest::newRow("password") << "mqtt://user:pw@broker.lan"
                                  << "";
        QTest::newRow("path") << "mqtt://broker.lan/topic"
                              << "";
    }
    void brokerUrls()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QString error;
        const BrokerUrl url = BrokerUrl::parse(text, &error);
        QCOMPARE(url.isValid() ? url.toString() : QString(), expected);
        QCOMPARE(error.isEmpty(), !expected.isEmpty());
    }

    void credentialsFile_data()
    {
        QTest::addColumn<int>("permissions");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("private") << int(QFile::ReadOwner | QFile::WriteOwner) << "";
        QTest::newRow("group") << int(QFile::ReadOwner | QFile::ReadGroup) << "group or others";
        QTest::newRow("others") << int(QFile::ReadOwner | QFile::ReadOther) << "group or others";
    }
    void credentialsFile()
    {
        QFETCH(int, permissions);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        QFile file(dir.filePath("mqtt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("bench\r\nsecret\n"));
        file.close();
        QVERIFY(file.setPermissions(QFile::Permissions(permissions)));
        QString error;
        const auto credentials = MqttCredentials::fromFile(file.fileName(), &error);
        QCOMPARE(credentials.has_value(), refusal.isEmpty());
        QVERIFY2(error.contains(refusal), qPrintable(error));
        QVERIFY(!error.contains("secret"));
        if (credentials) {
            QCOMPARE(credentials->user, "bench");
            QCOMPARE(credentials->password, "secret");
        }
    }

    void readingsArriveWithTheirFields()
    {
        MosquittoBroker broker({});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        BrokerSubscriber subscriber(broker.port());
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.isSubscribed(), longWait);
        MqttPublisher publisher(optionsFor(broker.port()));
        publisher.start();
        QTRY_COMPARE_WITH_TIMEOUT(publisher.state(), MqttStatus::Connected, longWait);
        const QDateTime time = QDateTime::currentDateTime();
        const QList<Reading> readings{
            {time, "multimeter", "reading", "007.50", "mV", "DC voltage"},
            {time, "multimeter", "reading", "-OL", "MΩ", "resistance"},
            {time, "power", "current", "", "A", ""},
            {time, "hotair", "air_flow", "45", "%", ""},
        };
        publisher.publish(readings);
        publisher.publishAlarm({time, "iron", "alarm", "", "", "temperature above 450 °C"});
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.messages().size(), 6, longWait);
        QCOMPARE(subscriber.last("korvanta/bench1/status"), "online");
        const QList<QJsonValue> values{7.5, "-OL", QJsonValue::Null, 45, QJsonValue::Null};
        const QList<QByteArray> topics{"korvanta/bench1/multimeter/reading",
                                       "korvanta/bench1/multimeter/reading",
                                       "korvanta/bench1/power/current",
                                       "korvanta/bench1/hotair/air_flow", "korvanta/bench1/alarm"};
        const QList<BrokerSubscriber::Message> received = subscriber.messages().mid(1);
        for (int i = 0; i < received.size(); ++i) {
            const Reading expected =
                i < 4 ? readings[i]
                      : Reading{time, "iron", "alarm", "", "", "temperature above 450 °C"};
            QCOMPARE(received[i].topic, topics[i]);
            const QJsonObject row = json(received[i].payload);
            QCOMPARE(row.keys(), QStringList({"detail", "elapsed_s", "instrument", "quantity",
                                              "time", "unit", "value"}));
            QCOMPARE(row["time"].toString(), ReadingRecorder::timeText(time));
            QVERIFY(row["elapsed_s"].isDouble());
            QCOMPARE(row["instrument"].toString(), expected.instrument);
            QCOMPARE(row["quantity"].toString(), expected.quantity);
            QCOMPARE(row["value"], values[i]);
            QCOMPARE(row["unit"].toString(), expected.unit);
            QCOMPARE(row["detail"].toString(), expected.detail);
        }
    }

    // The broker stops for a few seconds mid-stream; the subscriber's session
    // lives on the broker's disk meanwhile.
    void brokerOutageLosesNothing()
    {
        MosquittoBroker broker({false, false, true});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        auto subscriber = std::make_unique<BrokerSubscriber>(broker.port(), true);
        QTRY_VERIFY_WITH_TIMEOUT(subscriber->isSubscribed(), longWait);
        MqttPublisher publisher(optionsFor(broker.port()));
        publisher.start();
        int next = 0;
        QTimer stream;
        connect(&stream, &QTimer::timeout, [&] {
            publisher.publish({streamReading(next), streamReading(next + 1)});
            next += 2;
        });
        stream.start(5);
        QTRY_VERIFY_WITH_TIMEOUT(subscriber->messages().size() > 200, longWait);
        broker.stop();
        QTRY_COMPARE_WITH_TIMEOUT(publisher.state(), MqttStatus::Waiting, longWait);
        QVERIFY(!publisher.status().error.isEmpty());
        const int beforeRestart = next;
        QTRY_VERIFY_WITH_TIMEOUT(next > beforeRestart + 400, longWait);
        QTRY_VERIFY_WITH_TIMEOUT(publisher.status().queued > 300, longWait);
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        QTRY_COMPARE_WITH_TIMEOUT(publisher.state(), MqttStatus::Connected, longWait);
        QTRY_VERIFY_WITH_TIMEOUT(next > beforeRestart + 800, longWait);
        stream.stop();
        const int total = next;
        // Every reading once, in order, but for what QoS 1 may repeat.
        const auto firstArrivals = [&] {
            QList<int> order;
            QSet<QString> seen;
            for (const BrokerSubscriber::Message &message : subscriber->messages()) {
                const QJsonObject row = json(message.payload);
                if (row.isEmpty() || message.topic.endsWith("/status"))
                    continue;
                const QString key = row["time"].toString() + row["instrument"].toString() +
                                    row["quantity"].toString();
                if (!seen.contains(key)) {
                    seen.insert(key);
                    order.append(row["value"].toInt());
                }
            }
            return order;
        };
        QTRY_COMPARE_WITH_TIMEOUT(firstArrivals().size(), total, longWait);
        QList<int> expected;
        for (int n = 0; n < total; ++n)
            expected.append(n);
        QCOMPARE(firstArrivals(), expected);
        QCOMPARE(publisher.status().dropped, 0);
    }

    // Readings handed over just before the stop are not left in their batch.
    void stopDeliversTheLastReadings()
    {
        MosquittoBroker broker({});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        MqttPublisher publisher(optionsFor(broker.port()));
        publisher.start();
        QTRY_COMPARE_WITH_TIMEOUT(publisher.state(), MqttStatus::Connected, longWait);
        for (int n = 0; n < 5; ++n)
            publisher.publish({streamReading(n)});
        publisher.stopAndWait();
        QCOMPARE(publisher.status().published, 5);
        QCOMPARE(publisher.status().queued, 0);
    }

    void fullQueueDropsTheOldest()
    {
        MosquittoBroker broker({});
        MqttOptions options = optionsFor(broker.port());
        options.queueLimit = 10;
        MqttPublisher publisher(options);
        QSignalSpy dropped(&publisher, &MqttPublisher::readingsDropped);
        publisher.start();
        for (int n = 0; n < 30; ++n)
            publisher.publish({streamReading(n)});
        QTRY_COMPARE_WITH_TIMEOUT(publisher.status().queued, 10, longWait);
        QCOMPARE(publisher.state(), MqttStatus::Waiting);
        QVERIFY2(publisher.statusText().contains("Connection refused"),
                 qPrintable(publisher.statusText()));
        QCOMPARE(dropped.count(), 0);
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        QTRY_COMPARE_WITH_TIMEOUT(dropped.count(), 1, longWait);
        QCOMPARE(dropped.first().first().toLongLong(), 20);
        QTRY_COMPARE_WITH_TIMEOUT(publisher.status().queued, 0, longWait);
        QCOMPARE(publisher.status().dropped, 20);
    }

    void connectionFailuresAreTold_data()
    {
        QTest::addColumn<bool>("tls");
        QTest::addColumn<QString>("password"); // empty: none given
        QTest::addColumn<bool>("ownCa");
        QTest::addColumn<QString>("error"); // empty: connects
        QTest::newRow("right password") << false << "secret" << false << "";
        QTest::newRow("wrong password") << false << "wrong" << false << "not authorised";
        QTest::newRow("no password") << false << "" << false << "not authorised";
        QTest::newRow("trusted certificate") << true << "secret" << true << "";
        QTest::newRow("untrusted certificate") << true << "secret" << false << "not trusted";
    }
    void connectionFailuresAreTold()
    {
        QFETCH(bool, tls);
        QFETCH(QString, password);
        QFETCH(bool, ownCa);
        QFETCH(QString, error);
        MosquittoBroker broker({true, tls, false});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        MqttOptions options = optionsFor(broker.port(), tls);
        if (!password.isEmpty())
            options.credentials = MqttCredentials{"bench", password};
        if (ownCa)
            options.caFile = broker.caFile();
        MqttPublisher publisher(options);
        publisher.start();
        const MqttStatus::State expected =
            error.isEmpty() ? MqttStatus::Connected : MqttStatus::Waiting;
        QTRY_VERIFY_WITH_TIMEOUT(
            publisher.state() == expected && publisher.status().error.contains(error), longWait);
        if (!error.isEmpty())
            QVERIFY2(publisher.statusText().contains(error), qPrintable(publisher.statusText()));
    }

    void discoveryConfigsForHomeAssistant()
    {
        MosquittoBroker broker({});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        BrokerSubscriber subscriber(broker.port());
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.isSubscribed(), longWait);
        MqttOptions options = optionsFor(broker.port());
        options.discovery = true;
        MqttPublisher publisher(options);
        publisher.start();
        const QDateTime time = QDateTime::currentDateTime();
        const QList<Reading> readings{{time, "power", "voltage", "12.00", "V", ""},
                                      {time, "iron", "temperature", "350", "°C", ""},
                                      {time, "multimeter", "reading", "1.2", "KΩ", "resistance"}};
        publisher.publish(readings);
        publisher.publish(readings);
        const QByteArray iron = "homeassistant/sensor/bench1_iron_temperature/config";
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.on("korvanta/bench1/multimeter/reading").size(), 2,
                                  longWait);
        const QJsonObject config = json(subscriber.last(iron));
        QCOMPARE(config["name"].toString(), "iron temperature");
        QCOMPARE(config["unique_id"].toString(), "korvanta_bench1_iron_temperature");
        QCOMPARE(config["state_topic"].toString(), "korvanta/bench1/iron/temperature");
        QCOMPARE(config["value_template"].toString(), "{{ value_json.value }}");
        QCOMPARE(config["unit_of_measurement"].toString(), "°C");
        QCOMPARE(config["device_class"].toString(), "temperature");
        QCOMPARE(config["state_class"].toString(), "measurement");
        QCOMPARE(config["availability_topic"].toString(), "korvanta/bench1/status");
        const QJsonObject device = config["device"].toObject();
        QCOMPARE(device["identifiers"].toArray().first().toString(), "korvanta_bench1");
        QVERIFY(!device["name"].toString().isEmpty() && !device["model"].toString().isEmpty());
        QCOMPARE(json(subscriber.last(
                     "homeassistant/sensor/bench1_power_voltage/config"))["device_class"]
                     .toString(),
                 "voltage");
        const QJsonObject meter =
            json(subscriber.last("homeassistant/sensor/bench1_multimeter_reading/config"));
        QVERIFY(!meter.contains("device_class"));
        QCOMPARE(subscriber.on(iron).size(), 1);
        // Home Assistant restarted: every sensor again.
        subscriber.publish("homeassistant/status", "online");
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.on(iron).size(), 2, longWait);
        QCOMPARE(subscriber.on("homeassistant/sensor/bench1_power_voltage/config").size(), 2);
    }

    void statusIsOnlineUntilKilledOrStopped()
    {
        MosquittoBroker broker({});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        const QByteArray topic = "korvanta/bench1/status";
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--publish-until-killed", QString::number(broker.port())});
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += child.readAll()).contains("connected"), longWait);
        {
            BrokerSubscriber late(broker.port());
            QTRY_COMPARE_WITH_TIMEOUT(late.last(topic), "online", longWait);
            QVERIFY(late.on(topic).first().retained);
        }
        BrokerSubscriber subscriber(broker.port());
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last(topic), "online", longWait);
        child.kill();
        QVERIFY(child.waitForFinished());
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last(topic), "offline", longWait);

        MqttPublisher publisher(optionsFor(broker.port()));
        publisher.start();
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last(topic), "online", longWait);
        publisher.stop();
        QTRY_COMPARE_WITH_TIMEOUT(publisher.state(), MqttStatus::Stopped, longWait);
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last(topic), "offline", longWait);
        BrokerSubscriber late(broker.port());
        QTRY_COMPARE_WITH_TIMEOUT(late.last(topic), "offline", longWait);
        QVERIFY(late.on(topic).first().retained);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc > 2 && qstrcmp(argv[1], "--publish-until-killed") == 0)
        return publishUntilKilled(QByteArray(argv[2]).toInt());
    MqttPublisherTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mqttpublisher.moc"
