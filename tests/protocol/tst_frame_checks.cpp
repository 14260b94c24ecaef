// Checksum and frame checks of C1 frames.
#include "c1frame.h"
#include "crc16.h"
#include "frameencoder.h"

#include <QtTest>

class FrameChecksTest : public QObject
{
    Q_OBJECT

private slots:
    void crcMatchesPublishedCheckValueAndTable()
    {
        QCOMPARE(crc16Modbus(QByteArray("123456789")), std::uint16_t(0x4B37));
        QCOMPARE(calcCrc16(QByteArray("123456789").toHex()), QString("4B37"));
        QCOMPARE(crc16ModbusTable()[0], std::uint16_t(0x0000));
        QCOMPARE(crc16ModbusTable()[1], std::uint16_t(0xC0C1));
        QCOMPARE(crc16ModbusTable()[255], std::uint16_t(0x4040));
        // Zero-padded to four digits, upper case.
        QCOMPARE(calcCrc16(""), QString("FFFF"));
        QVERIFY(calcCrc16("0A").size() == 4);
    }

    void checksumFieldIsLowByteFirstAndUpperCase()
    {
        const QString covered = QByteArray("123456789").toHex();
        QVERIFY(checkCrc(covered, "374B"));
        QVERIFY(!checkCrc(covered, "4B37")); // high byte first
        QVERIFY(!checkCrc(covered, "374b")); // lower case
        QVERIFY(!checkCrc(covered, "374C"));
    }

    void wellFormedPowerFrameWithEmptyDataBlockPasses()
    {
        // L = 5, D = 0: payload 0000 0001 00.
        const QByteArray frame = FrameEncoder::frame(QByteArray::fromHex("0000000100"));
        QCOMPARE(frame.size(), 36);
        QVERIFY(frame.startsWith("C101"));
        QCOMPARE(frame.mid(18, 2), QByteArray("05"));
        const C1Frame::Check check = C1Frame::check(QString::fromLatin1(frame));
        QVERIFY(check.markersOk);
        QVERIFY(check.checksumOk);
        QCOMPARE(check.nDataLen, 5);
        QCOMPARE(check.strFunCode, QString("0001"));
        QCOMPARE(check.strPayload, "C1" + QString::fromLatin1(frame.mid(20)));
        QCOMPARE(C1Frame::deviceKindOf(check.strFunCode), int(C1Frame::PowerSupply));
        QVERIFY(C1Frame::isIntact(frame, 0, frame.size()));
    }

    void brokenFramesAreRejected_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("markersOk");
        QTest::newRow("checksum high byte first")
            << int(FrameEncoder::Fault::SwappedChecksum) << true;
        QTest::newRow("checksum in lower case")
            << int(FrameEncoder::Fault::LowerCaseChecksum) << true;
        QTest::newRow("wrong checksum") << int(FrameEncoder::Fault::WrongChecksum) << true;
        QTest::newRow("end marker F1") << int(FrameEncoder::Fault::WrongEndMarker) << false;
        QTest::newRow("start marker C2") << int(FrameEncoder::Fault::WrongStartMarker) << false;
    }

    void brokenFramesAreRejected()
    {
        QFETCH(int, fault);
        QFETCH(bool, markersOk);
        const quint8 digits[4] = {0x00, 0x0A, 0xBD, 0x8F};
        const QByteArray frame = FrameEncoder::multimeterFrame(
            0xFFFF, FrameEncoder::multimeterData(0, digits, 0x6D56), FrameEncoder::Fault(fault));
        const C1Frame::Check check = C1Frame::check(QString::fromLatin1(frame));
        QCOMPARE(check.markersOk, markersOk);
        QVERIFY(!check.checksumOk);
        QVERIFY(check.strFunCode.isEmpty());
        QVERIFY(!C1Frame::isIntact(frame, 0, frame.size()));
    }

    void everyFaultBreaksEveryPayload()
    {
        // Some checksums read the same swapped (equal bytes) or in lower case (no
        // digit above 9); the faults must break those frames too.
        const FrameEncoder::Fault faults[] = {
            FrameEncoder::Fault::SwappedChecksum, FrameEncoder::Fault::LowerCaseChecksum,
            FrameEncoder::Fault::WrongChecksum, FrameEncoder::Fault::WrongEndMarker,
            FrameEncoder::Fault::WrongStartMarker};
        int equalBytes = 0, noLetters = 0;
        for (int n = 0; n < 3000; ++n) {
            const QByteArray payload = FrameEncoder::payload(
                0x0002, FrameEncoder::stationRecord(QByteArray::number(n), 0x0043));
            const QByteArray good = FrameEncoder::frame(payload);
            const QByteArray checksum = good.mid(good.size() - 6, 4);
            equalBytes += checksum.left(2) == checksum.mid(2);
            noLetters += checksum.toLower() == checksum;
            for (FrameEncoder::Fault fault : faults) {
                const QByteArray broken = FrameEncoder::frame(payload, fault);
                QCOMPARE(broken.size(), good.size());
                QCOMPARE(broken.mid(20, broken.size() - 26), good.mid(20, good.size() - 26));
                if (C1Frame::isIntact(broken, 0, broken.size()) ||
                    broken.startsWith("C1") &&
                        C1Frame::check(QString::fromLatin1(broken)).checksumOk)
                    QFAIL(
                        qPrintable("fault " + QString::number(int(fault)) + " passes: " + broken));
            }
        }
        QVERIFY(equalBytes > 0);
        QVERIFY(noLetters > 0);
    }

    void lengthFieldThatIsNotHexReadsAsZero()
    {
        QByteArray frame = FrameEncoder::frame(QByteArray::fromHex("0000000100"));
        frame.replace(18, 2, "G5");
        QCOMPARE(C1Frame::payloadLengthAt(frame, 0), 0);
        frame.replace(18, 2, "-1");
        QCOMPARE(C1Frame::payloadLengthAt(frame, 0), 0);
        frame.replace(18, 2, "0A");
        QCOMPARE(C1Frame::charsForPayloadLength(C1Frame::payloadLengthAt(frame, 0)), 46);
        QCOMPARE(C1Frame::payloadLengthAt("C101", 0), 0); // field missing
        // Short or odd texts never read out of bounds.
        for (const char *text : {"", "C", "C1", "F0", "C1F0", "C10000000000000000FFF0"}) {
            const C1Frame::Check check = C1Frame::check(QString::fromLatin1(text));
            QVERIFY(!check.checksumOk);
        }
    }

    void functionCodeTable()
    {
        for (const char *code : {"FFFF", "FFFE", "FFF1", "FFF0", "FFEF", "FFEE", "FFED"})
            QCOMPARE(C1Frame::deviceKindOf(code), int(C1Frame::Multimeter));
        QCOMPARE(C1Frame::deviceKindOf("0002"), int(C1Frame::SolderingIron));
        QCOMPARE(C1Frame::deviceKindOf("0003"), int(C1Frame::HotAirGun));
        QCOMPARE(C1Frame::deviceKindOf("0004"), -1);
        QCOMPARE(C1Frame::deviceKindOf("ffff"), -1);
    }
};

QTEST_APPLESS_MAIN(FrameChecksTest)
#include "tst_frame_checks.moc"
