#include "mqttpublisher.h"

#include "mqttsession.h"

MqttPublisher::MqttPublisher(const MqttOptions &options, QObject *parent)
    : QObject(parent), brokerText(options.url.toString()), session(new MqttSession(options))
{
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
    QMetaObject::invokeMethod(session, &MqttSession::stop, Qt::QueuedConnection);
}

void MqttPublisher::stopAndWait()
{
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
    QMetaObject::invokeMethod(
        session, [session = session, readings] { session->publish(readings); },
        Qt::QueuedConnection);
}

void MqttPublisher::publishAlarm(const Reading &alarm)
{
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
