#include "axislineitem.h"

QRectF AxisLineItem::boundingRect() const
{
    strokeIfChanged();
    return strokedBounds;
}

QPainterPath AxisLineItem::shape() const
{
    strokeIfChanged();
    return strokedShape;
}

void AxisLineItem::strokeIfChanged() const
{
    const QLineF currentLine = line();
    const QPen currentPen = pen();
    if (stroked && currentLine == strokedLine && currentPen == strokedPen)
        return;
    strokedShape = QGraphicsLineItem::shape();
    strokedBounds = currentPen.widthF() == 0 ? QGraphicsLineItem::boundingRect()
                                             : strokedShape.controlPointRect();
    strokedLine = currentLine;
    strokedPen = currentPen;
    stroked = true;
}
