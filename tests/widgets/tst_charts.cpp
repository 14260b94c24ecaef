// Trend charts: DynamicChart, DynamicChartAirgun and ArrowAxisChart.
//
// The sample counters are statics shared by every object of a class and are
// never reset, so the tests that look at the very first samples of the process
// come first (QtTest runs the functions in declaration order); the others work
// relative to the counter they find.

#include "arrowaxischart.h"
#include "dynamicchart.h"
#include "dynamicchartairgun.h"

#include <QGraphicsLineItem>
#include <QGraphicsPolygonItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace QtCharts;

namespace {

const QColor kOrange(255, 165, 0);
const QColor kCyan(0, 255, 255);
const QColor kBackground(30, 30, 30);
constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();

// Shows the widget and lets the chart lay itself out, so that its plot area
// (and everything placed relative to it) is final.
void showAndSettle(QWidget *widget)
{
    widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(widget));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

QColor captionColour(const QGraphicsTextItem *item)
{
    const QTextBlock block = item->document()->firstBlock();
    return block.begin().fragment().charFormat().foreground().color();
}

QList<qreal> xValues(const QXYSeries *series)
{
    QList<qreal> xs;
    const auto points = series->pointsVector();
    for (const QPointF &p : points)
        xs << p.x();
    return xs;
}

QList<qreal> expectedXs(int first, int last)
{
    QList<qreal> xs;
    for (int x = first; x <= last; ++x)
        xs << x;
    return xs;
}

} // namespace

class TestCharts : public QObject
{
    Q_OBJECT

private slots:
    // Must stay first: they see the counters at 0.
    void dynamicChart_firstSamplesOfTheProcess();
    void airgunChart_firstSamplesOfTheProcess();

    void dynamicChart_counterSharedAcrossObjects();
    void airgunChart_counterSharedAcrossObjects();
    void countersOfTheTwoClassesAreSeparate();
    void dynamicChart_windowKeepsThe30Newest();
    void airgunChart_windowKeepsThe30Newest();
    void dynamicChart_clearPointsKeepsCounterAndRanges();
    void airgunChart_clearPointsKeepsCounterAndRanges();

    void dynamicChart_setUp();
    void airgunChart_setUp();
    void dynamicChart_rangeSetters();
    void dynamicChart_rangeSettersIgnoreEqualBounds();
    void airgunChart_rangeSetters();
    void airgunChart_rangeSettersIgnoreEqualBounds();
    void airgunChart_toAxisBoundClampsToTheIntRange();
    void airgunChart_rangeSettersClampOutOfRangeBounds();

    void dynamicChart_initialCaptions();
    void dynamicChart_setUnitLabels();
    void dynamicChart_captionsFollowThePlotArea();
    void dynamicChart_arrowsFollowThePlotArea();
    void arrowAxisChart_initialisation();
    void arrowAxisChart_updateArrowsReadsThePlotAreaFromTheChart();
    void arrowAxisChart_withoutChartDoesNothing();
};

void TestCharts::dynamicChart_firstSamplesOfTheProcess()
{
    QCOMPARE(DynamicChart::sampleCounter(), 0);
    DynamicChart chart;
    QCOMPARE(chart.currentSeries()->count(), 0);
    QCOMPARE(chart.voltageSeries()->count(), 0);

    chart.appendPoints(12.5, 3300);
    QCOMPARE(chart.currentSeries()->count(), 1);
    QCOMPARE(chart.voltageSeries()->count(), 1);
    QCOMPARE(chart.currentSeries()->at(0), QPointF(0, 12.5));
    QCOMPARE(chart.voltageSeries()->at(0), QPointF(0, 3300));
    QCOMPARE(chart.axisX()->min(), 0.0);
    QCOMPARE(chart.axisX()->max(), 0.0);
    QCOMPARE(DynamicChart::sampleCounter(), 1);

    // While fewer than 30 samples were taken the x range is 0 to n.
    for (int n = 1; n < 29; ++n)
        chart.appendPoints(n, 2 * n);
    QCOMPARE(DynamicChart::sampleCounter(), 29);
    QCOMPARE(chart.axisX()->min(), 0.0);
    QCOMPARE(chart.axisX()->max(), 28.0);
    chart.appendPoints(29, 58);
    QCOMPARE(chart.currentSeries()->count(), 30);
    QCOMPARE(chart.axisX()->min(), 0.0);
    QCOMPARE(chart.axisX()->max(), 29.0);

    // The 31st sample (n = 30): 30 points per series, x from 1 to 30.
    chart.appendPoints(30, 60);
    QCOMPARE(chart.currentSeries()->count(), 30);
    QCOMPARE(chart.voltageSeries()->count(), 30);
    QCOMPARE(xValues(chart.currentSeries()), expectedXs(1, 30));
    QCOMPARE(xValues(chart.voltageSeries()), expectedXs(1, 30));
    QCOMPARE(chart.currentSeries()->at(29), QPointF(30, 30));
    QCOMPARE(chart.voltageSeries()->at(29), QPointF(30, 60));
    QCOMPARE(chart.axisX()->min(), 1.0);
    QCOMPARE(chart.axisX()->max(), 30.0);
    QCOMPARE(DynamicChart::sampleCounter(), 31);
}

void TestCharts::airgunChart_firstSamplesOfTheProcess()
{
    QCOMPARE(DynamicChartAirgun::sampleCounter(), 0);
    DynamicChartAirgun chart;
    chart.appendPoints(350, 45);
    QCOMPARE(chart.temperatureSeries()->count(), 1);
    QCOMPARE(chart.speedSeries()->count(), 1);
    QCOMPARE(chart.temperatureSeries()->at(0), QPointF(0, 350));
    QCOMPARE(chart.speedSeries()->at(0), QPointF(0, 45));
    QCOMPARE(chart.axisX()->min(), 0.0);
    QCOMPARE(chart.axisX()->max(), 0.0);

    for (int n = 1; n <= 30; ++n)
        chart.appendPoints(300 + n, n);
    QCOMPARE(chart.temperatureSeries()->count(), 30);
    QCOMPARE(chart.speedSeries()->count(), 30);
    QCOMPARE(xValues(chart.temperatureSeries()), expectedXs(1, 30));
    QCOMPARE(xValues(chart.speedSeries()), expectedXs(1, 30));
    QCOMPARE(chart.axisX()->min(), 1.0);
    QCOMPARE(chart.axisX()->max(), 30.0);
    QCOMPARE(DynamicChartAirgun::sampleCounter(), 31);
}

void TestCharts::dynamicChart_counterSharedAcrossObjects()
{
    DynamicChart first;
    DynamicChart second;
    const int n = DynamicChart::sampleCounter();
    first.appendPoints(1, 2);
    second.appendPoints(3, 4);
    QCOMPARE(first.currentSeries()->at(0).x(), qreal(n));
    QCOMPARE(second.currentSeries()->count(), 1);
    QCOMPARE(second.currentSeries()->at(0), QPointF(n + 1, 3));
    QCOMPARE(second.voltageSeries()->at(0), QPointF(n + 1, 4));
    QCOMPARE(second.axisX()->min(), qreal(qMax(n + 1 - 29, 0)));
    QCOMPARE(second.axisX()->max(), qreal(n + 1));
    // The first object's x range is not touched by the second one's sample.
    QCOMPARE(first.axisX()->max(), qreal(n));

    // A chart created later continues the same counter.
    DynamicChart third;
    third.appendPoints(5, 6);
    QCOMPARE(third.currentSeries()->at(0).x(), qreal(n + 2));
    QCOMPARE(DynamicChart::sampleCounter(), n + 3);
}

void TestCharts::airgunChart_counterSharedAcrossObjects()
{
    DynamicChartAirgun first;
    DynamicChartAirgun second;
    const int n = DynamicChartAirgun::sampleCounter();
    first.appendPoints(200, 10);
    second.appendPoints(210, 20);
    QCOMPARE(first.temperatureSeries()->at(0), QPointF(n, 200));
    QCOMPARE(second.temperatureSeries()->at(0), QPointF(n + 1, 210));
    QCOMPARE(second.speedSeries()->at(0), QPointF(n + 1, 20));
    QCOMPARE(second.axisX()->min(), qreal(qMax(n + 1 - 29, 0)));
    QCOMPARE(second.axisX()->max(), qreal(n + 1));
    QCOMPARE(DynamicChartAirgun::sampleCounter(), n + 2);
}

void TestCharts::countersOfTheTwoClassesAreSeparate()
{
    const int power = DynamicChart::sampleCounter();
    const int airgun = DynamicChartAirgun::sampleCounter();
    DynamicChart chart;
    chart.appendPoints(1, 1);
    chart.appendPoints(1, 1);
    QCOMPARE(DynamicChart::sampleCounter(), power + 2);
    QCOMPARE(DynamicChartAirgun::sampleCounter(), airgun);
}

void TestCharts::dynamicChart_windowKeepsThe30Newest()
{
    DynamicChart chart;
    const int start = DynamicChart::sampleCounter();
    for (int i = 0; i < 75; ++i) {
        chart.appendPoints(i, -i);
        const int n = start + i;
        QVERIFY(chart.currentSeries()->count() <= 30);
        QVERIFY(chart.voltageSeries()->count() <= 30);
        QCOMPARE(chart.axisX()->min(), qreal(qMax(n - 29, 0)));
        QCOMPARE(chart.axisX()->max(), qreal(n));
    }
    const int last = start + 74;
    QCOMPARE(xValues(chart.currentSeries()), expectedXs(last - 29, last));
    QCOMPARE(xValues(chart.voltageSeries()), expectedXs(last - 29, last));
    QCOMPARE(chart.currentSeries()->at(0).y(), 45.0);
    QCOMPARE(chart.voltageSeries()->at(29).y(), -74.0);
}

void TestCharts::airgunChart_windowKeepsThe30Newest()
{
    DynamicChartAirgun chart;
    const int start = DynamicChartAirgun::sampleCounter();
    for (int i = 0; i < 64; ++i)
        chart.appendPoints(100 + i, i % 100);
    const int last = start + 63;
    QCOMPARE(xValues(chart.temperatureSeries()), expectedXs(last - 29, last));
    QCOMPARE(xValues(chart.speedSeries()), expectedXs(last - 29, last));
    QCOMPARE(chart.axisX()->min(), qreal(last - 29));
    QCOMPARE(chart.axisX()->max(), qreal(last));
}

void TestCharts::dynamicChart_clearPointsKeepsCounterAndRanges()
{
    DynamicChart chart;
    while (DynamicChart::sampleCounter() < 100)
        chart.appendPoints(1, 2);
    chart.setCurrentRange(5, 50);
    chart.setVoltageRange(-3, 3);
    const int n = DynamicChart::sampleCounter();
    const qreal xMin = chart.axisX()->min();
    const qreal xMax = chart.axisX()->max();

    chart.clearPoints();
    QCOMPARE(chart.currentSeries()->count(), 0);
    QCOMPARE(chart.voltageSeries()->count(), 0);
    QCOMPARE(DynamicChart::sampleCounter(), n);
    QCOMPARE(chart.axisX()->min(), xMin);
    QCOMPARE(chart.axisX()->max(), xMax);
    QCOMPARE(chart.currentAxis()->min(), 5.0);
    QCOMPARE(chart.currentAxis()->max(), 50.0);
    QCOMPARE(chart.voltageAxis()->min(), -3.0);
    QCOMPARE(chart.voltageAxis()->max(), 3.0);

    // One new sample: one point per series at x = n, x range n - 29 to n.
    chart.appendPoints(7, 8);
    QCOMPARE(chart.currentSeries()->count(), 1);
    QCOMPARE(chart.voltageSeries()->count(), 1);
    QCOMPARE(chart.currentSeries()->at(0), QPointF(n, 7));
    QCOMPARE(chart.voltageSeries()->at(0), QPointF(n, 8));
    QCOMPARE(chart.axisX()->min(), qreal(n - 29));
    QCOMPARE(chart.axisX()->max(), qreal(n));
}

void TestCharts::airgunChart_clearPointsKeepsCounterAndRanges()
{
    DynamicChartAirgun chart;
    while (DynamicChartAirgun::sampleCounter() < 100)
        chart.appendPoints(250, 50);
    chart.setTempRange(100, 300);
    const int n = DynamicChartAirgun::sampleCounter();

    chart.clearPoints();
    QCOMPARE(chart.temperatureSeries()->count(), 0);
    QCOMPARE(chart.speedSeries()->count(), 0);
    QCOMPARE(DynamicChartAirgun::sampleCounter(), n);
    QCOMPARE(chart.temperatureAxis()->min(), 100.0);
    QCOMPARE(chart.temperatureAxis()->max(), 300.0);
    QCOMPARE(chart.speedAxis()->min(), 0.0);
    QCOMPARE(chart.speedAxis()->max(), 160.0);

    chart.appendPoints(260, 55);
    QCOMPARE(chart.temperatureSeries()->count(), 1);
    QCOMPARE(chart.temperatureSeries()->at(0), QPointF(n, 260));
    QCOMPARE(chart.axisX()->min(), qreal(n - 29));
    QCOMPARE(chart.axisX()->max(), qreal(n));
}

void TestCharts::dynamicChart_setUp()
{
    DynamicChart chart;
    QChart *c = chart.chart();
    QVERIFY(c);
    QCOMPARE(c->theme(), QChart::ChartThemeDark);
    QCOMPARE(c->backgroundBrush().color(), kBackground);
    QCOMPARE(c->backgroundBrush().style(), Qt::SolidPattern);
    QVERIFY(!c->legend()->isVisible());
    QCOMPARE(c->margins(), QMargins(-5, 20, 20, -5));

    QCOMPARE(chart.currentSeries()->color(), kOrange);
    QCOMPARE(chart.voltageSeries()->color(), kCyan);
    QCOMPARE(c->series().size(), 2);
    QCOMPARE(c->series().at(0), chart.currentSeries());
    QCOMPARE(c->series().at(1), chart.voltageSeries());

    QVERIFY(!chart.axisX()->isVisible());
    QCOMPARE(chart.axisX()->alignment(), Qt::AlignBottom);
    QCOMPARE(chart.currentAxis()->alignment(), Qt::AlignLeft);
    QCOMPARE(chart.voltageAxis()->alignment(), Qt::AlignRight);
    QCOMPARE(chart.currentAxis()->labelsColor(), kOrange);
    QCOMPARE(chart.currentAxis()->linePenColor(), kOrange);
    QCOMPARE(chart.voltageAxis()->labelsColor(), kCyan);
    QCOMPARE(chart.voltageAxis()->linePenColor(), kCyan);

    const auto currentAxes = chart.currentSeries()->attachedAxes();
    QCOMPARE(currentAxes.size(), 2);
    QVERIFY(currentAxes.contains(chart.axisX()));
    QVERIFY(currentAxes.contains(chart.currentAxis()));
    const auto voltageAxes = chart.voltageSeries()->attachedAxes();
    QCOMPARE(voltageAxes.size(), 2);
    QVERIFY(voltageAxes.contains(chart.axisX()));
    QVERIFY(voltageAxes.contains(chart.voltageAxis()));

    // The initial ranges, applied through the range setters.
    QCOMPARE(chart.currentAxis()->min(), 0.0);
    QCOMPARE(chart.currentAxis()->max(), 1000.0);
    QCOMPARE(chart.voltageAxis()->min(), 0.0);
    QCOMPARE(chart.voltageAxis()->max(), 2200.0);
    QCOMPARE(chart.currentMin(), 0.0);
    QCOMPARE(chart.currentMax(), 1000.0);
    QCOMPARE(chart.voltageMin(), 0.0);
    QCOMPARE(chart.voltageMax(), 2200.0);
    for (QValueAxis *axis : {chart.currentAxis(), chart.voltageAxis()}) {
        QCOMPARE(axis->tickCount(), 5);
        QCOMPARE(axis->minorTickCount(), 1);
        QCOMPARE(axis->labelFormat(), QStringLiteral("%.1f"));
    }

    // The view: an ArrowAxisChart child at the top-left corner, not in a layout.
    ArrowAxisChart *view = chart.chartView();
    QVERIFY(view);
    QCOMPARE(view->parentWidget(), &chart);
    QCOMPARE(view->chart(), c);
    QCOMPARE(view->arrowChart(), c);
    QCOMPARE(view->pos(), QPoint(0, 0));
    QCOMPARE(view->minimumSize(), QSize(300, 220));
    QCOMPARE(view->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(view->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
    QVERIFY(view->renderHints().testFlag(QPainter::Antialiasing));
    QCOMPARE(view->backgroundBrush().color(), kBackground);
    QCOMPARE(chart.layout(), nullptr);
}

void TestCharts::airgunChart_setUp()
{
    DynamicChartAirgun chart;
    QChart *c = chart.chart();
    QVERIFY(c);
    QCOMPARE(c->theme(), QChart::ChartThemeDark);
    QCOMPARE(c->backgroundBrush().color(), kBackground);
    QVERIFY(!c->legend()->isVisible());
    QCOMPARE(c->margins(), QMargins(-5, 10, 20, -5));

    QCOMPARE(chart.temperatureSeries()->color(), kOrange);
    QCOMPARE(chart.speedSeries()->color(), kCyan);
    QVERIFY(!chart.axisX()->isVisible());
    QCOMPARE(chart.axisX()->alignment(), Qt::AlignBottom);
    QCOMPARE(chart.temperatureAxis()->alignment(), Qt::AlignLeft);
    QCOMPARE(chart.speedAxis()->alignment(), Qt::AlignRight);
    QCOMPARE(chart.temperatureAxis()->labelsColor(), kOrange);
    QCOMPARE(chart.temperatureAxis()->linePenColor(), kOrange);
    QCOMPARE(chart.speedAxis()->labelsColor(), kCyan);
    QCOMPARE(chart.speedAxis()->linePenColor(), kCyan);
    QVERIFY(chart.temperatureSeries()->attachedAxes().contains(chart.temperatureAxis()));
    QVERIFY(chart.temperatureSeries()->attachedAxes().contains(chart.axisX()));
    QVERIFY(chart.speedSeries()->attachedAxes().contains(chart.speedAxis()));
    QVERIFY(chart.speedSeries()->attachedAxes().contains(chart.axisX()));

    QCOMPARE(chart.temperatureAxis()->min(), 0.0);
    QCOMPARE(chart.temperatureAxis()->max(), 600.0);
    QCOMPARE(chart.speedAxis()->min(), 0.0);
    QCOMPARE(chart.speedAxis()->max(), 160.0);
    QCOMPARE(chart.tempMin(), 0);
    QCOMPARE(chart.tempMax(), 600);
    QCOMPARE(chart.speedMin(), 0);
    QCOMPARE(chart.speedMax(), 160);

    // A plain QChartView, not an ArrowAxisChart.
    QChartView *view = chart.chartView();
    QVERIFY(view);
    QVERIFY(!qobject_cast<ArrowAxisChart *>(view));
    QCOMPARE(view->parentWidget(), &chart);
    QCOMPARE(view->chart(), c);
    QCOMPARE(view->pos(), QPoint(0, 0));
    QCOMPARE(view->minimumSize(), QSize(300, 220));
    QCOMPARE(view->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QVERIFY(view->renderHints().testFlag(QPainter::Antialiasing));
}

void TestCharts::dynamicChart_rangeSetters()
{
    DynamicChart chart;
    chart.setCurrentRange(500, 100);
    QCOMPARE(chart.currentAxis()->min(), 100.0);
    QCOMPARE(chart.currentAxis()->max(), 500.0);
    QCOMPARE(chart.currentMin(), 100.0);
    QCOMPARE(chart.currentMax(), 500.0);

    chart.setVoltageRange(0.5, 12.25);
    QCOMPARE(chart.voltageAxis()->min(), 0.5);
    QCOMPARE(chart.voltageAxis()->max(), 12.25);
    chart.setVoltageRange(30, -30);
    QCOMPARE(chart.voltageAxis()->min(), -30.0);
    QCOMPARE(chart.voltageAxis()->max(), 30.0);
    QCOMPARE(chart.voltageMin(), -30.0);
    QCOMPARE(chart.voltageMax(), 30.0);

    for (QValueAxis *axis : {chart.currentAxis(), chart.voltageAxis()}) {
        QCOMPARE(axis->tickCount(), 5);
        QCOMPARE(axis->minorTickCount(), 1);
        QCOMPARE(axis->labelFormat(), QStringLiteral("%.1f"));
    }
    // The current range is not touched by the voltage setter.
    QCOMPARE(chart.currentAxis()->min(), 100.0);
    QCOMPARE(chart.currentAxis()->max(), 500.0);
}

void TestCharts::dynamicChart_rangeSettersIgnoreEqualBounds()
{
    DynamicChart chart;
    chart.setCurrentRange(500, 100);
    chart.currentAxis()->setTickCount(7); // would be reset by an applied range
    chart.setCurrentRange(100, 100);
    QCOMPARE(chart.currentAxis()->min(), 100.0);
    QCOMPARE(chart.currentAxis()->max(), 500.0);
    QCOMPARE(chart.currentMin(), 100.0);
    QCOMPARE(chart.currentMax(), 500.0);
    QCOMPARE(chart.currentAxis()->tickCount(), 7);

    chart.setVoltageRange(0, 0);
    QCOMPARE(chart.voltageAxis()->min(), 0.0);
    QCOMPARE(chart.voltageAxis()->max(), 2200.0);
}

void TestCharts::airgunChart_rangeSetters()
{
    DynamicChartAirgun chart;
    chart.setTempRange(300, 100);
    QCOMPARE(chart.temperatureAxis()->min(), 100.0);
    QCOMPARE(chart.temperatureAxis()->max(), 300.0);
    QCOMPARE(chart.tempMin(), 100);
    QCOMPARE(chart.tempMax(), 300);

    // Bounds are truncated toward zero to whole numbers.
    chart.setTempRange(300.9, 100.2);
    QCOMPARE(chart.temperatureAxis()->min(), 100.0);
    QCOMPARE(chart.temperatureAxis()->max(), 300.0);
    chart.setSpeedRange(-10.9, 99.99);
    QCOMPARE(chart.speedAxis()->min(), -10.0);
    QCOMPARE(chart.speedAxis()->max(), 99.0);
    QCOMPARE(chart.speedMin(), -10);
    QCOMPARE(chart.speedMax(), 99);

    // Integer axes still label with one decimal ("100.0").
    for (QValueAxis *axis : {chart.temperatureAxis(), chart.speedAxis()}) {
        QCOMPARE(axis->tickCount(), 5);
        QCOMPARE(axis->minorTickCount(), 1);
        QCOMPARE(axis->labelFormat(), QStringLiteral("%.1f"));
    }
    QCOMPARE(QString::asprintf(chart.temperatureAxis()->labelFormat().toLatin1().constData(),
                               chart.temperatureAxis()->min()),
             QStringLiteral("100.0"));
}

void TestCharts::airgunChart_rangeSettersIgnoreEqualBounds()
{
    DynamicChartAirgun chart;
    chart.setSpeedRange(20, 80);
    chart.setSpeedRange(50, 50);
    QCOMPARE(chart.speedAxis()->min(), 20.0);
    QCOMPARE(chart.speedAxis()->max(), 80.0);

    // Bounds equal only after truncation are ignored too.
    chart.setTempRange(250.2, 250.9);
    QCOMPARE(chart.temperatureAxis()->min(), 0.0);
    QCOMPARE(chart.temperatureAxis()->max(), 600.0);
    chart.setTempRange(-0.9, 0.9);
    QCOMPARE(chart.tempMin(), 0);
    QCOMPARE(chart.tempMax(), 600);
}

void TestCharts::airgunChart_toAxisBoundClampsToTheIntRange()
{
    QCOMPARE(DynamicChartAirgun::toAxisBound(0.0), 0);
    QCOMPARE(DynamicChartAirgun::toAxisBound(300.9), 300);
    QCOMPARE(DynamicChartAirgun::toAxisBound(-300.9), -300);
    QCOMPARE(DynamicChartAirgun::toAxisBound(-0.99), 0);
    QCOMPARE(DynamicChartAirgun::toAxisBound(2147483647.0), kIntMax);
    QCOMPARE(DynamicChartAirgun::toAxisBound(2147483647.9), kIntMax);
    QCOMPARE(DynamicChartAirgun::toAxisBound(2147483648.0), kIntMax);
    QCOMPARE(DynamicChartAirgun::toAxisBound(-2147483648.0), kIntMin);
    QCOMPARE(DynamicChartAirgun::toAxisBound(-2147483648.9), kIntMin);
    QCOMPARE(DynamicChartAirgun::toAxisBound(-2147483649.0), kIntMin);
    QCOMPARE(DynamicChartAirgun::toAxisBound(1e300), kIntMax);
    QCOMPARE(DynamicChartAirgun::toAxisBound(-1e300), kIntMin);
    QCOMPARE(DynamicChartAirgun::toAxisBound(std::numeric_limits<double>::infinity()), kIntMax);
    QCOMPARE(DynamicChartAirgun::toAxisBound(-std::numeric_limits<double>::infinity()), kIntMin);
    QCOMPARE(DynamicChartAirgun::toAxisBound(std::numeric_limits<double>::quiet_NaN()), 0);
}

void TestCharts::airgunChart_rangeSettersClampOutOfRangeBounds()
{
    DynamicChartAirgun chart;
    chart.setTempRange(1e12, -5);
    QCOMPARE(chart.tempMin(), -5);
    QCOMPARE(chart.tempMax(), kIntMax);
    QCOMPARE(chart.temperatureAxis()->min(), -5.0);
    QCOMPARE(chart.temperatureAxis()->max(), double(kIntMax));

    chart.setSpeedRange(-std::numeric_limits<double>::infinity(), 1e300);
    QCOMPARE(chart.speedMin(), kIntMin);
    QCOMPARE(chart.speedMax(), kIntMax);

    // Both bounds beyond the same end clamp to the same value: ignored.
    chart.setSpeedRange(5e9, 6e9);
    QCOMPARE(chart.speedMin(), kIntMin);
    QCOMPARE(chart.speedMax(), kIntMax);

    // NaN counts as 0.
    chart.setSpeedRange(std::numeric_limits<double>::quiet_NaN(), 40);
    QCOMPARE(chart.speedMin(), 0);
    QCOMPARE(chart.speedMax(), 40);

    // The chart still draws with such an axis.
    chart.resize(271, 221);
    showAndSettle(&chart);
    QVERIFY(!chart.grab().isNull());
}

void TestCharts::dynamicChart_initialCaptions()
{
    DynamicChart chart;
    QGraphicsTextItem *current = chart.currentCaption();
    QGraphicsTextItem *voltage = chart.voltageCaption();
    QVERIFY(current && voltage);
    QCOMPARE(current->toPlainText(), QStringLiteral("mA"));
    QCOMPARE(voltage->toPlainText(), QStringLiteral("mV"));
    QCOMPARE(captionColour(current), kOrange);
    QCOMPARE(captionColour(voltage), kCyan);
    QCOMPARE(current->scene(), chart.chart()->scene());
    QCOMPARE(voltage->scene(), chart.chart()->scene());
}

void TestCharts::dynamicChart_setUnitLabels()
{
    DynamicChart chart;
    chart.setUnitLabels(QStringLiteral("A"), QStringLiteral("V"));
    QCOMPARE(chart.currentCaption()->toPlainText(), QStringLiteral("A"));
    QCOMPARE(chart.voltageCaption()->toPlainText(), QStringLiteral("V"));
    QCOMPARE(captionColour(chart.currentCaption()), kOrange);
    QCOMPARE(captionColour(chart.voltageCaption()), kCyan);

    // The texts are put in as given ("%1" replaced once, no field width).
    chart.setUnitLabels(QStringLiteral("milliampere"), QString());
    QCOMPARE(chart.currentCaption()->toPlainText(), QStringLiteral("milliampere"));
    QCOMPARE(chart.voltageCaption()->toPlainText(), QString());

    // setUnitLabels repositions the captions itself, also without a layout pass.
    const QRectF area = chart.chart()->plotArea();
    QCOMPARE(chart.currentCaption()->pos(), QPointF(area.left() - 10, area.top() - 40));
    QCOMPARE(chart.voltageCaption()->pos(), QPointF(area.right(), area.top() - 40));
}

void TestCharts::dynamicChart_captionsFollowThePlotArea()
{
    DynamicChart chart;
    chart.resize(271, 221);
    showAndSettle(&chart);

    QRectF area = chart.chart()->plotArea();
    QVERIFY(area.isValid());
    QCOMPARE(chart.currentCaption()->pos(), QPointF(area.left() - 10, area.top() - 40));
    QCOMPARE(chart.voltageCaption()->pos(), QPointF(area.right(), area.top() - 40));

    // Narrower axis labels ("0.0" to "1.0") widen the plot area: the captions
    // follow. (Wider labels would not move it: Qt Charts gives the vertical axes
    // at most 40 % of the chart width and elides the labels beyond that.)
    chart.setCurrentRange(0, 1);
    chart.setVoltageRange(0, 1);
    QTRY_VERIFY(chart.chart()->plotArea() != area);
    area = chart.chart()->plotArea();
    QCOMPARE(chart.currentCaption()->pos(), QPointF(area.left() - 10, area.top() - 40));
    QCOMPARE(chart.voltageCaption()->pos(), QPointF(area.right(), area.top() - 40));

    // And a resize.
    chart.chartView()->resize(400, 300);
    QTRY_VERIFY(chart.chart()->plotArea() != area);
    area = chart.chart()->plotArea();
    QCOMPARE(chart.currentCaption()->pos(), QPointF(area.left() - 10, area.top() - 40));
    QCOMPARE(chart.voltageCaption()->pos(), QPointF(area.right(), area.top() - 40));

    // The captions sit above the plot area, inside the visible part of the view.
    QVERIFY(chart.currentCaption()->pos().y() >= -5);
    QVERIFY(chart.currentCaption()->pos().y() + 20 < area.top());
}

void TestCharts::dynamicChart_arrowsFollowThePlotArea()
{
    DynamicChart chart;
    chart.resize(271, 221);
    showAndSettle(&chart);
    ArrowAxisChart *view = chart.chartView();

    auto check = [&]() {
        const QRectF p = chart.chart()->plotArea();
        QCOMPARE(view->leftAxisLine()->line(), QLineF(p.left(), p.bottom(), p.left(), p.top() - 6));
        QCOMPARE(view->rightAxisLine()->line(),
                 QLineF(p.right(), p.bottom(), p.right(), p.top() - 6));
        const QPolygonF left =
            view->leftArrowHead()->polygon().translated(view->leftArrowHead()->pos());
        const QPolygonF right =
            view->rightArrowHead()->polygon().translated(view->rightArrowHead()->pos());
        QCOMPARE(left,
                 QPolygonF({QPointF(p.left() - 6, p.top() - 6), QPointF(p.left(), p.top() - 12),
                            QPointF(p.left() + 6, p.top() - 6)}));
        QCOMPARE(right,
                 QPolygonF({QPointF(p.right() - 6, p.top() - 6), QPointF(p.right(), p.top() - 12),
                            QPointF(p.right() + 6, p.top() - 6)}));
    };
    check();
    const QRectF before = chart.chart()->plotArea();
    chart.setCurrentRange(0, 1);
    QTRY_VERIFY(chart.chart()->plotArea() != before);
    check();
}

void TestCharts::arrowAxisChart_initialisation()
{
    ArrowAxisChart view;
    QVERIFY(view.chart()); // QChartView's own chart until initialisation
    QCOMPARE(view.leftAxisLine(), nullptr);

    auto *chart = new QChart();
    view.setArrowChart(chart);
    view.initialize();
    QCOMPARE(view.chart(), chart);
    QVERIFY(view.renderHints().testFlag(QPainter::Antialiasing));
    QVERIFY(!chart->legend()->isVisible());
    QCOMPARE(chart->margins(), QMargins(-5, 20, 20, -5));

    QGraphicsLineItem *leftLine = view.leftAxisLine();
    QGraphicsLineItem *rightLine = view.rightAxisLine();
    QGraphicsPolygonItem *leftHead = view.leftArrowHead();
    QGraphicsPolygonItem *rightHead = view.rightArrowHead();
    QVERIFY(leftLine && rightLine && leftHead && rightHead);

    for (QGraphicsLineItem *line : {leftLine, rightLine}) {
        QCOMPARE(line->pen().widthF(), 2.0);
        QCOMPARE(line->pen().style(), Qt::SolidLine);
        QCOMPARE(line->pen().capStyle(), Qt::SquareCap);
        QCOMPARE(line->pen().joinStyle(), Qt::BevelJoin);
    }
    QCOMPARE(leftLine->pen().color(), kOrange);
    QCOMPARE(rightLine->pen().color(), kCyan);
    QCOMPARE(leftHead->brush().color(), kOrange);
    QCOMPARE(leftHead->brush().style(), Qt::SolidPattern);
    QCOMPARE(leftHead->pen().style(), Qt::NoPen);
    QCOMPARE(rightHead->brush().color(), kCyan);
    QCOMPARE(rightHead->pen().style(), Qt::NoPen);

    // In the view's scene, added after the chart: left line, right line, left
    // head, right head (stacking order among equal z values).
    QGraphicsScene *scene = view.scene();
    for (QGraphicsItem *item :
         std::initializer_list<QGraphicsItem *>{leftLine, rightLine, leftHead, rightHead})
        QCOMPARE(item->scene(), scene);
    QList<QGraphicsItem *> order;
    for (QGraphicsItem *item : scene->items(Qt::AscendingOrder))
        if (item == leftLine || item == rightLine || item == leftHead || item == rightHead)
            order << item;
    QCOMPARE(order, (QList<QGraphicsItem *>{leftLine, rightLine, leftHead, rightHead}));

    // A second initialisation creates nothing new.
    view.initialize();
    QCOMPARE(view.leftAxisLine(), leftLine);
}

void TestCharts::arrowAxisChart_updateArrowsReadsThePlotAreaFromTheChart()
{
    ArrowAxisChart view;
    view.setArrowChart(new QChart());
    view.initialize();
    view.resize(300, 220);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCoreApplication::processEvents();

    const QRectF p = view.chart()->plotArea();
    view.updateArrows(QRectF(1, 2, 3, 4)); // the argument is ignored
    QCOMPARE(view.leftAxisLine()->line(), QLineF(p.left(), p.bottom(), p.left(), p.top() - 6));
    QCOMPARE(view.rightAxisLine()->line(), QLineF(p.right(), p.bottom(), p.right(), p.top() - 6));
    const QRectF head = view.leftArrowHead()->sceneBoundingRect();
    QCOMPARE(head.width(), 12.0);
    QCOMPARE(head.bottom(), p.top() - 6);
    QCOMPARE(head.top(), p.top() - 12);
}

void TestCharts::arrowAxisChart_withoutChartDoesNothing()
{
    ArrowAxisChart view;
    view.initialize();
    view.updateArrows(QRectF(0, 0, 10, 10));
    QCOMPARE(view.leftAxisLine(), nullptr);
    QCOMPARE(view.arrowChart(), nullptr);
}

QTEST_MAIN(TestCharts)
#include "tst_charts.moc"
