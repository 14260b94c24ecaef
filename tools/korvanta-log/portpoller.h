#pragma once

#include "portstatus.h"

#include <QByteArray>
#include <QSemaphore>
#include <QThread>

#include <atomic>

// The serial port, read on a thread of its own in batches: every kPollMs it
// takes whatever has arrived. At the line's full rate characters come in many
// small pieces (a frame at a time from a pseudo-terminal, 32 bytes at a time
// from some USB adapters), and waking for each would cost more than decoding
// them. The port lives on this thread, whose event loop never runs, so it
// wakes nobody in between.
class PortPoller : public QThread
{
    Q_OBJECT

public:
    static constexpr int kPollMs = 20;

    explicit PortPoller(QObject *parent = nullptr);
    ~PortPoller() override;

    // Opens the port at 115200 baud, 8N1, no flow control, for reading and
    // starts polling it. When it fails, status says why as the window says it
    // and systemText holds the serial port's own description.
    bool open(const QString &portName, PortStatus &status, QString &systemText);
    // Stops polling and closes the port.
    void close();

signals:
    // Characters as they came, in order. Queued to the thread that opened.
    void received(const QByteArray &chunk);
    // The port went away, after everything read before it was received.
    void lost(const QString &reason);

protected:
    void run() override;

private:
    QString name;
    QSemaphore openDone;
    bool openOk = false;
    PortStatus failure;
    QString failureText;
    std::atomic<bool> stopRequested{false};
};
