#pragma once

#include "mqttoptions.h"

#include <QString>

// The window's publishing, as the [Network] section of the settings file
// keeps it. Keys of the section that are not these stay as they are.
struct NetworkSettings
{
    bool enabled = false;
    QString broker; // mqtt://HOST[:PORT] or mqtts://HOST[:PORT]
    QString bench;  // empty: the host name
    QString authFile;
    QString caFile;
    bool discovery = false;

    static NetworkSettings load(const QString &settingsPath);
    void save(const QString &settingsPath) const;

    // The publisher's options, or nothing with error telling why: a broker
    // address that is none, a credentials file that cannot be used. Without a
    // credentials file the environment's KORVANTA_MQTT_USER and
    // KORVANTA_MQTT_PASSWORD count.
    std::optional<MqttOptions> options(QString *error) const;
};
