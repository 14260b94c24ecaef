#pragma once

#include <QGraphicsLineItem>
#include <QPainterPath>
#include <QPen>

// A line item that strokes its outline once for each line and pen. A plain
// QGraphicsLineItem with a wide pen strokes it anew whenever its bounding rect
// is asked for, and a chart's view asks at every repaint of the plot: at the
// full line rate that was a tenth of the charts' painting.
class AxisLineItem : public QGraphicsLineItem
{
public:
    using QGraphicsLineItem::QGraphicsLineItem;

    QRectF boundingRect() const override;
    QPainterPath shape() const override;

private:
    void strokeIfChanged() const;

    mutable QLineF strokedLine;
    mutable QPen strokedPen;
    mutable QPainterPath strokedShape;
    mutable QRectF strokedBounds;
    mutable bool stroked = false;
};
