#pragma once

#include "framesplitter.h"

#include <QThread>

#include <atomic>

class MainWindow;

// Polls receiveQueue on its own thread, cuts the chunks into frames and hands
// each frame to the GUI thread. The object itself lives in the GUI thread, so
// processData_slot runs there.
class DataProcessThread : public QThread
{
    Q_OBJECT

public:
    explicit DataProcessThread(QObject *parent = nullptr);
    ~DataProcessThread() override;

    MainWindow *owner = nullptr;
    std::atomic_bool bRunning{false};
    std::atomic_bool bReceiveEnabled{false};

    // For a port close: stop consuming, drop what is queued and what is half
    // collected, so the next frame is collected from an empty buffer. Frames
    // already cut are dropped too, even those still on their way to the GUI
    // thread: nothing is decoded after a close until the next open.
    void clearReceived();

    static constexpr unsigned long kIdleSleepMs = 50;

signals:
    void processData_sig(const QByteArray &frame, quint32 session);
    void decipher_sig(const QString &frame);

public slots:
    void processData_slot(const QByteArray &frame, quint32 session);

protected:
    void run() override;

private:
    bool takeChunk(QByteArray &chunk, quint32 &chunkSession);

    FrameSplitter rawBuffer;   // touched by run() only
    quint32 bufferSession = 0; // the session rawBuffer's characters belong to
    // Counts the closes; every frame carries the one its characters arrived in.
    // Advanced by clearReceived() together with emptying the queue, under
    // receiveMutex, so a chunk and the session it is read with always match.
    std::atomic<quint32> session{0};
};
