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
    // collected, so the next frame is collected from an empty buffer.
    void clearReceived();

    static constexpr unsigned long kIdleSleepMs = 50;

signals:
    void processData_sig(const QByteArray &frame);
    void decipher_sig(const QString &frame);

public slots:
    void processData_slot(const QByteArray &frame);

protected:
    void run() override;

private:
    bool takeChunk(QByteArray &chunk);

    FrameSplitter rawBuffer; // touched by run() only
    // Set by clearReceived() in the GUI thread; run() empties rawBuffer when it sees it.
    std::atomic_bool bClearPending{false};
};
