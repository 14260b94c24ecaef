// Publishing from the window: the simulated stream on the broker, the
// broker's state in the status bar, a refusal shown while the window goes on,
// and the network dialog's [Network] section.
#include "brokersubscriber.h"
#include "elidedlabel.h"
#include "framebuilder.h"
#include "mainwindow.h"
#include "mosquittobroker.h"
#include "networkcontrol.h"
#include "networkdialog.h"
#include "readingrecorder.h"
#include "simprocess.h"
#include "testenvironment.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QtTest>

namespace {

constexpr int longWait = 30000;

QString powerFrame()
{
    return FrameBuilder::station(
        1, {FrameBuilder::record("12.00", 0x0056), FrameBuilder::record("0.50", 0x0041)});
}

QString brokerAt(const MosquittoBroker &broker)
{
    return QString("mqtt://127.0.0.1:%1").arg(broker.port());
}

QString readingKey(const QString &time, const QString &instrument, const QString &quantity)
{
    return time + ' ' + instrument + ' ' + quantity;
}

// The readings that arrived, each once, in order.
QStringList arrivals(const BrokerSubscriber &subscriber)
{
    QStringList keys;
    QSet<QString> seen;
    for (const BrokerSubscriber::Message &message : subscriber.messages()) {
        const QJsonObject row = QJsonDocument::fromJson(message.payload).object();
        if (row.isEmpty() || !message.topic.startsWith("korvanta/w1/") ||
            message.topic.endsWith("/alarm"))
            continue;
        const QString key = readingKey(row["time"].toString(), row["instrument"].toString(),
                                       row["quantity"].toString());
        if (!seen.contains(key)) {
            seen.insert(key);
            keys << key;
        }
    }
    return keys;
}

QString statusOf(const MainWindow &window)
{
    const auto *label = window.findChild<ElidedLabel *>("networkLabel");
    return label && !label->isHidden() ? label->fullText() : QString("(hidden)");
}

} // namespace

class NetworkTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!MosquittoBroker::available())
            QSKIP("Debian's mosquitto broker (/usr/sbin/mosquitto) is not installed");
    }

    void windowPublishesTheSimulatedStream()
    {
        MosquittoBroker broker({});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        BrokerSubscriber subscriber(broker.port());
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.isSubscribed(), longWait);
        const QString link = TestEnvironment::home().path() + "/bench";
        SimProcess sim;
        sim.start({"--link", link, "--seconds", "6", "--seed", "7"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), 10000);
        TestEnvironment::writeSettings({{"ids_LanguageType/LanguageType", 2},
                                        {"SerialInfo/strSerialName", link},
                                        {"Network/enabled", true},
                                        {"Network/broker", brokerAt(broker)},
                                        {"Network/bench", "w1"}});
        MainWindow window;
        QList<Reading> decoded;
        connect(&window, &MainWindow::ReadingsDecoded_sig,
                [&](const QList<Reading> &readings) { decoded += readings; });
        QTRY_COMPARE_WITH_TIMEOUT(statusOf(window), "Broker: connected to " + brokerAt(broker),
                                  longWait);
        // Not waitForEnd(30000), which would hold up the window's event loop.
        QTRY_VERIFY_WITH_TIMEOUT(sim.waitForEnd(0), longWait);
        QTest::qWait(1500); // the last frames through the window
        QStringList expected;
        QHash<QString, QString> values;
        for (const Reading &r : qAsConst(decoded)) {
            const QString key =
                readingKey(ReadingRecorder::timeText(r.time), r.instrument, r.quantity);
            expected << key;
            values[key] = r.value;
        }
        QVERIFY2(expected.size() > 60, qPrintable(QString::number(expected.size())));
        QTRY_COMPARE_WITH_TIMEOUT(arrivals(subscriber).size(), expected.size(), longWait);
        QCOMPARE(arrivals(subscriber), expected);
        // Each on its topic, with its value.
        for (const BrokerSubscriber::Message &message : subscriber.messages()) {
            const QJsonObject row = QJsonDocument::fromJson(message.payload).object();
            if (row.isEmpty())
                continue;
            QCOMPARE(message.topic, "korvanta/w1/" + row["instrument"].toString().toUtf8() + '/' +
                                        row["quantity"].toString().toUtf8());
            const QString key = readingKey(row["time"].toString(), row["instrument"].toString(),
                                           row["quantity"].toString());
            QCOMPARE(row["value"].toDouble(), values[key].toDouble());
        }
    }

    void wrongPasswordShowsAndTheWindowGoesOn()
    {
        MosquittoBroker broker({true, false, false});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        const QString auth = TestEnvironment::home().path() + "/auth";
        QFile file(auth);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("bench\nwrong\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        TestEnvironment::writeSettings({{"ids_LanguageType/LanguageType", 2},
                                        {"Network/enabled", true},
                                        {"Network/broker", brokerAt(broker)},
                                        {"Network/auth_file", auth}});
        MainWindow window;
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(
            statusOf(window), "Broker " + brokerAt(broker) + " refused the user name or password",
            longWait);
        // The readings go on to the displays, and wait for a broker that takes them.
        int decoded = 0;
        connect(&window, &MainWindow::ReadingsDecoded_sig, [&] { ++decoded; });
        window.decipher(powerFrame());
        window.LanguageChangedToGerman();
        QTRY_VERIFY_WITH_TIMEOUT(
            statusOf(window).startsWith("Broker " + brokerAt(broker) + " hat Benutzername"),
            longWait);
        QCOMPARE(decoded, 1);
    }

    void dialogSavesTheSectionAndKeepsOtherKeys()
    {
        TestEnvironment::writeSettings({{"ids_LanguageType/LanguageType", 2},
                                        {"Network/broker", "mqtt://old.lan"},
                                        {"Network/keepalive", "60"}});
        MainWindow window;
        QCOMPARE(statusOf(window), QString("(hidden)"));
        QVERIFY(!window.network()->isPublishing());
        window.networkMenuAction()->trigger();
        NetworkDialog *dialog = window.networkDialog();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QString("Network"));
        auto *broker = dialog->findChild<QLineEdit *>("lineEdit_broker");
        QCOMPARE(broker->text(), QString("mqtt://old.lan"));
        broker->setText("not a broker");
        dialog->findChild<QCheckBox *>("checkBox_enabled")->setChecked(true);
        dialog->findChild<QLineEdit *>("lineEdit_bench")->setText("bench 4");
        dialog->findChild<QCheckBox *>("checkBox_discovery")->setChecked(true);
        dialog->findChild<QPushButton *>("pushButton_save")->click();
        QVERIFY(statusOf(window).startsWith("Network settings not used: Not a broker address"));
        QVERIFY(!window.network()->isPublishing());

        // Nothing listens on port 1: waiting, with the readings queued.
        broker->setText("mqtt://127.0.0.1:1");
        dialog->findChild<QPushButton *>("pushButton_save")->click();
        QVERIFY(window.network()->isPublishing());
        int readings = 0;
        connect(&window, &MainWindow::ReadingsDecoded_sig,
                [&](const QList<Reading> &decoded) { readings += decoded.size(); });
        window.decipher(powerFrame());
        QVERIFY(readings >= 2);
        // Each reading and its sensor's announcement.
        const int queued = 2 * readings;
        QTRY_COMPARE_WITH_TIMEOUT(
            statusOf(window),
            QString("Broker: waiting for mqtt://127.0.0.1:1 (%1 readings queued)").arg(queued),
            longWait);
        const QSettings file(settingsFilePath(), QSettings::IniFormat);
        QCOMPARE(file.value("Network/broker").toString(), QString("mqtt://127.0.0.1:1"));
        QCOMPARE(file.value("Network/bench").toString(), QString("bench 4"));
        QCOMPARE(file.value("Network/enabled").toBool(), true);
        QCOMPARE(file.value("Network/discovery").toBool(), true);
        QCOMPARE(file.value("Network/keepalive").toString(), QString("60"));
    }
};

KORVANTA_TEST_MAIN(QApplication, NetworkTest)
#include "tst_network.moc"
