#include "gaugewidget.h"

#include <QEasingCurve>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

namespace {

// The point at distance r from (x, y) in direction a (degrees, counter-clockwise
// from the right; screen y grows downwards).
QPointF polar(double x, double y, double r, double a)
{
    const double rad = qDegreesToRadians(a);
    return QPointF(x + r * std::cos(rad), y - r * std::sin(rad));
}

} // namespace

GaugeWidget::GaugeWidget(QWidget *parent) : QWidget(parent), animation(this, "angle", this)
{
    animation.setEasingCurve(QEasingCurve::Linear);
    animation.setDuration(200);
    lstStops = {{180, QStringLiteral("OFF"), 0},  {144, QStringLiteral("mV"), 1},
                {108, QString(QChar(0x03A9)), 2}, {72, QStringLiteral("Diode"), 3},
                {36, QStringLiteral("F"), 4},     {0, QStringLiteral("Hz"), 5}};
}

void GaugeWidget::setFunctionType(int type)
{
    if (animation.state() == QAbstractAnimation::Running)
        animation.stop();

    static const double stopAngles[] = {180, 144, 108, 72, 36, 0};
    // The callers never pass anything else; an unknown type is treated as "OFF".
    if (type < 0 || type > 5)
        type = 0;
    dTargetAngle = qBound(0.0, stopAngles[type], 180.0);

    animation.setStartValue(dAngle);
    animation.setEndValue(dTargetAngle);
    animation.start();
}

void GaugeWidget::setFunctionPixmap(QPixmap picture, int index)
{
    if (index < 1 || index > 5)
        return;
    pictures[index] = picture;
    drawing = QPixmap();
    update();
}

void GaugeWidget::setAngle(double angle)
{
    angle = qBound(0.0, angle, 210.0);
    if (qFuzzyCompare(angle, dAngle))
        return;
    dAngle = angle;
    drawing = QPixmap();
    update();
}

void GaugeWidget::resizeEvent(QResizeEvent *event)
{
    drawing = QPixmap();
    QWidget::resizeEvent(event);
}

void GaugeWidget::paintEvent(QPaintEvent *)
{
    // The dial changes only when the pointer moves; the readings beside it
    // repaint it far more often, so it is drawn once into a pixmap.
    QPainter painter(this);
    // The pixmap serves the screen; a printer, a picture or any other device
    // gets the drawing itself.
    if (painter.paintEngine()->type() != QPaintEngine::Raster) {
        drawDial(painter);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    if (drawing.isNull() || drawing.devicePixelRatio() != ratio) {
        drawing = QPixmap(size() * ratio);
        drawing.setDevicePixelRatio(ratio);
        drawing.fill(Qt::transparent);
        QPainter dialPainter(&drawing);
        drawDial(dialPainter);
    }
    painter.drawPixmap(0, 0, drawing);
}

void GaugeWidget::drawDial(QPainter &painter) const
{
    painter.setRenderHint(QPainter::Antialiasing);

    const int w = width();
    const int h = height();
    const int side = qMin(w, h);
    const double cx = w / 2;
    const double cy = h / 1.15;
    const double radius = side * 0.6;

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 30, 30));
    painter.drawRoundedRect(rect(), 10, 10);

    const QPen whitePen(QBrush(Qt::white), 3, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    painter.setPen(whitePen);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(cx - radius, cy - radius, 2 * radius, 2 * radius), 180 * 16, -180 * 16);

    painter.setFont(QFont("Arial", 8, 75, false));
    for (const Stop &stop : qAsConst(lstStops)) {
        const QPointF p = polar(cx, cy, radius + 20, stop.angle);
        if (stop.label == QLatin1String("OFF")) {
            painter.save();
            painter.translate(p);
            painter.setPen(whitePen);
            painter.drawText(QRectF(-30, -10, 60, 20), Qt::AlignCenter, stop.label);
            painter.restore();
        } else if (!pictures[stop.pictureIndex].isNull()) {
            painter.drawPixmap(QRect(int(p.x() - 12), int(p.y() - 10), 24, 24),
                               pictures[stop.pictureIndex]);
        }
    }

    const QColor blue(85, 170, 255);
    painter.setPen(Qt::NoPen);
    painter.setBrush(blue);
    painter.drawEllipse(QPointF(cx, cy), 6, 6);

    const QPointF tip = polar(cx, cy, dPointerLength, dAngle);
    painter.setPen(QPen(QBrush(blue), 2.5, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.drawLine(QPointF(cx, cy), tip);

    const double head = dPointerLength / 150 * 16;
    QPainterPath arrow;
    arrow.moveTo(tip);
    arrow.lineTo(polar(tip.x(), tip.y(), head, dAngle + 150));
    arrow.lineTo(polar(tip.x(), tip.y(), head, dAngle - 150));
    arrow.closeSubpath();
    painter.fillPath(arrow, blue);
}
