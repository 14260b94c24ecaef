#include "networksettings.h"

#include <QSettings>

NetworkSettings NetworkSettings::load(const QString &settingsPath)
{
    const QSettings file(settingsPath, QSettings::IniFormat);
    NetworkSettings settings;
    settings.enabled = file.value(QStringLiteral("Network/enabled"), false).toBool();
    settings.broker = file.value(QStringLiteral("Network/broker")).toString().trimmed();
    settings.bench = file.value(QStringLiteral("Network/bench")).toString().trimmed();
    settings.authFile = file.value(QStringLiteral("Network/auth_file")).toString().trimmed();
    settings.caFile = file.value(QStringLiteral("Network/ca_file")).toString().trimmed();
    settings.discovery = file.value(QStringLiteral("Network/discovery"), false).toBool();
    return settings;
}

void NetworkSettings::save(const QString &settingsPath) const
{
    QSettings file(settingsPath, QSettings::IniFormat);
    file.setValue(QStringLiteral("Network/enabled"), enabled);
    file.setValue(QStringLiteral("Network/broker"), broker.trimmed());
    file.setValue(QStringLiteral("Network/bench"), bench.trimmed());
    file.setValue(QStringLiteral("Network/auth_file"), authFile.trimmed());
    file.setValue(QStringLiteral("Network/ca_file"), caFile.trimmed());
    file.setValue(QStringLiteral("Network/discovery"), discovery);
    file.sync();
}

std::optional<MqttOptions> NetworkSettings::options(QString *error) const
{
    MqttOptions options;
    options.url = BrokerUrl::parse(broker, error);
    if (!options.url.isValid())
        return std::nullopt;
    if (!bench.isEmpty())
        options.bench = bench;
    options.caFile = options.url.tls ? caFile : QString();
    options.discovery = discovery;
    if (authFile.isEmpty()) {
        options.credentials = MqttCredentials::fromEnvironment();
    } else {
        options.credentials = MqttCredentials::fromFile(authFile, error);
        if (!options.credentials)
            return std::nullopt;
    }
    error->clear();
    return options;
}
