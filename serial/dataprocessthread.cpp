#include "dataprocessthread.h"

#include "c1frame.h"
#include "receivequeue.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

DataProcessThread::DataProcessThread(QObject *parent) : QThread(parent)
{
    // One repaint per refresh of the screen at most, however many frames came.
    const auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (gui && gui->primaryScreen()) {
        const qreal hertz = qBound(qreal(20), gui->primaryScreen()->refreshRate(), qreal(240));
        refreshIntervalMs = qMax(1, int(1000 / hertz));
    }
    refreshTimer = new QTimer(this);
    refreshTimer->setSingleShot(true);
    refreshTimer->setTimerType(Qt::PreciseTimer);
    connect(refreshTimer, &QTimer::timeout, this, &DataProcessThread::processPendingFrames);
    sinceTaken.start();
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
    if (refreshTimer->isActive())
        return;
    // At once when the last frames were taken a refresh ago or longer (the
    // worker's polling sees to that at the line's full rate), else when it is.
    const qint64 wait = refreshIntervalMs - sinceTaken.elapsed();
    if (wait > 0)
        refreshTimer->start(int(wait));
    else
        processPendingFrames();
}

void DataProcessThread::processPendingFrames()
{
    refreshTimer->stop();
    QVector<PendingFrame> frames;
    {
        QMutexLocker lock(&pendingMutex);
        frames.swap(pendingFrames);
        takePosted = false;
        pendingRoom.wakeAll();
    }
    sinceTaken.restart();
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
