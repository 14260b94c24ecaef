#include "homeassistantdiscovery.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

// Home Assistant's object ids take letters, digits, "_" and "-" only.
QString objectId(const QString &text)
{
    static const QRegularExpression other(QStringLiteral("[^A-Za-z0-9_-]"));
    return QString(text).replace(other, QStringLiteral("_"));
}

} // namespace

QString HomeAssistantDiscovery::topicLevel(const QString &text)
{
    static const QRegularExpression reserved(QStringLiteral("[/+#\\s]"));
    const QString level = QString(text).replace(reserved, QStringLiteral("_"));
    return level.isEmpty() ? QStringLiteral("_") : level;
}

QByteArray HomeAssistantDiscovery::benchTopic(const MqttOptions &options)
{
    return (topicLevel(options.prefix) + '/' + topicLevel(options.bench)).toUtf8();
}

QByteArray HomeAssistantDiscovery::readingTopic(const MqttOptions &options, const Reading &reading)
{
    return benchTopic(options) + '/' + topicLevel(reading.instrument).toUtf8() + '/' +
           topicLevel(reading.quantity).toUtf8();
}

QByteArray HomeAssistantDiscovery::statusTopic(const MqttOptions &options)
{
    return benchTopic(options) + "/status";
}

QByteArray HomeAssistantDiscovery::configTopic(const MqttOptions &options, const Reading &reading)
{
    const QString id = objectId(options.bench + '_' + reading.instrument + '_' + reading.quantity);
    return (topicLevel(options.discoveryPrefix) + "/sensor/" + id + "/config").toUtf8();
}

QByteArray HomeAssistantDiscovery::configPayload(const MqttOptions &options, const Reading &reading)
{
    const QString bench = objectId(options.bench);
    const QJsonObject device{
        {"identifiers", QJsonArray{"korvanta_" + bench}},
        {"name", "Korvanta bench " + options.bench},
        {"manufacturer", "Korvanta"},
        {"model", "Korvanta bench station"},
    };
    QJsonObject config{
        {"name", QString(reading.instrument + ' ' + reading.quantity).replace('_', ' ')},
        {"unique_id",
         "korvanta_" + bench + '_' + objectId(reading.instrument + '_' + reading.quantity)},
        {"state_topic", QString::fromUtf8(readingTopic(options, reading))},
        {"value_template", "{{ value_json.value }}"},
        {"state_class", "measurement"},
        {"availability_topic", QString::fromUtf8(statusTopic(options))},
        {"payload_available", "online"},
        {"payload_not_available", "offline"},
        {"device", device},
    };
    if (!reading.unit.isEmpty())
        config.insert("unit_of_measurement", reading.unit);
    const QString deviceClassName = deviceClass(reading.unit);
    if (!deviceClassName.isEmpty())
        config.insert("device_class", deviceClassName);
    return QJsonDocument(config).toJson(QJsonDocument::Compact);
}

QString HomeAssistantDiscovery::deviceClass(const QString &unit)
{
    // Home Assistant accepts these units for its classes; the instruments'
    // "KW" or "MΩ" have none.
    static const QStringList volts{"V", "mV", "µV", "kV"};
    static const QStringList amperes{"A", "mA", "µA"};
    static const QStringList watts{"W", "mW", "kW"};
    static const QStringList degrees{"°C", "°F"};
    if (volts.contains(unit))
        return QStringLiteral("voltage");
    if (amperes.contains(unit))
        return QStringLiteral("current");
    if (watts.contains(unit))
        return QStringLiteral("power");
    if (degrees.contains(unit))
        return QStringLiteral("temperature");
    return QString();
}
