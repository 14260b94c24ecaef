#pragma once

#include "mqttoptions.h"
#include "mqttstatus.h"
#include "reading.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QThread>
#include <QTimer>

class MqttSession;

// Publishes readings to an MQTT broker, QoS 1, on
// <prefix>/<bench>/<instrument>/<quantity> as the JSON objects of a JSON Lines
// recording; alarms on <prefix>/<bench>/alarm; a retained
// <prefix>/<bench>/status, "online" while connected and "offline" as the last
// will and on stop. Nothing here waits for the network: the connection runs
// in a thread of its own, and readings wait in a bounded queue while the
// broker is away.
class MqttPublisher : public QObject
{
    Q_OBJECT

public:
    explicit MqttPublisher(const MqttOptions &options, QObject *parent = nullptr);
    // Stops cleanly, waiting at most a few seconds for the broker.
    ~MqttPublisher() override;

    void start();
    void stop();
    // Delivers what is queued within a few seconds, publishes "offline" and
    // returns when the session has stopped; status() is its last one then.
    void stopAndWait();

    const MqttStatus &status() const { return current; }
    MqttStatus::State state() const { return current.state; }
    // "Connected to mqtt://host:1883", "Waiting for the broker at …: not
    // authorised…", with the queued messages when there are any.
    QString statusText() const;

public slots:
    void publish(const QList<Reading> &readings);
    // A reading whose quantity is "alarm".
    void publishAlarm(const Reading &alarm);

signals:
    void statusChanged(const MqttStatus &status);
    void stateChanged(MqttStatus::State state, const QString &error);
    // Messages the full queue dropped while the broker was away, once it is back.
    void readingsDropped(qint64 count);

private:
    void take(const MqttStatus &status);
    // Hands the readings gathered so far to the session's thread in one go.
    void flush();

    const QString brokerText;
    QThread thread;
    MqttSession *session;
    MqttStatus current;
    // Frames come every few milliseconds at full rate: handing them over in
    // batches wakes the session's thread, and the network, less often.
    QList<Reading> pending;
    QElapsedTimer pendingAge;
    QTimer flushTimer;
};
