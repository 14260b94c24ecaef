#pragma once

#include "faultinjector.h"
#include "linesink.h"
#include "simclock.h"
#include "simcounts.h"

#include <deque>

// Puts frames on the line at the pace of 115200 baud, 8N1, and keeps count of
// the frames the reader has taken. A pseudo-terminal has no baud rate of its
// own, so the pace is kept here; when the program lags, the writer waits for
// it, and when nobody reads at all, frames are skipped rather than piled up.
class LineWriter
{
public:
    static constexpr double kCharsPerSecond = 11520;
    // Unread characters the writer lets pile up in a pseudo-terminal.
    static constexpr int kPendingLimit = 2048;
    // Time without the reader taking anything after which nobody is reading.
    static constexpr double kNoReaderSeconds = 2.0;

    enum class Outcome
    {
        Sent,
        Skipped,
        Gone
    };

    LineWriter(const SimClock &clock, FaultInjector &faults) : clock(clock), faults(faults) {}

    // A new line, at the start and after a replug.
    void setSink(LineSink *line);
    // When the characters written so far have left at line pace.
    double lineFreeAt() const { return freeAt; }

    // Writes the noise and the frame at line pace. A frame is counted once
    // the reader has taken it (see settle).
    Outcome send(const QByteArray &noise, const QByteArray &frame, int kind, bool broken);
    // Gives the reader up to timeout seconds to take what is still in the
    // line, then counts every frame as sent or unread.
    void settle(double timeout);

    const SimCounts &counts() const { return tally; }

private:
    bool readerHasRoomFor(int size);
    bool writeAll(const char *data, int size);
    void countTaken(qint64 taken);

    struct InLine
    {
        qint64 end;
        int kind;
        bool broken;
    };

    const SimClock &clock;
    FaultInjector &faults;
    LineSink *sink = nullptr;
    double freeAt = 0;
    qint64 written = 0;
    int lastPending = 0;
    double lastProgress = 0;
    std::deque<InLine> inLine;
    SimCounts tally;
};
