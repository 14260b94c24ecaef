#pragma once

#include <QByteArray>
#include <QList>

// Cuts C1 frames out of received characters that arrive in arbitrary chunks.
// Every complete frame in the buffer is cut in one call; characters after a
// frame stay buffered for the next one. A candidate that turns out not to be a
// frame (wrong end marker or checksum) costs only its own "C1", so one damaged
// frame never takes the following good ones with it.
class FrameSplitter
{
public:
    // Appends a chunk and returns the frames it completed, in order.
    QList<QByteArray> feed(const QByteArray &chunk);
    void clear() { rawBuffer.clear(); }
    // What is held back: always shorter than the longest possible frame.
    const QByteArray &buffered() const { return rawBuffer; }

private:
    QByteArray rawBuffer;
};
