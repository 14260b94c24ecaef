#pragma once

#include "historycurvepiece.h"
#include "historyseries.h"

#include <QList>

// Turns the samples of one series over a range into at most a given number
// of curve samples: samples of one piece that fall into the same time slot
// are merged, and the slots widen until the curve fits.
class HistoryCurveBuilder
{
public:
    static QList<HistoryCurvePiece> build(const HistorySeries &series, qint64 fromMs, qint64 toMs,
                                          int maxSamples);

private:
    struct Slot
    {
        HistorySample sample;
        int piece = 0;
    };
    static void merge(HistorySample &into, const HistorySample &sample);
    static void widen(std::vector<Slot> &slots, qint64 slotMs);
    static HistorySample sampleOf(const HistoryBucket &bucket);
};
