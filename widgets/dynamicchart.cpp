#include "dynamicchart.h"

#include "arrowaxischart.h"
#include "trendcurves.h"

#include <QBrush>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QPainter>
#include <QtGlobal>

using namespace QtCharts;

int DynamicChart::s_sampleCounter = 0;

DynamicChart::DynamicChart(QWidget *parent) : QWidget(parent)
{
    m_chart = new QChart();
    m_chart->setTheme(QChart::ChartThemeDark);
    m_chart->setBackgroundBrush(QBrush(TrendCurves::kBackground, Qt::SolidPattern));

    setCurrentRange(m_currentMin, m_currentMax);
    setVoltageRange(m_voltageMin, m_voltageMax);
    m_curves.addTo(m_chart);

    m_chartView = new ArrowAxisChart(this);
    m_chartView->setArrowChart(m_chart);
    m_chartView->initialize();
    TrendCurves::setUpView(m_chartView);

    // The curves move at every sample: keeping an index of where every item
    // is costs more than looking through the few items of a chart.
    m_chart->scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
    m_currentCaption = new QGraphicsTextItem();
    m_voltageCaption = new QGraphicsTextItem();
    m_currentCaption->setHtml(QStringLiteral("<span style='color: #ffa500;'>mA</span>"));
    m_voltageCaption->setHtml(QStringLiteral("<span style='color: #00ffff;'>V</span>"));
    // Rich text is laid out at every paint; the captions change only with the units.
    m_currentCaption->setCacheMode(QGraphicsItem::DeviceCoordinateCache);
    m_voltageCaption->setCacheMode(QGraphicsItem::DeviceCoordinateCache);
    m_chart->scene()->addItem(m_currentCaption);
    m_chart->scene()->addItem(m_voltageCaption);
    updateUnitLabelsPosition();
    connect(m_chart, &QChart::plotAreaChanged, this, &DynamicChart::updateUnitLabelsPosition);
    setUnitLabels(QStringLiteral("mA"), QStringLiteral("mV"));
}

void DynamicChart::appendPoints(double current, double voltage)
{
    m_curves.appendSoon(this, s_sampleCounter++, current, voltage);
}

void DynamicChart::showEvent(QShowEvent *event)
{
    m_curves.catchUp();
    QWidget::showEvent(event);
}

void DynamicChart::clearPoints()
{
    m_curves.clear();
}

void DynamicChart::setCurrentRange(double a, double b)
{
    if (a == b)
        return;
    m_currentMin = qMin(a, b);
    m_currentMax = qMax(a, b);
    TrendCurves::setScale(m_curves.firstAxis, m_currentMin, m_currentMax);
}

void DynamicChart::setVoltageRange(double a, double b)
{
    if (a == b)
        return;
    m_voltageMin = qMin(a, b);
    m_voltageMax = qMax(a, b);
    TrendCurves::setScale(m_curves.secondAxis, m_voltageMin, m_voltageMax);
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
