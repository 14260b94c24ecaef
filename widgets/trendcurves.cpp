#include "trendcurves.h"

#include "displayunits.h"

#include <QWidget>
#include <QtGlobal>

using namespace QtCharts;

const QColor TrendCurves::kFirstColor(255, 165, 0);
const QColor TrendCurves::kSecondColor(0, 255, 255);
const QColor TrendCurves::kBackground(30, 30, 30);

namespace {

// The newest kWindow points of the series followed by the deferred ones.
QVector<QPointF> newestPoints(QLineSeries *series, const QVector<QPointF> &deferred)
{
    QVector<QPointF> points = series->pointsVector() + deferred;
    if (points.size() > TrendCurves::kWindow)
        points.remove(0, points.size() - TrendCurves::kWindow);
    return points;
}

} // namespace

TrendCurves::TrendCurves()
    : firstSeries(new QLineSeries), secondSeries(new QLineSeries), axisX(new QValueAxis),
      firstAxis(new QValueAxis), secondAxis(new QValueAxis)
{
    firstSeries->setColor(kFirstColor);
    secondSeries->setColor(kSecondColor);
    axisX->setVisible(false);
    firstAxis->setLabelsColor(kFirstColor);
    firstAxis->setLinePenColor(kFirstColor);
    secondAxis->setLabelsColor(kSecondColor);
    secondAxis->setLinePenColor(kSecondColor);
}

void TrendCurves::addTo(QChart *chart)
{
    chart->addSeries(firstSeries);
    chart->addSeries(secondSeries);
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(firstAxis, Qt::AlignLeft);
    chart->addAxis(secondAxis, Qt::AlignRight);
    firstSeries->attachAxis(axisX);
    firstSeries->attachAxis(firstAxis);
    secondSeries->attachAxis(axisX);
    secondSeries->attachAxis(secondAxis);
}

void TrendCurves::append(int n, double first, double second)
{
    catchUp();
    // A point at inf or nan would wreck the curve: such a reading counts as 0.
    firstSeries->append(n, DisplayUnits::finiteOrZero(first));
    secondSeries->append(n, DisplayUnits::finiteOrZero(second));
    if (firstSeries->count() > kWindow)
        firstSeries->remove(0);
    if (secondSeries->count() > kWindow)
        secondSeries->remove(0);
    axisX->setRange(qMax(n - (kWindow - 1), 0), n);
}

void TrendCurves::defer(int n, double first, double second)
{
    deferredFirst.append(QPointF(n, DisplayUnits::finiteOrZero(first)));
    deferredSecond.append(QPointF(n, DisplayUnits::finiteOrZero(second)));
    if (deferredFirst.size() > kWindow) {
        deferredFirst.removeFirst();
        deferredSecond.removeFirst();
    }
    deferredLast = n;
}

void TrendCurves::catchUp()
{
    if (deferredLast < 0)
        return;
    const QVector<QPointF> first = newestPoints(firstSeries, deferredFirst);
    const QVector<QPointF> second = newestPoints(secondSeries, deferredSecond);
    // Emptied first: moving the time axis would otherwise lay the old curves
    // out once more, and each layout of a curve strokes its whole outline.
    firstSeries->clear();
    secondSeries->clear();
    axisX->setRange(qMax(deferredLast - (kWindow - 1), 0), deferredLast);
    firstSeries->replace(first);
    secondSeries->replace(second);
    deferredFirst.clear();
    deferredSecond.clear();
    deferredLast = -1;
}

void TrendCurves::appendSoon(QWidget *chart, int n, double first, double second)
{
    defer(n, first, second);
    if (!chart->window()->isVisible()) {
        catchUp();
    } else if (chart->isVisible() && !catchUpPosted) {
        catchUpPosted = true;
        QMetaObject::invokeMethod(
            chart,
            [this] {
                catchUpPosted = false;
                catchUp();
            },
            Qt::QueuedConnection);
    }
}

void TrendCurves::clear()
{
    deferredFirst.clear();
    deferredSecond.clear();
    deferredLast = -1;
    firstSeries->clear();
    secondSeries->clear();
}

void TrendCurves::setScale(QValueAxis *axis, double minimum, double maximum)
{
    axis->setRange(minimum, maximum);
    axis->setTickCount(5);
    axis->setMinorTickCount(1);
    axis->setLabelFormat(QStringLiteral("%.1f"));
}

void TrendCurves::setUpView(QChartView *view)
{
    view->setRenderHint(QPainter::Antialiasing);
    // A moving curve repaints one pixel around it, not two: the painted curve
    // stays inside that, and the axis labels beside the plot stay out of it.
    view->setOptimizationFlag(QGraphicsView::DontAdjustForAntialiasing);
    view->setBackgroundBrush(QBrush(kBackground, Qt::SolidPattern));
    view->setMinimumSize(300, 220);
    view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}
