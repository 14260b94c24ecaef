// Power supply, soldering iron and hot-air gun records on the displays and
// panels, silence detection and the reaction to a failed or closed port.
#include "digitalairgun_widget.h"
#include "digitalelectriciron_widget.h"
#include "digitalpower_widget.h"
#include "framebuilder.h"
#include "mainwindow.h"
#include "settinginfo.h"
#include "testenvironment.h"

#include <QApplication>
#include <QChartView>
#include <QLCDNumber>
#include <QLabel>
#include <QTimer>
#include <QXYSeries>
#include <QtTest>
#include <cmath>

namespace {

const quint16 kPower = 0x0001, kIron = 0x0002, kHotAir = 0x0003;
const quint16 kVolt = 0x0056, kVoltSwapped = 0x5600, kMilliVolt = 0x6D56, kAmpere = 0x0041,
              kMilliAmpere = 0x6D41, kCelsius = 0x0043, kFahrenheit = 0x0046, kPercent = 0x0025;

struct Fixture
{
    Fixture()
    {
        curSetting = savedSetting = SettingInfo();
        window.reset(new MainWindow);
        // Panels show volts and amperes, whatever the instrument sends.
        curSetting.VoltageUnit = 1;
        curSetting.CurrentUnit = 1;
    }
    QLCDNumber *lcd(const char *name) const { return window->findChild<QLCDNumber *>(name); }
    QString label(const char *name) const { return window->findChild<QLabel *>(name)->text(); }
    template <typename Panel> QString panelText(Panel *panel, const char *name) const
    {
        return panel->template findChild<QLabel *>(name)->text();
    }
    std::unique_ptr<MainWindow> window;
};

QString powerFrame(quint16 voltageUnit, quint16 currentUnit)
{
    return FrameBuilder::station(kPower, {FrameBuilder::record("12.50", voltageUnit),
                                          FrameBuilder::record("0.5", currentUnit)});
}

} // namespace

class StationDecodingTest : public QObject
{
    Q_OBJECT

private slots:
    void powerSupplyInVoltsAndAmperes()
    {
        Fixture f;
        f.window->decipher(powerFrame(kVolt, kAmpere));
        QCOMPARE(f.lcd("lcdNumber_voltage")->value(), 12.5);
        QCOMPARE(f.label("label_voltageUnit"), QString("V"));
        QCOMPARE(f.lcd("lcdNumber_current")->value(), 0.5);
        QCOMPARE(f.label("label_currentUnit"), QString("A"));
        QCOMPARE(f.lcd("lcdNumber_power")->value(), 6.25);
        QCOMPARE(f.panelText(f.window->powerPanel(), "label_VValue"), QString("12.5V"));
        QCOMPARE(f.panelText(f.window->powerPanel(), "label_AValue"), QString("0.5A"));
        QCOMPARE(f.panelText(f.window->powerPanel(), "label_WValue"), QString("6.25W"));

        f.window->decipher(powerFrame(kVoltSwapped, kMilliAmpere));
        QCOMPARE(f.label("label_voltageUnit"), QString("V"));
        QCOMPARE(f.label("label_currentUnit"), QString("mA"));
        QCOMPARE(f.lcd("lcdNumber_power")->value(), 0.00625);
        QCOMPARE(f.panelText(f.window->powerPanel(), "label_AValue"), QString("0.0005A"));
    }

    void millivoltsReachThePanelUndivided()
    {
        Fixture f;
        f.window->decipher(powerFrame(kMilliVolt, kAmpere));
        QCOMPARE(f.label("label_voltageUnit"), QString("mV"));
        QCOMPARE(f.lcd("lcdNumber_voltage")->value(), 12.5);
        QCOMPARE(f.lcd("lcdNumber_power")->value(), 0.00625);
        // 12.5 with voltage unit index 0 (millivolt), shown in volts.
        QCOMPARE(f.panelText(f.window->powerPanel(), "label_VValue"), QString("0.0125V"));
        QCOMPARE(f.panelText(f.window->powerPanel(), "label_AValue"), QString("0.5A"));
    }

    void unrecognisedPowerUnitShowsNoProduct()
    {
        Fixture f;
        f.window->decipher(powerFrame(kVolt, kAmpere));
        f.window->decipher(FrameBuilder::station(
            kPower, {FrameBuilder::record("13.00", 0x0000), FrameBuilder::record("0.7", kAmpere)}));
        // The voltage display keeps its reading, the current display follows,
        // and the power display shows dashes instead of a product in no unit.
        QCOMPARE(f.lcd("lcdNumber_voltage")->value(), 12.5);
        QCOMPARE(f.lcd("lcdNumber_current")->value(), 0.7);
        QLCDNumber *power = f.lcd("lcdNumber_power");
        const QImage shown = power->grab().toImage();
        power->display(QStringLiteral("--"));
        QCOMPARE(power->grab().toImage(), shown);
        power->display(6.25);
        QVERIFY(power->grab().toImage() != shown);
    }

    void ironUnitsFollowTheActualTemperature()
    {
        Fixture f;
        curSetting.elecUnit = 0;
        f.window->decipher(FrameBuilder::station(kIron, {FrameBuilder::record("662", kFahrenheit),
                                                         FrameBuilder::record("350", kCelsius)}));
        QCOMPARE(f.label("label_settingTempUnit_e"), QString("℉"));
        QCOMPARE(f.label("label_realTempUnit_e"), QString("℃"));
        QCOMPARE(f.lcd("lcdNumber_settingTemp_e")->value(), 662.0);
        QCOMPARE(f.lcd("lcdNumber_realTemp_e")->value(), 350.0);
        // Unit index 0: the panel takes both numbers as Celsius.
        QCOMPARE(f.panelText(f.window->ironPanel(), "label_settingValue"), QString("662℃"));
    }

    void hotAirSpeedNeedsThePercentUnit()
    {
        Fixture f;
        curSetting.TempUnit = 0;
        f.window->decipher(FrameBuilder::station(kHotAir, {FrameBuilder::record("300", kCelsius),
                                                           FrameBuilder::record("290", kCelsius),
                                                           FrameBuilder::record("60", kPercent)}));
        QCOMPARE(f.lcd("lcdNumber_speed")->value(), 60.0);
        f.window->decipher(FrameBuilder::station(kHotAir, {FrameBuilder::record("300", kCelsius),
                                                           FrameBuilder::record("295", kCelsius),
                                                           FrameBuilder::record("75", 0x0000)}));
        QCOMPARE(f.lcd("lcdNumber_speed")->value(), 60.0);
        QCOMPARE(f.lcd("lcdNumber_realTemp_a")->value(), 295.0);
        QCOMPARE(f.panelText(f.window->airgunPanel(), "label_speedValue"), QString("75%"));
        QCOMPARE(f.panelText(f.window->airgunPanel(), "label_realValue"), QString("295℃"));
    }

    void recordLayoutRules()
    {
        Fixture f;
        // D = 13: one record, the last six bytes ignored.
        f.window->decipher(FrameBuilder::station(
            kIron,
            {FrameBuilder::record("350", kCelsius) + QByteArray("\x33\x34\x35\x00\x00\x43", 6)}));
        QCOMPARE(f.lcd("lcdNumber_settingTemp_e")->value(), 350.0);
        QCOMPARE(f.lcd("lcdNumber_realTemp_e")->value(), 0.0);

        // A payload length that does not match the data length: nothing shown.
        QByteArray payload = FrameEncoder::payload(
            kIron, FrameBuilder::record("123", kCelsius) + FrameBuilder::record("456", kCelsius));
        payload.append(char(0)); // L = D + 6
        f.window->decipher(QString::fromLatin1(FrameEncoder::frame(payload)));
        QCOMPARE(f.lcd("lcdNumber_settingTemp_e")->value(), 350.0);

        // Values that are not numbers reach the panel as 0 and never crash.
        f.window->decipher(FrameBuilder::station(
            kIron, {FrameBuilder::record("abc", kCelsius), FrameBuilder::record("inf", kCelsius)}));
        QCOMPARE(f.panelText(f.window->ironPanel(), "label_settingValue"), QString("0℃"));
    }

    void hostileNumbersAreShownFinite_data()
    {
        QTest::addColumn<quint16>("device");
        QTest::addColumn<QByteArrayList>("values");
        QTest::addColumn<QList<quint16>>("units");
        const QList<quint16> voltsAmperes = {kVolt, kAmpere}, celsius = {kCelsius, kCelsius};
        QTest::newRow("volts overflow in mV")
            << kPower << QByteArrayList{"1E308", "1"} << voltsAmperes;
        QTest::newRow("power product overflows")
            << kPower << QByteArrayList{"1E308", "1E308"} << voltsAmperes;
        QTest::newRow("NaN and -NaN")
            << kPower << QByteArrayList{"NaN", "-NaN"} << QList<quint16>{kMilliVolt, kMilliAmpere};
        QTest::newRow("inf and 1E999") << kPower << QByteArrayList{"inf", "1E999"} << voltsAmperes;
        QTest::newRow("iron overflows in Fahrenheit")
            << kIron << QByteArrayList{"1E308", "-1E308"} << celsius;
        QTest::newRow("hot air nan and inf") << kHotAir << QByteArrayList{"nan", "1E308", "-inf"}
                                             << QList<quint16>{kCelsius, kCelsius, kPercent};
    }

    void hostileNumbersAreShownFinite()
    {
        QFETCH(quint16, device);
        QFETCH(QByteArrayList, values);
        QFETCH(QList<quint16>, units);
        Fixture f;
        // Display units that multiply: millivolts, milliamperes, Fahrenheit.
        curSetting.VoltageUnit = curSetting.CurrentUnit = 0;
        curSetting.elecUnit = curSetting.TempUnit = 1;
        QList<QByteArray> records;
        for (int i = 0; i < values.size(); ++i)
            records << FrameBuilder::record(values[i], units[i]);
        f.window->decipher(FrameBuilder::station(device, records));

        for (QLCDNumber *lcd : f.window->findChildren<QLCDNumber *>())
            QVERIFY2(std::isfinite(lcd->value()), qPrintable(lcd->objectName()));
        const QList<QWidget *> panels = {f.window->powerPanel(), f.window->ironPanel(),
                                         f.window->airgunPanel()};
        int shown = 0;
        for (QWidget *panel : panels) {
            for (QLabel *label : panel->findChildren<QLabel *>()) {
                const QString text = label->text().toLower();
                QVERIFY2(!text.contains("inf") && !text.contains("nan") && !text.startsWith("-0"),
                         qPrintable(label->objectName() + ": " + label->text()));
                shown += !text.isEmpty();
            }
            for (QtCharts::QChartView *view : panel->findChildren<QtCharts::QChartView *>()) {
                for (QtCharts::QAbstractSeries *series : view->chart()->series()) {
                    for (const QPointF &point :
                         static_cast<QtCharts::QXYSeries *>(series)->pointsVector())
                        QVERIFY(std::isfinite(point.y()));
                }
            }
        }
        QVERIFY(shown > 0); // the frame did reach a panel
    }

    void silentStationsFallBackToZero_data()
    {
        using FrameBuilder::record;
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QStringList>("displays");
        QTest::addColumn<QString>("unitLabel");
        QTest::newRow("power supply")
            << powerFrame(kVolt, kAmpere)
            << QStringList{"lcdNumber_voltage", "lcdNumber_current", "lcdNumber_power"}
            << "label_voltageUnit";
        QTest::newRow("soldering iron")
            << FrameBuilder::station(kIron, {record("350", kCelsius), record("349", kCelsius)})
            << QStringList{"lcdNumber_settingTemp_e", "lcdNumber_realTemp_e"}
            << "label_settingTempUnit_e";
        QTest::newRow("hot-air gun")
            << FrameBuilder::station(kHotAir, {record("300", kCelsius), record("299", kCelsius),
                                               record("40", kPercent)})
            << QStringList{"lcdNumber_settingTemp_a", "lcdNumber_realTemp_a", "lcdNumber_speed"}
            << "label_settingTempUnit_a";
    }

    void silentStationsFallBackToZero()
    {
        QFETCH(QString, frame);
        QFETCH(QStringList, displays);
        QFETCH(QString, unitLabel);
        Fixture f;
        f.window->decipher(frame);
        QVERIFY(f.window->receiveTimer()->isActive());
        const QString unit = f.label(qPrintable(unitLabel));
        QVERIFY(!unit.isEmpty());
        for (int tick = 1; tick <= 6; ++tick) {
            f.window->receiveTimerUpdate(); // the sixth tick after the frame zeroes
            for (const QString &display : displays)
                QVERIFY2((f.lcd(qPrintable(display))->value() == 0) == (tick == 6),
                         qPrintable(QStringLiteral("%1 after tick %2").arg(display).arg(tick)));
        }
        // Unit labels and panels keep their last content.
        QCOMPARE(f.label(qPrintable(unitLabel)), unit);
        if (frame == powerFrame(kVolt, kAmpere))
            QCOMPARE(f.panelText(f.window->powerPanel(), "label_VValue"), QString("12.5V"));
        QVERIFY(f.window->receiveTimer()->isActive());
    }

    void loneMultimeterFrameStopsTheTimerAfterOneTick()
    {
        Fixture f;
        f.window->decipher(FrameBuilder::station(kHotAir, {FrameBuilder::record("300", kCelsius)}));
        f.window->nAirgunSilence = 5; // as if the hot-air gun had long been silent
        f.window->decipher(FrameBuilder::multimeter(0xFFFF, "   1", 0x0056));
        QVERIFY(f.window->receiveTimer()->isActive());
        f.window->receiveTimerUpdate();
        QVERIFY(!f.window->receiveTimer()->isActive());
        QCOMPARE(f.lcd("lcdNumber_settingTemp_a")->value(), 0.0);
        QCOMPARE(f.window->nPowerSilence, 0);
        QCOMPARE(f.window->nAirgunSilence, 0);
        QCOMPARE(f.window->nIronSilence, 0);
    }

    void failedOpenClearsThePanels()
    {
        Fixture f;
        f.window->decipher(powerFrame(kVolt, kAmpere));
        f.window->decipher(FrameBuilder::station(
            kIron, {FrameBuilder::record("350", kCelsius), FrameBuilder::record("349", kCelsius)}));
        f.window->SerialOpenFailed_slot();
        QVERIFY(f.panelText(f.window->powerPanel(), "label_VValue").isEmpty());
        QVERIFY(f.panelText(f.window->ironPanel(), "label_settingValue").isEmpty());
        // The numeric view keeps its readings.
        QCOMPARE(f.lcd("lcdNumber_voltage")->value(), 12.5);
    }
};

KORVANTA_TEST_MAIN(QApplication, StationDecodingTest)
#include "tst_station_decoding.moc"
