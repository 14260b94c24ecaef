// The temperature panels: DigitalAirgun_widget (hot-air gun) and
// DigitalElectricIron_widget (soldering iron). Readings are converted to the
// display unit of curSetting (TempUnit and elecUnit), which every test sets.

#include "digitalairgun_widget.h"
#include "digitalelectriciron_widget.h"
#include "dynamicchartairgun.h"
#include "gaugeiron_widget.h"
#include "settinginfo.h"

#include <QLabel>
#include <QtTest>

#include <limits>

namespace {

const QString kCelsius = QStringLiteral("℃");
const QString kFahrenheit = QStringLiteral("℉");
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();

QString text(const QWidget &panel, const char *name)
{
    auto *label = panel.findChild<QLabel *>(QLatin1String(name));
    if (!label)
        qFatal("label %s missing", name);
    return label->text();
}

DynamicChartAirgun *chartOf(const DigitalAirgun_widget &panel)
{
    return panel.findChild<DynamicChartAirgun *>(QStringLiteral("widget_chart"));
}

GaugeIron_widget *gaugeOf(const DigitalElectricIron_widget &panel)
{
    return panel.findChild<GaugeIron_widget *>(QStringLiteral("widget_value"));
}

// The gauge's scale and unit text, as "minimum to maximum unit".
QString gaugeScale(const DigitalElectricIron_widget &panel)
{
    double minimum = -1;
    double maximum = -1;
    QString unit = QStringLiteral("unset");
    gaugeOf(panel)->getRangeAndUnit(minimum, maximum, unit);
    return QStringLiteral("%1 to %2 %3").arg(minimum).arg(maximum).arg(unit);
}

double needle(const DigitalElectricIron_widget &panel)
{
    return gaugeOf(panel)->property("angle").toDouble();
}

} // namespace

class TestTemperaturePanels : public QObject
{
    Q_OBJECT

private slots:
    void init() { curSetting = SettingInfo(); }

    void airgun_setData_data();
    void airgun_setData();
    void airgun_unknownDisplayUnitKeepsTheLabels();
    void airgun_clearData();
    void airgun_ranges_data();
    void airgun_ranges();
    void airgun_setTempUnitStoresOnly();

    void iron_setData_data();
    void iron_setData();
    void iron_unknownDisplayUnit();
    void iron_rangeAndUnit();
    void iron_clearData();
};

// ---------------------------------------------------------------- hot-air gun

void TestTemperaturePanels::airgun_setData_data()
{
    QTest::addColumn<int>("displayUnit");
    QTest::addColumn<int>("instrumentUnit");
    QTest::addColumn<double>("speed");
    QTest::addColumn<QString>("speedText");
    QTest::addColumn<double>("realTemp");
    QTest::addColumn<QString>("realText");
    QTest::addColumn<double>("chartTemp");
    QTest::addColumn<double>("settingTemp");
    QTest::addColumn<QString>("settingText");

    QTest::newRow("C shown as F") << 1 << 0 << 45.0 << "45%" << 350.0 << "662℉" << 662.0 << 400.0
                                  << "752℉";
    QTest::newRow("F shown as C") << 0 << 1 << 45.0 << "45%" << 212.0 << "100℃" << 100.0 << 32.0
                                  << "0℃";
    QTest::newRow("C shown as C") << 0 << 0 << 100.0 << "100%" << 350.0 << "350℃" << 350.0 << 380.0
                                  << "380℃";
    QTest::newRow("F shown as F") << 1 << 1 << 0.0 << "0%" << 451.5 << "451.5℉" << 451.5 << 500.0
                                  << "500℉";
    QTest::newRow("unknown instrument unit, display C")
        << 0 << 7 << 45.0 << "45%" << 300.0 << "300℃" << 300.0 << 310.0 << "310℃";
    QTest::newRow("unknown instrument unit, display F")
        << 1 << -1 << 45.0 << "45%" << 300.0 << "300℉" << 300.0 << 310.0 << "310℉";
    QTest::newRow("six significant digits") << 0 << 0 << 33.333333 << "33.3333%" << 12.3456789
                                            << "12.3457℃" << 12.3456789 << 1e6 << "1e+06℃";
    QTest::newRow("F to C fractions") << 0 << 1 << 0.5 << "0.5%" << 100.0 << "37.7778℃"
                                      << (100.0 - 32) * 5 / 9 << 33.0 << "0.555556℃";
    QTest::newRow("small and negative") << 0 << 0 << -12.5 << "-12.5%" << 0.0000123 << "1.23e-05℃"
                                        << 0.0000123 << -12.5 << "-12.5℃";
}

void TestTemperaturePanels::airgun_setData()
{
    QFETCH(int, displayUnit);
    QFETCH(int, instrumentUnit);
    QFETCH(double, speed);
    QFETCH(QString, speedText);
    QFETCH(double, realTemp);
    QFETCH(QString, realText);
    QFETCH(double, chartTemp);
    QFETCH(double, settingTemp);
    QFETCH(QString, settingText);

    curSetting.TempUnit = displayUnit;
    DigitalAirgun_widget panel;
    panel.setData(realTemp, speed, settingTemp, instrumentUnit);
    QCOMPARE(text(panel, "label_realValue"), realText);
    QCOMPARE(text(panel, "label_speedValue"), speedText);
    QCOMPARE(text(panel, "label_settingValue"), settingText);

    DynamicChartAirgun *chart = chartOf(panel);
    QCOMPARE(chart->temperatureSeries()->count(), 1);
    QCOMPARE(chart->temperatureSeries()->at(0).y(), chartTemp);
    QCOMPARE(chart->speedSeries()->at(0).y(), speed);
}

void TestTemperaturePanels::airgun_unknownDisplayUnitKeepsTheLabels()
{
    DigitalAirgun_widget panel;
    DynamicChartAirgun *chart = chartOf(panel);
    panel.setData(200, 30, 210, 0);

    curSetting.TempUnit = 2;
    panel.setData(350, 45, 400, 0);
    QCOMPARE(text(panel, "label_realValue"), QStringLiteral("200℃"));
    QCOMPARE(text(panel, "label_speedValue"), QStringLiteral("30%"));
    QCOMPARE(text(panel, "label_settingValue"), QStringLiteral("210℃"));
    // The chart still gets the point, converted from Celsius as 0 differs from 2.
    QCOMPARE(chart->temperatureSeries()->count(), 2);
    QCOMPARE(chart->temperatureSeries()->at(1).y(), 662.0);
    QCOMPARE(chart->speedSeries()->at(1).y(), 45.0);

    // An instrument unit equal to the unknown display unit: unconverted.
    panel.setData(350, 45, 400, 2);
    QCOMPARE(chart->temperatureSeries()->at(2).y(), 350.0);
    QCOMPARE(text(panel, "label_realValue"), QStringLiteral("200℃"));
}

void TestTemperaturePanels::airgun_clearData()
{
    DigitalAirgun_widget panel;
    DynamicChartAirgun *chart = chartOf(panel);
    panel.setTempRange(100, 400);
    panel.setData(300, 40, 320, 0);
    panel.setData(301, 41, 320, 0);
    const int counter = DynamicChartAirgun::sampleCounter();

    panel.clearData();
    QCOMPARE(text(panel, "label_realValue"), QString());
    QCOMPARE(text(panel, "label_speedValue"), QString());
    QCOMPARE(text(panel, "label_settingValue"), QString());
    QCOMPARE(chart->temperatureSeries()->count(), 0);
    QCOMPARE(chart->speedSeries()->count(), 0);
    QCOMPARE(DynamicChartAirgun::sampleCounter(), counter);
    QCOMPARE(chart->temperatureAxis()->min(), 100.0);
    QCOMPARE(chart->temperatureAxis()->max(), 400.0);

    panel.setData(302, 42, 320, 0);
    QCOMPARE(chart->temperatureSeries()->count(), 1);
    QCOMPARE(chart->temperatureSeries()->at(0).x(), qreal(counter));
}

void TestTemperaturePanels::airgun_ranges_data()
{
    QTest::addColumn<bool>("speed");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");

    // Bounds are truncated toward zero and ordered; the defaults are 0 to 600
    // (temperature) and 0 to 160 (speed).
    QTest::newRow("temperature, reversed") << false << 300.9 << 100.2 << 100 << 300;
    QTest::newRow("speed, negative") << true << -20.7 << 150.5 << -20 << 150;
    QTest::newRow("equal after truncation") << true << 50.1 << 50.8 << 0 << 160;
    // Values a hand-edited settings file may hold are clamped to the int range.
    QTest::newRow("beyond int") << false << -1e20 << 5e9 << kIntMin << kIntMax;
    QTest::newRow("infinity") << true << kInf << 10.0 << 10 << kIntMax;
    QTest::newRow("minus infinity") << false << -kInf << 10.0 << kIntMin << 10;
    QTest::newRow("NaN counts as 0") << true << kNaN << 10.0 << 0 << 10;
}

void TestTemperaturePanels::airgun_ranges()
{
    QFETCH(bool, speed);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(int, min);
    QFETCH(int, max);

    DigitalAirgun_widget panel;
    DynamicChartAirgun *chart = chartOf(panel);
    if (speed)
        panel.setSpeedRange(a, b);
    else
        panel.setTempRange(a, b);
    const auto *axis = speed ? chart->speedAxis() : chart->temperatureAxis();
    QCOMPARE(speed ? chart->speedMin() : chart->tempMin(), min);
    QCOMPARE(speed ? chart->speedMax() : chart->tempMax(), max);
    QCOMPARE(axis->min(), double(min));
    QCOMPARE(axis->max(), double(max));
    // The other axis keeps its default.
    QCOMPARE(speed ? chart->tempMax() : chart->speedMax(), speed ? 600 : 160);
}

void TestTemperaturePanels::airgun_setTempUnitStoresOnly()
{
    DigitalAirgun_widget panel;
    QCOMPARE(panel.temperatureUnit(), 0);
    panel.setData(350, 45, 400, 0);
    panel.setTempUnit(1);
    QCOMPARE(panel.temperatureUnit(), 1);
    // Nothing is redrawn: the labels keep their text until the next reading.
    QCOMPARE(text(panel, "label_realValue"), QStringLiteral("350℃"));
    panel.setTempUnit(9);
    QCOMPARE(panel.temperatureUnit(), 9);
    QCOMPARE(text(panel, "label_settingValue"), QStringLiteral("400℃"));
}

// ---------------------------------------------------------------- soldering iron

void TestTemperaturePanels::iron_setData_data()
{
    QTest::addColumn<int>("displayUnit");
    QTest::addColumn<int>("instrumentUnit");
    QTest::addColumn<double>("realTemp");
    QTest::addColumn<double>("gaugeValue");
    QTest::addColumn<double>("settingTemp");
    QTest::addColumn<QString>("settingText");

    QTest::newRow("C shown as C") << 0 << 0 << 300.0 << 300.0 << 320.0 << "320℃";
    QTest::newRow("C shown as F") << 1 << 0 << 150.0 << 302.0 << 200.0 << "392℉";
    QTest::newRow("F shown as C") << 0 << 1 << 572.0 << 300.0 << 662.0 << "350℃";
    QTest::newRow("F shown as F") << 1 << 1 << 500.5 << 500.5 << 600.0 << "600℉";
    QTest::newRow("unknown instrument unit") << 0 << 4 << 123.0 << 123.0 << 456.0 << "456℃";
    QTest::newRow("six significant digits")
        << 0 << 0 << 12.3456789 << 12.3456789 << 12.3456789 << "12.3457℃";
    QTest::newRow("exponent") << 1 << 1 << 100.0 << 100.0 << 1e6 << "1e+06℉";
    QTest::newRow("small") << 0 << 0 << 100.0 << 100.0 << 0.0000123 << "1.23e-05℃";
}

void TestTemperaturePanels::iron_setData()
{
    QFETCH(int, displayUnit);
    QFETCH(int, instrumentUnit);
    QFETCH(double, realTemp);
    QFETCH(double, gaugeValue);
    QFETCH(double, settingTemp);
    QFETCH(QString, settingText);

    curSetting.elecUnit = displayUnit;
    DigitalElectricIron_widget panel;
    panel.setData(realTemp, settingTemp, instrumentUnit);
    QCOMPARE(text(panel, "label_settingValue"), settingText);
    // The needle glides to the converted value on the default 0 to 600 scale.
    QCOMPARE(gaugeScale(panel),
             QStringLiteral("0 to 600 ") + (displayUnit ? kFahrenheit : kCelsius));
    QTRY_COMPARE(needle(panel), 180.0 / 600 * gaugeValue);
}

void TestTemperaturePanels::iron_unknownDisplayUnit()
{
    DigitalElectricIron_widget panel;
    panel.setData(100, 250, 0);
    QCOMPARE(text(panel, "label_settingValue"), QStringLiteral("250℃"));

    curSetting.elecUnit = 3;
    panel.setData(300, 350, 0);
    // The label keeps its text, the gauge gets an empty unit and still moves
    // (to the value converted from Celsius, since 0 differs from 3).
    QCOMPARE(text(panel, "label_settingValue"), QStringLiteral("250℃"));
    QCOMPARE(gaugeScale(panel), QStringLiteral("0 to 600 "));
    QTRY_COMPARE(needle(panel), 180.0 / 600 * 572);
}

void TestTemperaturePanels::iron_rangeAndUnit()
{
    DigitalElectricIron_widget panel;
    panel.setTempRange(500, 200);
    QCOMPARE(gaugeScale(panel), QStringLiteral("200 to 500 "));
    panel.setTempRange(100.5, 450.25);
    QCOMPARE(gaugeScale(panel), QStringLiteral("100.5 to 450.25 "));
    panel.setTempRange(300, 300); // ignored
    QCOMPARE(gaugeScale(panel), QStringLiteral("100.5 to 450.25 "));

    // 0 and 1 set the gauge's unit text; any other code is only stored.
    QCOMPARE(panel.temperatureUnit(), 0);
    panel.setTempUnit(1);
    QCOMPARE(panel.temperatureUnit(), 1);
    QCOMPARE(gaugeScale(panel), QStringLiteral("100.5 to 450.25 ℉"));
    panel.setTempUnit(0);
    QCOMPARE(gaugeScale(panel), QStringLiteral("100.5 to 450.25 ℃"));
    panel.setTempUnit(5);
    QCOMPARE(panel.temperatureUnit(), 5);
    QCOMPARE(gaugeScale(panel), QStringLiteral("100.5 to 450.25 ℃"));
}

void TestTemperaturePanels::iron_clearData()
{
    DigitalElectricIron_widget panel;
    panel.setTempRange(100, 500);
    panel.setTempUnit(1);
    curSetting.elecUnit = 1;
    panel.setData(400, 450, 1);
    QTRY_COMPARE(needle(panel), 135.0);

    panel.clearData();
    QCOMPARE(text(panel, "label_settingValue"), QString());
    QCOMPARE(gaugeScale(panel), QStringLiteral("100 to 500 ℉"));
    // The needle sweeps back to the start of the scale, not at once.
    QVERIFY(needle(panel) > 0);
    QTRY_COMPARE(needle(panel), 0.0);
}

QTEST_MAIN(TestTemperaturePanels)
#include "tst_temperaturepanels.moc"
