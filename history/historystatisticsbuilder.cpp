#include "historystatisticsbuilder.h"

// The range is served by whole buckets of the coarsest level that fit in it,
// their edges by finer levels in turn, which gives the same sums as the finest
// samples alone and costs a few hundred samples for any range.
template <typename F>
void HistoryStatisticsBuilder::visitExact(const HistorySeries &series, int level, qint64 fromMs,
                                          qint64 toMs, F &f)
{
    if (fromMs > toMs)
        return;
    if (level == 0) {
        series.visit(0, fromMs, toMs, f);
        return;
    }
    const qint64 width = HistorySeries::width(level);
    const auto floorTo = [width](qint64 t) {
        return t >= 0 ? t / width * width : -((-t + width - 1) / width) * width;
    };
    const qint64 innerFrom = floorTo(fromMs + width - 1);
    const qint64 innerEnd = floorTo(toMs + 1);
    if (innerFrom >= innerEnd) {
        visitExact(series, level - 1, fromMs, toMs, f);
        return;
    }
    visitExact(series, level - 1, fromMs, innerFrom - 1, f);
    series.visit(level, innerFrom, innerEnd - 1, f);
    visitExact(series, level - 1, innerEnd, toMs, f);
}

QList<QPair<QString, HistoryAccumulator>>
HistoryStatisticsBuilder::perUnit(const HistorySeries &series, qint64 fromMs, qint64 toMs)
{
    QList<QPair<QString, HistoryAccumulator>> units;
    qint64 lastPiece = -1;
    HistoryAccumulator *current = nullptr;
    const auto take = [&](const HistoryBucket &bucket) {
        if (bucket.piece != lastPiece) {
            lastPiece = bucket.piece;
            const QString &unit = series.piece(bucket.piece).unit;
            current = nullptr;
            for (auto &entry : units)
                if (entry.first == unit)
                    current = &entry.second;
            if (!current) {
                units.append({unit, HistoryAccumulator()});
                current = &units.last().second;
            }
        }
        current->add(bucket);
    };
    const qint64 from = qMax(fromMs, series.firstMs());
    const qint64 to = qMin(toMs, series.lastMs());
    int level = HistorySeries::Levels;
    while (level > 0 && HistorySeries::width(level) > to - from + 1)
        --level;
    visitExact(series, level, from, to, take);
    return units;
}
