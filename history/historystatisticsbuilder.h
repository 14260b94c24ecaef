#pragma once

#include "historyaccumulator.h"
#include "historyseries.h"

#include <QList>
#include <QPair>
#include <QString>

// The sums of one series over a range, one accumulator per unit in the order
// the units came. A bucket counts when its first reading lies in the range
// (it is counted whole then): buckets do not say how their readings spread
// over time.
class HistoryStatisticsBuilder
{
public:
    static QList<QPair<QString, HistoryAccumulator>> perUnit(const HistorySeries &series,
                                                             qint64 fromMs, qint64 toMs);

private:
    template <typename F>
    static void visitExact(const HistorySeries &series, int level, qint64 fromMs, qint64 toMs,
                           F &f);
};
