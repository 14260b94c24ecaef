#include "brokersubscriber.h"

#include <QMutexLocker>

#include <mosquitto.h>

BrokerSubscriber::BrokerSubscriber(int port, bool persistent)
{
    mosquitto_lib_init();
    client = mosquitto_new(persistent ? "korvanta-test-subscriber" : nullptr, !persistent, this);
    mosquitto_connect_callback_set(client, &BrokerSubscriber::onConnect);
    mosquitto_subscribe_callback_set(client, &BrokerSubscriber::onSubscribe);
    mosquitto_message_callback_set(client, &BrokerSubscriber::onMessage);
    mosquitto_reconnect_delay_set(client, 1, 1, false);
    mosquitto_connect_async(client, "127.0.0.1", port, 30);
    mosquitto_loop_start(client);
}

BrokerSubscriber::~BrokerSubscriber()
{
    mosquitto_disconnect(client);
    mosquitto_loop_stop(client, false);
    mosquitto_destroy(client);
}

bool BrokerSubscriber::isSubscribed() const
{
    QMutexLocker lock(&mutex);
    return subscribed;
}

QList<BrokerSubscriber::Message> BrokerSubscriber::messages() const
{
    QMutexLocker lock(&mutex);
    return received;
}

QList<BrokerSubscriber::Message> BrokerSubscriber::on(const QByteArray &topic) const
{
    QList<Message> found;
    for (const Message &message : messages()) {
        if (message.topic == topic)
            found.append(message);
    }
    return found;
}

QByteArray BrokerSubscriber::last(const QByteArray &topic) const
{
    const QList<Message> found = on(topic);
    return found.isEmpty() ? QByteArray() : found.last().payload;
}

void BrokerSubscriber::publish(const QByteArray &topic, const QByteArray &payload)
{
    mosquitto_publish(client, nullptr, topic.constData(), payload.size(), payload.constData(), 1,
                      false);
}

void BrokerSubscriber::onConnect(mosquitto *client, void *, int rc)
{
    if (rc == 0)
        mosquitto_subscribe(client, nullptr, "#", 1);
}

void BrokerSubscriber::onSubscribe(mosquitto *, void *self, int, int, const int *)
{
    auto *subscriber = static_cast<BrokerSubscriber *>(self);
    QMutexLocker lock(&subscriber->mutex);
    subscriber->subscribed = true;
}

void BrokerSubscriber::onMessage(mosquitto *, void *self, const mosquitto_message *message)
{
    auto *subscriber = static_cast<BrokerSubscriber *>(self);
    QMutexLocker lock(&subscriber->mutex);
    subscriber->received.append(
        {message->topic,
         QByteArray(static_cast<const char *>(message->payload), message->payloadlen),
         message->retain});
}
