#include "portpoller.h"

#include "portnames.h"

#include <QElapsedTimer>
#include <QSerialPort>

namespace {

// How often the device file is looked for, for ports whose loss shows in no
// failing read.
const int kDeviceCheckMs = 500;

} // namespace

PortPoller::PortPoller(QObject *parent) : QThread(parent) {}

PortPoller::~PortPoller()
{
    close();
}

bool PortPoller::open(const QString &portName, PortStatus &status, QString &systemText)
{
    close();
    name = portName;
    stopRequested = false;
    start();
    openDone.acquire();
    if (!openOk) {
        wait();
        status = failure;
        systemText = failureText;
    }
    return openOk;
}

void PortPoller::close()
{
    stopRequested = true;
    wait();
}

void PortPoller::run()
{
    QSerialPort port;
    port.setPortName(name);
    port.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    openOk = port.open(QIODevice::ReadOnly);
    if (!openOk) {
        failure = PortStatus::ofFailedOpen(port, name);
        failureText = port.errorString();
    }
    // What waited in the port from before would all get the time of the
    // first read: every row is stamped with the time it was received.
    if (openOk)
        port.clear(QSerialPort::Input);
    openDone.release();
    if (!openOk)
        return;

    QElapsedTimer sinceCheck;
    sinceCheck.start();
    while (!stopRequested) {
        msleep(kPollMs);
        port.waitForReadyRead(0);
        const QByteArray chunk = port.readAll();
        if (!chunk.isEmpty())
            emit received(chunk);
        // A device that went away reports itself by failing reads: a hung-up
        // pseudo-terminal with an end of file (ReadError), a removed adapter
        // with an I/O error (ResourceError).
        switch (port.error()) {
        case QSerialPort::ResourceError:
            emit lost(port.errorString());
            return;
        case QSerialPort::ReadError:
            emit lost(QStringLiteral("the line hung up"));
            return;
        case QSerialPort::NoError:
            break;
        default: // nothing arrived in time, for example
            port.clearError();
        }
        if (sinceCheck.elapsed() >= kDeviceCheckMs) {
            sinceCheck.restart();
            if (!PortNames::exists(name)) {
                emit lost(QStringLiteral("the device file is gone"));
                return;
            }
        }
    }
}
