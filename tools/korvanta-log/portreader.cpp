#include "portreader.h"

#include "portnames.h"

namespace {

// How often the device file is looked for, for ports whose loss shows in no
// failing read (a link to a device another one has taken over, for example).
const int kDeviceCheckMs = 500;

// The serial port has no words of its own for an end of file.
const char kHungUp[] = "the line hung up";

} // namespace

PortReader::PortReader(QObject *parent) : QObject(parent)
{
    connect(&port, &QSerialPort::readyRead, this, &PortReader::readAvailable);
    // Queued: the port must not be closed from inside its own error report.
    connect(&port, &QSerialPort::errorOccurred, this, &PortReader::errorOccurred,
            Qt::QueuedConnection);
    deviceCheck.setInterval(kDeviceCheckMs);
    connect(&deviceCheck, &QTimer::timeout, this, &PortReader::checkDevice);
}

bool PortReader::open(const QString &portName, PortStatus &status, QString &systemText)
{
    name = portName;
    splitter.clear();
    port.setPortName(portName);
    port.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadOnly)) {
        status = PortStatus::ofFailedOpen(port, portName);
        systemText = port.errorString();
        return false;
    }
    deviceCheck.start();
    return true;
}

void PortReader::close()
{
    deviceCheck.stop();
    if (port.isOpen())
        port.close();
}

void PortReader::readAvailable()
{
    if (port.isOpen())
        take(port.readAll());
}

void PortReader::take(const QByteArray &chunk)
{
    if (chunk.isEmpty())
        return;
    if (!reportUnframed) {
        for (const QByteArray &frame : splitter.feed(chunk))
            emit frameReceived(frame);
        return;
    }
    // What the splitter lets go of is its frames and, around them, the text
    // that is none; what it holds back stays for the next chunk.
    const QByteArray text = splitter.buffered() + chunk;
    const QList<QByteArray> frames = splitter.feed(chunk);
    const int consumed = text.size() - splitter.buffered().size();
    int from = 0;
    for (const QByteArray &frame : frames) {
        const int at = text.indexOf(frame, from);
        if (at > from)
            reportUnframedText(text.mid(from, at - from));
        emit frameReceived(frame);
        if (at >= 0)
            from = at + frame.size();
    }
    if (consumed > from)
        reportUnframedText(text.mid(from, consumed - from));
}

void PortReader::reportUnframedText(const QByteArray &text)
{
    int from = 0;
    while (from < text.size()) {
        int next = text.indexOf("C1", from + 1);
        if (next < 0)
            next = text.size();
        emit unframedReceived(text.mid(from, next - from));
        from = next;
    }
}

void PortReader::errorOccurred(QSerialPort::SerialPortError error)
{
    // A device that went away reports itself by failing reads: a hung-up
    // pseudo-terminal with an end of file (ReadError), a removed adapter with
    // an I/O error (ResourceError).
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError)
        loseWith(error == QSerialPort::ResourceError ? port.errorString() : QLatin1String(kHungUp));
}

void PortReader::checkDevice()
{
    if (!PortNames::exists(name))
        loseWith(QStringLiteral("the device file is gone"));
}

void PortReader::loseWith(const QString &reason)
{
    if (!port.isOpen())
        return;
    // What the port already holds was received before the loss.
    take(port.readAll());
    close();
    emit lost(reason);
}
