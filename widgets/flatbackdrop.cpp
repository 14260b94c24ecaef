#include "flatbackdrop.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

const QColor FlatBackdrop::kDarkPanel(30, 30, 30);

FlatBackdrop::FlatBackdrop(const QColor &panelColour, QObject *parent)
    : QObject(parent), panelColour(panelColour)
{
}

void FlatBackdrop::install(QWidget *widget, const QColor &panelColour)
{
    widget->setAttribute(Qt::WA_OpaquePaintEvent);
    widget->installEventFilter(new FlatBackdrop(panelColour, widget));
}

bool FlatBackdrop::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = static_cast<QWidget *>(watched);
    // Polishing with a style sheet whose corners are round takes the
    // attribute away (the widget is shown, or its style changed, after that).
    if (event->type() == QEvent::Show || event->type() == QEvent::StyleChange)
        widget->setAttribute(Qt::WA_OpaquePaintEvent);
    if (event->type() == QEvent::StyleChange)
        cache = QPixmap();
    if (event->type() != QEvent::Paint)
        return false;
    QPainter painter(widget);
    painter.setClipRegion(static_cast<QPaintEvent *>(event)->region());
    // The copy matches what painting would give only where it lands on whole
    // device pixels (not so at some fractional scale factors).
    const QTransform toDevice = painter.deviceTransform();
    const qreal ratio = widget->devicePixelRatioF();
    const auto whole = [](qreal pixels) { return pixels == qRound(pixels); };
    const bool wholePixels = toDevice.type() <= QTransform::TxScale && toDevice.m11() == ratio &&
                             toDevice.m22() == ratio && whole(toDevice.dx()) &&
                             whole(toDevice.dy()) && whole(widget->width() * ratio) &&
                             whole(widget->height() * ratio);
    QStyleOption option;
    option.initFrom(widget);
    if (!wholePixels) {
        paintBackdrop(&painter, widget, option);
        return false;
    }
    const QSize pixels = widget->size() * ratio;
    if (cache.size() != pixels || cache.devicePixelRatioF() != ratio ||
        cachedPalette != option.palette.cacheKey() || cachedState != option.state) {
        cache = QPixmap(pixels);
        cache.setDevicePixelRatio(ratio);
        QPainter cachePainter(&cache);
        paintBackdrop(&cachePainter, widget, option);
        cachedPalette = option.palette.cacheKey();
        cachedState = option.state;
    }
    painter.drawPixmap(0, 0, cache);
    return false;
}

void FlatBackdrop::paintBackdrop(QPainter *painter, QWidget *widget,
                                 const QStyleOption &option) const
{
    painter->fillRect(widget->rect(), panelColour);
    // Qt leaves out the style sheet's background of an opaque widget: it is
    // drawn here as Qt draws it for the others, before the widget's own paint.
    if (widget->testAttribute(Qt::WA_StyledBackground))
        widget->style()->drawPrimitive(QStyle::PE_Widget, &option, painter, widget);
}
