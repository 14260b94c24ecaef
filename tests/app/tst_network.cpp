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
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QString powerFrame()
{
    return FrameBuilder::station(
        1, {FrameBuilder::record("12.00", 0x0056), FrameBuilder::record("0.50", 0x0041)});
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
    void initTestCase() { MosquittoBroker::skipUnlessInstalled(); }

    void windowPublishesTheSimulatedStream()
    {
        MosquittoBroker broker;
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
                                        {"Network/broker", broker.url()},
                                        {"Network/bench", "w1"}});
        MainWindow window;
        QStringList expected; // time, instrument, quantity and value of each reading decoded
        connect(&window, &MainWindow::ReadingsDecoded_sig, [&](const QList<Reading> &readings) {
            for (const Reading &r : readings)
                expected << ReadingRecorder::timeText(r.time) + ' ' + r.instrument + '/' +
                                r.quantity + ' ' + QString::number(r.value.toDouble());
        });
        QTRY_COMPARE_WITH_TIMEOUT(statusOf(window), "Broker: connected to " + broker.url(),
                                  longWait);
        // Not waitForEnd(30000), which would hold up the window's event loop.
        QTRY_VERIFY_WITH_TIMEOUT(sim.waitForEnd(0), longWait);
        QTest::qWait(1500); // the last frames through the window
        QVERIFY(expected.size() > 60);
        // Each on its topic of bench "w1".
        const auto arrived = [&] {
            QStringList rows;
            for (const QByteArray &row : subscriber.readings("w1")) {
                const QJsonObject o = BrokerSubscriber::json(row);
                rows << o["time"].toString() + ' ' + o["instrument"].toString() + '/' +
                            o["quantity"].toString() + ' ' + QString::number(o["value"].toDouble());
            }
            return rows;
        };
        QTRY_COMPARE_WITH_TIMEOUT(arrived().size(), expected.size(), longWait);
        QCOMPARE(arrived(), expected);
    }

    void wrongPasswordShowsAndTheWindowGoesOn()
    {
        MosquittoBroker broker({true, false, false});
        QVERIFY2(broker.start(), qPrintable(broker.output()));
        const QString auth = broker.credentialsFile("bench\nwrong\n");
        QVERIFY(!auth.isEmpty());
        TestEnvironment::writeSettings({{"ids_LanguageType/LanguageType", 2},
                                        {"Network/enabled", true},
                                        {"Network/broker", broker.url()},
                                        {"Network/auth_file", auth}});
        MainWindow window;
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(statusOf(window),
                                  "Broker " + broker.url() + " refused the user name or password",
                                  longWait);
        int decoded = 0;
        connect(&window, &MainWindow::ReadingsDecoded_sig, [&] { ++decoded; });
        window.decipher(powerFrame());
        QCOMPARE(decoded, 1);
    }

    void dialogSavesTheSectionAndKeepsOtherKeys()
    {
        TestEnvironment::writeSettings({{"ids_LanguageType/LanguageType", 2},
                                        {"Network/broker", "mqtt://old.lan"},
                                        {"Network/keepalive", "60"}});
        MainWindow window;
        QCOMPARE(statusOf(window), QString("(hidden)"));
        window.networkMenuAction()->trigger();
        NetworkDialog *dialog = window.networkDialog();
        QVERIFY(dialog->isVisible());
        auto *broker = dialog->findChild<QLineEdit *>("lineEdit_broker");
        QCOMPARE(broker->text(), QString("mqtt://old.lan"));
        // Nothing listens on port 1: waiting, with the readings queued.
        broker->setText("mqtt://127.0.0.1:1");
        dialog->findChild<QCheckBox *>("checkBox_enabled")->setChecked(true);
        dialog->findChild<QLineEdit *>("lineEdit_bench")->setText("bench 4");
        dialog->findChild<QPushButton *>("pushButton_save")->click();
        int readings = 0;
        connect(&window, &MainWindow::ReadingsDecoded_sig,
                [&](const QList<Reading> &decoded) { readings += decoded.size(); });
        window.decipher(powerFrame());
        QVERIFY(readings >= 2);
        QTRY_COMPARE_WITH_TIMEOUT(
            statusOf(window),
            QString("Broker: waiting for mqtt://127.0.0.1:1 (%1 readings queued)").arg(readings),
            longWait);
        const QSettings file(settingsFilePath(), QSettings::IniFormat);
        QCOMPARE(file.value("Network/broker").toString(), QString("mqtt://127.0.0.1:1"));
        QCOMPARE(file.value("Network/bench").toString(), QString("bench 4"));
        QCOMPARE(file.value("Network/keepalive").toString(), QString("60"));
    }
};

KORVANTA_TEST_MAIN(QApplication, NetworkTest)
#include "tst_network.moc"
