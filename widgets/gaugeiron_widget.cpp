#include "gaugeiron_widget.h"

#include "valuetextfit.h"

#include <QEasingCurve>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRegion>
#include <QTransform>
#include <QtMath>

#include <cmath>

namespace {

// The point at angle a (degrees, counter-clockwise from the right) and radius r.
QPointF polar(double cx, double cy, double r, double a)
{
    const double rad = qDegreesToRadians(a);
    return QPointF(cx + r * std::cos(rad), cy - r * std::sin(rad));
}

// The longest move of the needle's tip, in pixels, made without a glide.
const double kMaxStepPixels = 2.0;

// Side of the hub's pixmap: the circle of radius 5 with its 2-pixel pen.
const int kHubSize = 14;

} // namespace

GaugeIron_widget::GaugeIron_widget(QWidget *parent)
    : QWidget(parent), animation(this, "angle", this)
{
    animation.setEasingCurve(QEasingCurve::Linear);
    animation.setDuration(200);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GaugeIron_widget::setValue(double value)
{
    // A reading that is not a number has no place on the scale.
    if (!std::isfinite(value))
        return;
    if (animation.state() == QAbstractAnimation::Running)
        animation.stop();

    if (value > dMaximum)
        value = dMaximum;
    if (value <= dMinimum)
        value = dMinimum;
    const bool newText = value != dValue;
    dValue = value;
    dTargetAngle = 180.0 / (dMaximum - dMinimum) * (dValue - dMinimum);
    // The new text goes into the box with the needle's first step; a needle
    // that does not move has to show it now.
    if (newText) {
        if (qFuzzyCompare(dTargetAngle, dAngle))
            update(valueBoxRect());
        else
            bValueBoxDirty = true;
    }

    // Nobody watches a hidden needle glide: it is shown where it would have come to rest.
    if (!isVisible() && window()->isVisible()) {
        dAngle = dPaintedAngle = qBound(0.0, dTargetAngle, 210.0);
        return;
    }

    // A glide of a pixel or two at the tip looks like the jitter it is: the
    // needle steps there at once. Fast readings with a degree of noise would
    // otherwise keep the glide's clock ticking at every refresh.
    if (tipTravel(dAngle, dTargetAngle) <= kMaxStepPixels) {
        setAngle(dTargetAngle);
        return;
    }

    // Starting from the current angle lets a new value continue from wherever
    // the needle is while it is still moving.
    animation.setStartValue(dAngle);
    animation.setEndValue(dTargetAngle);
    if (animation.state() != QAbstractAnimation::Running)
        animation.start();
}

void GaugeIron_widget::setUnit(QString unit)
{
    if (unit == strUnit)
        return;
    strUnit = unit;
    update(valueBoxRect());
}

void GaugeIron_widget::setRange(double a, double b)
{
    if (a == b || !std::isfinite(a) || !std::isfinite(b))
        return;
    dMinimum = qMin(a, b);
    dMaximum = qMax(a, b);
    dialCache = QPixmap();
    update();
}

void GaugeIron_widget::getRangeAndUnit(double &minimum, double &maximum, QString &unit) const
{
    minimum = dMinimum;
    maximum = dMaximum;
    unit = strUnit;
}

void GaugeIron_widget::setAngle(double angle)
{
    angle = qBound(0.0, angle, 210.0);
    if (qFuzzyCompare(angle, dAngle))
        return;
    dAngle = angle;
    // The needle glides at every refresh, mostly by a fraction of a pixel
    // when readings come fast: it is repainted once its tip has moved half a
    // pixel, and where it comes to rest. Only where it was and where it goes
    // are repainted, not the whole scale and what lies over it.
    const bool resting = qFuzzyCompare(angle, qBound(0.0, dTargetAngle, 210.0));
    if (tipTravel(dPaintedAngle, angle) < 0.5 && !resting && !bValueBoxDirty)
        return;
    QRegion changed = QRegion(needleRect(dPaintedAngle)) | needleRect(angle);
    if (bValueBoxDirty)
        changed |= valueBoxRect();
    bValueBoxDirty = false;
    update(changed);
    dPaintedAngle = angle;
}

void GaugeIron_widget::dialGeometry(double &cx, double &cy, int &radius) const
{
    cx = width() / 2;
    cy = height() / 1.15;
    radius = int(qMin(width(), height()) * 0.6);
}

double GaugeIron_widget::tipTravel(double from, double to) const
{
    double cx = 0;
    double cy = 0;
    int radius = 0;
    dialGeometry(cx, cy, radius);
    return qDegreesToRadians(qAbs(to - from)) * radius * 1.18;
}

QRect GaugeIron_widget::needleRect(double angle) const
{
    double cx = 0;
    double cy = 0;
    int radius = 0;
    dialGeometry(cx, cy, radius);
    QTransform placed;
    placed.translate(cx, cy);
    placed.rotate(angle - 90);
    const QPolygonF needle({QPointF(-5, 0), QPointF(0, -radius * 1.18), QPointF(5, 0)});
    // The centre disc and a margin for the antialiased edges.
    return placed.map(needle)
        .boundingRect()
        .toAlignedRect()
        .united(QRect(int(cx) - 6, int(cy) - 6, 13, 13))
        .adjusted(-2, -2, 2, 2);
}

QRect GaugeIron_widget::valueBoxRect() const
{
    double cx = 0;
    double cy = 0;
    int radius = 0;
    dialGeometry(cx, cy, radius);
    return valueBoxFrame(cx, cy, radius).adjusted(-2, -2, 2, 2);
}

void GaugeIron_widget::resizeEvent(QResizeEvent *event)
{
    dialCache = QPixmap();
    boxFramePixmap = QPixmap();
    QWidget::resizeEvent(event);
}

// Background, arc, ticks and their numbers: they change with the size and the
// range only, so they are drawn once into a pixmap.
void GaugeIron_widget::drawDial(QPainter &painter, double cx, double cy, int radius) const
{
    // Square, not rounded: the gauge sits inside its panel, whose background
    // has the same colour, and an opaque gauge spares repainting the panel
    // beneath it at every step of the needle.
    painter.fillRect(rect(), QColor(30, 30, 30));
    painter.setRenderHint(QPainter::Antialiasing);

    const QPen scalePen(QColor(151, 170, 180), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    painter.setPen(scalePen);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRect(int(cx - radius), int(cy - radius), 2 * radius, 2 * radius), 180 * 16,
                    -180 * 16);

    const double span = dMaximum - dMinimum;
    if (!(span > 0))
        return;

    const double majorStep = span / 5;
    const double minorStep = majorStep / 10;
    double v = dMinimum;
    // 51 ticks with an exact step; the cap only guards against a step too small
    // to move v at all, which would never reach the maximum.
    for (int count = 0; count < 100; ++count) {
        if (v > dMaximum)
            v = dMaximum;
        const double a = 180 - (v - dMinimum) * 180 / span;
        const double steps = (v - dMinimum) / majorStep;
        const bool major = std::abs(steps - qRound(steps)) < 1e-6;
        painter.drawLine(polar(cx, cy, radius, a),
                         polar(cx, cy, radius * (major ? 1.18 : 1.08), a));
        if (major) {
            const QPointF p = polar(cx, cy, radius + 30, a);
            painter.drawText(QRectF(p.x() - 24, p.y() - 10, 48, 20), Qt::AlignCenter,
                             QString::number(v, 'g', 6));
        }
        if (!(v < dMaximum))
            break;
        v += minorStep;
        if (v > dMaximum + 1e-6)
            break;
    }
}

void GaugeIron_widget::paintEvent(QPaintEvent *event)
{
    double cx = 0;
    double cy = 0;
    int radius = 0;
    dialGeometry(cx, cy, radius);

    QPainter painter(this);
    // The pixmaps serve the screen; a printer, a picture or any other device
    // gets the drawing itself.
    const bool cached = painter.paintEngine()->type() == QPaintEngine::Raster;
    const qreal ratio = devicePixelRatioF();
    if (!cached) {
        drawDial(painter, cx, cy, radius);
    } else {
        if (dialCache.isNull() || dialCache.devicePixelRatio() != ratio) {
            dialCache = QPixmap(size() * ratio);
            dialCache.setDevicePixelRatio(ratio);
            QPainter dialPainter(&dialCache);
            dialPainter.setFont(font()); // a pixmap's painter starts with the application's
            drawDial(dialPainter, cx, cy, radius);
        }
        painter.drawPixmap(0, 0, dialCache);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    if (!(dMaximum - dMinimum > 0))
        return;
    const QPen scalePen(QColor(151, 170, 180), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);

    // The range may have changed since the last value arrived.
    dValue = qBound(dMinimum, dValue, dMaximum);

    // Most paints are the needle's steps: leave out what they do not touch.
    const bool drawNeedle = event->region().intersects(needleRect(dPaintedAngle));
    const bool drawBox = event->region().intersects(valueBoxRect());

    if (drawNeedle) {
        QPainterPath needle;
        needle.moveTo(-5, 0);
        needle.lineTo(0, -radius * 1.18);
        needle.lineTo(5, 0);
        needle.closeSubpath();
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 120, 215));
        painter.translate(cx, cy);
        painter.rotate(dPaintedAngle - 90);
        painter.drawPath(needle);
        painter.restore();

        // The hub over the needle's foot, drawn once: a stroked circle costs
        // more than the rest of a needle step.
        if (!cached) {
            painter.setBrush(Qt::white);
            painter.setPen(scalePen);
            painter.drawEllipse(QPointF(cx, cy), 5, 5);
        } else if (hubPixmap.isNull() || hubPixmap.devicePixelRatio() != ratio) {
            hubPixmap = QPixmap(QSize(kHubSize, kHubSize) * ratio);
            hubPixmap.setDevicePixelRatio(ratio);
            hubPixmap.fill(Qt::transparent);
            QPainter hubPainter(&hubPixmap);
            hubPainter.setRenderHint(QPainter::Antialiasing);
            hubPainter.setBrush(Qt::white);
            hubPainter.setPen(scalePen);
            hubPainter.drawEllipse(QPointF(kHubSize / 2.0, kHubSize / 2.0), 5, 5);
        }
        if (cached)
            painter.drawPixmap(QPointF(cx - kHubSize / 2.0, cy - kHubSize / 2.0), hubPixmap);
    }
    if (!drawBox)
        return;

    // The box with its text is drawn once per reading into a pixmap, on a copy
    // of the empty box: the needle passes under it in many paints, and the
    // readings change far more often than the box.
    const QString text = QString("%1 %2").arg(QString::number(dValue, 'g', 6), strUnit);
    if (!cached) {
        drawValueBox(painter, cx, cy, radius, text);
        return;
    }
    const QRect area = valueBoxRect();
    if (boxFramePixmap.isNull() || boxFramePixmap.devicePixelRatio() != ratio) {
        boxFramePixmap = QPixmap(area.size() * ratio);
        boxFramePixmap.setDevicePixelRatio(ratio);
        boxFramePixmap.fill(Qt::transparent);
        QPainter framePainter(&boxFramePixmap);
        framePainter.translate(-area.topLeft());
        drawValueBoxFrame(framePainter, cx, cy, radius);
        boxText.clear();
        fittedTexts.clear(); // measured for the old pixmap's pixel ratio
    }
    if (text != boxText) {
        boxText = text;
        boxPixmap = boxFramePixmap; // copied by the painter
        QPainter boxPainter(&boxPixmap);
        boxPainter.translate(-area.topLeft());
        drawValueText(boxPainter, cx, cy, radius, text);
    }
    painter.drawPixmap(area.topLeft(), boxPixmap);
}

QRect GaugeIron_widget::valueBoxFrame(double cx, double cy, int radius)
{
    const int top = int(int(cy) - radius * 0.2);
    return QRect(int(cx) - 55, top, 110, 30);
}

void GaugeIron_widget::drawValueBox(QPainter &painter, double cx, double cy, int radius,
                                    const QString &text) const
{
    drawValueBoxFrame(painter, cx, cy, radius);
    drawValueText(painter, cx, cy, radius, text);
}

void GaugeIron_widget::drawValueBoxFrame(QPainter &painter, double cx, double cy, int radius) const
{
    const QPen scalePen(QColor(151, 170, 180), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(scalePen);
    painter.setBrush(QColor(255, 165, 0));
    painter.drawRoundedRect(valueBoxFrame(cx, cy, radius), 10, 10);
}

void GaugeIron_widget::drawValueText(QPainter &painter, double cx, double cy, int radius,
                                     const QString &text) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect box = valueBoxFrame(cx, cy, radius);
    // The digit font's ink rises above its ascent, so centring its line height
    // in a text rectangle (clipped to it) cut the top bars off: centre the ink
    // in the box instead, inside the border and clear of the round ends.
    QFont font("DSEG7 Classic", 18, 75, false);
    QRectF extent;
    const bool intoBoxPixmap = painter.device() == &boxPixmap;
    const auto fitted = intoBoxPixmap ? fittedTexts.constFind(text) : fittedTexts.constEnd();
    if (fitted != fittedTexts.constEnd()) {
        font.setPointSizeF(fitted->pointSize);
        extent = fitted->extent;
    } else {
        extent = ValueTextFit::fitFont(font, painter.device(), text,
                                       QSizeF(box.width() - 10, box.height() - 2));
        // Readings repeat: a few hundred texts cover a long session.
        if (intoBoxPixmap) {
            if (fittedTexts.size() >= 512)
                fittedTexts.clear();
            fittedTexts.insert(text, {font.pointSizeF(), extent});
        }
    }
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(box).center() - extent.center(), text);
}
