#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>

struct mosquitto;
struct mosquitto_message;

// Subscribes to every topic of a test broker on libmosquitto's own thread and
// keeps what arrives.
class BrokerSubscriber
{
public:
    struct Message
    {
        QByteArray topic;
        QByteArray payload;
        bool retained;
    };

    // A persistent subscriber keeps its session, and the messages queued for
    // it, across its own reconnections and a restart of a persistent broker.
    explicit BrokerSubscriber(int port, bool persistent = false);
    ~BrokerSubscriber();

    bool isSubscribed() const;
    QList<Message> messages() const;
    QList<Message> on(const QByteArray &topic) const;
    QByteArray last(const QByteArray &topic) const;
    void publish(const QByteArray &topic, const QByteArray &payload);

private:
    static void onConnect(mosquitto *, void *self, int rc);
    static void onSubscribe(mosquitto *, void *self, int, int, const int *);
    static void onMessage(mosquitto *, void *self, const mosquitto_message *message);

    mosquitto *client;
    mutable QMutex mutex;
    bool subscribed = false;
    QList<Message> received;
};
