#include "dataprocessthread.h"

#include "c1frame.h"
#include "receivequeue.h"

DataProcessThread::DataProcessThread(QObject *parent) : QThread(parent)
{
    connect(this, &DataProcessThread::processData_sig, this, &DataProcessThread::processData_slot);
}

DataProcessThread::~DataProcessThread()
{
    bRunning = false;
    bReceiveEnabled = false;
    wait();
}

void DataProcessThread::clearReceived()
{
    bReceiveEnabled = false;
    QMutexLocker lock(&receiveMutex);
    receiveQueue.clear();
    ++session;
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

void DataProcessThread::run()
{
    while (bRunning) {
        QByteArray chunk;
        quint32 chunkSession = 0;
        if (!bReceiveEnabled || !takeChunk(chunk, chunkSession)) {
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
            emit processData_sig(candidate.text, chunkSession);
    }
}

void DataProcessThread::processData_slot(const QByteArray &frame, quint32 frameSession)
{
    // Cut before the port closed, delivered after: stale.
    if (!bReceiveEnabled || frameSession != session)
        return;
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
