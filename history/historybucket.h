#pragma once

#include <QtGlobal>

// A time bucket of one piece's readings. Sums are taken about the bucket's
// first value (shift), so a variance of small changes on a large value keeps
// its digits.
struct HistoryBucket
{
    qint64 startMs = 0; // the first reading's time
    qint32 spanMs = 0;  // to the last reading
    qint32 piece = 0;
    qint32 count = 0;
    double low = 0;
    double high = 0;
    double shift = 0;
    double sum = 0;   // of (value - shift)
    double sumSq = 0; // of (value - shift)²
    double last = 0;

    void start(qint64 timeMs, double value, qint32 pieceIndex)
    {
        startMs = timeMs;
        spanMs = 0;
        piece = pieceIndex;
        count = 1;
        low = high = shift = last = value;
        sum = sumSq = 0;
    }
    void add(qint64 timeMs, double value)
    {
        spanMs = qint32(timeMs - startMs);
        ++count;
        low = value < low ? value : low;
        high = value > high ? value : high;
        const double d = value - shift;
        sum += d;
        sumSq += d * d;
        last = value;
    }
    double mean() const { return shift + sum / count; }
};
