#pragma once

#include "framesplitter.h"
#include "portpoller.h"

#include <QObject>

// Reads the instruments' port and cuts what arrives into frames with the same
// splitter as the window. It notices the port going away as the window does:
// by failing reads, or by its device file disappearing.
class PortReader : public QObject
{
    Q_OBJECT

public:
    explicit PortReader(QObject *parent = nullptr);

    // Opens the port at 115200 baud, 8N1, no flow control, for reading. When
    // it fails, status says why as the window says it and systemText holds
    // the serial port's own description.
    bool open(const QString &portName, PortStatus &status, QString &systemText);
    void close();

    // Whether received text that is no frame is reported too (it costs a copy).
    void setReportUnframed(bool report) { reportUnframed = report; }

signals:
    // An intact frame, as received.
    void frameReceived(const QByteArray &frame);
    // Received text that is no intact frame: noise, or a damaged frame from
    // its "C1" on. Pieces are cut at every "C1".
    void unframedReceived(const QByteArray &text);
    // The port went away; everything read before was reported.
    void lost(const QString &reason);

private:
    void take(const QByteArray &chunk);
    void reportUnframedText(const QByteArray &text);

    PortPoller poller;
    FrameSplitter splitter;
    bool reportUnframed = false;
};
