#include "dynamicchartairgun.h"

#include <QBrush>
#include <QMargins>
#include <QPainter>
#include <QtGlobal>

#include <cmath>
#include <limits>

using namespace QtCharts;

namespace {

const QColor kOrange(255, 165, 0);
const QColor kCyan(0, 255, 255);
const QColor kBackground(30, 30, 30);
constexpr int kWindow = 30;

void applyAxisRange(QValueAxis *axis, int minimum, int maximum)
{
    axis->setRange(minimum, maximum);
    axis->setTickCount(5);
    axis->setMinorTickCount(1);
    axis->setLabelFormat(QStringLiteral("%.1f"));
}

} // namespace

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
    m_chart->setBackgroundBrush(QBrush(kBackground, Qt::SolidPattern));

    m_tempSeries = new QLineSeries();
    m_speedSeries = new QLineSeries();
    m_tempSeries->setColor(kOrange);
    m_speedSeries->setColor(kCyan);
    m_tempSeries->clear();
    m_speedSeries->clear();

    m_axisX = new QValueAxis();
    m_axisX->setVisible(false);

    m_tempAxis = new QValueAxis();
    m_tempAxis->setLabelsColor(kOrange);
    m_tempAxis->setLinePenColor(kOrange);
    m_speedAxis = new QValueAxis();
    m_speedAxis->setLabelsColor(kCyan);
    m_speedAxis->setLinePenColor(kCyan);

    setTempRange(m_tempMin, m_tempMax);
    setSpeedRange(m_speedMin, m_speedMax);

    m_chart->addSeries(m_tempSeries);
    m_chart->addSeries(m_speedSeries);
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_tempAxis, Qt::AlignLeft);
    m_chart->addAxis(m_speedAxis, Qt::AlignRight);
    m_tempSeries->attachAxis(m_axisX);
    m_tempSeries->attachAxis(m_tempAxis);
    m_speedSeries->attachAxis(m_axisX);
    m_speedSeries->attachAxis(m_speedAxis);

    m_chartView = new QChartView(m_chart, this);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setBackgroundBrush(QBrush(kBackground, Qt::SolidPattern));
    m_chartView->setMinimumSize(300, 220);
    m_chartView->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    m_chart->legend()->hide();
    m_chart->setMargins(QMargins(-5, 10, 20, -5));
}

void DynamicChartAirgun::appendPoints(double temperature, double speed)
{
    const int n = s_sampleCounter;
    m_tempSeries->append(n, temperature);
    m_speedSeries->append(n, speed);
    if (m_tempSeries->count() > kWindow)
        m_tempSeries->remove(0);
    if (m_speedSeries->count() > kWindow)
        m_speedSeries->remove(0);
    m_axisX->setRange(qMax(n - (kWindow - 1), 0), n);
    ++s_sampleCounter;
}

void DynamicChartAirgun::clearPoints()
{
    m_tempSeries->clear();
    m_speedSeries->clear();
}

void DynamicChartAirgun::setTempRange(double a, double b)
{
    const int first = toAxisBound(a);
    const int second = toAxisBound(b);
    if (first == second)
        return;
    m_tempMin = qMin(first, second);
    m_tempMax = qMax(first, second);
    applyAxisRange(m_tempAxis, m_tempMin, m_tempMax);
}

void DynamicChartAirgun::setSpeedRange(double a, double b)
{
    const int first = toAxisBound(a);
    const int second = toAxisBound(b);
    if (first == second)
        return;
    m_speedMin = qMin(first, second);
    m_speedMax = qMax(first, second);
    applyAxisRange(m_speedAxis, m_speedMin, m_speedMax);
}
