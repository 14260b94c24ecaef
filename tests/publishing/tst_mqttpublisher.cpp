#include "brokersubscriber.h"
#include "brokerurl.h"
#include "mosquittobroker.h"
#include "mqttcredentials.h"
#include "mqttpublisher.h"
#include "readingrecorder.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <numeric>

namespace {

MqttOptions optionsFor(const QString &url)
{
    MqttOptions options;
    options.url = BrokerUrl::parse(url);
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

int publishUntilKilled(const QString &url)
{
    MqttPublisher publisher(optionsFor(url));
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
    void initTestCase() { MosquittoBroker::skipUnlessInstalled(); }

    void brokerUrls_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // empty: refused
        const char *const rows[][3] = {
            {"plain", "mqtt://broker.lan", "mqtt://broker.lan:1883"},
            {"tls", "mqtts://broker.lan", "mqtts://broker.lan:8883"},
            {"port", "mqtt://10.0.0.2:1884", "mqtt://10.0.0.2:1884"},
            {"http", "http://broker.lan", ""},
            {"no scheme", "broker.lan:1883", ""},
            {"no host", "mqtt://:1883", ""},
            {"bad port", "mqtt://broker.lan:99999", ""},
            {"password", "mqtt://user:pw@broker.lan", ""},
            {"path", "mqtt://broker.lan/topic", ""},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]);
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
        MosquittoBroker broker;
        const QString path =
            broker.credentialsFile("bench\r\nsecret\n", QFile::Permissions(permissions));
        QVERIFY(!path.isEmpty());
        QString error;
        const auto credentials = MqttCredentials::fromFile(path, &error);
        QVERIFY2(error.contains(refusal) && !error.contains("secret"), qPrintable(error));
        QCOMPARE(credentials ? credentials->user + ' ' + credentials->password : "refused",
                 refusal.isEmpty() ? "bench secret" : "refused");
    }

    void readingsArriveWithTheirFields()
    {
        MosquittoBroker broker;
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        BrokerSubscriber subscriber(broker.port());
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.isSubscribed(), longWait);
        MqttPublisher publisher(optionsFor(broker.url()));
        publisher.start();
        QTRY_COMPARE_WITH_TIMEOUT(publisher.state(), MqttStatus::Connected, longWait);
        const QDateTime time = QDateTime::currentDateTime();
        const QList<Reading> readings{
            {time, "multimeter", "reading", "007.50", "mV", "DC voltage"},
            {time, "multimeter", "reading", "-OL", "MΩ", "resistance"},
            {time, "power", "current", "", "A", ""},
            {time, "hotair", "air_flow", "45", "%", ""},
            {time, "iron", "alarm", "", "", "temperature above 450 °C"},
        };
        publisher.publish(readings.mid(0, 4));
        publisher.publishAlarm(readings[4]);
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.messages().size(), 6, longWait);
        QCOMPARE(subscriber.last("korvanta/bench1/status"), "online");
        const QList<QJsonValue> values{7.5, "-OL", QJsonValue::Null, 45, QJsonValue::Null};
        const QList<BrokerSubscriber::Message> received = subscriber.messages().mid(1);
        for (int i = 0; i < received.size(); ++i) {
            const Reading &r = readings[i];
            const QString topic = i < 4 ? r.instrument + '/' + r.quantity : QString("alarm");
            QCOMPARE(received[i].topic, "korvanta/bench1/" + topic.toUtf8());
            QVERIFY(BrokerSubscriber::json(received[i].payload)["elapsed_s"].isDouble());
            const QJsonObject row{{"time", ReadingRecorder::timeText(time)},
                                  {"instrument", r.instrument},
                                  {"quantity", r.quantity},
                                  {"value", values[i]},
                                  {"unit", r.unit},
                                  {"detail", r.detail}};
            QCOMPARE(BrokerSubscriber::key(received[i].payload),
                     QJsonDocument(row).toJson(QJsonDocument::Compact));
        }
    }

    // The broker stops for a few seconds mid-stream; the subscriber's session
    // lives on the broker's disk meanwhile.
    void brokerOutageLosesNothing()
    {
        MosquittoBroker broker({false, false, true});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        BrokerSubscriber subscriber(broker.port(), true);
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.isSubscribed(), longWait);
        MqttPublisher publisher(optionsFor(broker.url()));
        publisher.start();
        int next = 0;
        QTimer stream;
        connect(&stream, &QTimer::timeout, [&] {
            publisher.publish({streamReading(next), streamReading(next + 1)});
            next += 2;
        });
        stream.start(5);
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.messages().size() > 200, longWait);
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
        // Every reading once, in order, but for what QoS 1 may repeat.
        const auto values = [&] {
            QVector<int> order;
            for (const QByteArray &row : subscriber.readings("bench1"))
                order << BrokerSubscriber::json(row)["value"].toInt();
            return order;
        };
        QTRY_COMPARE_WITH_TIMEOUT(values().size(), next, longWait);
        QVector<int> expected(next);
        std::iota(expected.begin(), expected.end(), 0);
        QCOMPARE(values(), expected);
        QCOMPARE(publisher.status().dropped, 0);
    }

    // Readings handed over just before the stop are not left in their batch.
    void stopDeliversTheLastReadings()
    {
        MosquittoBroker broker;
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        MqttPublisher publisher(optionsFor(broker.url()));
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
        MosquittoBroker broker;
        MqttOptions options = optionsFor(broker.url());
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
        MqttOptions options = optionsFor(broker.url(tls));
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
        QVERIFY2(publisher.statusText().contains(error), qPrintable(publisher.statusText()));
    }

    void discoveryConfigsForHomeAssistant()
    {
        MosquittoBroker broker;
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        BrokerSubscriber subscriber(broker.port());
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.isSubscribed(), longWait);
        MqttOptions options = optionsFor(broker.url());
        options.discovery = true;
        MqttPublisher publisher(options);
        publisher.start();
        const QDateTime time = QDateTime::currentDateTime();
        const QList<Reading> readings{{time, "power", "voltage", "12.00", "V", ""},
                                      {time, "iron", "temperature", "350", "°C", ""},
                                      {time, "multimeter", "reading", "1.2", "KΩ", "resistance"}};
        publisher.publish(readings);
        publisher.publish(readings);
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.on("korvanta/bench1/multimeter/reading").size(), 2,
                                  longWait);
        const QByteArray iron = "homeassistant/sensor/bench1_iron_temperature/config";
        const QJsonObject config = BrokerSubscriber::json(subscriber.last(iron));
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
        const QByteArray power = "homeassistant/sensor/bench1_power_voltage/config";
        QCOMPARE(BrokerSubscriber::json(subscriber.last(power))["device_class"].toString(),
                 "voltage");
        QVERIFY(!BrokerSubscriber::json(
                     subscriber.last("homeassistant/sensor/bench1_multimeter_reading/config"))
                     .contains("device_class"));
        QCOMPARE(subscriber.on(iron).size(), 1);
        // Home Assistant restarted: every sensor again.
        subscriber.publish("homeassistant/status", "online");
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.on(iron).size(), 2, longWait);
        QCOMPARE(subscriber.on(power).size(), 2);
    }

    void statusIsOnlineUntilKilledOrStopped()
    {
        MosquittoBroker broker;
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        const QByteArray topic = "korvanta/bench1/status";
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--publish-until-killed", broker.url()});
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += child.readAll()).contains("connected"), longWait);
        const auto lateSubscriberSees = [&](const QByteArray &status) {
            BrokerSubscriber late(broker.port());
            return QTest::qWaitFor([&] { return late.last(topic) == status; }, longWait) &&
                   late.on(topic).first().retained;
        };
        QVERIFY(lateSubscriberSees("online"));
        BrokerSubscriber subscriber(broker.port());
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last(topic), "online", longWait);
        child.kill();
        QVERIFY(child.waitForFinished());
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last(topic), "offline", longWait);

        MqttPublisher publisher(optionsFor(broker.url()));
        publisher.start();
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last(topic), "online", longWait);
        publisher.stop();
        QTRY_COMPARE_WITH_TIMEOUT(publisher.state(), MqttStatus::Stopped, longWait);
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last(topic), "offline", longWait);
        QVERIFY(lateSubscriberSees("offline"));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc > 2 && qstrcmp(argv[1], "--publish-until-killed") == 0)
        return publishUntilKilled(QString::fromLocal8Bit(argv[2]));
    MqttPublisherTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mqttpublisher.moc"
