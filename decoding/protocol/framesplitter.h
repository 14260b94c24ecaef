#pragma once

#include <QByteArray>
#include <QList>

// Cuts C1 frames out of received characters that arrive in arbitrary chunks.
// Every complete frame in the buffer is cut in one call; characters after a
// frame stay buffered for the next one. A candidate that turns out not to be a
// frame (wrong end marker or checksum) costs only its own "C1", so one damaged
// frame never takes the following good ones with it.
//
// A candidate still waiting for the characters its length field asks for does
// not hold back what follows it: a complete, intact frame that starts inside it
// is cut as soon as it is complete. Every candidate is decided once, when it
// becomes complete, so nothing is cut twice.
class FrameSplitter
{
public:
    // A complete candidate: "C1", as many characters as its length field says,
    // "F0" at its end. `intact` when its checksum matches too.
    struct Cut
    {
        QByteArray text;
        bool intact = false;
    };

    // Appends a chunk and returns the candidates it completed, intact or not,
    // in the order they were decided.
    QList<Cut> cut(const QByteArray &chunk);
    // Appends a chunk and returns only the intact frames it completed, in order.
    QList<QByteArray> feed(const QByteArray &chunk);
    void clear();
    // What is held back: always shorter than the longest possible frame.
    const QByteArray &buffered() const { return rawBuffer; }

private:
    QByteArray rawBuffer;
    // Size of rawBuffer when the last call had decided it: a candidate that
    // ends within it was complete then and has been decided already.
    int decidedSize = 0;
};
