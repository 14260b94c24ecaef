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

    // Why the broker is not reached. Refused and Tls do not mend themselves
    // by waiting: the user name, password, certificate or CA file is wrong.
    enum Problem
    {
        NoProblem,
        Unreachable,
        Refused,
        Tls
    };

    State state = Stopped;
    Problem problem = NoProblem;
    // Why the broker is not reached, in plain words; empty while connected.
    QString error;
    // Messages waiting for the broker's acknowledgement.
    int queued = 0;
    // Messages dropped since start because the queue was full.
    qint64 dropped = 0;
    // Messages the broker has acknowledged since start.
    qint64 published = 0;
};

Q_DECLARE_METATYPE(MqttStatus)
