#pragma once

#include "reading.h"

#include <QList>

class HistoryStore;

// The readings the decoder gives at the full line rate: about 180 frames a
// second of the four instruments in turn, 9 readings a round, the
// multimeter changing its function every 5 s (one of them an open circuit).
class FullRateLine
{
public:
    static constexpr qint64 Start = 1714565000000; // 2024-05-01
    static constexpr double FramesPerSecond = 180;
    static constexpr double ReadingsPerSecond = FramesPerSecond / 4 * 9;

    FullRateLine();

    static qint64 timeMs(qint64 frame) { return Start + qint64(frame * 1000 / FramesPerSecond); }
    // Frame n's readings; valid until the next call.
    QList<Reading> &frame(qint64 n);

    // 24 hours of the line in a store with the window's budget, made once.
    static HistoryStore &day();

private:
    QList<Reading> meter, power, iron, hotair;
};
