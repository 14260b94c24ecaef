#include "mqttpublisher.h"

#include "mqttsession.h"

namespace {

// How long readings may wait for their batch.
constexpr int batchMs = 25;

} // namespace

MqttPublisher::MqttPublisher(const MqttOptions &options, QObject *parent)
    : QObject(parent), brokerText(options.url.toString()), session(new MqttSession(options)),
      flushTimer(this)
{
    flushTimer.setSingleShot(true);
    connect(&flushTimer, &QTimer::timeout, this, &MqttPublisher::flush);
    qRegisterMetaType<MqttStatus>();
    thread.setObjectName(QStringLiteral("mqtt"));
    session->moveToThread(&thread);
    connect(&thread, &QThread::finished, session, &QObject::deleteLater);
    connect(session, &MqttSession::statusChanged, this, &MqttPublisher::take);
    connect(session, &MqttSession::readingsDropped, this, &MqttPublisher::readingsDropped);
    thread.start();
}

MqttPublisher::~MqttPublisher()
{
    flush();
    QMetaObject::invokeMethod(session, &MqttSession::stop, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}

void MqttPublisher::start()
{
    QMetaObject::invokeMethod(session, &MqttSession::start, Qt::QueuedConnection);
}

void MqttPublisher::stop()
{
    flush();
    QMetaObject::invokeMethod(session, &MqttSession::stop, Qt::QueuedConnection);
}

void MqttPublisher::stopAndWait()
{
    flush();
    MqttStatus last;
    QMetaObject::invokeMethod(
        session, [session = session, &last] { last = session->stopAndReport(); },
        Qt::BlockingQueuedConnection);
    take(last);
}

void MqttPublisher::publish(const QList<Reading> &readings)
{
    if (readings.isEmpty())
        return;
    if (pending.isEmpty())
        pendingAge.start();
    pending += readings;
    if (pendingAge.elapsed() >= batchMs)
        flush();
    else if (!flushTimer.isActive())
        flushTimer.start(batchMs - int(pendingAge.elapsed()));
}

void MqttPublisher::flush()
{
    flushTimer.stop();
    if (pending.isEmpty())
        return;
    QMetaObject::invokeMethod(
        session, [session = session, readings = pending] { session->publish(readings); },
        Qt::QueuedConnection);
    pending.clear();
}

void MqttPublisher::publishAlarm(const Reading &alarm)
{
    flush(); // after the readings that came before it
    QMetaObject::invokeMethod(
        session, [session = session, alarm] { session->publishAlarm(alarm); },
        Qt::QueuedConnection);
}

QString MqttPublisher::statusText() const
{
    QString text;
    switch (current.state) {
    case MqttStatus::Stopped:
        text = QStringLiteral("Not publishing to %1").arg(brokerText);
        break;
    case MqttStatus::Waiting:
        text = QStringLiteral("Waiting for the broker at %1").arg(brokerText);
        if (!current.error.isEmpty())
            text += QStringLiteral(": ") + current.error;
        break;
    case MqttStatus::Connected:
        text = QStringLiteral("Connected to %1").arg(brokerText);
        break;
    }
    if (current.queued > 0)
        text += QStringLiteral(", %1 readings queued").arg(current.queued);
    if (current.dropped > 0)
        text += QStringLiteral(", %1 dropped from the full queue").arg(current.dropped);
    return text;
}

void MqttPublisher::take(const MqttStatus &status)
{
    const bool stateChange = status.state != current.state || status.error != current.error;
    current = status;
    emit statusChanged(current);
    if (stateChange)
        emit stateChanged(current.state, current.error);
}
