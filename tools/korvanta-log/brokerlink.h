#pragma once

#include "mqttoptions.h"
#include "mqttstatus.h"

#include <QObject>
#include <QTextStream>

#include <memory>

class MqttPublisher;

// The logger's publisher: tells on standard error how the broker is reached,
// once per change, and gives up on a broker that refuses the credentials or
// a TLS connection that fails, which waiting does not mend.
class BrokerLink : public QObject
{
    Q_OBJECT

public:
    BrokerLink(const MqttOptions &options, QTextStream &err);
    ~BrokerLink() override;

    void start();
    // Delivers what is queued within a few seconds, publishes "offline" and
    // returns.
    void stop();

    MqttPublisher &publisher() { return *mqtt; }
    // "published=N queued=N dropped=N".
    QString summary() const;

signals:
    // The broker refused, or TLS failed; the line saying so is written.
    void refused();

private:
    void stateChanged(MqttStatus::State state, const QString &error);

    QTextStream &err;
    const QString broker;
    std::unique_ptr<MqttPublisher> mqtt;
    bool stopped = false;
};
