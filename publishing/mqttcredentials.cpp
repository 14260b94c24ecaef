#include "mqttcredentials.h"

#include <QFile>
#include <QFileInfo>

std::optional<MqttCredentials> MqttCredentials::fromFile(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        *error = QStringLiteral("The credentials file %1 does not exist").arg(path);
        return std::nullopt;
    }
    const QFile::Permissions shared =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    if (info.permissions() & shared) {
        *error = QStringLiteral("The credentials file %1 may be read by group or others: "
                                "make it private (chmod 600 %1)")
                     .arg(path);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The credentials file %1 cannot be read: %2")
                     .arg(path, file.errorString());
        return std::nullopt;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    MqttCredentials credentials;
    credentials.user = QString::fromUtf8(lines.value(0)).remove(QLatin1Char('\r'));
    credentials.password = QString::fromUtf8(lines.value(1)).remove(QLatin1Char('\r'));
    if (credentials.user.isEmpty()) {
        *error =
            QStringLiteral("The credentials file %1 has no user name on its first line").arg(path);
        return std::nullopt;
    }
    error->clear();
    return credentials;
}

std::optional<MqttCredentials> MqttCredentials::fromEnvironment()
{
    const QString user = qEnvironmentVariable("KORVANTA_MQTT_USER");
    if (user.isEmpty())
        return std::nullopt;
    return MqttCredentials{user, qEnvironmentVariable("KORVANTA_MQTT_PASSWORD")};
}
