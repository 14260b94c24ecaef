#pragma once

#include <QSerialPort>
#include <QString>

// What the status bar says about the port besides connected or not connected:
// why the last open failed, or that the program waits for a lost port to come
// back. The text follows the current language whenever it is asked for.
class PortStatus
{
public:
    enum Kind
    {
        Clear,
        NoPermission,
        InUse,
        NotFound,
        OpenError,
        Waiting,
    };

    PortStatus() = default;
    PortStatus(Kind kind, const QString &portName, const QString &systemText = QString())
        : nKind(kind), strPortName(portName), strSystemText(systemText)
    {
    }

    // Why port, which was just asked to open portName, did not open. The serial
    // port reports a missing permission and a device held by another program
    // alike; the device file's access rights for this process tell them apart.
    static PortStatus ofFailedOpen(const QSerialPort &port, const QString &portName);

    Kind kind() const { return nKind; }
    QString text() const;

private:
    Kind nKind = Clear;
    QString strPortName;
    QString strSystemText;
};
