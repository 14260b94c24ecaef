// korvanta-log --mqtt against Debian's mosquitto: the simulated stream on its
// topics, nothing lost while the broker is away, the end on a refusal, and
// the status topic's last will.
#include "brokersubscriber.h"
#include "mosquittobroker.h"
#include "simprocess.h"

#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class KorvantaLogMqttTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    int runs = 0;

    // The simulator on a new link, at its default rates; empty if it has none.
    QString startSim(SimProcess &sim, int seconds)
    {
        const QString link = dir.filePath(QString("bench%1").arg(++runs));
        sim.start({"--link", link, "--seed", "5", "--seconds", QString::number(seconds)});
        const bool linked = QTest::qWaitFor([&] { return QFileInfo(link).isSymLink(); }, 10000);
        return linked ? link : QString();
    }

    // The rows of a recording, as the broker's readings() has them.
    static QList<QByteArray> fileRows(const QString &path)
    {
        QFile file(path);
        QList<QByteArray> rows;
        for (const QByteArray &line :
             (file.open(QIODevice::ReadOnly) ? file.readAll() : "").split('\n'))
            if (!line.isEmpty())
                rows << BrokerSubscriber::key(line);
        return rows;
    }

private slots:
    void initTestCase() { MosquittoBroker::skipUnlessInstalled(); }

    void everyReadingOnItsTopicAndSensorsAnnounced()
    {
        MosquittoBroker broker;
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        BrokerSubscriber subscriber(broker.port());
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.isSubscribed(), longWait);
        SimProcess sim;
        const QString link = startSim(sim, 30);
        const QString output = dir.filePath("stream.jsonl");
        QProcess log;
        log.start(KORVANTA_LOG_PATH,
                  {link, "--format", "jsonl", "--output", output, "--duration", "4", "--mqtt",
                   broker.url(), "--bench", "b1", "--ha-discovery"});
        QVERIFY(log.waitForFinished(longWait));
        const QString err = log.readAllStandardError();
        QCOMPARE(log.exitCode(), 0);
        const QList<QByteArray> written = fileRows(output);
        QVERIFY(written.size() > 100);
        QVERIFY2(err.startsWith("korvanta-log: publishing to " + broker.url() + '\n'),
                 qPrintable(err));
        // Each reading, and a sensor's announcement per quantity.
        QSet<QString> quantities;
        for (const QByteArray &row : written) {
            const QJsonObject o = BrokerSubscriber::json(row);
            quantities << o["instrument"].toString() + o["quantity"].toString();
        }
        const int published = written.size() + quantities.size();
        QVERIFY2(err.contains(QString(" published=%1 queued=0 dropped=0").arg(published)),
                 qPrintable(err));
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.readings("b1").size(), written.size(), longWait);
        QCOMPARE(subscriber.readings("b1"), written);
        QCOMPARE(subscriber.last("korvanta/b1/status"), QByteArray("offline"));

        const QJsonObject v =
            BrokerSubscriber::json(subscriber.last("homeassistant/sensor/b1_power_voltage/config"));
        QCOMPARE(v["device_class"].toString(), QString("voltage"));
        QCOMPARE(v["unit_of_measurement"].toString(), QString("V"));
        QCOMPARE(v["state_class"].toString(), QString("measurement"));
        QCOMPARE(v["availability_topic"].toString(), QString("korvanta/b1/status"));
        QCOMPARE(v["state_topic"].toString(), QString("korvanta/b1/power/voltage"));
    }

    // The broker is not there when the logger starts, comes, then stops for
    // 10 s mid-stream; its disk keeps the subscriber's session meanwhile.
    void brokerAwayLosesNothing()
    {
        MosquittoBroker broker({false, false, true});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        BrokerSubscriber subscriber(broker.port(), true);
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.isSubscribed(), longWait);
        broker.stop();
        SimProcess sim;
        const QString link = startSim(sim, 120);
        const QString output = dir.filePath("outage.jsonl");
        QProcess log;
        log.start(KORVANTA_LOG_PATH,
                  {link, "--format", "jsonl", "--output", output, "--mqtt", broker.url()});
        QString err;
        QTRY_VERIFY_WITH_TIMEOUT((err += log.readAllStandardError()).contains("are queued"),
                                 longWait);
        QVERIFY2(err.startsWith("korvanta-log: waiting for the broker at " + broker.url()),
                 qPrintable(err));
        QTest::qWait(2000);
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        const QByteArray bench = QSysInfo::machineHostName().toUtf8();
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.readings(bench).size() > 50, longWait);
        broker.stop();
        QTest::qWait(10000);
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        // The next try comes within 16 s (1 s, doubling).
        QTRY_VERIFY_WITH_TIMEOUT(
            (err += log.readAllStandardError()).count("korvanta-log: publishing to") == 2,
            longWait);
        QVERIFY2(err.contains("(the connection to the broker was lost)"), qPrintable(err));
        QTest::qWait(1000);
        ::kill(pid_t(log.processId()), SIGTERM);
        QVERIFY(log.waitForFinished(longWait));
        err += log.readAllStandardError();
        QCOMPARE(log.exitCode(), 0);
        QVERIFY2(err.contains(" queued=0 dropped=0"), qPrintable(err));
        const QList<QByteArray> written = fileRows(output);
        QVERIFY(written.size() > 300);
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.readings(bench).size(), written.size(), longWait);
        QCOMPARE(subscriber.readings(bench), written);
    }

    void refusalsEndTheLogger_data()
    {
        QTest::addColumn<bool>("tls");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<int>("permissions"); // of the credentials file
        QTest::addColumn<int>("exitCode");    // 0: trusts the test CA (--ca-file)
        QTest::addColumn<QString>("message"); // %1 the broker, %2 the credentials file
        const int owner = QFile::ReadOwner | QFile::WriteOwner;
        QTest::newRow("wrong password")
            << false << QByteArray("wrong") << owner << 6
            << "the broker at %1 refused the connection: not authorised";
        QTest::newRow("untrusted")
            << true << QByteArray("secret") << owner << 6
            << "cannot connect securely to %1: the broker's certificate is not trusted";
        QTest::newRow("trusted") << true << QByteArray("secret") << owner << 0
                                 << "publishing to %1";
        QTest::newRow("shared credentials file")
            << false << QByteArray("secret") << (owner | QFile::ReadGroup) << 1
            << "--mqtt-auth-file: the credentials file %2 may be read by group or others: make "
               "it private (chmod 600 ";
    }

    void refusalsEndTheLogger()
    {
        QFETCH(bool, tls);
        QFETCH(QByteArray, password);
        QFETCH(int, permissions);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        MosquittoBroker broker({true, tls, false});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        SimProcess sim;
        const QString url = broker.url(tls);
        const QString auth =
            broker.credentialsFile("bench\n" + password + '\n', QFile::Permissions(permissions));
        QStringList arguments{startSim(sim, 30),  "--duration", "3", "--mqtt", url,
                              "--mqtt-auth-file", auth};
        if (exitCode == 0)
            arguments << "--ca-file" << broker.caFile();
        QProcess log;
        log.start(KORVANTA_LOG_PATH, arguments);
        QVERIFY(log.waitForFinished(longWait));
        const QString err = log.readAllStandardError();
        QVERIFY2(log.exitCode() == exitCode, qPrintable(err));
        QVERIFY2(err.startsWith("korvanta-log: " + message.replace("%1", url).replace("%2", auth)),
                 qPrintable(err));
        QCOMPARE(err.contains(" published=0 "), exitCode == 6);
    }

    void killedLoggerGoesOffline()
    {
        MosquittoBroker broker;
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        SimProcess sim;
        QProcess log;
        log.start(KORVANTA_LOG_PATH, {startSim(sim, 60), "--mqtt", broker.url(), "--bench", "b2"});
        BrokerSubscriber subscriber(broker.port());
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last("korvanta/b2/status"), QByteArray("online"),
                                  longWait);
        log.kill();
        QVERIFY(log.waitForFinished(longWait));
        // The broker sees the connection close and publishes the last will.
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last("korvanta/b2/status"), QByteArray("offline"),
                                  longWait);
    }
};

QTEST_GUILESS_MAIN(KorvantaLogMqttTest)
#include "tst_korvantalog_mqtt.moc"
