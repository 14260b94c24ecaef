// Checks and routing of frames handed to the decoder.
#include "debugcapture.h"
#include "frameencoder.h"
#include "mainwindow.h"
#include "testenvironment.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>

namespace {

QString frameText(const QByteArray &frame)
{
    return QString::fromLatin1(frame);
}

QString ironFrame(FrameEncoder::Fault fault = FrameEncoder::Fault::None)
{
    return frameText(FrameEncoder::stationFrame(
        0x0002,
        {FrameEncoder::stationRecord("350", 0x0043), FrameEncoder::stationRecord("348", 0x0043)},
        fault));
}

QString multimeterFrame(quint16 code = 0xFFFF)
{
    const quint8 digits[4] = {0x00, 0x0A, 0xBD, 0x8F};
    return frameText(
        FrameEncoder::multimeterFrame(code, FrameEncoder::multimeterData(0, digits, 0x0056)));
}

} // namespace

class DecipherTest : public QObject
{
    Q_OBJECT

private slots:
    void routesByFunctionCode()
    {
        MainWindow window;
        QVERIFY(!window.receiveTimer()->isActive());

        window.decipher(frameText(FrameEncoder::frame(QByteArray::fromHex("0000000100"))));
        QCOMPARE(window.nDevType, 1);
        QCOMPARE(window.strFunCode, QString("0001"));
        QCOMPARE(window.nDataLen, 5);
        QCOMPARE(window.nPowerSilence, 0);
        QCOMPARE(window.nIronSilence, 5);
        QCOMPARE(window.nAirgunSilence, 5);
        QVERIFY(window.receiveTimer()->isActive());
        QCOMPARE(window.receiveTimer()->interval(), 1000);

        window.decipher(ironFrame());
        QCOMPARE(window.nDevType, 2);
        QCOMPARE(window.nIronSilence, 0);
        QCOMPARE(window.nAirgunSilence, 5);

        window.nIronSilence = 3;
        window.decipher(multimeterFrame(0xFFED));
        QCOMPARE(window.nDevType, 0);
        QCOMPARE(window.strFunCode, QString("FFED"));
        QCOMPARE(window.nIronSilence, 3); // a multimeter frame resets no station counter

        window.decipher(frameText(FrameEncoder::stationFrame(0x0003, {})));
        QCOMPARE(window.nDevType, 3);
        QCOMPARE(window.nAirgunSilence, 0);
    }

    void unknownFunctionCodeIsIgnored()
    {
        MainWindow window;
        window.decipher(ironFrame());
        const QStringList segments = window.lstSegCodes;
        window.nIronSilence = 2;
        window.decipher(frameText(
            FrameEncoder::stationFrame(0x0004, {FrameEncoder::stationRecord("999", 0x0043)})));
        QCOMPARE(window.strFunCode, QString("0004"));
        QCOMPARE(window.nDevType, 2);
        QCOMPARE(window.nIronSilence, 2);
        QCOMPARE(window.lstSegCodes, segments);
    }

    void rejectedFramesLeaveTheLastAcceptedState()
    {
        MainWindow window;
        DebugCapture debug;
        window.decipher(ironFrame());
        const QString payload = window.strPayload;

        window.receiveTimer()->stop();
        const QString swapped = ironFrame(FrameEncoder::Fault::SwappedChecksum);
        window.decipher(swapped);
        QVERIFY(window.receiveTimer()->isActive()); // restarted for every frame
        QCOMPARE(window.strFrame, swapped);
        QCOMPARE(window.nDevType, 2);
        QCOMPARE(window.strFunCode, QString("0002"));

        QString corrupted = multimeterFrame();
        corrupted[6] = QLatin1Char('9'); // a header byte changed on the line
        window.decipher(corrupted);
        QCOMPARE(window.nDevType, 2);

        // Wrong end marker: dropped before its length is read.
        const QString wrongEnd = multimeterFrame().chopped(2) + "F1";
        window.strPayload = payload;
        window.decipher(wrongEnd);
        QCOMPARE(window.strPayload, payload);
        QCOMPARE(window.strFrame, wrongEnd);

        QCOMPARE(debug.frames().size(), 4);
        QCOMPARE(debug.frames().last(), wrongEnd);
    }
};

KORVANTA_TEST_MAIN(QApplication, DecipherTest)
#include "tst_decipher.moc"
