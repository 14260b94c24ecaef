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
    bClearPending = true;
    QMutexLocker lock(&receiveMutex);
    receiveQueue.clear();
}

bool DataProcessThread::takeChunk(QByteArray &chunk)
{
    QMutexLocker lock(&receiveMutex);
    if (receiveQueue.isEmpty())
        return false;
    chunk = receiveQueue.takeFirst();
    return true;
}

void DataProcessThread::run()
{
    while (bRunning) {
        if (bClearPending.exchange(false))
            rawBuffer.clear();
        QByteArray chunk;
        if (!bReceiveEnabled || !takeChunk(chunk)) {
            msleep(kIdleSleepMs);
            continue;
        }
        for (const QByteArray &frame : rawBuffer.feed(chunk))
            emit processData_sig(frame);
    }
}

void DataProcessThread::processData_slot(const QByteArray &frame)
{
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
