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

} // namespace LogMessages
