#pragma once

#include "framesplitter.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <QVector>
#include <QWaitCondition>

#include <atomic>

class QTimer;

// Polls receiveQueue on its own thread, cuts the chunks into frames and hands
// them to the GUI thread. The object itself lives in the GUI thread, so
// processData_slot runs there.
//
// Cut frames wait in a bounded queue of their own. The GUI thread takes all of
// them at once, at most once per display refresh, so a burst of frames costs
// one repaint. When the GUI thread falls so far behind that the queue is full,
// the worker leaves the chunks in receiveQueue until there is room again,
// instead of piling up frames or blocking on the GUI thread.
class DataProcessThread : public QThread
{
    Q_OBJECT

public:
    explicit DataProcessThread(QObject *parent = nullptr);
    ~DataProcessThread() override;

    std::atomic_bool bRunning{false};
    std::atomic_bool bReceiveEnabled{false};

    // For a port close: stop consuming, drop what is queued and what is half
    // collected, so the next frame is collected from an empty buffer. Frames
    // already cut are dropped too, even those still on their way to the GUI
    // thread: nothing is decoded after a close until the next open.
    void clearReceived();

    // Frames cut but not yet taken by the GUI thread.
    int pendingFrameCount() const;

    static constexpr unsigned long kIdleSleepMs = 50;
    // About five seconds of a full line. The worker takes no further chunk
    // while this many frames wait, so at most one chunk's frames come on top.
    static constexpr int kMaxPendingFrames = 1024;

signals:
    // Emitted in the worker thread for every frame cut, before it is queued.
    void processData_sig(const QByteArray &frame, quint32 session);
    void decipher_sig(const QString &frame);

public slots:
    void processData_slot(const QByteArray &frame, quint32 session);
    // Hands every waiting frame to processData_slot, oldest first.
    void processPendingFrames();

protected:
    void run() override;

private:
    struct PendingFrame
    {
        QByteArray text;
        quint32 session = 0;
    };

    bool takeChunk(QByteArray &chunk, quint32 &chunkSession);
    // Worker thread: waits until the GUI thread has made room for more frames.
    bool waitForRoom();
    void queueFrame(const QByteArray &frame, quint32 frameSession);
    // GUI thread: takes the frames now, or once a refresh interval has passed
    // since the last time.
    void scheduleFrames();

    FrameSplitter rawBuffer;   // touched by run() only
    quint32 bufferSession = 0; // the session rawBuffer's characters belong to
    // Counts the closes; every frame carries the one its characters arrived in.
    // Advanced by clearReceived() together with emptying the queue, under
    // receiveMutex, so a chunk and the session it is read with always match.
    std::atomic<quint32> session{0};

    mutable QMutex pendingMutex;
    QWaitCondition pendingRoom;
    QVector<PendingFrame> pendingFrames; // guarded by pendingMutex
    bool takePosted = false;             // guarded by pendingMutex
    QTimer *refreshTimer = nullptr;
    QElapsedTimer sinceTaken;
    int refreshIntervalMs = 16;
};
