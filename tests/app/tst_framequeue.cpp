// The queue of cut frames between the worker and the GUI thread under a flood
// while the GUI thread does not take any: it fills up to its bound and no
// further, the worker waits instead of dropping, and once the GUI thread runs
// again every frame is decoded, in order.
#include "c1frame.h"
#include "dataprocessthread.h"
#include "frameencoder.h"
#include "mainwindow.h"
#include "pseudoterminal.h"
#include "receivequeue.h"
#include "serialsettingdlg.h"
#include "testenvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

#include <thread>

class FrameQueueTest : public QObject
{
    Q_OBJECT

private slots:
    void floodWhileTheGuiThreadIsBusyLosesNothing()
    {
        PseudoTerminal line;
        QVERIFY(line.isOpen());
        MainWindow window;
        QVERIFY(window.serialSettingDlg()->openPort(line.slavePath()));
        QStringList deciphered;
        connect(window.worker(), &DataProcessThread::decipher_sig, this,
                [&](const QString &frame) { deciphered << frame; });

        const int frames = 3 * DataProcessThread::kMaxPendingFrames;
        QStringList sent;
        QByteArray stream;
        for (int i = 0; i < frames; ++i) {
            const QByteArray frame = FrameEncoder::stationFrame(
                0x0001, {FrameEncoder::stationRecord(QByteArray::number(i), 0x0056)});
            sent << QString::fromLatin1(frame);
            stream += frame;
        }
        // Written in one go by another thread: the line takes what it has room for.
        std::thread writer([&] { line.write(stream); });

        // The GUI thread only reads the port, as the event loop would, and
        // takes no frames.
        int mostPending = 0;
        int mostChunks = 0;
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 3000) {
            if (serialPort->waitForReadyRead(10) || serialPort->bytesAvailable() > 0)
                window.serialPort_readyRead();
            mostPending = qMax(mostPending, window.worker()->pendingFrameCount());
            QMutexLocker lock(&receiveMutex);
            mostChunks = qMax(mostChunks, receiveQueue.size());
        }
        // Full, and no fuller than the frames of the one chunk taken last.
        QVERIFY2(mostPending >= DataProcessThread::kMaxPendingFrames,
                 qPrintable(QString::number(mostPending)));
        QVERIFY2(mostPending <= DataProcessThread::kMaxPendingFrames +
                                    MainWindow::kReadBufferBytes / C1Frame::kMinChars,
                 qPrintable(QString::number(mostPending)));
        QVERIFY(mostChunks <= MainWindow::kMaxQueuedChunks);
        QVERIFY(deciphered.isEmpty());

        QTRY_COMPARE_WITH_TIMEOUT(deciphered.size(), frames, 30000);
        writer.join();
        QCOMPARE(deciphered, sent);
    }
};

KORVANTA_TEST_MAIN(QApplication, FrameQueueTest)
#include "tst_framequeue.moc"
