#include "alarmframe.h"

#include <QEvent>
#include <QPainter>

const QColor AlarmFrame::kColour(0xe0, 0x20, 0x20);

AlarmFrame::AlarmFrame(QWidget *panel) : QWidget(panel)
{
    setObjectName(QStringLiteral("alarmFrame"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(panel->rect());
    panel->installEventFilter(this);
}

void AlarmFrame::setShown(QWidget *panel, bool shown)
{
    AlarmFrame *frame = of(panel);
    if (!frame) {
        if (!shown)
            return;
        frame = new AlarmFrame(panel);
    }
    if (shown)
        frame->raise();
    frame->setVisible(shown);
}

AlarmFrame *AlarmFrame::of(const QWidget *panel)
{
    return panel->findChild<AlarmFrame *>(QStringLiteral("alarmFrame"), Qt::FindDirectChildrenOnly);
}

bool AlarmFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

void AlarmFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kColour, kPenWidth));
    painter.setBrush(Qt::NoBrush);
    // Inside the panel's own 10-pixel corners.
    const qreal inset = kPenWidth / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 10, 10);
}
