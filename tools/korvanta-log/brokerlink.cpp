#include "brokerlink.h"

#include "logmessages.h"
#include "mqttpublisher.h"

BrokerLink::BrokerLink(const MqttOptions &options, QTextStream &err)
    : err(err), broker(options.url.toString()), mqtt(std::make_unique<MqttPublisher>(options))
{
    connect(mqtt.get(), &MqttPublisher::stateChanged, this, &BrokerLink::stateChanged);
    connect(mqtt.get(), &MqttPublisher::readingsDropped, this, [this](qint64 count) {
        this->err << LogMessages::droppedFromQueue(count) << Qt::endl;
    });
}

BrokerLink::~BrokerLink() = default;

void BrokerLink::start()
{
    mqtt->start();
}

void BrokerLink::stop()
{
    stopped = true;
    mqtt->stopAndWait();
}

QString BrokerLink::summary() const
{
    const MqttStatus &status = mqtt->status();
    return QStringLiteral("published=%1 queued=%2 dropped=%3")
        .arg(status.published)
        .arg(status.queued)
        .arg(status.dropped);
}

void BrokerLink::stateChanged(MqttStatus::State state, const QString &error)
{
    if (stopped)
        return;
    const MqttStatus &status = mqtt->status();
    if (state == MqttStatus::Connected) {
        err << LogMessages::publishing(broker, status.queued) << Qt::endl;
        return;
    }
    if (state != MqttStatus::Waiting)
        return;
    if (status.problem == MqttStatus::Refused || status.problem == MqttStatus::Tls) {
        err << (status.problem == MqttStatus::Refused ? LogMessages::brokerRefused(broker, error)
                                                      : LogMessages::brokerTls(broker, error))
            << Qt::endl;
        stopped = true;
        emit refused();
        return;
    }
    // The first try's "connecting" says nothing yet: wait for its outcome.
    if (!error.isEmpty())
        err << LogMessages::waitingForBroker(broker, error) << Qt::endl;
}
