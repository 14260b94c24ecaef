#pragma once

#include <QMetaType>
#include <QString>

// What a publisher can tell its user: whether the broker has its readings.
struct MqttStatus
{
    enum State
    {
        Stopped,
        Waiting,
        Connected
    };

    State state = Stopped;
    // Why the broker is not reached, in plain words; empty while connected.
    QString error;
    // Messages waiting for the broker's acknowledgement.
    int queued = 0;
    // Messages dropped since start because the queue was full.
    qint64 dropped = 0;
};

Q_DECLARE_METATYPE(MqttStatus)
