#include "dataprocessthread.h"

#include "c1frame.h"
#include "receivequeue.h"

#include "refreshticker.h"

DataProcessThread::DataProcessThread(QObject *parent) : QThread(parent)
{
    ticker = new RefreshTicker(this);
    connect(ticker, &RefreshTicker::tick, this, &DataProcessThread::refreshTick);
}

DataProcessThread::~DataProcessThread()
{
    bRunning = false;
    bReceiveEnabled = false;
    pendingRoom.wakeAll();
    wait();
}

void DataProcessThread::clearReceived()
{
    bReceiveEnabled = false;
    {
        QMutexLocker lock(&receiveMutex);
        receiveQueue.clear();
        ++session;
    }
    QMutexLocker lock(&pendingMutex);
    pendingFrames.clear();
    takePosted = false; // a call already on its way finds nothing to take
    pendingRoom.wakeAll();
}

int DataProcessThread::pendingFrameCount() const
{
    QMutexLocker lock(&pendingMutex);
    return pendingFrames.size();
}

bool DataProcessThread::takeChunk(QByteArray &chunk, quint32 &chunkSession)
{
    QMutexLocker lock(&receiveMutex);
    if (receiveQueue.isEmpty())
        return false;
    chunk = receiveQueue.takeFirst();
    chunkSession = session;
    return true;
}

bool DataProcessThread::waitForRoom()
{
    QMutexLocker lock(&pendingMutex);
    if (pendingFrames.size() < kMaxPendingFrames)
        return true;
    // Woken when the GUI thread takes the frames; the timeout keeps the flags read.
    pendingRoom.wait(&pendingMutex, kIdleSleepMs);
    return pendingFrames.size() < kMaxPendingFrames;
}

void DataProcessThread::queueFrame(const QByteArray &frame, quint32 frameSession)
{
    emit processData_sig(frame, frameSession);
    QMutexLocker lock(&pendingMutex);
    pendingFrames.append({frame, frameSession});
    // One queued call for all the frames that come before the GUI thread takes them.
    if (!takePosted) {
        takePosted = true;
        QMetaObject::invokeMethod(this, &DataProcessThread::scheduleFrames, Qt::QueuedConnection);
    }
}

void DataProcessThread::run()
{
    while (bRunning) {
        QByteArray chunk;
        quint32 chunkSession = 0;
        if (!bReceiveEnabled) {
            msleep(kIdleSleepMs);
            continue;
        }
        // The queue may be full for a moment: the chunks wait in receiveQueue.
        if (!waitForRoom())
            continue;
        if (!takeChunk(chunk, chunkSession)) {
            msleep(kIdleSleepMs);
            continue;
        }
        if (chunkSession != bufferSession) {
            rawBuffer.clear(); // collected before a close
            bufferSession = chunkSession;
        }
        // Candidates with a bad checksum go on too: the decoder counts them as
        // traffic before it rejects them.
        for (const FrameSplitter::Cut &candidate : rawBuffer.cut(chunk))
            queueFrame(candidate.text, chunkSession);
    }
}

void DataProcessThread::scheduleFrames()
{
    if (ticker->state() == QAbstractAnimation::Running)
        return;
    // Starting it steps it once at once: that step is not the clock's.
    bStartingTicker = true;
    ticker->start();
    bStartingTicker = false;
}

void DataProcessThread::refreshTick()
{
    if (bStartingTicker)
        return;
    if (pendingFrameCount() == 0) {
        ticker->stop(); // the clock need not run for nothing
        return;
    }
    processPendingFrames();
}

void DataProcessThread::processPendingFrames()
{
    QVector<PendingFrame> frames;
    {
        QMutexLocker lock(&pendingMutex);
        frames.swap(pendingFrames);
        takePosted = false;
        pendingRoom.wakeAll();
    }
    for (const PendingFrame &frame : qAsConst(frames))
        processData_slot(frame.text, frame.session);
}

void DataProcessThread::processData_slot(const QByteArray &frame, quint32 frameSession)
{
    // Cut before the port closed, delivered after: stale.
    if (!bReceiveEnabled || frameSession != session)
        return;
    // What the worker cuts: one whole frame from its "C1" to its "F0".
    if (frame.startsWith("C1") && frame.endsWith("F0") &&
        frame.size() == C1Frame::charsForPayloadLength(C1Frame::payloadLengthAt(frame, 0))) {
        emit decipher_sig(QString::fromLatin1(frame));
        return;
    }
    QByteArray rest = frame;
    if (!rest.contains("C1"))
        return;
    int markers = 0;
    for (int pos = 0; pos + 1 < rest.size(); pos += 2) {
        if (rest[pos] == 'C' && rest[pos + 1] == '1')
            ++markers;
    }
    for (int i = 0; i < markers; ++i) {
        const int start = rest.indexOf("C1");
        if (start < 0)
            return;
        const int chars = C1Frame::charsForPayloadLength(C1Frame::payloadLengthAt(rest, start));
        const QByteArray candidate = rest.mid(start, chars);
        if (candidate.endsWith("F0")) {
            rest.remove(start, chars);
            emit decipher_sig(QString::fromLatin1(candidate));
        }
    }
}
