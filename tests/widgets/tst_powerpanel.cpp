// The power supply's panel, DigitalPower_widget: readings converted to the
// display units of curSetting, the power in watts, clearing and the chart's
// ranges and captions. Every test sets curSetting itself.

#include "digitalpower_widget.h"
#include "dynamicchart.h"
#include "flatbackdrop.h"
#include "onscreen.h"
#include "settinginfo.h"

#include <QGraphicsTextItem>
#include <QLabel>
#include <QtTest>

namespace {

QString text(const QWidget &panel, const char *name)
{
    auto *label = panel.findChild<QLabel *>(QLatin1String(name));
    if (!label)
        qFatal("label %s missing", name);
    return label->text();
}

DynamicChart *chartOf(const DigitalPower_widget &panel)
{
    auto *chart = panel.findChild<DynamicChart *>(QStringLiteral("widget_chart"));
    if (!chart)
        qFatal("chart missing");
    return chart;
}

} // namespace

class TestPowerPanel : public QObject
{
    Q_OBJECT

private slots:
    void init() { curSetting = SettingInfo(); }
    void setData_data();
    void setData();
    void powerIndependentOfDisplayUnits();
    void clearData();
    void rangesAndCaptions();
    void newValueRepaintsItsLabelAlone();
    void valueBoxFollowsItsStyleAndSize();
};

void TestPowerPanel::setData_data()
{
    QTest::addColumn<int>("displayCurrentUnit");
    QTest::addColumn<int>("displayVoltageUnit");
    QTest::addColumn<int>("currentUnit");
    QTest::addColumn<int>("voltageUnit");
    QTest::addColumn<double>("current");
    QTest::addColumn<QString>("currentText");
    QTest::addColumn<double>("chartCurrent");
    QTest::addColumn<double>("voltage");
    QTest::addColumn<QString>("voltageText");
    QTest::addColumn<double>("chartVoltage");
    QTest::addColumn<QString>("powerText");

    // Display units, instrument units, then each reading with its label text
    // and chart value, and the power label.
    QTest::newRow("mA and V") << 0 << 1 << 0 << 1 << 500.0 << "500mA" << 500.0 << 12.0 << "12V"
                              << 12.0 << "6W";
    QTest::newRow("mA shown in A")
        << 1 << 1 << 0 << 1 << 500.0 << "0.5A" << 0.5 << 12.0 << "12V" << 12.0 << "6W";
    QTest::newRow("A shown in mA, V in mV")
        << 0 << 0 << 1 << 1 << 1.5 << "1500mA" << 1500.0 << 5.0 << "5000mV" << 5000.0 << "7.5W";
    QTest::newRow("mV shown in V")
        << 1 << 1 << 1 << 0 << 2.0 << "2A" << 2.0 << 3300.0 << "3.3V" << 3.3 << "6.6W";
    QTest::newRow("all milli") << 0 << 0 << 0 << 0 << 250.0 << "250mA" << 250.0 << 4000.0
                               << "4000mV" << 4000.0 << "1W";
    // Unknown display codes leave the reading unconverted and show the whole unit.
    QTest::newRow("current display code 2")
        << 2 << 1 << 0 << 1 << 500.0 << "500A" << 500.0 << 12.0 << "12V" << 12.0 << "6W";
    QTest::newRow("voltage display code 5")
        << 0 << 5 << 0 << 0 << 500.0 << "500mA" << 500.0 << 12000.0 << "12000V" << 12000.0 << "6W";
    QTest::newRow("negative display codes")
        << -1 << -1 << 1 << 1 << 3.0 << "3A" << 3.0 << 4.0 << "4V" << 4.0 << "12W";
    // An unknown instrument code counts as the whole unit for the power and is
    // converted as if it differed from the display unit.
    QTest::newRow("unknown instrument codes")
        << 0 << 1 << 7 << 7 << 2.0 << "2000mA" << 2000.0 << 5.0 << "0.005V" << 0.005 << "10W";
    QTest::newRow("instrument code equals unknown display code")
        << 3 << 3 << 3 << 3 << 2.0 << "2A" << 2.0 << 5.0 << "5V" << 5.0 << "10W";
    QTest::newRow("six significant digits") << 0 << 1 << 0 << 1 << 12.3456789 << "12.3457mA"
                                            << 12.3456789 << 1e6 << "1e+06V" << 1e6 << "12345.7W";
    QTest::newRow("zero") << 0 << 1 << 0 << 1 << 0.0 << "0mA" << 0.0 << 0.0 << "0V" << 0.0 << "0W";
}

void TestPowerPanel::setData()
{
    QFETCH(int, displayCurrentUnit);
    QFETCH(int, displayVoltageUnit);
    QFETCH(int, currentUnit);
    QFETCH(int, voltageUnit);
    QFETCH(double, current);
    QFETCH(QString, currentText);
    QFETCH(double, chartCurrent);
    QFETCH(double, voltage);
    QFETCH(QString, voltageText);
    QFETCH(double, chartVoltage);
    QFETCH(QString, powerText);

    curSetting.CurrentUnit = displayCurrentUnit;
    curSetting.VoltageUnit = displayVoltageUnit;
    DigitalPower_widget panel;
    panel.setData(current, voltage, currentUnit, voltageUnit);
    QCOMPARE(text(panel, "label_AValue"), currentText);
    QCOMPARE(text(panel, "label_VValue"), voltageText);
    QCOMPARE(text(panel, "label_WValue"), powerText);

    DynamicChart *chart = chartOf(panel);
    QCOMPARE(chart->currentSeries()->count(), 1);
    QCOMPARE(chart->currentSeries()->at(0).y(), chartCurrent);
    QCOMPARE(chart->voltageSeries()->at(0).y(), chartVoltage);
}

void TestPowerPanel::powerIndependentOfDisplayUnits()
{
    // 0.5 A at 12 V in every combination of instrument and display units.
    DigitalPower_widget panel;
    for (int displayCurrent : {0, 1, 2}) {
        for (int displayVoltage : {0, 1, 2}) {
            curSetting.CurrentUnit = displayCurrent;
            curSetting.VoltageUnit = displayVoltage;
            for (int currentUnit : {0, 1}) {
                for (int voltageUnit : {0, 1}) {
                    panel.setData(currentUnit == 0 ? 500 : 0.5, voltageUnit == 0 ? 12000 : 12,
                                  currentUnit, voltageUnit);
                    QCOMPARE(text(panel, "label_WValue"), QStringLiteral("6W"));
                }
            }
        }
    }
}

void TestPowerPanel::clearData()
{
    DigitalPower_widget panel;
    panel.setCurrentRange(10, 100);
    panel.setUnitLabels(QStringLiteral("A"), QStringLiteral("V"));
    panel.setData(50, 5, 0, 1);
    panel.setData(60, 6, 0, 1);
    DynamicChart *chart = chartOf(panel);
    const int counter = DynamicChart::sampleCounter();

    panel.clearData();
    QCOMPARE(text(panel, "label_AValue"), QString());
    QCOMPARE(text(panel, "label_VValue"), QString());
    QCOMPARE(text(panel, "label_WValue"), QString());
    QCOMPARE(chart->currentSeries()->count(), 0);
    QCOMPARE(chart->voltageSeries()->count(), 0);
    // The sample counter, the ranges and the captions stay.
    QCOMPARE(DynamicChart::sampleCounter(), counter);
    QCOMPARE(chart->currentAxis()->min(), 10.0);
    QCOMPARE(chart->currentAxis()->max(), 100.0);
    QCOMPARE(chart->currentCaption()->toPlainText(), QStringLiteral("A"));

    panel.setData(70, 7, 0, 1);
    QCOMPARE(chart->currentSeries()->count(), 1);
    QCOMPARE(chart->currentSeries()->at(0).x(), qreal(counter));
}

void TestPowerPanel::rangesAndCaptions()
{
    DigitalPower_widget panel;
    DynamicChart *chart = chartOf(panel);

    // Ordered but not truncated, unlike the hot-air chart.
    panel.setCurrentRange(2.5, 0.25);
    QCOMPARE(chart->currentAxis()->min(), 0.25);
    QCOMPARE(chart->currentAxis()->max(), 2.5);
    panel.setVoltageRange(10.75, 100.5);
    QCOMPARE(chart->voltageAxis()->min(), 10.75);
    QCOMPARE(chart->voltageAxis()->max(), 100.5);
    // Equal bounds are ignored; neither setter touches the other axis.
    panel.setVoltageRange(7, 7);
    QCOMPARE(chart->voltageAxis()->min(), 10.75);
    QCOMPARE(chart->voltageAxis()->max(), 100.5);
    QCOMPARE(chart->currentAxis()->min(), 0.25);
    QCOMPARE(chart->currentAxis()->max(), 2.5);

    QCOMPARE(chart->currentCaption()->toPlainText(), QStringLiteral("mA"));
    QCOMPARE(chart->voltageCaption()->toPlainText(), QStringLiteral("mV"));
    panel.setUnitLabels(QStringLiteral("A"), QStringLiteral("V"));
    QCOMPARE(chart->currentCaption()->toPlainText(), QStringLiteral("A"));
    QCOMPARE(chart->voltageCaption()->toPlainText(), QStringLiteral("V"));
}

// A new reading must not repaint the panel beneath its label (and every widget
// under that, up to the window).
void TestPowerPanel::newValueRepaintsItsLabelAlone()
{
    struct PaintRecorder : QObject
    {
        QMap<QObject *, QRegion> painted;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                painted[watched] += static_cast<QPaintEvent *>(event)->region();
            return false;
        }
    } recorder;

    DigitalPower_widget panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    panel.setData(100, 5000, 0, 0);
    QTest::qWait(50);
    auto *label = panel.findChild<QLabel *>(QStringLiteral("label_VValue"));
    QWidget *background = label->parentWidget()->parentWidget(); // the panel's rounded back
    label->installEventFilter(&recorder);
    background->installEventFilter(&recorder);

    panel.setData(100, 5001, 0, 0);
    QTRY_VERIFY(!recorder.painted.value(label).isEmpty());
    QTest::qWait(50); // the chart's repaint comes after
    const QRect labelOnBackground(label->mapTo(background, QPoint()), label->size());
    QVERIFY(!recorder.painted.value(background).intersects(labelOnBackground));
}

// The value boxes keep their painted background for the next reading: a
// new style sheet or size must show, not what was kept.
void TestPowerPanel::valueBoxFollowsItsStyleAndSize()
{
    DigitalPower_widget panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    panel.setData(100, 5000, 0, 0);
    auto *label = panel.findChild<QLabel *>(QStringLiteral("label_VValue"));
    const auto pixelAt = [&](const QPoint &inLabel) { return onScreen(label).pixelColor(inLabel); };
    QTest::qWait(50);

    // Square corners: the box's border colour fills its corner.
    QCOMPARE(pixelAt(QPoint(0, 0)), FlatBackdrop::kDarkPanel);
    label->setStyleSheet(QStringLiteral("border-radius: 0px;"));
    QTRY_COMPARE(pixelAt(QPoint(0, 0)), QColor(0, 142, 147));

    label->setStyleSheet(QString());
    QTRY_COMPARE(pixelAt(QPoint(0, 0)), FlatBackdrop::kDarkPanel);

    // Narrower: its new round corner shows the panel, not the kept box's edge.
    label->setFixedWidth(label->width() - 40);
    QTRY_COMPARE(label->width(), label->maximumWidth());
    panel.setData(100, 5001, 0, 0);
    QTRY_COMPARE(pixelAt(QPoint(label->width() - 1, 0)), FlatBackdrop::kDarkPanel);
}

QTEST_MAIN(TestPowerPanel)
#include "tst_powerpanel.moc"
