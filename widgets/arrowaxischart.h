#pragma once

#include <QtCharts/QChart>
#include <QtCharts/QChartView>

class QGraphicsLineItem;
class QGraphicsPolygonItem;

// A chart view that draws the two vertical axes of its chart as coloured lines
// with arrow heads: orange on the left, cyan on the right.
// The creator sets the chart with setArrowChart and then calls initialize once.
class ArrowAxisChart : public QtCharts::QChartView
{
    Q_OBJECT

public:
    explicit ArrowAxisChart(QWidget *parent = nullptr);

    // The chart this view shows; to be set before initialize.
    void setArrowChart(QtCharts::QChart *chart) { m_chart = chart; }
    QtCharts::QChart *arrowChart() const { return m_chart; }

    // Shows the stored chart, creates the arrow items, hides the legend and sets
    // the chart margins to (-5, 20, 20, -5). Does nothing without a chart or
    // when called a second time.
    void initialize();

    // Places the lines and heads along the sides of the chart's current plot area.
    // The argument is ignored: the plot area is read from the chart.
    void updateArrows(const QRectF &plotArea);

    QGraphicsLineItem *leftAxisLine() const { return m_leftLine; }
    QGraphicsLineItem *rightAxisLine() const { return m_rightLine; }
    QGraphicsPolygonItem *leftArrowHead() const { return m_leftHead; }
    QGraphicsPolygonItem *rightArrowHead() const { return m_rightHead; }

private:
    QGraphicsLineItem *m_leftLine = nullptr;
    QGraphicsLineItem *m_rightLine = nullptr;
    QGraphicsPolygonItem *m_leftHead = nullptr;
    QGraphicsPolygonItem *m_rightHead = nullptr;
    QtCharts::QChart *m_chart = nullptr;
};
