#pragma once

#include "mqttoptions.h"
#include "reading.h"

#include <QByteArray>

// Home Assistant's MQTT discovery: one device per bench, one sensor per
// quantity, its state read from the reading's JSON object.
class HomeAssistantDiscovery
{
public:
    // A topic level: no separators or wildcards.
    static QString topicLevel(const QString &text);
    // <prefix>/<bench>
    static QByteArray benchTopic(const MqttOptions &options);
    static QByteArray readingTopic(const MqttOptions &options, const Reading &reading);
    static QByteArray statusTopic(const MqttOptions &options);
    // <discovery prefix>/sensor/<bench>_<instrument>_<quantity>/config
    static QByteArray configTopic(const MqttOptions &options, const Reading &reading);
    // The sensor's configuration; the unit is the one this reading has.
    static QByteArray configPayload(const MqttOptions &options, const Reading &reading);
    // "voltage", "current", "power", "temperature" or empty for the unit.
    static QString deviceClass(const QString &unit);
};
