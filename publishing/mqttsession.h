#pragma once

#include "mqttoptions.h"
#include "mqttstatus.h"
#include "reading.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <deque>

struct mosquitto;
struct mosquitto_message;

// The publisher's connection, in a thread of its own: it drives libmosquitto's
// network loop from a timer, so a slow broker or a name lookup never holds up
// the thread that decodes frames. Its queue, not libmosquitto's, keeps every
// message until the broker has acknowledged it: each connection is a new
// libmosquitto client, and what was not acknowledged goes again, in order.
class MqttSession : public QObject
{
    Q_OBJECT

public:
    explicit MqttSession(const MqttOptions &options);
    ~MqttSession() override;

    // Messages the client holds unacknowledged at a time.
    static constexpr int window = 50;
    // How long a stop delivers what is queued before it says "offline".
    static constexpr int drainMs = 3000;

    // stop(), and the status after it, for a caller on another thread.
    MqttStatus stopAndReport();

public slots:
    void start();
    void publish(const QList<Reading> &readings);
    void publishAlarm(const Reading &alarm);
    // Delivers what is queued for up to drainMs, then publishes "offline",
    // waits up to two seconds for the broker to take it, and disconnects.
    // What is still queued goes on a later start.
    void stop();

signals:
    void statusChanged(const MqttStatus &status);
    // Messages dropped from the full queue while the broker was away, told
    // once it is back.
    void readingsDropped(qint64 count);

private:
    struct Message
    {
        QByteArray topic;
        QByteArray payload;
        bool retain = false;
        int mid = 0; // libmosquitto's id while it is in flight
        bool acked = false;
    };

    void connectToBroker();
    void closeClient();
    void lose(const QString &error, MqttStatus::Problem problem = MqttStatus::Unreachable);
    void poll();
    void send();
    void enqueue(const QByteArray &topic, const QByteArray &payload, bool retain);
    void enqueueDiscovery(const Reading &reading);
    void report();
    void setState(MqttStatus::State state, const QString &error,
                  MqttStatus::Problem problem = MqttStatus::NoProblem);
    QString describe(int rc, int error) const;

    static void onConnect(mosquitto *, void *self, int rc);
    static void onPublish(mosquitto *, void *self, int mid);
    static void onMessage(mosquitto *, void *self, const mosquitto_message *message);
    static void onLog(mosquitto *, void *self, int level, const char *text);

    const MqttOptions options;
    mosquitto *client = nullptr;
    bool running = false;
    bool connected = false;
    std::deque<Message> queue;
    size_t sent = 0; // messages at the queue's front handed to this connection
    int inflight = 0;
    qint64 dropped = 0;
    qint64 droppedUnreported = 0;
    qint64 published = 0;
    QSet<QByteArray> discovered; // config topics sent
    QList<QPair<QByteArray, QByteArray>>
        configs;      // and their payloads, for a restarted Home Assistant
    QString refusal;  // the broker's answer to the last CONNECT, when it said no
    QString tlsError; // OpenSSL's last complaint
    int offlineMid = -1;
    bool offlineAcked = false;
    int retryDelayMs = 1000;
    QTimer loopTimer;
    QTimer retryTimer;
    QTimer reportTimer;
    QElapsedTimer clock;
    MqttStatus status;
};
