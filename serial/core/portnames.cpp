#include "portnames.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace PortNames {

QString deviceFile(const QString &portName)
{
    if (portName.startsWith(QLatin1Char('/')) || portName.startsWith(QLatin1String("./")) ||
        portName.startsWith(QLatin1String("../")))
        return portName;
    return QStringLiteral("/dev/") + portName;
}

bool exists(const QString &portName)
{
    return !portName.isEmpty() && QFileInfo::exists(deviceFile(portName));
}

QStringList enumerated()
{
    QStringList names;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        names << info.portName();
    return names;
}

QStringList stableNames(const QString &folder)
{
    const QDir dir(folder);
    QStringList names;
    // System: a link whose target is gone is still listed, and dropped below.
    for (const QString &entry :
         dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString path = dir.absoluteFilePath(entry);
        if (QFileInfo::exists(path))
            names << path;
    }
    return names;
}

QStringList collect(const QStringList &enumerated, const QStringList &stable,
                    const QStringList &extras)
{
    QStringList names;
    QStringList devices;
    const auto add = [&](const QString &name) {
        const QString device = deviceFile(name);
        if (name.isEmpty() || devices.contains(device))
            return;
        names << name;
        devices << device;
    };
    for (const QString &name : enumerated)
        add(name);
    for (const QString &name : stable)
        add(name);
    for (const QString &name : extras) {
        if (exists(name))
            add(name);
    }
    return names;
}

} // namespace PortNames
