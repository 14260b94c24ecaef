// Reading a streaming port in pieces: fewer reads than the line delivers,
// every character in order, prompt again once the line is quiet (and no
// longer counted as streaming), and a port closed while its notifier rests
// opens and reads as before.
#include "portreadpacer.h"
#include "pseudoterminal.h"
#include "testenvironment.h"

#include <QCoreApplication>
#include <QSerialPort>
#include <QtTest>

#include <chrono>
#include <thread>

class PortReadPacerTest : public QObject
{
    Q_OBJECT

    static constexpr int kIntervalMs = 12;

    struct Reader
    {
        QSerialPort port;
        PortReadPacer pacer{&port, kIntervalMs};
        QByteArray received;
        int reads = 0;

        explicit Reader(const QString &path)
        {
            port.setPortName(path);
            QObject::connect(&port, &QSerialPort::readyRead, [this] {
                received += port.read(port.bytesAvailable());
                ++reads;
                pacer.chunkRead();
            });
        }

        // Runs an event loop until `count` characters have come: it reads as
        // soon as it is woken (QTRY's waits sleep between polls and would
        // gather the pieces by themselves).
        bool receive(int count)
        {
            QEventLoop loop;
            QObject::connect(&port, &QSerialPort::readyRead, &loop, [&] {
                if (received.size() >= count)
                    loop.quit();
            });
            QTimer::singleShot(10000, &loop, &QEventLoop::quit);
            if (received.size() < count)
                loop.exec();
            return received.size() >= count;
        }
    };

private slots:
    void streamIsReadInPiecesWithNothingLost()
    {
        PseudoTerminal line;
        Reader reader(line.slavePath());
        QVERIFY(reader.port.open(QIODevice::ReadOnly));

        // 60 pieces 2 ms apart: without pacing nearly one read per piece.
        const int pieces = 60;
        QByteArray sent;
        for (int i = 0; i < pieces; ++i)
            sent += QByteArray::number(1000 + i).repeated(4);
        std::thread writer([&] {
            for (int i = 0; i < pieces; ++i) {
                line.write(sent.mid(i * 16, 16));
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
        QVERIFY(reader.receive(sent.size()));
        writer.join();
        QCOMPARE(reader.received, sent);
        QVERIFY2(reader.reads <= pieces / 3, qPrintable(QString::number(reader.reads)));
        QVERIFY(reader.pacer.isStreaming());

        // Quiet again: the notifier is back, and a lone piece is read at once.
        QTRY_VERIFY_WITH_TIMEOUT(!reader.pacer.isResting(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!reader.pacer.isStreaming(), 1000);
        QTest::qWait(5 * kIntervalMs);
        const int readsBefore = reader.reads;
        QVERIFY(line.write("lone"));
        QTRY_VERIFY_WITH_TIMEOUT(reader.received.endsWith("lone"), 5000);
        QCOMPARE(reader.reads, readsBefore + 1);
        QVERIFY(!reader.pacer.isResting());
    }

    void portClosedWhileRestingOpensAndReadsAgain()
    {
        PseudoTerminal line;
        Reader reader(line.slavePath());
        QVERIFY(reader.port.open(QIODevice::ReadOnly));
        // Two reads in quick succession make the notifier rest.
        QVERIFY(line.write("ab"));
        QVERIFY(reader.receive(2));
        QVERIFY(line.write("cd"));
        QVERIFY(reader.receive(4));
        QCOMPARE(reader.reads, 2);
        QVERIFY(reader.pacer.isResting());
        QVERIFY(reader.pacer.isStreaming());

        reader.port.close();
        QVERIFY(!reader.pacer.isStreaming());
        QTest::qWait(3 * kIntervalMs); // the resume finds the notifier gone
        QVERIFY(!reader.pacer.isResting());
        QVERIFY(reader.port.open(QIODevice::ReadOnly));
        QVERIFY(line.write("ef"));
        QTRY_VERIFY_WITH_TIMEOUT(reader.received.endsWith("ef"), 5000);
    }
};

KORVANTA_TEST_MAIN(QCoreApplication, PortReadPacerTest)
#include "tst_portreadpacer.moc"
