#include "dynamicchart.h"

#include "arrowaxischart.h"

#include <QBrush>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QPainter>
#include <QtGlobal>

using namespace QtCharts;

namespace {

const QColor kOrange(255, 165, 0);
const QColor kCyan(0, 255, 255);
const QColor kBackground(30, 30, 30);
constexpr int kWindow = 30;

void applyAxisRange(QValueAxis *axis, double minimum, double maximum)
{
    axis->setRange(minimum, maximum);
    axis->setTickCount(5);
    axis->setMinorTickCount(1);
    axis->setLabelFormat(QStringLiteral("%.1f"));
}

} // namespace

int DynamicChart::s_sampleCounter = 0;

DynamicChart::DynamicChart(QWidget *parent) : QWidget(parent)
{
    m_chart = new QChart();
    m_chart->setTheme(QChart::ChartThemeDark);
    m_chart->setBackgroundBrush(QBrush(kBackground, Qt::SolidPattern));

    m_currentSeries = new QLineSeries();
    m_voltageSeries = new QLineSeries();
    m_currentSeries->setColor(kOrange);
    m_voltageSeries->setColor(kCyan);
    m_currentSeries->clear();
    m_voltageSeries->clear();

    m_axisX = new QValueAxis();
    m_axisX->setVisible(false);

    m_currentAxis = new QValueAxis();
    m_currentAxis->setLabelsColor(kOrange);
    m_currentAxis->setLinePenColor(kOrange);
    m_voltageAxis = new QValueAxis();
    m_voltageAxis->setLabelsColor(kCyan);
    m_voltageAxis->setLinePenColor(kCyan);

    setCurrentRange(m_currentMin, m_currentMax);
    setVoltageRange(m_voltageMin, m_voltageMax);

    m_chart->addSeries(m_currentSeries);
    m_chart->addSeries(m_voltageSeries);
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_currentAxis, Qt::AlignLeft);
    m_chart->addAxis(m_voltageAxis, Qt::AlignRight);
    m_currentSeries->attachAxis(m_axisX);
    m_currentSeries->attachAxis(m_currentAxis);
    m_voltageSeries->attachAxis(m_axisX);
    m_voltageSeries->attachAxis(m_voltageAxis);

    m_chartView = new ArrowAxisChart(this);
    m_chartView->setArrowChart(m_chart);
    m_chartView->initialize();
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setBackgroundBrush(QBrush(kBackground, Qt::SolidPattern));
    m_chartView->setMinimumSize(300, 220);
    m_chartView->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    m_currentCaption = new QGraphicsTextItem();
    m_voltageCaption = new QGraphicsTextItem();
    m_currentCaption->setHtml(QStringLiteral("<span style='color: #ffa500;'>mA</span>"));
    m_voltageCaption->setHtml(QStringLiteral("<span style='color: #00ffff;'>V</span>"));
    m_chart->scene()->addItem(m_currentCaption);
    m_chart->scene()->addItem(m_voltageCaption);
    updateUnitLabelsPosition();
    connect(m_chart, &QChart::plotAreaChanged, this, &DynamicChart::updateUnitLabelsPosition);
    setUnitLabels(QStringLiteral("mA"), QStringLiteral("mV"));
}

void DynamicChart::appendPoints(double current, double voltage)
{
    const int n = s_sampleCounter;
    m_currentSeries->append(n, current);
    m_voltageSeries->append(n, voltage);
    if (m_currentSeries->count() > kWindow)
        m_currentSeries->remove(0);
    if (m_voltageSeries->count() > kWindow)
        m_voltageSeries->remove(0);
    m_axisX->setRange(qMax(n - (kWindow - 1), 0), n);
    ++s_sampleCounter;
}

void DynamicChart::clearPoints()
{
    m_currentSeries->clear();
    m_voltageSeries->clear();
}

void DynamicChart::setCurrentRange(double a, double b)
{
    if (a == b)
        return;
    m_currentMin = qMin(a, b);
    m_currentMax = qMax(a, b);
    applyAxisRange(m_currentAxis, m_currentMin, m_currentMax);
}

void DynamicChart::setVoltageRange(double a, double b)
{
    if (a == b)
        return;
    m_voltageMin = qMin(a, b);
    m_voltageMax = qMax(a, b);
    applyAxisRange(m_voltageAxis, m_voltageMin, m_voltageMax);
}

void DynamicChart::setUnitLabels(const QString &currentUnit, const QString &voltageUnit)
{
    m_currentCaption->setHtml(
        QStringLiteral("<span style='color: #ffa500;'>%1</span>").arg(currentUnit));
    m_voltageCaption->setHtml(
        QStringLiteral("<span style='color: #00ffff;'>%1</span>").arg(voltageUnit));
    updateUnitLabelsPosition();
}

void DynamicChart::updateUnitLabelsPosition()
{
    const QRectF area = m_chart->plotArea();
    m_currentCaption->setPos(area.left() - 10, area.top() - 40);
    m_voltageCaption->setPos(area.right(), area.top() - 40);
}
