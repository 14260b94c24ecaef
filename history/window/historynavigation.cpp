#include "historynavigation.h"

#include "historyplot.h"

#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>

#include <qwt_scale_div.h>

#include <cmath>

namespace {

// Pixels a press may move and still count as a click; and how near a cursor
// a press picks it up.
const int kClickSlop = 3;
const int kCursorGrip = 5;
// The shortest range a zoom goes down to.
const qint64 kMinimumSpanMs = 1000;

} // namespace

HistoryNavigation::HistoryNavigation(HistoryPlot *plot) : QObject(plot), plot(plot)
{
    plot->canvas()->installEventFilter(this);
    plot->canvas()->setMouseTracking(false);
}

void HistoryNavigation::setCursors(qint64 first, qint64 second)
{
    cursors[0] = first;
    cursors[1] = second;
}

bool HistoryNavigation::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    // Only these: others come also while the plot is being destroyed.
    if (type != QEvent::Wheel && type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return false;
    if (watched != plot->canvas())
        return false;
    const QwtScaleDiv &shown = plot->axisScaleDiv(QwtPlot::xBottom);
    const qint64 fromMs = qint64(shown.lowerBound());
    const qint64 toMs = qint64(shown.upperBound());
    switch (type) {
    case QEvent::Wheel: {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        const double steps = wheel->angleDelta().y() / 120.0;
        if (steps == 0)
            return true;
        const double factor = std::pow(0.8, steps);
        const qint64 pivot = plot->xToTime(wheel->position().x());
        const qint64 span = qMax(kMinimumSpanMs, qint64((toMs - fromMs) * factor));
        const double share = toMs > fromMs ? double(pivot - fromMs) / double(toMs - fromMs) : 0.5;
        const qint64 from = pivot - qint64(share * span);
        emit rangeRequested(from, from + span);
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        pressPos = mouse->pos();
        pressFromMs = fromMs;
        pressToMs = toMs;
        const bool bandButton =
            mouse->button() == Qt::RightButton ||
            (mouse->button() == Qt::LeftButton && (mouse->modifiers() & Qt::ShiftModifier));
        draggedCursor = -1;
        if (bandButton) {
            drag = Drag::Band;
            if (!band)
                band = new QRubberBand(QRubberBand::Rectangle, plot->canvas());
            band->setGeometry(QRect(pressPos, QSize(1, plot->canvas()->height())));
            band->show();
            return true;
        }
        if (mouse->button() != Qt::LeftButton)
            return false;
        for (int i = 0; i < 2; ++i)
            if (cursors[i] >= 0 &&
                std::abs(plot->timeToX(cursors[i]) - pressPos.x()) <= kCursorGrip)
                draggedCursor = i;
        drag = draggedCursor >= 0 ? Drag::Cursor : Drag::Pending;
        return true;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const int dx = mouse->pos().x() - pressPos.x();
        if (drag == Drag::Pending && std::abs(dx) > kClickSlop)
            drag = Drag::Pan;
        if (drag == Drag::Pan) {
            const double msPerPixel =
                double(pressToMs - pressFromMs) / qMax(1, plot->canvas()->width());
            const qint64 shift = qint64(std::llround(dx * msPerPixel));
            emit rangeRequested(pressFromMs - shift, pressToMs - shift);
        } else if (drag == Drag::Cursor) {
            emit cursorDragged(draggedCursor, plot->xToTime(mouse->pos().x()));
        } else if (drag == Drag::Band && band) {
            const int left = qMin(pressPos.x(), mouse->pos().x());
            band->setGeometry(left, 0, std::abs(dx) + 1, plot->canvas()->height());
        }
        return drag != Drag::None;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const Drag ended = drag;
        drag = Drag::None;
        if (ended == Drag::Pending)
            emit clicked(plot->xToTime(mouse->pos().x()));
        if (ended == Drag::Band) {
            band->hide();
            const int dx = mouse->pos().x() - pressPos.x();
            if (std::abs(dx) > kClickSlop) {
                const qint64 a = plot->xToTime(pressPos.x());
                const qint64 b = plot->xToTime(mouse->pos().x());
                const qint64 from = qMin(a, b);
                emit rangeRequested(from, from + qMax(kMinimumSpanMs, std::abs(b - a)));
            }
        }
        return ended != Drag::None;
    }
    default:
        return false;
    }
}
