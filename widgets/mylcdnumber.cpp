#include "mylcdnumber.h"

#include <QPainter>

namespace {

// Whole pixels, truncated toward zero.
QPoint px(double x, double y)
{
    return QPoint(static_cast<int>(x), static_cast<int>(y));
}

QPolygon polygon(const QVector<QPoint> &points)
{
    return QPolygon(points);
}

QPoint halfway(const QPoint &p, const QPoint &q)
{
    return QPoint((p.x() + q.x()) / 2, (p.y() + q.y()) / 2);
}

} // namespace

myLCDNumber::myLCDNumber(QWidget *parent) : QLCDNumber(parent) {}

myLCDNumber::~myLCDNumber() = default;

int myLCDNumber::segmentIndex(const QString &code)
{
    return MultimeterDisplay::elementIndex(code);
}

void myLCDNumber::setSegments(const QStringList &codes, bool portOpen)
{
    bPortOpen = portOpen;
    QList<int> &target = bPortOpen ? lstOpenSeg : lstClosedSeg;
    target = MultimeterDisplay::elementsOf(codes);
    lstCurSeg = target;
    lstCodes = codes;
    update();
}

QString myLCDNumber::valueText() const
{
    // The same derivation the recordings use, so the two cannot disagree.
    return MultimeterDisplay::valueText(lstCurSeg);
}

QStringList myLCDNumber::segmentCodes() const
{
    return lstCodes;
}

void myLCDNumber::clearClosedSegments()
{
    lstClosedSeg.clear();
}

QVector<QPolygon> myLCDNumber::elementPolygons(const QSize &size)
{
    const int L = size.width() / 6;
    const int t = L / 6;
    const double y0 = size.height() / 4;

    QVector<QPolygon> polygons(ElementCount);
    for (int digit = 0; digit < 4; ++digit) {
        const double x0 = 15 + 40 * digit;
        const double upper = y0 + 0.2 * t; // top of b and f
        const double lower = y0 + 0.4 * t; // top of c and e
        const double bottom = y0 + 0.6 * t + 2 * L;

        const QPolygon a =
            polygon({px(x0 + L, y0), px(x0, y0), px(x0 + t, y0 + t), px(x0 + L - t, y0 + t)});
        const QPolygon b = polygon({px(x0 + L, upper), px(x0 + L, upper + L),
                                    px(x0 + L - t, upper + L - t), px(x0 + L - t, upper + t)});
        const QPolygon c =
            polygon({px(x0 + L, lower + L), px(x0 + L, lower + 2 * L),
                     px(x0 + L - t, lower + 2 * L - t), px(x0 + L - t, lower + L + t)});
        const QPolygon d = polygon({px(x0 + L, bottom), px(x0, bottom), px(x0 + t, bottom - t),
                                    px(x0 + L - t, bottom - t)});
        const QPolygon e = polygon({px(x0, lower + L), px(x0, lower + 2 * L),
                                    px(x0 + t, lower + 2 * L - t), px(x0 + t, lower + L + t)});
        const QPolygon f = polygon(
            {px(x0, upper), px(x0, upper + L), px(x0 + t, upper + L - t), px(x0 + t, upper + t)});

        // The middle bar is a hexagon whose tips sit between the vertical bars
        // above and below it.
        const QPoint leftTip = halfway(halfway(f[1], f[2]), halfway(e[0], e[3]));
        const QPoint rightTip = halfway(halfway(b[1], b[2]), halfway(c[0], c[3]));
        const double innerY = upper + L - t; // inner lower corner of b and f
        const QPoint upperLeft = px(x0 + t + 0.5 * t, innerY + 0.5 * t);
        const QPoint upperRight = px(x0 + L - t - 0.5 * t, innerY + 0.5 * t);
        const QPoint lowerLeft = px(x0 + t + 0.5 * t, innerY + 1.5 * t);
        const QPoint lowerRight = px(x0 + L - t - 0.5 * t, innerY + 1.5 * t);
        const QPolygon g =
            polygon({leftTip, upperLeft, upperRight, rightTip, lowerRight, lowerLeft});

        const QPolygon *segments[7] = {&a, &b, &c, &d, &e, &f, &g};
        for (int s = 0; s < 7; ++s)
            polygons[digit + 4 * s] = *segments[s];

        if (digit > 0) {
            const QPolygon point = polygon({px(x0 - 2 * t, bottom - t), px(x0 - t, bottom - t),
                                            px(x0 - t, bottom), px(x0 - 2 * t, bottom)});
            polygons[PointBeforeDigit1 + 1 - digit] = point;
        }
    }
    // The minus sign is digit 0's middle bar moved one segment to the left.
    polygons[MinusSign] = polygons[24].translated(-(L + t), 0);
    return polygons;
}

void myLCDNumber::paintEvent(QPaintEvent *)
{
    // No background and no frame: the parent shows through the unlit segments.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    drawSegments(painter);
}

void myLCDNumber::drawSegments(QPainter &painter)
{
    // A list received with the port open is drawn once; the closed-port list
    // stays until it is replaced or cleared.
    lstCurSeg = bPortOpen ? lstOpenSeg : lstClosedSeg;

    const QVector<QPolygon> polygons = elementPolygons(size());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(segColor, Qt::SolidPattern));
    for (int index : qAsConst(lstCurSeg)) {
        if (index >= 0 && index < polygons.size())
            painter.drawPolygon(polygons.at(index));
    }

    lstOpenSeg.clear();
    emit sendCurValue(valueText(), segmentCodes());
}
