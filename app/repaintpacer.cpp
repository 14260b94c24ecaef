#include "repaintpacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <utility>

RepaintPacer::RepaintPacer(QWidget *window, int intervalMs, std::function<bool()> whilePacing)
    : QObject(window), window(window), intervalMs(intervalMs), whilePacing(std::move(whilePacing))
{
    heldRequest.setSingleShot(true);
    heldRequest.setTimerType(Qt::PreciseTimer);
    connect(&heldRequest, &QTimer::timeout, this, &RepaintPacer::releaseHeldRequest);
    window->installEventFilter(this);
}

bool RepaintPacer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window || event->type() != QEvent::UpdateRequest)
        return false;
    const qint64 wait = sincePass.isValid() ? intervalMs - sincePass.elapsed() : 0;
    if (wait > 0 && (heldRequest.isActive() || whilePacing())) {
        // Qt posts no further request for the window until this one has been
        // handled, so the one released later covers everything marked meanwhile.
        if (!heldRequest.isActive())
            heldRequest.start(int(wait));
        return true;
    }
    heldRequest.stop();
    sincePass.restart();
    return false;
}

void RepaintPacer::releaseHeldRequest()
{
    QCoreApplication::postEvent(window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}
