#include "portstatus.h"

#include "languagetext.h"
#include "portnames.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Whether the access rights of the file deny this process reading and writing,
// judged with its effective user and groups, as open() judges them.
bool accessDenied(const QString &path)
{
    const QByteArray file = QFile::encodeName(path);
    return faccessat(AT_FDCWD, file.constData(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

} // namespace

PortStatus PortStatus::ofFailedOpen(const QSerialPort &port, const QString &portName)
{
    if (portName.isEmpty())
        return {}; // nothing was chosen: not connected says it all
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return {NotFound, portName};
    case QSerialPort::PermissionError:
        return {accessDenied(PortNames::deviceFile(portName)) ? NoPermission : InUse, portName};
    default:
        return {OpenError, portName, port.errorString()};
    }
}

QString PortStatus::text() const
{
    const auto text = [](const char *entry) {
        return languageText[QStringLiteral("ids_Port_Language/") + QLatin1String(entry)];
    };
    switch (nKind) {
    case Clear:
        break;
    case NoPermission:
        return text("ids_noPermission").arg(strPortName);
    case InUse:
        return text("ids_inUse").arg(strPortName);
    case NotFound:
        return text("ids_notFound").arg(strPortName);
    case OpenError:
        return text("ids_openError").arg(strPortName, strSystemText);
    case Waiting:
        return text("ids_waiting").arg(strPortName);
    }
    return QString();
}
