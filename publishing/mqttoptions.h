#pragma once

#include "brokerurl.h"
#include "mqttcredentials.h"

#include <QSysInfo>

#include <optional>

// How a publisher reaches its broker and names its topics.
struct MqttOptions
{
    BrokerUrl url;
    // Topics are <prefix>/<bench>/<instrument>/<quantity>.
    QString prefix = QStringLiteral("korvanta");
    QString bench = QSysInfo::machineHostName();
    // TLS: the server's certificate is checked against caFile, or against the
    // system's trust store when it is empty. The client certificate is optional.
    QString caFile;
    QString certFile;
    QString keyFile;
    std::optional<MqttCredentials> credentials;
    // Messages kept while the broker is away or slow; beyond it the oldest go.
    // The simulator sends 3+5+4+4 frames/s of 1 to 3 readings, at most 48
    // readings/s: 200000 keep more than an hour (69 min at the worst, about
    // 100 at the usual two readings a frame), some 50 MB at most.
    int queueLimit = 200000;
    // Home Assistant's MQTT discovery, one sensor per quantity.
    bool discovery = false;
    QString discoveryPrefix = QStringLiteral("homeassistant");
};
