// Frames turned into recorded readings: every instrument and quantity, the
// multimeter's functions, overloads and signs, and frames that give none.
#include "framebuilder.h"
#include "readings.h"

#include <QCoreApplication>
#include <QtTest>

namespace {

const quint16 kPower = 0x0001, kIron = 0x0002, kHotAir = 0x0003;

QString station(quint16 code, const QList<QByteArray> &records)
{
    return FrameBuilder::station(code, records);
}

QByteArray record(const QByteArray &value, quint16 unit)
{
    return FrameBuilder::record(value, unit);
}

// "instrument,quantity,value,unit,detail" per reading, joined by ";".
QString summary(const QList<Reading> &readings)
{
    QStringList rows;
    for (const Reading &r : readings)
        rows << QStringList{r.instrument, r.quantity, r.value, r.unit, r.detail}.join(',');
    return rows.join(';');
}

} // namespace

class ReadingsTest : public QObject
{
    Q_OBJECT

private slots:
    void frames_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("readings");
        using FrameBuilder::multimeter;
        QTest::newRow("DC volts") << multimeter(0xFFFF, " 123", 0x0056, 0, {2})
                                  << "multimeter,reading,1.23,V,DC voltage";
        QTest::newRow("AC millivolts, negative") << multimeter(0xFFFE, " 5  ", 0x6D56, 0, {1}, true)
                                                 << "multimeter,reading,-0.5,mV,AC voltage";
        QTest::newRow("kiloohm") << multimeter(0xFFF1, "1000", 0x4B4F, 0x04, {1})
                                 << "multimeter,reading,1.000,KΩ,resistance";
        QTest::newRow("open circuit")
            << multimeter(0xFFF1, " 0L ", 0x4D4F, 0, {2}) << "multimeter,reading,OL,MΩ,resistance";
        QTest::newRow("negative overload") << multimeter(0xFFFF, " 0L ", 0x0056, 0, {}, true)
                                           << "multimeter,reading,-OL,V,DC voltage";
        QTest::newRow("kilohertz")
            << multimeter(0xFFF0, "  50", 0x4B48) << "multimeter,reading,50,KHz,frequency";
        QTest::newRow("diode") << multimeter(0xFFEE, "0512", 0x0056, 0, {1})
                               << "multimeter,reading,0.512,V,diode";
        QTest::newRow("microfarad")
            << multimeter(0xFFED, " 47 ", 0x7546) << "multimeter,reading,47,uF,capacitance";
        QTest::newRow("plain ohm")
            << multimeter(0xFFEF, "  12", 0x004F) << "multimeter,reading,12,Ω,resistance";
        QTest::newRow("unit the function does not list")
            << multimeter(0xFFF0, "  50", 0x0056) << "multimeter,reading,50,,frequency";
        QTest::newRow("blank display") << multimeter(0xFFFF, "    ", 0x0056) << "";

        QTest::newRow("power, V and A")
            << station(kPower, {record("12.50", 0x0056), record("0.5", 0x0041)})
            << "power,voltage,12.50,V,;power,current,0.5,A,;power,power,6.25,W,";
        QTest::newRow("power, mV and mA")
            << station(kPower, {record("12.50", 0x6D56), record("500", 0x6D41)})
            << "power,voltage,12.50,mV,;power,current,500,mA,;power,power,0.00625,W,";
        QTest::newRow("power, current unit unknown")
            << station(kPower, {record("5.00", 0x5600), record("1.0", 0x0000)})
            << "power,voltage,5.00,V,";
        QTest::newRow("iron, Celsius")
            << station(kIron, {record("350", 0x0043), record("348.5", 0x0043)})
            << "iron,set_temperature,350,°C,;iron,temperature,348.5,°C,";
        QTest::newRow("hot air, Fahrenheit and air speed")
            << station(kHotAir,
                       {record("662", 0x0046), record("640", 0x0046), record("45", 0x0025)})
            << "hotair,set_temperature,662,°F,;hotair,temperature,640,°F,;"
               "hotair,air_speed,45,%,";
        QTest::newRow("hot air, speed without percent unit")
            << station(kHotAir, {record("300", 0x0043), record("", 0x0043), record("45", 0x0000)})
            << "hotair,set_temperature,300,°C,";

        QTest::newRow("wrong checksum")
            << QString::fromLatin1(FrameEncoder::stationFrame(kIron, {record("350", 0x0043)},
                                                              FrameEncoder::Fault::WrongChecksum))
            << "";
        QTest::newRow("function code no instrument sends")
            << station(0x0004, {record("350", 0x0043)}) << "";
    }

    void frames()
    {
        QFETCH(QString, frame);
        QFETCH(QString, readings);
        const QDateTime time = QDateTime::currentDateTime();
        const QList<Reading> decoded = Readings::ofFrame(frame, time);
        QCOMPARE(summary(decoded), readings);
        for (const Reading &reading : decoded)
            QCOMPARE(reading.time, time);
    }

    void numberText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("number");
        QTest::newRow("own text kept") << "12.50"
                                       << "12.50";
        QTest::newRow("leading point") << ".5"
                                       << "0.5";
        QTest::newRow("negative leading point") << "-.5"
                                                << "-0.5";
        QTest::newRow("trailing point") << "1."
                                        << "1";
        QTest::newRow("plus sign, blanks") << " +3 "
                                           << "3";
        QTest::newRow("exponent") << "1e3"
                                  << "1000";
        QTest::newRow("text") << "abc" << QString();
        QTest::newRow("empty") << "" << QString();
        QTest::newRow("point only") << "." << QString();
        QTest::newRow("infinite") << "inf" << QString();
        QTest::newRow("two points") << "1.2.3" << QString();
    }

    void numberText()
    {
        QFETCH(QString, text);
        QFETCH(QString, number);
        QCOMPARE(Readings::numberText(text), number);
        QCOMPARE(Readings::numberText(text).isNull(), number.isNull());
    }
};

QTEST_GUILESS_MAIN(ReadingsTest)
#include "tst_readings.moc"
