// The port box, the reasons a port does not open, and a lost port that comes back.
#include "dataprocessthread.h"
#include "frameencoder.h"
#include "languagetext.h"
#include "mainwindow.h"
#include "pseudoterminal.h"
#include "receivequeue.h"
#include "serialsettingdlg.h"
#include "settinginfo.h"
#include "simprocess.h"
#include "testenvironment.h"
#include "textfit.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QSettings>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString portText(const char *entry)
{
    return languageText[QStringLiteral("ids_Port_Language/") + entry];
}

// A pseudo-terminal linked at a path under the test's home, the way a USB
// adapter is reached by its stable name.
struct LinkedLine : PseudoTerminal
{
    explicit LinkedLine(const char *name) { linkTo(TestEnvironment::home().path() + '/' + name); }
};

struct Bench
{
    explicit Bench(const QVariantMap &settings = {}) : settings(settings)
    {
        window.show();
        dialog = window.serialSettingDlg();
        QObject::connect(window.worker(), &DataProcessThread::decipher_sig, &window,
                         [this](const QString &frame) { deciphered << frame; });
    }
    template <typename T = QWidget> T *find(QObject *in, const char *name)
    {
        return in->findChild<T *>(name);
    }
    QComboBox *box() { return find<QComboBox>(dialog, "comboBox_serialname"); }
    void open(const QString &name)
    {
        box()->setEditText(name);
        find<QPushButton>(dialog, "pushButton_open")->click();
    }
    QString status() { return find<QLabel>(&window, "statusLabel")->text(); }
    QLabel *detail() { return find<QLabel>(&window, "portDetailLabel"); }
    bool listed(const QString &name) { return box()->findText(name) >= 0; }
    struct FreshSettings
    {
        FreshSettings(const QVariantMap &values) { TestEnvironment::writeSettings(values); }
    } settings;
    MainWindow window;
    SerialSettingDlg *dialog = nullptr;
    QStringList deciphered;
};

QByteArray powerFrame(const QByteArray &volts)
{
    return FrameEncoder::stationFrame(0x0001, {FrameEncoder::stationRecord(volts, 0x0056),
                                               FrameEncoder::stationRecord("0.5", 0x0041)});
}

// The start of a long frame: were it kept, it would swallow a following short one.
const QByteArray staleHead = FrameEncoder::frame(QByteArray(40, 'x')).left(30);

} // namespace

class PortLifecycleTest : public QObject
{
    Q_OBJECT

private slots:
    void portsNotEnumeratedAreListedAndReopen()
    {
        LinkedLine stored("stored-port");
        Bench b({{"SerialInfo/strSerialName", stored.linkPath()}});
        QVERIFY(serialPort->isOpen());
        QTemporaryDir byId;
        PseudoTerminal adapter;
        const QString adapterLink = byId.filePath("usb-Bench_Adapter-if00");
        QVERIFY(QFile::link(adapter.slavePath(), adapterLink));
        QVERIFY(QFile::link("/nonexistent", byId.filePath("usb-Unplugged-if00")));
        b.dialog->strStableNameFolder = byId.path();
        b.dialog->portNameTimerUpdate();
        QVERIFY(b.listed(adapterLink));
        QVERIFY(!b.listed(byId.filePath("usb-Unplugged-if00")));
        QVERIFY(b.listed(stored.linkPath()));

        // Closed and opened again from the box as it stands: the same port.
        b.find<QPushButton>(b.dialog, "pushButton_close")->click();
        b.dialog->portNameTimerUpdate();
        b.find<QPushButton>(b.dialog, "pushButton_open")->click();
        QVERIFY(serialPort->isOpen());
        QCOMPARE(serialPort->portName(), stored.linkPath());
        QCOMPARE(curSetting.strSerialName, stored.linkPath());

        // What is typed survives a refresh, even when the item it started from goes.
        b.box()->setCurrentIndex(b.box()->findText(adapterLink));
        b.box()->lineEdit()->setText("/dev/tty");
        b.box()->lineEdit()->setSelection(5, 3);
        QFile::remove(adapterLink);
        b.dialog->portNameTimerUpdate();
        QVERIFY(!b.listed(adapterLink));
        QCOMPARE(b.box()->currentText(), QString("/dev/tty"));
        QCOMPARE(b.box()->lineEdit()->selectedText(), QString("tty"));
    }

    void longPortNamesAreShownWhole()
    {
        // The dialog keeps its size: a long name is read in the list and in
        // the box's tooltip, whether typed, opened or listed.
        LinkedLine stored("a-rather-long-link-to-the-instruments-on-the-bench");
        Bench b({{"SerialInfo/strSerialName", stored.linkPath()}});
        QVERIFY(serialPort->isOpen());
        QCOMPARE(b.dialog->size(), QSize(232, 92));
        b.dialog->portNameTimerUpdate();
        QVERIFY(b.listed(stored.linkPath()));
        QCOMPARE(b.box()->toolTip(), stored.linkPath());

        const QString typed = TestEnvironment::home().path() + "/another/long/path/to/a/bench";
        b.box()->lineEdit()->clear();
        QTest::keyClicks(b.box()->lineEdit(), typed);
        QCOMPARE(b.box()->toolTip(), typed);
        b.dialog->portNameTimerUpdate();
        QCOMPARE(b.box()->toolTip(), typed);

        b.box()->setCurrentIndex(b.box()->findText(stored.linkPath()));
        QCOMPARE(b.box()->toolTip(), stored.linkPath());
        b.box()->showPopup();
        QAbstractItemView *list = b.box()->view();
        QTRY_VERIFY(list->isVisible());
        const int widest = list->fontMetrics().horizontalAdvance(stored.linkPath());
        QVERIFY2(list->viewport()->width() > widest, qPrintable(QString::number(widest)));
        b.box()->hidePopup();
        QCOMPARE(b.dialog->size(), QSize(232, 92));
    }

    void showingTheDialogListsWhatCameWhileItWasHidden()
    {
        Bench b;
        QTemporaryDir byId;
        b.dialog->strStableNameFolder = byId.path();
        b.dialog->hide();
        QTest::qWait(1500); // the first tick fills the list
        PseudoTerminal adapter;
        const QString link = byId.filePath("usb-Late_Adapter-if00");
        QVERIFY(QFile::link(adapter.slavePath(), link));
        QTest::qWait(1000); // a tick of the port name timer behind the hidden dialog
        QVERIFY(!b.listed(link));
        b.dialog->show();
        QVERIFY(b.listed(link));
    }

    void failedOpenSaysWhy_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("missing") << "missing";
        QTest::newRow("not a serial device") << "plain file";
        QTest::newRow("held by another program") << "held";
        QTest::newRow("no permission") << "no permission";
    }

    void failedOpenSaysWhy()
    {
        QFETCH(QString, cause);
        Bench b;
        PseudoTerminal line;
        QString port = line.slavePath();
        const char *reason = "ids_inUse";
        QStringList details;
        QSerialPort holder;
        bool dropped = false;
        if (cause == "missing") {
            port = "/dev/korvanta-missing";
            reason = "ids_notFound";
        } else if (cause == "plain file") {
            port = TestEnvironment::home().path() + "/plain";
            QFile(port).open(QIODevice::WriteOnly);
            reason = "ids_openError";
            details << QString::fromLocal8Bit(strerror(ENOTTY));
        } else if (cause == "held") {
            holder.setPortName(port);
            QVERIFY(holder.open(QIODevice::ReadWrite));
        } else {
            // Root may open anything: the open is tried as an ordinary user.
            dropped = geteuid() == 0 ? seteuid(65534) == 0 : chmod(qPrintable(port), 0) == 0;
            if (!dropped)
                QSKIP("cannot take the permission to open a device away from this process");
            reason = "ids_noPermission";
        }
        const auto expected = [&] {
            const QString text = portText(reason);
            return details.isEmpty() ? text.arg(port) : text.arg(port, details[0]);
        };
        b.open(port);
        if (geteuid() != getuid())
            QVERIFY(seteuid(getuid()) == 0);
        QCOMPARE(b.status(), languageText["ids_Serialport_Language/ids_NotconnectRemind"]);
        QVERIFY(!b.detail()->isHidden());
        QCOMPARE(b.detail()->toolTip(), expected());
        // The narrow window gives the reason what room it has and keeps its width.
        QCOMPARE(b.detail()->text(),
                 fitText(b.detail(), expected(), b.detail()->contentsRect().width()));
        QVERIFY(b.detail()->geometry().right() < b.window.width());
        b.window.findChild<QAction *>("action_ge")->trigger();
        QCOMPARE(b.detail()->toolTip(), expected());

        // The reason stays until the next attempt.
        PseudoTerminal other;
        b.open(other.slavePath());
        QVERIFY(serialPort->isOpen());
        QVERIFY(b.detail()->isHidden());
    }

    void lostPortComesBack_data()
    {
        QTest::addColumn<QString>("loss");
        QTest::newRow("link removed, then pointed at a new line") << "link removed";
        QTest::newRow("line hung up and its link removed") << "hung up";
        // Faster than the port list is refreshed: only the hung-up line tells.
        QTest::newRow("line hung up and replaced at once") << "replaced";
    }

    void lostPortComesBack()
    {
        QFETCH(QString, loss);
        Bench b;
        LinkedLine adapter("adapter");
        b.open(adapter.linkPath());
        QVERIFY(adapter.write(powerFrame("1") + staleHead));
        QTRY_COMPARE(b.deciphered.size(), 1);
        QTest::qWait(200); // the stale head reaches the worker
        QSignalSpy failed(b.dialog, &SerialSettingDlg::SerialOpenFailed_sig);
        if (loss == "link removed")
            QFile::remove(adapter.linkPath());
        else if (loss == "hung up")
            adapter.close();
        else
            QVERIFY(adapter.reopen());
        QTRY_VERIFY_WITH_TIMEOUT(!serialPort->isOpen(), 5000);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(b.status(), languageText["ids_Serialport_Language/ids_NotconnectRemind"]);
        QCOMPARE(b.detail()->toolTip(), portText("ids_waiting").arg(adapter.linkPath()));

        if (loss != "replaced")
            QVERIFY(adapter.reopen());
        QTRY_VERIFY_WITH_TIMEOUT(serialPort->isOpen(), 5000);
        QCOMPARE(b.status(), languageText["ids_Serialport_Language/ids_connectRemind"]);
        QVERIFY(b.detail()->isHidden());
        QVERIFY(adapter.write(powerFrame("2")));
        QTRY_COMPARE(b.deciphered.size(), 2);
        QCOMPARE(b.deciphered.last(), QString::fromLatin1(powerFrame("2")));
    }

    void userChoiceEndsTheWait_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::newRow("closed with the close button") << "close";
        QTest::newRow("another port typed") << "typed";
        QTest::newRow("another port opened") << "opened";
    }

    void userChoiceEndsTheWait()
    {
        QFETCH(QString, choice);
        Bench b;
        LinkedLine adapter("adapter"), other("other-adapter");
        b.open(adapter.linkPath());
        if (choice == "close")
            b.find<QPushButton>(b.dialog, "pushButton_close")->click();
        adapter.close();
        QTRY_VERIFY_WITH_TIMEOUT(!serialPort->isOpen(), 5000);
        if (choice != "close") {
            b.box()->lineEdit()->clear();
            QTest::keyClicks(b.box()->lineEdit(), other.linkPath());
        }
        QVERIFY(b.detail()->isHidden());
        if (choice == "opened")
            b.find<QPushButton>(b.dialog, "pushButton_open")->click();
        QVERIFY(adapter.reopen());
        QTest::qWait(2500);
        QCOMPARE(serialPort->isOpen(), choice == "opened");
        QCOMPARE(curSetting.strSerialName, (choice == "opened" ? other : adapter).linkPath());
    }

    void portThatClosesItselfIsReportedLost()
    {
        Bench b;
        PseudoTerminal line;
        b.open(line.slavePath());
        QSignalSpy failed(b.dialog, &SerialSettingDlg::SerialOpenFailed_sig);
        serialPort->close();
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 5000);
        // Its device is still there, so it is opened again.
        QTRY_VERIFY_WITH_TIMEOUT(serialPort->isOpen(), 5000);
    }

    void simulatedBenchIsUnpluggedAndComesBack()
    {
        Bench b;
        const QString link = TestEnvironment::home().path() + "/bench";
        SimProcess sim;
        sim.start({"--link", link, "--unplug-after", "3", "--replug-after", "2", "--seconds", "12",
                   "--rate", "20"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(link), 10000);
        b.open(link);
        QVERIFY(serialPort->isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(!b.deciphered.isEmpty(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!serialPort->isOpen(), 10000);
        QCOMPARE(b.detail()->toolTip(), portText("ids_waiting").arg(link));
        b.deciphered.clear();
        QTRY_VERIFY_WITH_TIMEOUT(serialPort->isOpen(), 10000);
        QCOMPARE(b.status(), languageText["ids_Serialport_Language/ids_connectRemind"]);
        QTRY_VERIFY_WITH_TIMEOUT(!b.deciphered.isEmpty(), 10000);
        sim.interrupt();
        QVERIFY(sim.waitForEnd(30000));
    }
};

KORVANTA_TEST_MAIN(QApplication, PortLifecycleTest)
#include "tst_portlifecycle.moc"
