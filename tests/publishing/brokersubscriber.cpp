#include "brokersubscriber.h"

#include <QJsonDocument>
#include <QMutexLocker>
#include <QSet>

#include <mosquitto.h>

namespace {

QByteArray compact(const QJsonObject &object)
{
    return object.isEmpty() ? QByteArray() : QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

BrokerSubscriber::BrokerSubscriber(int port, bool persistent)
{
    mosquitto_lib_init();
    client = mosquitto_new(persistent ? "korvanta-test-subscriber" : nullptr, !persistent, this);
    mosquitto_connect_callback_set(client, [](mosquitto *client, void *, int rc) {
        if (rc == 0)
            mosquitto_subscribe(client, nullptr, "#", 1);
    });
    mosquitto_subscribe_callback_set(client, [](mosquitto *, void *self, int, int, const int *) {
        static_cast<BrokerSubscriber *>(self)->subscribed = true;
    });
    mosquitto_message_callback_set(client, [](mosquitto *, void *self, const mosquitto_message *m) {
        auto *subscriber = static_cast<BrokerSubscriber *>(self);
        QMutexLocker lock(&subscriber->mutex);
        subscriber->received.append(
            {m->topic, QByteArray(static_cast<const char *>(m->payload), m->payloadlen),
             m->retain});
    });
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

QList<QByteArray> BrokerSubscriber::readings(const QByteArray &bench) const
{
    QList<QByteArray> rows;
    QSet<QByteArray> seen;
    for (const Message &message : messages()) {
        const QJsonObject o = json(message.payload);
        const QByteArray row = key(message.payload);
        if (!message.topic.startsWith("korvanta/") || row.isEmpty() || seen.contains(row))
            continue;
        seen.insert(row);
        const QString topic =
            "korvanta/" + bench + '/' + o["instrument"].toString() + '/' + o["quantity"].toString();
        rows << (message.topic == topic.toUtf8() ? row : "wrong topic " + message.topic);
    }
    return rows;
}

QByteArray BrokerSubscriber::key(const QByteArray &json)
{
    QJsonObject row = BrokerSubscriber::json(json);
    row.remove("elapsed_s");
    return compact(row);
}

QJsonObject BrokerSubscriber::json(const QByteArray &payload)
{
    return QJsonDocument::fromJson(payload).object();
}
