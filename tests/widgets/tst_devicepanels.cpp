// Digital device panels: DigitalPower_widget, DigitalAirgun_widget and
// DigitalElectricIron_widget. The panels read the display units from the
// process-wide curSetting, which every test sets itself.
//
// renderShots also writes each panel and chart, rendered with a few readings,
// as a PNG into the folder named by KORVANTA_SHOT_DIR when that is set.

#include "digitalairgun_widget.h"
#include "digitalelectriciron_widget.h"
#include "digitalpower_widget.h"
#include "dynamicchart.h"
#include "dynamicchartairgun.h"
#include "gaugeiron_widget.h"
#include "settinginfo.h"

#include <QDir>
#include <QFrame>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLabel>
#include <QSet>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace QtCharts;

namespace {

const QString kCelsius = QStringLiteral("℃");
const QString kFahrenheit = QStringLiteral("℉");

QLabel *label(const QWidget *panel, const char *name)
{
    auto *l = panel->findChild<QLabel *>(QLatin1String(name));
    if (!l)
        qFatal("label %s missing", name);
    return l;
}

QString text(const QWidget *panel, const char *name)
{
    return label(panel, name)->text();
}

DynamicChart *powerChart(const DigitalPower_widget &panel)
{
    return panel.findChild<DynamicChart *>(QStringLiteral("widget_chart"));
}

DynamicChartAirgun *airgunChart(const DigitalAirgun_widget &panel)
{
    return panel.findChild<DynamicChartAirgun *>(QStringLiteral("widget_chart"));
}

GaugeIron_widget *ironGauge(const DigitalElectricIron_widget &panel)
{
    return panel.findChild<GaugeIron_widget *>(QStringLiteral("widget_value"));
}

QPointF lastPoint(const QXYSeries *series)
{
    return series->pointsVector().last();
}

struct ExpectedChild
{
    const char *name;
    const char *className;
    const char *parentName;
    QRect geometry;
};

void checkChildren(const QWidget *panel, const QList<ExpectedChild> &children)
{
    for (const ExpectedChild &expected : children) {
        const QString name = QLatin1String(expected.name);
        auto *child = panel->findChild<QWidget *>(name);
        QVERIFY2(child, expected.name);
        QCOMPARE(QLatin1String(child->metaObject()->className()),
                 QLatin1String(expected.className));
        QVERIFY2(child->parentWidget(), expected.name);
        QCOMPARE(child->parentWidget()->objectName(), QLatin1String(expected.parentName));
        if (child->geometry() != expected.geometry)
            QFAIL(qPrintable(QStringLiteral("%1: geometry %2,%3 %4x%5")
                                 .arg(name)
                                 .arg(child->x())
                                 .arg(child->y())
                                 .arg(child->width())
                                 .arg(child->height())));
    }
}

void checkValueLabel(const QWidget *panel, const char *name)
{
    QLabel *l = label(panel, name);
    QCOMPARE(l->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    QCOMPARE(l->text(), QString());
}

void checkLine(const QWidget *panel, const char *name)
{
    auto *line = panel->findChild<QFrame *>(QLatin1String(name));
    QVERIFY2(line, name);
    QCOMPARE(line->frameShape(), QFrame::HLine);
    QCOMPARE(line->frameShadow(), QFrame::Sunken);
}

void checkFixedSize(const QWidget *panel, QSize size, const char *className)
{
    QCOMPARE(panel->objectName(), QLatin1String(className));
    QCOMPARE(panel->size(), size);
    QCOMPARE(panel->minimumSize(), size);
    QCOMPARE(panel->maximumSize(), size);
    QCOMPARE(panel->windowTitle(), QStringLiteral("Form"));
}

// The style sheet without white space, for looking up rules.
QString compactStyle(const QWidget *widget)
{
    QString s = widget->styleSheet();
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
}

void settle(QWidget *widget)
{
    widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(widget));
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

int distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

bool near(QColor actual, QColor expected, int tolerance = 40)
{
    return qAbs(actual.red() - expected.red()) <= tolerance &&
           qAbs(actual.green() - expected.green()) <= tolerance &&
           qAbs(actual.blue() - expected.blue()) <= tolerance;
}

#define QVERIFY_COLOUR(image, x, y, colour)                                                        \
    do {                                                                                           \
        const QColor c_ = (image).pixelColor((x), (y));                                            \
        QVERIFY2(near(c_, (colour)), qPrintable(QStringLiteral("pixel %1,%2 is %3, expected %4")   \
                                                    .arg(x)                                        \
                                                    .arg(y)                                        \
                                                    .arg(c_.name())                                \
                                                    .arg(QColor(colour).name())));                 \
    } while (false)

} // namespace

class TestDevicePanels : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void airgun_form();
    void airgun_setDataConvertsToTheDisplayUnit_data();
    void airgun_setDataConvertsToTheDisplayUnit();
    void airgun_unknownDisplayUnitChangesNoLabel();
    void airgun_clearData();
    void airgun_setTempRangeTruncatesAndOrders();
    void airgun_rangesClampOutOfIntRange();
    void airgun_setTempUnitStoresOnly();

    void power_form();
    void power_setData_data();
    void power_setData();
    void power_powerIndependentOfDisplayUnits();
    void power_clearData();
    void power_rangeAndUnitSetters();

    void iron_form();
    void iron_setData_data();
    void iron_setData();
    void iron_unknownDisplayUnit();
    void iron_setTempRange();
    void iron_setTempUnit();
    void iron_clearData();

    void numberText_data();
    void numberText();

    void renderShots();
};

void TestDevicePanels::init()
{
    curSetting = SettingInfo();
}

// ---------------------------------------------------------------- hot-air gun

void TestDevicePanels::airgun_form()
{
    DigitalAirgun_widget panel;
    checkFixedSize(&panel, QSize(411, 221), "DigitalAirgun_widget");
    checkChildren(&panel, {
                              {"widget", "QWidget", "DigitalAirgun_widget", {0, 0, 411, 221}},
                              {"widget_chart", "DynamicChartAirgun", "widget", {10, 0, 271, 221}},
                              {"widget_2", "QWidget", "widget", {281, 0, 141, 221}},
                              {"label_settingtemp", "QLabel", "widget_2", {10, 10, 31, 31}},
                              {"label_settingValue", "QLabel", "widget_2", {10, 42, 111, 31}},
                              {"label_realtemp", "QLabel", "widget_2", {10, 80, 31, 31}},
                              {"line_V", "QFrame", "widget_2", {50, 93, 71, 3}},
                              {"label_realValue", "QLabel", "widget_2", {10, 112, 111, 31}},
                              {"label_speed", "QLabel", "widget_2", {10, 150, 31, 31}},
                              {"line_A", "QFrame", "widget_2", {50, 164, 71, 3}},
                              {"label_speedValue", "QLabel", "widget_2", {10, 182, 111, 31}},
                          });
    for (const char *name : {"label_settingValue", "label_realValue", "label_speedValue"})
        checkValueLabel(&panel, name);
    checkLine(&panel, "line_V");
    checkLine(&panel, "line_A");
    QCOMPARE(label(&panel, "label_settingtemp")->styleSheet(),
             QStringLiteral("image: url(:/icon/settingTemp_blue.png);"));
    QCOMPARE(label(&panel, "label_realtemp")->styleSheet(),
             QStringLiteral("image: url(:/icon/temp_yellow.png);"));
    QCOMPARE(label(&panel, "label_speed")->styleSheet(),
             QStringLiteral("image: url(:/icon/speed.png);"));

    const QString style = compactStyle(panel.findChild<QWidget *>(QStringLiteral("widget")));
    QVERIFY2(style.startsWith(QStringLiteral("#widget{background-color:rgb(30,30,30);"
                                             "border-radius:10px;}")),
             qPrintable(style));
    QVERIFY(style.contains(QStringLiteral(
        "#label_realValue,#label_settingValue,#label_speedValue{font:bold14px;color:white;"
        "background-color:rgb(150,169,179);border-radius:10px;border:2pxsolidrgb(0,142,147);}")));
    QVERIFY(style.contains(QStringLiteral("#line_A{background-color:#00ffff;}")));
    QVERIFY(style.contains(QStringLiteral("#line_V{background-color:#ffa500;}")));
}

void TestDevicePanels::airgun_setDataConvertsToTheDisplayUnit_data()
{
    QTest::addColumn<int>("displayUnit");
    QTest::addColumn<double>("realTemp");
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("settingTemp");
    QTest::addColumn<int>("instrumentUnit");
    QTest::addColumn<QString>("realText");
    QTest::addColumn<QString>("speedText");
    QTest::addColumn<QString>("settingText");
    QTest::addColumn<double>("chartTemp");

    QTest::newRow("C shown as F") << 1 << 350.0 << 45.0 << 400.0 << 0 << "662℉"
                                  << "45%"
                                  << "752℉" << 662.0;
    QTest::newRow("F shown as C") << 0 << 212.0 << 45.0 << 32.0 << 1 << "100℃"
                                  << "45%"
                                  << "0℃" << 100.0;
    QTest::newRow("C shown as C") << 0 << 350.0 << 100.0 << 380.0 << 0 << "350℃"
                                  << "100%"
                                  << "380℃" << 350.0;
    QTest::newRow("F shown as F") << 1 << 451.5 << 0.0 << 500.0 << 1 << "451.5℉"
                                  << "0%"
                                  << "500℉" << 451.5;
    QTest::newRow("unknown instrument unit, display C")
        << 0 << 300.0 << 45.0 << 310.0 << 7 << "300℃"
        << "45%"
        << "310℃" << 300.0;
    QTest::newRow("unknown instrument unit, display F")
        << 1 << 300.0 << 45.0 << 310.0 << -1 << "300℉"
        << "45%"
        << "310℉" << 300.0;
    QTest::newRow("many digits") << 0 << 12.3456789 << 33.333333 << 1e6 << 0 << "12.3457℃"
                                 << "33.3333%"
                                 << "1e+06℃" << 12.3456789;
    QTest::newRow("F to C fraction") << 0 << 100.0 << 0.5 << 33.0 << 1 << "37.7778℃"
                                     << "0.5%"
                                     << "0.555556℃" << (100.0 - 32) * 5 / 9;
}

void TestDevicePanels::airgun_setDataConvertsToTheDisplayUnit()
{
    QFETCH(int, displayUnit);
    QFETCH(double, realTemp);
    QFETCH(double, speed);
    QFETCH(double, settingTemp);
    QFETCH(int, instrumentUnit);
    QFETCH(QString, realText);
    QFETCH(QString, speedText);
    QFETCH(QString, settingText);
    QFETCH(double, chartTemp);

    curSetting.TempUnit = displayUnit;
    DigitalAirgun_widget panel;
    panel.setData(realTemp, speed, settingTemp, instrumentUnit);
    QCOMPARE(text(&panel, "label_realValue"), realText);
    QCOMPARE(text(&panel, "label_speedValue"), speedText);
    QCOMPARE(text(&panel, "label_settingValue"), settingText);

    DynamicChartAirgun *chart = airgunChart(panel);
    QCOMPARE(chart->temperatureSeries()->count(), 1);
    QCOMPARE(lastPoint(chart->temperatureSeries()).y(), chartTemp);
    QCOMPARE(lastPoint(chart->speedSeries()).y(), speed);
}

void TestDevicePanels::airgun_unknownDisplayUnitChangesNoLabel()
{
    DigitalAirgun_widget panel;
    curSetting.TempUnit = 0;
    panel.setData(200, 30, 210, 0);

    curSetting.TempUnit = 2;
    panel.setData(350, 45, 400, 0);
    QCOMPARE(text(&panel, "label_realValue"), QStringLiteral("200℃"));
    QCOMPARE(text(&panel, "label_speedValue"), QStringLiteral("30%"));
    QCOMPARE(text(&panel, "label_settingValue"), QStringLiteral("210℃"));
    // The chart still gets a point, converted from Celsius since 0 differs from 2.
    DynamicChartAirgun *chart = airgunChart(panel);
    QCOMPARE(chart->temperatureSeries()->count(), 2);
    QCOMPARE(lastPoint(chart->temperatureSeries()).y(), 662.0);
    QCOMPARE(lastPoint(chart->speedSeries()).y(), 45.0);

    // An instrument unit equal to the unknown display unit: unchanged.
    panel.setData(350, 45, 400, 2);
    QCOMPARE(lastPoint(chart->temperatureSeries()).y(), 350.0);
    QCOMPARE(text(&panel, "label_realValue"), QStringLiteral("200℃"));
}

void TestDevicePanels::airgun_clearData()
{
    DigitalAirgun_widget panel;
    panel.setTempRange(100, 400);
    panel.setData(300, 40, 320, 0);
    panel.setData(301, 41, 320, 0);
    DynamicChartAirgun *chart = airgunChart(panel);
    const int counter = DynamicChartAirgun::sampleCounter();

    panel.clearData();
    QCOMPARE(text(&panel, "label_realValue"), QString());
    QCOMPARE(text(&panel, "label_speedValue"), QString());
    QCOMPARE(text(&panel, "label_settingValue"), QString());
    QCOMPARE(chart->temperatureSeries()->count(), 0);
    QCOMPARE(chart->speedSeries()->count(), 0);
    QCOMPARE(DynamicChartAirgun::sampleCounter(), counter);
    QCOMPARE(chart->temperatureAxis()->min(), 100.0);
    QCOMPARE(chart->temperatureAxis()->max(), 400.0);

    panel.setData(302, 42, 320, 0);
    QCOMPARE(chart->temperatureSeries()->count(), 1);
    QCOMPARE(lastPoint(chart->temperatureSeries()).x(), qreal(counter));
}

void TestDevicePanels::airgun_setTempRangeTruncatesAndOrders()
{
    DigitalAirgun_widget panel;
    DynamicChartAirgun *chart = airgunChart(panel);
    panel.setTempRange(300.9, 100.2);
    QCOMPARE(chart->tempMin(), 100);
    QCOMPARE(chart->tempMax(), 300);
    QCOMPARE(chart->temperatureAxis()->min(), 100.0);
    QCOMPARE(chart->temperatureAxis()->max(), 300.0);
    QCOMPARE(chart->temperatureAxis()->labelFormat(), QStringLiteral("%.1f"));

    panel.setSpeedRange(-20.7, 150.5);
    QCOMPARE(chart->speedMin(), -20);
    QCOMPARE(chart->speedMax(), 150);

    // Equal after truncation: the chart keeps its range.
    panel.setSpeedRange(50.1, 50.8);
    QCOMPARE(chart->speedMin(), -20);
    QCOMPARE(chart->speedMax(), 150);
}

void TestDevicePanels::airgun_rangesClampOutOfIntRange()
{
    // Values a hand-edited settings file may hold.
    DigitalAirgun_widget panel;
    DynamicChartAirgun *chart = airgunChart(panel);
    panel.setTempRange(-1e20, 5e9);
    QCOMPARE(chart->tempMin(), std::numeric_limits<int>::min());
    QCOMPARE(chart->tempMax(), std::numeric_limits<int>::max());
    panel.setSpeedRange(std::numeric_limits<double>::infinity(), 10);
    QCOMPARE(chart->speedMin(), 10);
    QCOMPARE(chart->speedMax(), std::numeric_limits<int>::max());
    panel.setSpeedRange(std::numeric_limits<double>::quiet_NaN(), 10);
    QCOMPARE(chart->speedMin(), 0);
    QCOMPARE(chart->speedMax(), 10);
}

void TestDevicePanels::airgun_setTempUnitStoresOnly()
{
    DigitalAirgun_widget panel;
    QCOMPARE(panel.temperatureUnit(), 0);
    curSetting.TempUnit = 0;
    panel.setData(350, 45, 400, 0);
    panel.setTempUnit(1);
    QCOMPARE(panel.temperatureUnit(), 1);
    // Nothing is redrawn: the labels keep their text until the next reading.
    QCOMPARE(text(&panel, "label_realValue"), QStringLiteral("350℃"));
    panel.setTempUnit(9);
    QCOMPARE(panel.temperatureUnit(), 9);
    QCOMPARE(text(&panel, "label_settingValue"), QStringLiteral("400℃"));
}

// ---------------------------------------------------------------- power supply

void TestDevicePanels::power_form()
{
    DigitalPower_widget panel;
    checkFixedSize(&panel, QSize(411, 221), "DigitalPower_widget");
    checkChildren(&panel, {
                              {"widget", "QWidget", "DigitalPower_widget", {0, 0, 411, 221}},
                              {"widget_chart", "DynamicChart", "widget", {15, 0, 271, 221}},
                              {"widget_2", "QWidget", "widget", {281, 0, 141, 221}},
                              {"label_V", "QLabel", "widget_2", {10, 10, 31, 31}},
                              {"line_V", "QFrame", "widget_2", {50, 22, 71, 3}},
                              {"label_VValue", "QLabel", "widget_2", {10, 42, 111, 31}},
                              {"label_A", "QLabel", "widget_2", {10, 80, 31, 31}},
                              {"line_A", "QFrame", "widget_2", {50, 94, 71, 3}},
                              {"label_AValue", "QLabel", "widget_2", {10, 112, 111, 31}},
                              {"label_W", "QLabel", "widget_2", {10, 150, 31, 31}},
                              {"label_WValue", "QLabel", "widget_2", {10, 182, 111, 31}},
                          });
    for (const char *name : {"label_VValue", "label_AValue", "label_WValue"})
        checkValueLabel(&panel, name);
    checkLine(&panel, "line_V");
    checkLine(&panel, "line_A");
    QCOMPARE(label(&panel, "label_V")->styleSheet(),
             QStringLiteral("image: url(:/icon/v_yellow.png);"));
    QCOMPARE(label(&panel, "label_A")->styleSheet(),
             QStringLiteral("image: url(:/icon/A_blue.png);"));
    QCOMPARE(label(&panel, "label_W")->styleSheet(),
             QStringLiteral("image: url(:/icon/w_green.png);"));

    const QString style = compactStyle(panel.findChild<QWidget *>(QStringLiteral("widget")));
    QVERIFY2(style.startsWith(QStringLiteral("#widget{background-color:rgb(30,30,30);"
                                             "border-radius:10px;}")),
             qPrintable(style));
    QVERIFY(style.contains(QStringLiteral(
        "#label_AValue,#label_VValue,#label_WValue{font:bold14px;color:white;"
        "background-color:rgb(150,169,179);border-radius:10px;border:2pxsolidrgb(0,142,147);}")));
    // Swapped relative to the hot-air panel: orange is the current here.
    QVERIFY(style.contains(QStringLiteral("#line_A{background-color:#ffa500;}")));
    QVERIFY(style.contains(QStringLiteral("#line_V{background-color:#00ffff;}")));

    // The chart's captions start as mA and mV.
    DynamicChart *chart = powerChart(panel);
    QCOMPARE(chart->currentCaption()->toPlainText(), QStringLiteral("mA"));
    QCOMPARE(chart->voltageCaption()->toPlainText(), QStringLiteral("mV"));
}

void TestDevicePanels::power_setData_data()
{
    QTest::addColumn<int>("displayCurrentUnit");
    QTest::addColumn<int>("displayVoltageUnit");
    QTest::addColumn<double>("current");
    QTest::addColumn<double>("voltage");
    QTest::addColumn<int>("currentUnit");
    QTest::addColumn<int>("voltageUnit");
    QTest::addColumn<QString>("currentText");
    QTest::addColumn<QString>("voltageText");
    QTest::addColumn<QString>("powerText");
    QTest::addColumn<double>("chartCurrent");
    QTest::addColumn<double>("chartVoltage");

    QTest::newRow("mA and V") << 0 << 1 << 500.0 << 12.0 << 0 << 1 << "500mA"
                              << "12V"
                              << "6W" << 500.0 << 12.0;
    QTest::newRow("current shown in A") << 1 << 1 << 500.0 << 12.0 << 0 << 1 << "0.5A"
                                        << "12V"
                                        << "6W" << 0.5 << 12.0;
    QTest::newRow("A shown in mA, V shown in mV") << 0 << 0 << 1.5 << 5.0 << 1 << 1 << "1500mA"
                                                  << "5000mV"
                                                  << "7.5W" << 1500.0 << 5000.0;
    QTest::newRow("mV shown in V") << 1 << 1 << 2.0 << 3300.0 << 1 << 0 << "2A"
                                   << "3.3V"
                                   << "6.6W" << 2.0 << 3.3;
    QTest::newRow("all milli") << 0 << 0 << 250.0 << 4000.0 << 0 << 0 << "250mA"
                               << "4000mV"
                               << "1W" << 250.0 << 4000.0;
    QTest::newRow("current display unit 2: unconverted, suffix A")
        << 2 << 1 << 500.0 << 12.0 << 0 << 1 << "500A"
        << "12V"
        << "6W" << 500.0 << 12.0;
    QTest::newRow("voltage display unit 5: unconverted, suffix V")
        << 0 << 5 << 500.0 << 12000.0 << 0 << 0 << "500mA"
        << "12000V"
        << "6W" << 500.0 << 12000.0;
    QTest::newRow("negative display unit") << -1 << -1 << 3.0 << 4.0 << 1 << 1 << "3A"
                                           << "4V"
                                           << "12W" << 3.0 << 4.0;
    // An unknown instrument code counts as the whole unit for the power and is
    // converted as if it differed from the display unit.
    QTest::newRow("unknown instrument codes") << 0 << 1 << 2.0 << 5.0 << 7 << 7 << "2000mA"
                                              << "0.005V"
                                              << "10W" << 2000.0 << 0.005;
    QTest::newRow("instrument code equal to unknown display code")
        << 3 << 3 << 2.0 << 5.0 << 3 << 3 << "2A"
        << "5V"
        << "10W" << 2.0 << 5.0;
    QTest::newRow("many digits") << 0 << 1 << 12.3456789 << 1e6 << 0 << 1 << "12.3457mA"
                                 << "1e+06V"
                                 << "12345.7W" << 12.3456789 << 1e6;
    QTest::newRow("zero") << 0 << 1 << 0.0 << 0.0 << 0 << 1 << "0mA"
                          << "0V"
                          << "0W" << 0.0 << 0.0;
}

void TestDevicePanels::power_setData()
{
    QFETCH(int, displayCurrentUnit);
    QFETCH(int, displayVoltageUnit);
    QFETCH(double, current);
    QFETCH(double, voltage);
    QFETCH(int, currentUnit);
    QFETCH(int, voltageUnit);
    QFETCH(QString, currentText);
    QFETCH(QString, voltageText);
    QFETCH(QString, powerText);
    QFETCH(double, chartCurrent);
    QFETCH(double, chartVoltage);

    curSetting.CurrentUnit = displayCurrentUnit;
    curSetting.VoltageUnit = displayVoltageUnit;
    DigitalPower_widget panel;
    panel.setData(current, voltage, currentUnit, voltageUnit);
    QCOMPARE(text(&panel, "label_AValue"), currentText);
    QCOMPARE(text(&panel, "label_VValue"), voltageText);
    QCOMPARE(text(&panel, "label_WValue"), powerText);

    DynamicChart *chart = powerChart(panel);
    QCOMPARE(chart->currentSeries()->count(), 1);
    QCOMPARE(lastPoint(chart->currentSeries()).y(), chartCurrent);
    QCOMPARE(lastPoint(chart->voltageSeries()).y(), chartVoltage);
}

void TestDevicePanels::power_powerIndependentOfDisplayUnits()
{
    DigitalPower_widget panel;
    for (int cu : {0, 1, 2}) {
        for (int vu : {0, 1, 2}) {
            curSetting.CurrentUnit = cu;
            curSetting.VoltageUnit = vu;
            panel.setData(500, 12, 0, 1);
            QCOMPARE(text(&panel, "label_WValue"), QStringLiteral("6W"));
            panel.setData(0.5, 12000, 1, 0);
            QCOMPARE(text(&panel, "label_WValue"), QStringLiteral("6W"));
            panel.setData(500, 12000, 0, 0);
            QCOMPARE(text(&panel, "label_WValue"), QStringLiteral("6W"));
            panel.setData(0.5, 12, 1, 1);
            QCOMPARE(text(&panel, "label_WValue"), QStringLiteral("6W"));
        }
    }
}

void TestDevicePanels::power_clearData()
{
    DigitalPower_widget panel;
    panel.setCurrentRange(10, 100);
    panel.setUnitLabels(QStringLiteral("A"), QStringLiteral("V"));
    panel.setData(50, 5, 0, 1);
    panel.setData(60, 6, 0, 1);
    DynamicChart *chart = powerChart(panel);
    const int counter = DynamicChart::sampleCounter();

    panel.clearData();
    QCOMPARE(text(&panel, "label_AValue"), QString());
    QCOMPARE(text(&panel, "label_VValue"), QString());
    QCOMPARE(text(&panel, "label_WValue"), QString());
    QCOMPARE(chart->currentSeries()->count(), 0);
    QCOMPARE(chart->voltageSeries()->count(), 0);
    QCOMPARE(DynamicChart::sampleCounter(), counter);
    QCOMPARE(chart->currentAxis()->min(), 10.0);
    QCOMPARE(chart->currentAxis()->max(), 100.0);
    QCOMPARE(chart->currentCaption()->toPlainText(), QStringLiteral("A"));

    panel.setData(70, 7, 0, 1);
    QCOMPARE(chart->currentSeries()->count(), 1);
    QCOMPARE(lastPoint(chart->currentSeries()).x(), qreal(counter));
}

void TestDevicePanels::power_rangeAndUnitSetters()
{
    DigitalPower_widget panel;
    DynamicChart *chart = powerChart(panel);

    // Passed unchanged: no truncation on the power chart.
    panel.setCurrentRange(2.5, 0.25);
    QCOMPARE(chart->currentAxis()->min(), 0.25);
    QCOMPARE(chart->currentAxis()->max(), 2.5);
    panel.setVoltageRange(10.75, 100.5);
    QCOMPARE(chart->voltageAxis()->min(), 10.75);
    QCOMPARE(chart->voltageAxis()->max(), 100.5);
    panel.setVoltageRange(7, 7);
    QCOMPARE(chart->voltageAxis()->min(), 10.75);
    QCOMPARE(chart->voltageAxis()->max(), 100.5);

    panel.setUnitLabels(QStringLiteral("A"), QStringLiteral("V"));
    QCOMPARE(chart->currentCaption()->toPlainText(), QStringLiteral("A"));
    QCOMPARE(chart->voltageCaption()->toPlainText(), QStringLiteral("V"));
    panel.setUnitLabels(QStringLiteral("mA"), QStringLiteral("mV"));
    QCOMPARE(chart->currentCaption()->toPlainText(), QStringLiteral("mA"));
    QCOMPARE(chart->voltageCaption()->toPlainText(), QStringLiteral("mV"));
}

// ---------------------------------------------------------------- soldering iron

void TestDevicePanels::iron_form()
{
    DigitalElectricIron_widget panel;
    checkFixedSize(&panel, QSize(301, 221), "DigitalElectricIron_widget");
    checkChildren(&panel, {
                              {"widget", "QWidget", "DigitalElectricIron_widget", {0, 0, 301, 221}},
                              {"widget_value", "GaugeIron_widget", "widget", {0, 40, 301, 171}},
                              {"label", "QLabel", "widget", {10, 20, 51, 31}},
                              {"label_settingValue", "QLabel", "widget", {60, 20, 111, 31}},
                          });
    checkValueLabel(&panel, "label_settingValue");
    QCOMPARE(text(&panel, "label"), QString());
    QCOMPARE(label(&panel, "label")->styleSheet(),
             QStringLiteral("image: url(:/icon/settingTemp_blue.png);"));

    QLabel *setting = label(&panel, "label_settingValue");
    QCOMPARE(setting->font().pointSize(), 18);
    QCOMPARE(setting->font().weight(), 75);
    QCOMPARE(setting->font().italic(), false);
    QString style = setting->styleSheet();
    style.remove(QRegularExpression(QStringLiteral("\\s")));
    QCOMPARE(style, QStringLiteral("background-color:rgb(11,160,193);font:18pt\"DSEG7Classic\";"
                                   "border-radius:10px;font-weight:bold;color:rgb(255,255,255);"));

    QCOMPARE(compactStyle(panel.findChild<QWidget *>(QStringLiteral("widget"))),
             QStringLiteral("#widget{background-color:rgb(30,30,30);border-radius:10px;}"));
    QCOMPARE(panel.temperatureUnit(), 0);
}

void TestDevicePanels::iron_setData_data()
{
    QTest::addColumn<int>("displayUnit");
    QTest::addColumn<double>("realTemp");
    QTest::addColumn<double>("settingTemp");
    QTest::addColumn<int>("instrumentUnit");
    QTest::addColumn<QString>("settingText");
    QTest::addColumn<double>("gaugeValue");
    QTest::addColumn<QString>("gaugeUnit");

    QTest::newRow("C shown as C") << 0 << 300.0 << 320.0 << 0 << "320℃" << 300.0 << kCelsius;
    QTest::newRow("C shown as F") << 1 << 150.0 << 200.0 << 0 << "392℉" << 302.0 << kFahrenheit;
    QTest::newRow("F shown as C") << 0 << 572.0 << 662.0 << 1 << "350℃" << 300.0 << kCelsius;
    QTest::newRow("F shown as F") << 1 << 500.5 << 600.0 << 1 << "600℉" << 500.5 << kFahrenheit;
    QTest::newRow("unknown instrument unit")
        << 0 << 123.0 << 456.0 << 4 << "456℃" << 123.0 << kCelsius;
    QTest::newRow("many digits") << 0 << 12.3456789 << 12.3456789 << 0 << "12.3457℃" << 12.3456789
                                 << kCelsius;
}

void TestDevicePanels::iron_setData()
{
    QFETCH(int, displayUnit);
    QFETCH(double, realTemp);
    QFETCH(double, settingTemp);
    QFETCH(int, instrumentUnit);
    QFETCH(QString, settingText);
    QFETCH(double, gaugeValue);
    QFETCH(QString, gaugeUnit);

    curSetting.elecUnit = displayUnit;
    DigitalElectricIron_widget panel;
    GaugeIron_widget *gauge = ironGauge(panel);
    panel.setData(realTemp, settingTemp, instrumentUnit);
    QCOMPARE(text(&panel, "label_settingValue"), settingText);

    double minimum = -1;
    double maximum = -1;
    QString unit;
    gauge->getRangeAndUnit(minimum, maximum, unit);
    QCOMPARE(unit, gaugeUnit);
    // The needle glides to the converted value on the default 0 to 600 scale.
    QTRY_COMPARE(gauge->property("angle").toDouble(), 180.0 / (maximum - minimum) * gaugeValue);
}

void TestDevicePanels::iron_unknownDisplayUnit()
{
    DigitalElectricIron_widget panel;
    GaugeIron_widget *gauge = ironGauge(panel);
    curSetting.elecUnit = 0;
    panel.setData(100, 250, 0);
    QCOMPARE(text(&panel, "label_settingValue"), QStringLiteral("250℃"));

    curSetting.elecUnit = 3;
    panel.setData(300, 350, 0);
    // The label keeps its text, the gauge gets an empty unit and still moves
    // (to the value converted from Celsius, since 0 differs from 3).
    QCOMPARE(text(&panel, "label_settingValue"), QStringLiteral("250℃"));
    double minimum = 0;
    double maximum = 0;
    QString unit = QStringLiteral("x");
    gauge->getRangeAndUnit(minimum, maximum, unit);
    QCOMPARE(unit, QString());
    QTRY_COMPARE(gauge->property("angle").toDouble(), 180.0 / 600 * 572);
}

void TestDevicePanels::iron_setTempRange()
{
    DigitalElectricIron_widget panel;
    GaugeIron_widget *gauge = ironGauge(panel);
    double minimum = 0;
    double maximum = 0;
    QString unit;

    panel.setTempRange(500, 200);
    gauge->getRangeAndUnit(minimum, maximum, unit);
    QCOMPARE(minimum, 200.0);
    QCOMPARE(maximum, 500.0);

    panel.setTempRange(100.5, 450.25);
    gauge->getRangeAndUnit(minimum, maximum, unit);
    QCOMPARE(minimum, 100.5);
    QCOMPARE(maximum, 450.25);

    panel.setTempRange(300, 300);
    gauge->getRangeAndUnit(minimum, maximum, unit);
    QCOMPARE(minimum, 100.5);
    QCOMPARE(maximum, 450.25);
}

void TestDevicePanels::iron_setTempUnit()
{
    DigitalElectricIron_widget panel;
    GaugeIron_widget *gauge = ironGauge(panel);
    double minimum = 0;
    double maximum = 0;
    QString unit;

    panel.setTempUnit(1);
    QCOMPARE(panel.temperatureUnit(), 1);
    gauge->getRangeAndUnit(minimum, maximum, unit);
    QCOMPARE(unit, kFahrenheit);

    panel.setTempUnit(0);
    QCOMPARE(panel.temperatureUnit(), 0);
    gauge->getRangeAndUnit(minimum, maximum, unit);
    QCOMPARE(unit, kCelsius);

    // Any other code is only stored.
    panel.setTempUnit(5);
    QCOMPARE(panel.temperatureUnit(), 5);
    gauge->getRangeAndUnit(minimum, maximum, unit);
    QCOMPARE(unit, kCelsius);
}

void TestDevicePanels::iron_clearData()
{
    DigitalElectricIron_widget panel;
    GaugeIron_widget *gauge = ironGauge(panel);
    panel.setTempRange(100, 500);
    panel.setTempUnit(1);
    curSetting.elecUnit = 1;
    panel.setData(400, 450, 1);
    QTRY_COMPARE(gauge->property("angle").toDouble(), 135.0);

    panel.clearData();
    QCOMPARE(text(&panel, "label_settingValue"), QString());
    double minimum = 0;
    double maximum = 0;
    QString unit;
    gauge->getRangeAndUnit(minimum, maximum, unit);
    QCOMPARE(unit, kFahrenheit);
    QCOMPARE(minimum, 100.0);
    QCOMPARE(maximum, 500.0);
    // The needle sweeps back to the start of the scale, not at once.
    QVERIFY(gauge->property("angle").toDouble() > 0);
    QTRY_COMPARE(gauge->property("angle").toDouble(), 0.0);
}

// ---------------------------------------------------------------- number text

void TestDevicePanels::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("350") << 350.0 << "350";
    QTest::newRow("23.45") << 23.45 << "23.45";
    QTest::newRow("12.3456789") << 12.3456789 << "12.3457";
    QTest::newRow("0.5") << 0.5 << "0.5";
    QTest::newRow("one million") << 1e6 << "1e+06";
    QTest::newRow("small") << 0.0000123 << "1.23e-05";
    QTest::newRow("negative") << -12.5 << "-12.5";
}

void TestDevicePanels::numberText()
{
    QFETCH(double, value);
    QFETCH(QString, expected);

    curSetting.TempUnit = 0;
    curSetting.CurrentUnit = 1;
    curSetting.VoltageUnit = 1;
    curSetting.elecUnit = 0;

    DigitalAirgun_widget airgun;
    airgun.setData(value, value, value, 0);
    QCOMPARE(text(&airgun, "label_realValue"), expected + kCelsius);
    QCOMPARE(text(&airgun, "label_speedValue"), expected + QStringLiteral("%"));
    QCOMPARE(text(&airgun, "label_settingValue"), expected + kCelsius);

    DigitalPower_widget power;
    power.setData(value, 1, 1, 1);
    QCOMPARE(text(&power, "label_AValue"), expected + QStringLiteral("A"));
    QCOMPARE(text(&power, "label_WValue"), expected + QStringLiteral("W"));
    power.setData(1, value, 1, 1);
    QCOMPARE(text(&power, "label_VValue"), expected + QStringLiteral("V"));

    DigitalElectricIron_widget iron;
    iron.setData(0, value, 0);
    QCOMPARE(text(&iron, "label_settingValue"), expected + kCelsius);
}

// ---------------------------------------------------------------- pictures

void TestDevicePanels::renderShots()
{
    const QString dir = qEnvironmentVariable("KORVANTA_SHOT_DIR");
    if (!dir.isEmpty())
        QVERIFY(QDir().mkpath(dir));

    curSetting.TempUnit = 0;
    curSetting.CurrentUnit = 0;
    curSetting.VoltageUnit = 1;
    curSetting.elecUnit = 0;

    DigitalPower_widget power;
    power.setCurrentRange(0, 1000);
    power.setVoltageRange(0, 30);
    power.setUnitLabels(QStringLiteral("mA"), QStringLiteral("V"));
    DigitalAirgun_widget airgun;
    airgun.setTempRange(0, 500);
    airgun.setSpeedRange(0, 100);
    DigitalElectricIron_widget iron;
    iron.setTempRange(0, 600);
    iron.setTempUnit(0);
    for (int i = 0; i < 40; ++i) {
        power.setData(500 + 300 * std::sin(i / 5.0), 12 + 6 * std::cos(i / 4.0), 0, 1);
        airgun.setData(300 + 80 * std::sin(i / 6.0), 60 + 25 * std::cos(i / 3.0), 350, 0);
    }
    iron.setData(320, 350, 0);

    DynamicChart chart;
    DynamicChartAirgun chartAirgun;
    chart.resize(271, 221);
    chartAirgun.resize(271, 221);
    for (int i = 0; i < 12; ++i) {
        chart.appendPoints(100 * i, 200 * i);
        chartAirgun.appendPoints(50 * i, 10 * i);
    }

    const QList<QPair<QString, QWidget *>> shots = {
        {QStringLiteral("digitalpower_widget"), &power},
        {QStringLiteral("digitalairgun_widget"), &airgun},
        {QStringLiteral("digitalelectriciron_widget"), &iron},
        {QStringLiteral("dynamicchart"), &chart},
        {QStringLiteral("dynamicchartairgun"), &chartAirgun},
    };
    for (const auto &shot : shots)
        settle(shot.second);
    // Let the iron needle finish its 200 ms glide.
    QTRY_COMPARE(ironGauge(iron)->property("angle").toDouble(), 96.0);

    for (const auto &shot : shots) {
        const QImage image = shot.second->grab().toImage();
        QCOMPARE(image.size(), shot.second->size());
        QVERIFY2(distinctColours(image) > 8, qPrintable(shot.first));
        if (!dir.isEmpty())
            QVERIFY(image.save(QDir(dir).filePath(shot.first + QStringLiteral(".png"))));
    }

    // Colours at places the forms fix.
    const QColor background(30, 30, 30);
    const QColor orange(255, 165, 0);
    const QColor cyan(0, 255, 255);
    const QColor valueBox(150, 169, 179);

    const QImage p = power.grab().toImage();
    QVERIFY_COLOUR(p, 7, 110, background);           // left of the chart
    QVERIFY_COLOUR(p, 281 + 85, 22 + 1, cyan);       // line_V: the voltage curve
    QVERIFY_COLOUR(p, 281 + 85, 94 + 1, orange);     // line_A: the current curve
    QVERIFY_COLOUR(p, 281 + 100, 112 + 8, valueBox); // label_AValue, right of the text
    QVERIFY_COLOUR(p, 281 + 45, 182 + 28, valueBox); // label_WValue, below the text

    const QImage a = airgun.grab().toImage();
    QVERIFY_COLOUR(a, 4, 110, background);
    QVERIFY_COLOUR(a, 281 + 85, 93 + 1, orange); // line_V: the temperature curve
    QVERIFY_COLOUR(a, 281 + 85, 164 + 1, cyan);  // line_A: the speed curve
    QVERIFY_COLOUR(a, 281 + 100, 42 + 8, valueBox);

    const QImage r = iron.grab().toImage();
    QVERIFY_COLOUR(r, 150, 5, background);
    QVERIFY_COLOUR(r, 63, 35, QColor(11, 160, 193)); // label_settingValue
    QVERIFY_COLOUR(r, 150, 215, background);         // below the gauge

    // The power chart's arrow heads are drawn in their colours.
    const QImage c = chart.grab().toImage();
    const QRectF area = chart.chart()->plotArea();
    QVERIFY_COLOUR(c, int(area.left()), int(area.top() - 8), orange);
    QVERIFY_COLOUR(c, int(area.right()), int(area.top() - 8), cyan);
}

QTEST_MAIN(TestDevicePanels)
#include "tst_devicepanels.moc"
