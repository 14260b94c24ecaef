// Start-up and shutdown of the main window.
#include "dataprocessthread.h"
#include "languagetext.h"
#include "mainwindow.h"
#include "pseudoterminal.h"
#include "rangesetting_dialog.h"
#include "receivequeue.h"
#include "serialsettingdlg.h"
#include "settinginfo.h"
#include "testenvironment.h"
#include "vision_dialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSerialPort>
#include <QSettings>
#include <QWindow>
#include <QtTest>

#include <atomic>

namespace {

void storePortName(const QString &name)
{
    TestEnvironment::writeSettings({{"SerialInfo/strSerialName", name}});
}

QString statusText(const MainWindow &window)
{
    return window.findChild<QLabel *>("statusLabel")->text();
}

} // namespace

class MainWindowLifecycleTest : public QObject
{
    Q_OBJECT

private slots:
    void emptyStoredPortShowsTheDialog()
    {
        // A screen the window fits on: it stands at the top right.
        MainWindow::setAvailableScreenArea(QRect(0, 0, 1920, 1200));
        storePortName("");
        MainWindow window;
        window.show();
        QCOMPARE(window.windowTitle(), QString("Korvanta"));
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(window.serialSettingDlg()->isVisible());
        QVERIFY(window.serialSettingDlg()->isModal());
        QCOMPARE(statusText(window), languageText["ids_Serialport_Language/ids_NotconnectRemind"]);
        QVERIFY(!serialPort->isOpen());
        const QRect available = MainWindow::availableScreenArea();
        QCOMPARE(window.pos(), QPoint(available.width() - window.width() - 20, 50));
    }

    void serialButtonAndActionsShowTheDialog()
    {
        storePortName("");
        MainWindow window;
        window.show();
        SerialSettingDlg *dialog = window.serialSettingDlg();
        dialog->hide();
        window.findChild<QPushButton *>("pushButton_serial")->click();
        QVERIFY(dialog->isVisible());
        dialog->hide();
        window.findChild<QAction *>("action_SerialSetting")->trigger();
        QVERIFY(dialog->isVisible());
        dialog->hide();
        window.findChild<QAction *>("action_close")->trigger();
        QVERIFY(!window.isVisible());
    }

    void dialogsOpenAboveTheWindow_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::newRow("serial") << "serial";
        QTest::newRow("version") << "version";
        QTest::newRow("range") << "range";
    }

    void dialogsOpenAboveTheWindow()
    {
        // The window stays on top: a dialog is kept above it only as a
        // dialog window whose transient parent it is.
        QFETCH(QString, dialog);
        TestEnvironment::writeSettings({{"SerialInfo/nDisplayType", 1}});
        MainWindow window;
        window.show();
        window.serialSettingDlg()->hide();
        QDialog *shown = nullptr;
        if (dialog == "serial") {
            window.openSerialSettingDlg();
            shown = window.serialSettingDlg();
        } else if (dialog == "version") {
            window.actVersionClick();
            shown = window.versionDialog();
        } else {
            window.actRangeSettingClick();
            shown = window.rangeDialog();
        }
        QVERIFY(shown->isVisible());
        QVERIFY(!shown->parentWidget());
        QCOMPARE(shown->windowType(), Qt::Dialog);
        QVERIFY(shown->windowHandle());
        QCOMPARE(shown->windowHandle()->transientParent(), window.windowHandle());
        QTRY_COMPARE(QApplication::activeWindow(), shown);
    }

    void storedPortThatOpensKeepsTheDialogHidden()
    {
        PseudoTerminal line;
        QVERIFY(line.isOpen());
        storePortName(line.slavePath());
        const QByteArray fileBefore = [] {
            QFile file(settingsFilePath());
            file.open(QIODevice::ReadOnly);
            return file.readAll();
        }();
        MainWindow window;
        window.show();
        QVERIFY(serialPort->isOpen());
        QCOMPARE(serialPort->baudRate(), 115200);
        QCOMPARE(serialPort->dataBits(), QSerialPort::Data8);
        QCOMPARE(serialPort->parity(), QSerialPort::NoParity);
        QCOMPARE(serialPort->stopBits(), QSerialPort::OneStop);
        QCOMPARE(serialPort->flowControl(), QSerialPort::NoFlowControl);
        QVERIFY(!window.serialSettingDlg()->isVisible());
        QVERIFY(
            !window.serialSettingDlg()->findChild<QPushButton *>("pushButton_open")->isEnabled());
        QCOMPARE(statusText(window), languageText["ids_Serialport_Language/ids_connectRemind"]);
        // An automatic open saves nothing.
        QFile file(settingsFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), fileBefore);
    }

    void openButtonFailureAndSuccess()
    {
        storePortName("");
        MainWindow window;
        SerialSettingDlg *dialog = window.serialSettingDlg();
        auto *open = dialog->findChild<QPushButton *>("pushButton_open");
        QSignalSpy failed(dialog, &SerialSettingDlg::SerialOpenFailed_sig);
        // The combo is empty right after start-up: opening fails and says so.
        open->click();
        QCOMPARE(failed.count(), 1);
        QVERIFY(!serialPort->isOpen());
        QCOMPARE(statusText(window), languageText["ids_Serialport_Language/ids_NotconnectRemind"]);

        // A port opened from the button is the one the next start opens.
        PseudoTerminal line;
        dialog->findChild<QComboBox *>("comboBox_serialname")->setEditText(line.slavePath());
        open->click();
        QVERIFY(serialPort->isOpen());
        QCOMPARE(QSettings(settingsFilePath(), QSettings::IniFormat)
                     .value("SerialInfo/strSerialName")
                     .toString(),
                 line.slavePath());
    }

    void workerEndsWithinOnePassWhenTheWindowCloses()
    {
        PseudoTerminal line;
        storePortName(line.slavePath());
        auto *window = new MainWindow;
        window->show();
        QVERIFY(serialPort->isOpen());
        std::atomic_bool finished{false};
        connect(
            window->worker(), &QThread::finished, window->worker(),
            [&finished] { finished = true; }, Qt::DirectConnection);
        QVERIFY(window->worker()->isRunning());
        QTest::qWait(120); // the worker is somewhere in its loop or its sleep
        window->close();
        QElapsedTimer clock;
        clock.start();
        delete window;
        QVERIFY(finished);
        // One pass sleeps 50 ms; allow generously for a loaded machine.
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }

    void unknownLanguageLeavesTextsEmpty()
    {
        storePortName("");
        QSettings(settingsFilePath(), QSettings::IniFormat)
            .setValue("ids_LanguageType/LanguageType", 9);
        MainWindow window;
        QVERIFY(statusText(window).isEmpty());
        QVERIFY(languageText["ids_MenuBar_Language/ids_serialsetting"].isEmpty());
    }
};

KORVANTA_TEST_MAIN(QApplication, MainWindowLifecycleTest)
#include "tst_mainwindow_lifecycle.moc"
