#include "portreadpacer.h"

#include <QSerialPort>
#include <QSocketNotifier>

namespace {

// The notifier that wakes the port for incoming characters: QSerialPort keeps
// it as a child while the port is open, where reading is notifier-driven.
// Without one the port is simply read as the system delivers.
QSocketNotifier *readNotifierOf(QSerialPort *port)
{
    const auto notifiers =
        port->findChildren<QSocketNotifier *>(QString(), Qt::FindDirectChildrenOnly);
    for (QSocketNotifier *notifier : notifiers) {
        if (notifier->type() == QSocketNotifier::Read)
            return notifier;
    }
    return nullptr;
}

} // namespace

PortReadPacer::PortReadPacer(QSerialPort *port, int intervalMs, QObject *parent)
    : QObject(parent), port(port), intervalMs(intervalMs)
{
    resumeTimer.setSingleShot(true);
    resumeTimer.setTimerType(Qt::PreciseTimer);
    resumeTimer.setInterval(intervalMs);
    connect(&resumeTimer, &QTimer::timeout, this, &PortReadPacer::resume);
}

void PortReadPacer::chunkRead()
{
    streamed = sinceLastRead.isValid() && sinceLastRead.elapsed() < 2 * intervalMs;
    sinceLastRead.start();
    if (!streamed || !port->isOpen())
        return;
    QSocketNotifier *notifier = readNotifierOf(port);
    if (!notifier)
        return;
    // Every read of the port switches its notifier on again: it rests from here.
    notifier->setEnabled(false);
    restingNotifier = notifier;
    resumeTimer.start();
}

bool PortReadPacer::isResting() const
{
    return restingNotifier && !restingNotifier->isEnabled();
}

bool PortReadPacer::isStreaming() const
{
    return streamed && sinceLastRead.elapsed() < 2 * intervalMs && port->isOpen();
}

void PortReadPacer::resume()
{
    // A port closed meanwhile took its notifier with it; one opened since has
    // a new one, which never rested.
    if (restingNotifier && port->isOpen())
        restingNotifier->setEnabled(true);
    restingNotifier.clear();
}
