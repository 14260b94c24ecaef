#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QSerialPort;
class QSocketNotifier;

// Reads a port that streams at most once per interval, not at every piece the
// system delivers. A pseudo-terminal, or an adapter that passes on each frame
// as it comes, wakes the GUI thread for every frame at full line rate (about
// 180 times a second), and each wake-up costs more than the frame's decoding.
// After a read that follows the previous one within two intervals, the port's
// read notifier rests for one interval; what arrives meanwhile waits in the
// system's buffer and is read in one piece. A port that is read now and then
// is read as soon as a character arrives, as before.
class PortReadPacer : public QObject
{
public:
    PortReadPacer(QSerialPort *port, int intervalMs, QObject *parent = nullptr);

    // To be called after each read of the port.
    void chunkRead();
    // Whether the port's read notifier is resting now.
    bool isResting() const;
    // Whether the last read followed the one before it closely and is recent:
    // the port streams.
    bool isStreaming() const;

private:
    void resume();

    QSerialPort *port;
    int intervalMs;
    QTimer resumeTimer;
    QElapsedTimer sinceLastRead;
    bool streamed = false; // the last read followed the one before it closely
    QPointer<QSocketNotifier> restingNotifier;
};
