// The trend charts' samples and axes: DynamicChart (power supply) and
// DynamicChartAirgun (hot-air gun). Captions and arrows are in tst_charts_drawing.
//
// The sample counters are statics shared by every object of a class and are
// never reset, so firstSamplesAndWindow, which sees them at 0, must stay the
// first test (QtTest runs the functions in declaration order); the others work
// relative to the counter they find. Tests that apply to both charts take a
// row per class.

#include "dynamicchart.h"
#include "dynamicchartairgun.h"

#include <QtTest>

#include <limits>

using namespace QtCharts;

namespace {

const QColor kOrange(255, 165, 0);
const QColor kCyan(0, 255, 255);
constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The two charts under common names: the left curve and axis are orange, the
// right ones cyan.
struct Sides
{
    QLineSeries *leftSeries, *rightSeries;
    QValueAxis *leftAxis, *rightAxis;
};
Sides sides(const DynamicChart &c)
{
    return {c.currentSeries(), c.voltageSeries(), c.currentAxis(), c.voltageAxis()};
}
Sides sides(const DynamicChartAirgun &c)
{
    return {c.temperatureSeries(), c.speedSeries(), c.temperatureAxis(), c.speedAxis()};
}
void setRanges(DynamicChart &c, double left, double right)
{
    c.setCurrentRange(-left, left);
    c.setVoltageRange(-right, right);
}
void setRanges(DynamicChartAirgun &c, double left, double right)
{
    c.setTempRange(-left, left);
    c.setSpeedRange(-right, right);
}

QList<qreal> xValues(const QXYSeries *series)
{
    QList<qreal> xs;
    for (const QPointF &p : series->pointsVector())
        xs << p.x();
    return xs;
}

QList<qreal> range(int first, int last)
{
    QList<qreal> xs;
    for (int x = first; x <= last; ++x)
        xs << x;
    return xs;
}

template <class Chart> void checkFirstSamplesAndWindow()
{
    QCOMPARE(Chart::sampleCounter(), 0);
    Chart chart;
    const Sides s = sides(chart);
    QCOMPARE(s.leftSeries->count(), 0);
    chart.appendPoints(12.5, 3300);
    QCOMPARE(s.leftSeries->at(0), QPointF(0, 12.5));
    QCOMPARE(s.rightSeries->at(0), QPointF(0, 3300));
    QCOMPARE(chart.axisX()->min(), 0.0);
    QCOMPARE(chart.axisX()->max(), 0.0);
    QCOMPARE(Chart::sampleCounter(), 1);

    // While fewer than 30 samples were taken the x range is 0 to n; after that
    // the oldest point goes and the range is n - 29 to n.
    for (int n = 1; n < 75; ++n) {
        chart.appendPoints(n, -n);
        QCOMPARE(s.leftSeries->count(), qMin(n + 1, 30));
        QCOMPARE(s.rightSeries->count(), qMin(n + 1, 30));
        QCOMPARE(chart.axisX()->min(), qreal(qMax(n - 29, 0)));
        QCOMPARE(chart.axisX()->max(), qreal(n));
    }
    QCOMPARE(xValues(s.leftSeries), range(45, 74));
    QCOMPARE(xValues(s.rightSeries), range(45, 74));
    QCOMPARE(s.leftSeries->at(0), QPointF(45, 45));
    QCOMPARE(s.rightSeries->at(29), QPointF(74, -74));
    QCOMPARE(Chart::sampleCounter(), 75);
}

template <class Chart, class Other> void checkCounterShared()
{
    const int other = Other::sampleCounter();
    Chart first;
    Chart second;
    const int n = Chart::sampleCounter();
    first.appendPoints(1, 2);
    second.appendPoints(3, 4);
    QCOMPARE(first.axisX()->max(), qreal(n));
    QCOMPARE(sides(first).leftSeries->at(0), QPointF(n, 1));
    QCOMPARE(sides(second).leftSeries->count(), 1);
    QCOMPARE(sides(second).leftSeries->at(0), QPointF(n + 1, 3));
    QCOMPARE(sides(second).rightSeries->at(0), QPointF(n + 1, 4));
    QCOMPARE(second.axisX()->min(), qreal(qMax(n + 1 - 29, 0)));
    QCOMPARE(second.axisX()->max(), qreal(n + 1));

    // A chart created later continues the same counter; the other class has its own.
    Chart third;
    third.appendPoints(5, 6);
    QCOMPARE(sides(third).leftSeries->at(0).x(), qreal(n + 2));
    QCOMPARE(Chart::sampleCounter(), n + 3);
    QCOMPARE(Other::sampleCounter(), other);
}

template <class Chart> void checkClearPoints()
{
    Chart chart;
    const Sides s = sides(chart);
    while (Chart::sampleCounter() < 100)
        chart.appendPoints(1, 2);
    setRanges(chart, 50, 3);
    const int n = Chart::sampleCounter();
    const qreal xMin = chart.axisX()->min();

    chart.clearPoints();
    QCOMPARE(s.leftSeries->count(), 0);
    QCOMPARE(s.rightSeries->count(), 0);
    QCOMPARE(Chart::sampleCounter(), n);
    QCOMPARE(chart.axisX()->min(), xMin);
    QCOMPARE(s.leftAxis->min(), -50.0);
    QCOMPARE(s.leftAxis->max(), 50.0);
    QCOMPARE(s.rightAxis->min(), -3.0);
    QCOMPARE(s.rightAxis->max(), 3.0);

    // One new sample: one point per series at x = n, x range n - 29 to n.
    chart.appendPoints(7, 8);
    QCOMPARE(s.leftSeries->count(), 1);
    QCOMPARE(s.leftSeries->at(0), QPointF(n, 7));
    QCOMPARE(s.rightSeries->at(0), QPointF(n, 8));
    QCOMPARE(chart.axisX()->min(), qreal(n - 29));
    QCOMPARE(chart.axisX()->max(), qreal(n));
}

template <class Chart> void checkAxes(double leftMax, double rightMax)
{
    Chart chart;
    const Sides s = sides(chart);
    QCOMPARE(s.leftSeries->color(), kOrange);
    QCOMPARE(s.rightSeries->color(), kCyan);
    QVERIFY(!chart.axisX()->isVisible());
    const QList<QPair<QLineSeries *, QValueAxis *>> sides = {{s.leftSeries, s.leftAxis},
                                                             {s.rightSeries, s.rightAxis}};
    for (const auto &side : sides) {
        QCOMPARE(side.first->attachedAxes().size(), 2);
        QVERIFY(side.first->attachedAxes().contains(side.second));
        QVERIFY(side.first->attachedAxes().contains(chart.axisX()));
        QCOMPARE(side.second->labelsColor(), side.first->color());
        QCOMPARE(side.second->linePenColor(), side.first->color());
        QCOMPARE(side.second->min(), 0.0);
        QCOMPARE(side.second->tickCount(), 5);
        QCOMPARE(side.second->minorTickCount(), 1);
        QCOMPARE(side.second->labelFormat(), QStringLiteral("%.1f"));
    }
    QCOMPARE(s.leftAxis->max(), leftMax);
    QCOMPARE(s.rightAxis->max(), rightMax);
    QCOMPARE(s.leftAxis->alignment(), Qt::AlignLeft);
    QCOMPARE(s.rightAxis->alignment(), Qt::AlignRight);
}

} // namespace

// Runs a check template for the chart class the row names.
#define FOR_ROW_CHART(check, ...)                                                                  \
    do {                                                                                           \
        QFETCH(bool, airgun);                                                                      \
        if (airgun)                                                                                \
            check<DynamicChartAirgun>(__VA_ARGS__);                                                \
        else                                                                                       \
            check<DynamicChart>(__VA_ARGS__);                                                      \
    } while (false)

class TestCharts : public QObject
{
    Q_OBJECT

private slots:
    // Must stay first: sees the counters at 0.
    void firstSamplesAndWindow_data() { chartRows(); }
    void firstSamplesAndWindow() { FOR_ROW_CHART(checkFirstSamplesAndWindow); }

    void counterSharedPerClass_data() { chartRows(); }
    void counterSharedPerClass();
    void clearPointsKeepsCounterAndRanges_data() { chartRows(); }
    void clearPointsKeepsCounterAndRanges() { FOR_ROW_CHART(checkClearPoints); }
    void axes_data();
    void axes();

    void rangeSetters_data();
    void rangeSetters();
    void toAxisBound_data();
    void toAxisBound();

private:
    static void chartRows()
    {
        QTest::addColumn<bool>("airgun");
        QTest::newRow("power") << false;
        QTest::newRow("hot air") << true;
    }
};

void TestCharts::counterSharedPerClass()
{
    QFETCH(bool, airgun);
    if (airgun)
        checkCounterShared<DynamicChartAirgun, DynamicChart>();
    else
        checkCounterShared<DynamicChart, DynamicChartAirgun>();
}

void TestCharts::axes_data()
{
    QTest::addColumn<bool>("airgun");
    QTest::addColumn<double>("leftMax");
    QTest::addColumn<double>("rightMax");
    QTest::newRow("power") << false << 1000.0 << 2200.0;
    QTest::newRow("hot air") << true << 600.0 << 160.0;
}

void TestCharts::axes()
{
    QFETCH(double, leftMax);
    QFETCH(double, rightMax);
    FOR_ROW_CHART(checkAxes, leftMax, rightMax);
}

void TestCharts::rangeSetters_data()
{
    QTest::addColumn<QString>("axis");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");

    // Bounds are ordered; equal bounds leave the default range. The power
    // chart takes them as they are, the hot-air chart truncates them toward
    // zero after clamping to the int range (NaN counts as 0).
    QTest::newRow("current reversed") << "current" << 500.0 << 100.0 << 100.0 << 500.0;
    QTest::newRow("voltage fractions") << "voltage" << 0.5 << 12.25 << 0.5 << 12.25;
    QTest::newRow("voltage negative") << "voltage" << 30.0 << -30.0 << -30.0 << 30.0;
    QTest::newRow("current equal") << "current" << 100.0 << 100.0 << 0.0 << 1000.0;
    QTest::newRow("voltage equal") << "voltage" << 0.0 << 0.0 << 0.0 << 2200.0;
    QTest::newRow("temperature truncated") << "temperature" << 300.9 << 100.2 << 100.0 << 300.0;
    QTest::newRow("speed truncated") << "speed" << -10.9 << 99.99 << -10.0 << 99.0;
    QTest::newRow("speed equal") << "speed" << 50.0 << 50.0 << 0.0 << 160.0;
    QTest::newRow("equal after truncation") << "temperature" << 250.2 << 250.9 << 0.0 << 600.0;
    QTest::newRow("clamped above") << "temperature" << 1e12 << -5.0 << -5.0 << double(kIntMax);
    QTest::newRow("clamped to the same") << "speed" << 5e9 << 6e9 << 0.0 << 160.0;
    QTest::newRow("NaN") << "speed" << std::numeric_limits<double>::quiet_NaN() << 40.0 << 0.0
                         << 40.0;
}

void TestCharts::rangeSetters()
{
    QFETCH(QString, axis);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, min);
    QFETCH(double, max);

    DynamicChart power;
    DynamicChartAirgun airgun;
    if (axis == QLatin1String("current"))
        power.setCurrentRange(a, b);
    else if (axis == QLatin1String("voltage"))
        power.setVoltageRange(a, b);
    else if (axis == QLatin1String("temperature"))
        airgun.setTempRange(a, b);
    else
        airgun.setSpeedRange(a, b);

    // The named axis has the new range, stored and applied; every other keeps its default.
    struct Axis
    {
        const char *name;
        QValueAxis *axis;
        double storedMin, storedMax, defaultMax;
    };
    const Axis axes[] = {
        {"current", power.currentAxis(), power.currentMin(), power.currentMax(), 1000},
        {"voltage", power.voltageAxis(), power.voltageMin(), power.voltageMax(), 2200},
        {"temperature", airgun.temperatureAxis(), double(airgun.tempMin()),
         double(airgun.tempMax()), 600},
        {"speed", airgun.speedAxis(), double(airgun.speedMin()), double(airgun.speedMax()), 160},
    };
    for (const Axis &each : axes) {
        const bool named = axis == QLatin1String(each.name);
        const double expectedMin = named ? min : 0.0;
        const double expectedMax = named ? max : each.defaultMax;
        QCOMPARE(each.axis->min(), expectedMin);
        QCOMPARE(each.axis->max(), expectedMax);
        QCOMPARE(each.storedMin, expectedMin);
        QCOMPARE(each.storedMax, expectedMax);
    }
}

void TestCharts::toAxisBound_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("bound");
    QTest::newRow("300.9") << 300.9 << 300;
    QTest::newRow("-300.9") << -300.9 << -300;
    QTest::newRow("-0.99") << -0.99 << 0;
    QTest::newRow("int max") << 2147483647.0 << kIntMax;
    QTest::newRow("int max + 0.9") << 2147483647.9 << kIntMax;
    QTest::newRow("int max + 1") << 2147483648.0 << kIntMax;
    QTest::newRow("int min") << -2147483648.0 << kIntMin;
    QTest::newRow("int min - 0.9") << -2147483648.9 << kIntMin;
    QTest::newRow("int min - 1") << -2147483649.0 << kIntMin;
    QTest::newRow("inf") << kInf << kIntMax;
    QTest::newRow("-inf") << -kInf << kIntMin;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0;
}

void TestCharts::toAxisBound()
{
    QFETCH(double, value);
    QFETCH(int, bound);
    QCOMPARE(DynamicChartAirgun::toAxisBound(value), bound);
}

QTEST_MAIN(TestCharts)
#include "tst_charts.moc"
