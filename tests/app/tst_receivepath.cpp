// End to end over a real serial device: a pseudo-terminal stands in for the
// instruments' line, the program's port opens it by path.
#include "dataprocessthread.h"
#include "debugcapture.h"
#include "digitalpower_widget.h"
#include "frameencoder.h"
#include "mainwindow.h"
#include "pseudoterminal.h"
#include "receivequeue.h"
#include "serialsettingdlg.h"
#include "settinginfo.h"
#include "testenvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QSignalSpy>
#include <QtTest>

namespace {

QByteArray stationFrame(int n)
{
    return FrameEncoder::stationFrame(0x0001,
                                      {FrameEncoder::stationRecord(QByteArray::number(n), 0x0056),
                                       FrameEncoder::stationRecord("0.5", 0x0041)});
}

QByteArray multimeterFrame(int n)
{
    const QByteArray text = QByteArray::number(n % 10000).rightJustified(4, ' ');
    quint8 digits[4];
    for (int i = 0; i < 4; ++i)
        digits[i] = FrameEncoder::digitSegments(text[i]);
    return FrameEncoder::multimeterFrame(0xFFFF, FrameEncoder::multimeterData(0, digits, 0x0056));
}

QString powerText(MainWindow &window)
{
    return window.powerPanel()->findChild<QLabel *>("label_VValue")->text();
}

bool closedState(SerialSettingDlg *dialog)
{
    return dialog->findChild<QPushButton *>("pushButton_open")->isEnabled() &&
           !dialog->findChild<QPushButton *>("pushButton_close")->isEnabled();
}

} // namespace

class ReceivePathTest : public QObject
{
    Q_OBJECT

private slots:
    void everyFrameWrittenReachesTheDecoderOnceAndInOrder()
    {
        PseudoTerminal line;
        QVERIFY(line.isOpen());
        MainWindow window;
        SerialSettingDlg *dialog = window.serialSettingDlg();
        QSignalSpy opened(dialog, &SerialSettingDlg::SerialOpenSuccess_sig);
        QVERIFY(dialog->openPort(line.slavePath()));
        QCOMPARE(opened.count(), 1);
        QVERIFY(!closedState(dialog));
        QVERIFY(window.worker()->bReceiveEnabled);

        DebugCapture debug;
        QStringList deciphered;
        connect(window.worker(), &DataProcessThread::decipher_sig, this,
                [&](const QString &frame) { deciphered << frame; });

        QRandomGenerator random(5);
        QStringList sent;
        QByteArray stream;
        for (int i = 0; i < 300; ++i) {
            const QByteArray frame = i % 2 ? stationFrame(i) : multimeterFrame(i);
            sent << QString::fromLatin1(frame);
            stream += frame;
            if (i % 7 == 0)
                stream += "\r\n"; // noise without a start marker
        }
        for (int pos = 0; pos < stream.size();) {
            const int size = 1 + random.bounded(120);
            QVERIFY(line.write(stream.mid(pos, size)));
            pos += size;
            if (random.bounded(4) == 0)
                QTest::qWait(1); // let some chunks arrive on their own
        }
        QTRY_COMPARE_WITH_TIMEOUT(deciphered.size(), sent.size(), 10000);
        QCOMPARE(deciphered, sent);
        QCOMPARE(debug.frames(), sent);
        QCOMPARE(window.strFrame, sent.last());
        QVERIFY(window.receiveTimer()->isActive());
    }

    void damagedFrameCountsAsTraffic()
    {
        PseudoTerminal line;
        MainWindow window;
        QVERIFY(window.serialSettingDlg()->openPort(line.slavePath()));
        DebugCapture debug;
        QByteArray damaged = stationFrame(7);
        const int digit = damaged.size() - 6; // first checksum digit
        damaged[digit] = damaged[digit] == '0' ? '1' : '0';
        const QByteArray good = stationFrame(8);

        QVERIFY(line.write(damaged));
        // Written out and the receive timer restarted, but nothing shown.
        QTRY_COMPARE(debug.frames(), QStringList{QString::fromLatin1(damaged)});
        QVERIFY(window.receiveTimer()->isActive());
        QVERIFY(powerText(window).isEmpty());

        QVERIFY(line.write(good));
        QTRY_COMPARE(debug.frames().size(), 2);
        QCOMPARE(debug.frames().last(), QString::fromLatin1(good));
        QVERIFY(!powerText(window).isEmpty());
    }

    void framesInFlightAtCloseAreNotDecoded()
    {
        PseudoTerminal line;
        MainWindow window;
        SerialSettingDlg *dialog = window.serialSettingDlg();
        QVERIFY(dialog->openPort(line.slavePath()));
        DebugCapture debug;
        std::atomic_int cut{0};
        connect(
            window.worker(), &DataProcessThread::processData_sig, this, [&cut] { ++cut; },
            Qt::DirectConnection);

        // The worker cuts two frames while the GUI thread is busy; they are on
        // their way to it when the port closes.
        QVERIFY(line.write(stationFrame(1) + multimeterFrame(2)));
        QElapsedTimer waited;
        waited.start();
        while (cut < 2 && waited.elapsed() < 10000) {
            serialPort->waitForReadyRead(20); // reads without running the event loop
            QThread::msleep(5);
        }
        QCOMPARE(int(cut), 2);
        dialog->closePort();

        QTest::qWait(300);
        QVERIFY(debug.frames().isEmpty());
        QVERIFY(powerText(window).isEmpty());
        QVERIFY(!window.receiveTimer()->isActive());

        // The next session decodes again.
        QVERIFY(dialog->openPort(line.slavePath()));
        QVERIFY(line.write(stationFrame(3)));
        QTRY_COMPARE(debug.frames().size(), 1);
        QVERIFY(window.receiveTimer()->isActive());
    }

    void removingTheDeviceClosesThePort_data()
    {
        QTest::addColumn<bool>("throughSymlink");
        QTest::newRow("pseudo-terminal pair closed") << false;
        QTest::newRow("symlink removed") << true;
    }

    void removingTheDeviceClosesThePort()
    {
        QFETCH(bool, throughSymlink);
        PseudoTerminal line;
        QVERIFY(line.isOpen());
        const QString link = TestEnvironment::home().path() + "/instrument-link";
        QFile::remove(link);
        QString portName = line.slavePath();
        if (throughSymlink) {
            QVERIFY(QFile::link(line.slavePath(), link));
            portName = link;
        }

        MainWindow window;
        SerialSettingDlg *dialog = window.serialSettingDlg();
        QVERIFY(dialog->openPort(portName));
        QVERIFY(line.write(stationFrame(1)));
        QTRY_VERIFY(window.receiveTimer()->isActive());

        // A port the system does not list stays open while its device exists.
        QTest::qWait(2300);
        QVERIFY(serialPort->isOpen());
        QVERIFY(!closedState(dialog));

        QSignalSpy failed(dialog, &SerialSettingDlg::SerialOpenFailed_sig);
        if (throughSymlink)
            QVERIFY(QFile::remove(link));
        else
            line.close();
        QTRY_VERIFY_WITH_TIMEOUT(closedState(dialog), 2500);
        QCOMPARE(failed.count(), 1);
        QVERIFY(!serialPort->isOpen());
        QVERIFY(!window.worker()->bReceiveEnabled);
        QVERIFY(!window.receiveTimer()->isActive());
        QMutexLocker lock(&receiveMutex);
        QVERIFY(receiveQueue.isEmpty());
    }

    void closingAndReopeningStartsFromAnEmptyBuffer()
    {
        PseudoTerminal line;
        MainWindow window;
        SerialSettingDlg *dialog = window.serialSettingDlg();
        QStringList deciphered;
        connect(window.worker(), &DataProcessThread::decipher_sig, this,
                [&](const QString &frame) { deciphered << frame; });
        QVERIFY(dialog->openPort(line.slavePath()));
        // The head of a frame longer than the next one: kept, it would wait for
        // characters that never come and take the next frame with it.
        const QByteArray longer = FrameEncoder::frame(QByteArray(40, '\x01'));
        QVERIFY(longer.size() > 30 + stationFrame(2).size());
        QVERIFY(line.write(longer.left(30)));
        QTest::qWait(200);
        dialog->closePort();
        QVERIFY(closedState(dialog));
        QVERIFY(dialog->openPort(line.slavePath()));
        // Were the half frame kept, its length would swallow this one.
        const QByteArray second = stationFrame(2);
        QVERIFY(line.write(second));
        QTRY_COMPARE(deciphered.size(), 1);
        QCOMPARE(deciphered.first(), QString::fromLatin1(second));
    }
};

KORVANTA_TEST_MAIN(QApplication, ReceivePathTest)
#include "tst_receivepath.moc"
