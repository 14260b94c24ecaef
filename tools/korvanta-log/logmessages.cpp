#include "logmessages.h"

namespace LogMessages {

namespace {

QString reasonOf(const RecordingFailure &failure)
{
    switch (failure.reason) {
    case RecordingFailure::DiskFull:
        return QStringLiteral("disk full");
    case RecordingFailure::ReadOnly:
        return QStringLiteral("read-only file system");
    case RecordingFailure::NoPermission:
        return QStringLiteral("no permission");
    case RecordingFailure::Removed:
        return QStringLiteral("drive or folder removed");
    default:
        return failure.systemText;
    }
}

} // namespace

QString line(const QString &message)
{
    return QStringLiteral("korvanta-log: ") + message;
}

QString cannotOpen(const QString &port, const PortStatus &status, const QString &systemText)
{
    QString why;
    switch (status.kind()) {
    case PortStatus::NotFound:
        why = QStringLiteral("not found");
        break;
    case PortStatus::NoPermission:
        why = QStringLiteral("no permission (add your user to the dialout group and log in again)");
        break;
    case PortStatus::InUse:
        why = QStringLiteral("in use by another program");
        break;
    default:
        why = systemText;
        break;
    }
    return line(QStringLiteral("cannot open %1: %2").arg(port, why));
}

QString lost(const QString &port, const QString &reason)
{
    return line(QStringLiteral("lost %1: %2").arg(port, reason));
}

QString cannotCreate(const QString &output, const RecordingFailure &failure)
{
    return line(QStringLiteral("cannot create %1: %2").arg(output, reasonOf(failure)));
}

QString cannotWrite(const QString &output, const RecordingFailure &failure)
{
    return line(QStringLiteral("cannot write %1: %2").arg(output, reasonOf(failure)));
}

QString noFolder(const QString &output, const QString &folder)
{
    return line(QStringLiteral("cannot create %1: no folder %2").arg(output, folder));
}

QString silent(const QString &port, int seconds)
{
    return line(QStringLiteral("no intact frame from %1 in %2 s (115200 baud, 8N1); still "
                               "listening")
                    .arg(port)
                    .arg(seconds));
}

QString publishing(const QString &broker, int queued)
{
    QString text = QStringLiteral("publishing to %1").arg(broker);
    if (queued > 0)
        text += QStringLiteral(", %1 readings queued").arg(queued);
    return line(text);
}

QString waitingForBroker(const QString &broker, const QString &reason)
{
    return line(QStringLiteral("waiting for the broker at %1 (%2); readings are queued")
                    .arg(broker, reason.isEmpty() ? QStringLiteral("connecting") : reason));
}

QString brokerRefused(const QString &broker, const QString &reason)
{
    return line(QStringLiteral("the broker at %1 refused the connection: %2").arg(broker, reason));
}

QString brokerTls(const QString &broker, const QString &reason)
{
    return line(QStringLiteral("cannot connect securely to %1: %2").arg(broker, reason));
}

QString droppedFromQueue(qint64 count)
{
    return line(QStringLiteral("%1 readings dropped from the full queue while the broker was "
                               "away")
                    .arg(count));
}

} // namespace LogMessages
