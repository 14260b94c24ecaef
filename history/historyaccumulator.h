#pragma once

#include "historybucket.h"

#include <cmath>

// Sums over readings and buckets for a mean and a standard deviation, about
// the first value seen so that small changes on a large value keep their digits.
struct HistoryAccumulator
{
    qint64 count = 0;
    double shift = 0;
    double sum = 0;
    double sumSq = 0;
    double low = 0;
    double high = 0;
    double last = 0;

    void add(const HistoryBucket &b)
    {
        if (count == 0) {
            shift = b.shift;
            low = b.low;
            high = b.high;
        }
        const double d = b.shift - shift;
        sum += b.sum + b.count * d;
        sumSq += b.sumSq + 2 * d * b.sum + b.count * d * d;
        count += b.count;
        low = b.low < low ? b.low : low;
        high = b.high > high ? b.high : high;
        last = b.last;
    }
    double mean() const { return count ? shift + sum / count : 0; }
    double standardDeviation() const
    {
        if (count == 0)
            return 0;
        const double m = sum / count;
        const double variance = sumSq / count - m * m;
        return variance > 0 ? std::sqrt(variance) : 0;
    }
};
