#pragma once

#include <QtGlobal>

// One drawable point of a curve: a reading kept at full resolution
// (low == high == mean, count 1) or a time bucket of several.
struct HistorySample
{
    qint64 timeMs = 0; // milliseconds since the epoch; a bucket's start
    double low = 0;
    double high = 0;
    double mean = 0;
    qint64 count = 1;
};
