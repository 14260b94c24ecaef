#pragma once

#include <QString>
#include <QStringList>

// The port names the serial dialog offers: the ports the system enumerates,
// the stable names in the by-id folder and a few names of its own (the stored
// and the open port), each device file once.
namespace PortNames {

// Where the system keeps a stable name for every USB serial adapter.
inline const char kStableNameFolder[] = "/dev/serial/by-id";

// The device file a port name stands for, as the serial port resolves it:
// a path stays as it is, a bare name lives in /dev.
QString deviceFile(const QString &portName);
// Whether the device file exists (a link only when its target does).
bool exists(const QString &portName);

// The names of the ports the system enumerates, in its order.
QStringList enumerated();
// The stable names in the folder as full paths, sorted, links whose device is present.
QStringList stableNames(const QString &folder);
// The names to list: the enumerated and the stable names, then those of the
// extra names whose device exists; a name is left out when an earlier one
// already stands for the same device file.
QStringList collect(const QStringList &enumerated, const QStringList &stable,
                    const QStringList &extras);

} // namespace PortNames
