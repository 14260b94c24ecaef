// Samples kept aside for a hidden chart and put on at once end as appending
// each of them would have left the curves and the time axis.
#include "trendcurves.h"

#include <QtTest>

#include <cmath>

using namespace QtCharts;

class TestTrendCurves : public QObject
{
    Q_OBJECT

private slots:
    void catchUpEqualsAppending_data();
    void catchUpEqualsAppending();
    void clearDropsWhatWaits();
};

void TestTrendCurves::catchUpEqualsAppending_data()
{
    QTest::addColumn<int>("shown");    // samples appended while on screen
    QTest::addColumn<int>("deferred"); // then kept aside
    QTest::newRow("a few on an empty chart") << 0 << 5;
    QTest::newRow("more than the window on an empty chart") << 0 << 45;
    QTest::newRow("some added to some") << 10 << 15;
    QTest::newRow("pushing older ones out") << 28 << 3;
    QTest::newRow("replacing a full window") << 30 << 31;
}

void TestTrendCurves::catchUpEqualsAppending()
{
    QFETCH(int, shown);
    QFETCH(int, deferred);
    TrendCurves appended;
    TrendCurves caughtUp;
    QChart appendedChart; // own the series and axes
    QChart caughtUpChart;
    appended.addTo(&appendedChart);
    caughtUp.addTo(&caughtUpChart);
    int n = 100;
    const auto sample = [](int n) { return std::sin(n) * 10; };
    for (int i = 0; i < shown; ++i, ++n) {
        appended.append(n, sample(n), -n);
        caughtUp.append(n, sample(n), -n);
    }
    for (int i = 0; i < deferred; ++i, ++n) {
        appended.append(n, sample(n), i % 7 ? -n : qQNaN()); // NaN is drawn as 0
        caughtUp.defer(n, sample(n), i % 7 ? -n : qQNaN());
    }
    QCOMPARE(caughtUp.firstSeries->count(), shown); // nothing drawn before
    caughtUp.catchUp();
    QCOMPARE(caughtUp.firstSeries->pointsVector(), appended.firstSeries->pointsVector());
    QCOMPARE(caughtUp.secondSeries->pointsVector(), appended.secondSeries->pointsVector());
    QCOMPARE(caughtUp.axisX->min(), appended.axisX->min());
    QCOMPARE(caughtUp.axisX->max(), appended.axisX->max());

    // Nothing waits any more: a second catch-up changes nothing.
    caughtUp.append(n, 1, 2);
    appended.append(n, 1, 2);
    caughtUp.catchUp();
    QCOMPARE(caughtUp.firstSeries->pointsVector(), appended.firstSeries->pointsVector());
}

void TestTrendCurves::clearDropsWhatWaits()
{
    TrendCurves curves;
    QChart chart;
    curves.addTo(&chart);
    curves.append(1, 1, 1);
    curves.defer(2, 2, 2);
    curves.clear();
    curves.catchUp();
    QCOMPARE(curves.firstSeries->count(), 0);
    QCOMPARE(curves.secondSeries->count(), 0);
    // Kept aside after the clear: only those.
    curves.defer(3, 3, 3);
    curves.catchUp();
    QCOMPARE(curves.firstSeries->pointsVector(), QVector<QPointF>{QPointF(3, 3)});
}

QTEST_MAIN(TestTrendCurves)
#include "tst_trendcurves.moc"
