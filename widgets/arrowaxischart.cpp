#include "arrowaxischart.h"

#include "axislineitem.h"

#include <QBrush>
#include <QGraphicsPolygonItem>
#include <QGraphicsScene>
#include <QPainter>
#include <QPen>
#include <QPolygonF>

namespace {

const QColor kOrange(255, 165, 0);
const QColor kCyan(0, 255, 255);

QPen axisPen(const QColor &colour)
{
    return QPen(QBrush(colour), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

// The arrow head with its base centre at the origin: 12 px wide, 6 px high.
QPolygonF arrowTriangle()
{
    return QPolygonF({QPointF(-6, 0), QPointF(0, -6), QPointF(6, 0)});
}

} // namespace

ArrowAxisChart::ArrowAxisChart(QWidget *parent) : QtCharts::QChartView(parent) {}

void ArrowAxisChart::initialize()
{
    if (m_chart == nullptr || m_leftLine != nullptr)
        return;

    // QChartView starts with a chart of its own and releases it, without deleting
    // it, when it is given another one.
    QtCharts::QChart *defaultChart = chart();
    setChart(m_chart);
    if (defaultChart != m_chart)
        delete defaultChart;
    setRenderHint(QPainter::Antialiasing);

    connect(m_chart, &QtCharts::QChart::plotAreaChanged, this, &ArrowAxisChart::updateArrows);

    m_leftHead = new QGraphicsPolygonItem();
    m_leftHead->setBrush(QBrush(kOrange, Qt::SolidPattern));
    m_leftHead->setPen(Qt::NoPen);
    m_rightHead = new QGraphicsPolygonItem();
    m_rightHead->setBrush(QBrush(kCyan, Qt::SolidPattern));
    m_rightHead->setPen(Qt::NoPen);
    m_leftLine = new AxisLineItem();
    m_leftLine->setPen(axisPen(kOrange));
    m_rightLine = new AxisLineItem();
    m_rightLine->setPen(axisPen(kCyan));

    scene()->addItem(m_leftLine);
    scene()->addItem(m_rightLine);
    scene()->addItem(m_leftHead);
    scene()->addItem(m_rightHead);

    m_chart->legend()->hide();
    m_chart->setMargins(QMargins(-5, 20, 20, -5));
}

void ArrowAxisChart::updateArrows(const QRectF &plotArea)
{
    Q_UNUSED(plotArea)
    if (m_chart == nullptr || m_leftLine == nullptr)
        return;

    const QRectF area = m_chart->plotArea();
    const QPolygonF head = arrowTriangle();

    m_leftLine->setLine(QLineF(area.left(), area.bottom(), area.left(), area.top() - 6));
    m_leftHead->setPolygon(head.translated(area.left(), area.top() - 6));
    m_rightLine->setLine(QLineF(area.right(), area.bottom(), area.right(), area.top() - 6));
    m_rightHead->setPolygon(head.translated(area.right(), area.top() - 6));
}
