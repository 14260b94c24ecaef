#pragma once

#include <QString>

#include <optional>

// A user name and password for the broker. They come from a private file or
// from the environment, never from the command line or the settings, and are
// never written to a log.
struct MqttCredentials
{
    QString user;
    QString password;

    // A file of two lines, the user name and then the password. Refused, with
    // error telling why, when it cannot be read or group or others may read it.
    static std::optional<MqttCredentials> fromFile(const QString &path, QString *error);
    // KORVANTA_MQTT_USER and KORVANTA_MQTT_PASSWORD; nothing when the user is not set.
    static std::optional<MqttCredentials> fromEnvironment();
};
