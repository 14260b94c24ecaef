#include "unitlabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace {

// Whether the text's ink, centred in `in`, lies inside `room`. The ink is
// measured, not the advance: a glyph may reach past its advance.
bool inkInside(const QFont &font, const QString &text, const QRect &in, const QRect &room)
{
    const QFontMetricsF metrics(font);
    const qreal left = in.left() + (in.width() - metrics.horizontalAdvance(text)) / 2;
    const QRectF ink = metrics.tightBoundingRect(text).translated(left, 0);
    // One pixel spare for the rounding of the text's position and antialiasing.
    return ink.left() >= room.left() + 1 && ink.right() <= room.right();
}

} // namespace

UnitLabel::UnitLabel(QWidget *parent) : QLabel(parent) {}

void UnitLabel::setLeftClearance(int pixels)
{
    nLeftClearance = pixels;
    update();
}

QRect UnitLabel::inkRoom() const
{
    return contentsRect().adjusted(nLeftClearance, 0, 0, 0);
}

UnitLabel::Placement UnitLabel::placement(const QString &text) const
{
    const QRect whole = contentsRect();
    const QRect room = inkRoom();
    QFont fitted = font();
    if (text.isEmpty() || inkInside(fitted, text, whole, room))
        return {fitted, whole};
    qreal size = fitted.pointSizeF();
    while (!inkInside(fitted, text, room, room) && size > kMinPointSize) {
        size = qMax(kMinPointSize, size - 0.5);
        fitted.setPointSizeF(size);
    }
    return {fitted, room};
}

void UnitLabel::paintEvent(QPaintEvent *event)
{
    const Placement where = placement(text());
    if (where.rect == contentsRect() && where.font == font()) {
        QLabel::paintEvent(event); // as every other label
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    painter.setFont(where.font);
    QStyleOption option;
    option.initFrom(this);
    style()->drawItemText(&painter, where.rect,
                          int(QStyle::visualAlignment(layoutDirection(), alignment())),
                          option.palette, isEnabled(), text(), foregroundRole());
}
