#include "dynamicchartairgun.h"

#include <QBrush>
#include <QGraphicsScene>
#include <QMargins>
#include <QPainter>
#include <QtGlobal>

#include <cmath>
#include <limits>

using namespace QtCharts;

int DynamicChartAirgun::s_sampleCounter = 0;

int DynamicChartAirgun::toAxisBound(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    if (value <= lowest)
        return std::numeric_limits<int>::min();
    if (value >= highest)
        return std::numeric_limits<int>::max();
    return static_cast<int>(value); // exact range: truncation toward zero is defined
}

DynamicChartAirgun::DynamicChartAirgun(QWidget *parent) : QWidget(parent)
{
    m_chart = new QChart();
    m_chart->setTheme(QChart::ChartThemeDark);
    m_chart->setBackgroundBrush(QBrush(TrendCurves::kBackground, Qt::SolidPattern));

    setTempRange(m_tempMin, m_tempMax);
    setSpeedRange(m_speedMin, m_speedMax);
    m_curves.addTo(m_chart);

    m_chartView = new QChartView(m_chart, this);
    TrendCurves::setUpView(m_chartView);

    // The curves move at every sample: keeping an index of where every item
    // is costs more than looking through the few items of a chart.
    m_chart->scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
    m_chart->legend()->hide();
    m_chart->setMargins(QMargins(-5, 10, 20, -5));
}

void DynamicChartAirgun::appendPoints(double temperature, double speed)
{
    m_curves.appendSoon(this, s_sampleCounter++, temperature, speed);
}

void DynamicChartAirgun::showEvent(QShowEvent *event)
{
    m_curves.catchUp();
    QWidget::showEvent(event);
}

void DynamicChartAirgun::clearPoints()
{
    m_curves.clear();
}

void DynamicChartAirgun::setTempRange(double a, double b)
{
    const int first = toAxisBound(a);
    const int second = toAxisBound(b);
    if (first == second)
        return;
    m_tempMin = qMin(first, second);
    m_tempMax = qMax(first, second);
    TrendCurves::setScale(m_curves.firstAxis, m_tempMin, m_tempMax);
}

void DynamicChartAirgun::setSpeedRange(double a, double b)
{
    const int first = toAxisBound(a);
    const int second = toAxisBound(b);
    if (first == second)
        return;
    m_speedMin = qMin(first, second);
    m_speedMax = qMax(first, second);
    TrendCurves::setScale(m_curves.secondAxis, m_speedMin, m_speedMax);
}
