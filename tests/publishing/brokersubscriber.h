#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QMutex>

#include <atomic>

struct mosquitto;

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

    bool isSubscribed() const { return subscribed; }
    QList<Message> messages() const;
    QList<Message> on(const QByteArray &topic) const;
    QByteArray last(const QByteArray &topic) const;
    void publish(const QByteArray &topic, const QByteArray &payload);

    // The readings of a bench, each once (QoS 1 may repeat one) in the order
    // they came, as key(); one on another topic than its own is "wrong topic …".
    QList<QByteArray> readings(const QByteArray &bench) const;
    // A JSON row without elapsed_s, which counts from the recording's or the
    // publisher's start: the same reading compares equal in both.
    static QByteArray key(const QByteArray &json);
    static QJsonObject json(const QByteArray &payload);

private:
    mosquitto *client;
    mutable QMutex mutex;
    std::atomic<bool> subscribed{false};
    QList<Message> received;
};
