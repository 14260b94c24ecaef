#pragma once

#include "historybucket.h"
#include "historychunks.h"

#include <QString>

#include <cmath>
#include <limits>
#include <optional>

class QDateTime;

// The readings of one quantity: the newest at full resolution, and a pyramid
// of bucket levels (1 s, 4 s, 16 s, … wide, aligned to the epoch) that every
// reading goes into as it arrives. Memory is freed from the front: full
// resolution first, then the finest levels, the coarsest level last (only
// when nothing finer is left to give up); a piece goes with its last sample.
// A time range is read from the finest level that still covers it.
class HistorySeries
{
public:
    static constexpr int Levels = 9; // bucket levels; level 0 is full resolution
    static qint64 width(int level) { return level == 0 ? 1 : 1000LL << (2 * (level - 1)); }

    struct Piece
    {
        qint64 firstIndex = 0; // of its first reading, counted over the whole series
        qint64 startMs = 0;
        qint64 lastMs = 0;
        QString unit;
        QString detail;
        int utcOffset = 0; // seconds, of its first reading
        int decimals = -1;
        bool numeric = true; // false: a run of overloads or empty values
    };
    struct Raw
    {
        qint64 timeMs;
        double value; // ±inf overload, NaN empty
    };

    HistorySeries();

    // time gives the UTC offset when a piece starts, else utcOffset is taken.
    // True when it took more memory than a sample: a block or a piece.
    bool add(qint64 timeMs, double value, int decimals, const QString &unit, const QString &detail,
             const QDateTime *time, int utcOffset, qint64 gapMs);
    void breakLine() { broken = true; }

    bool isEmpty() const { return total == 0; }
    // The oldest time still held; -1 when empty.
    qint64 firstMs() const;
    qint64 lastMs() const { return pieces.isEmpty() ? -1 : pieces.back().lastMs; }
    // index counts over the whole series, as samples name their piece.
    const Piece &piece(qint64 index) const { return pieces[index - pieceBase]; }

    qint64 bytes() const;
    qint64 bytes(int level) const;
    // The oldest time a level holds; max when it holds nothing.
    qint64 frontMs(int level) const;
    // Frees about one block of a level (and everything finer before it);
    // false when it has nothing it may give up. Levels itself is the
    // coarsest level, which gives up its oldest buckets whatever finer
    // levels still hold.
    bool trimFront(int level);

    // Every numeric sample starting in [fromMs, toMs], oldest first, from
    // fromLevel where that covers them, else from the finest coarser level.
    template <typename F> void visit(int fromLevel, qint64 fromMs, qint64 toMs, F &&f) const;
    // The same with full-resolution readings as they are (overloads and empty
    // values included); piece is their piece, bucketed ones come as buckets.
    template <typename R, typename B>
    void visitRows(qint64 fromMs, qint64 toMs, R &&rawRow, B &&bucketRow) const;
    // The nearest numeric sample before (starting < timeMs) or after (> timeMs).
    enum class Side
    {
        Before,
        After
    };
    std::optional<HistoryBucket> nearest(int fromLevel, qint64 timeMs, Side side) const;

private:
    static qint64 floorTo(qint64 t, qint64 w)
    {
        return t >= 0 ? t / w * w : -((-t + w - 1) / w) * w;
    }
    // The part [low, high) of the time axis that a level serves when reading from fromLevel.
    qint64 regionEnd(int level, int fromLevel) const
    {
        return level == fromLevel ? std::numeric_limits<qint64>::max() : coverFrom[level - 1];
    }
    // The part of [fromMs, toMs] that a level serves; false when none.
    bool region(int level, int fromLevel, qint64 fromMs, qint64 toMs, qint64 &low,
                qint64 &high) const
    {
        const qint64 end = regionEnd(level, fromLevel);
        if (end == std::numeric_limits<qint64>::min())
            return false;
        low = qMax(fromMs, coverFrom[level]);
        high = end == std::numeric_limits<qint64>::max() ? toMs : qMin(toMs, end - 1);
        return low <= high;
    }
    qint64 pieceOf(qint64 globalIndex) const;
    bool hasPiece(qint64 index) const { return index < pieceBase + pieces.size(); }
    static qint64 textBytes(const QString &text);
    template <typename F> void visitLevel(int level, qint64 low, qint64 high, F &f) const
    {
        const auto &buckets = levels[level - 1];
        qint64 i =
            buckets.lowerBound(low, [](const HistoryBucket &b, qint64 t) { return b.startMs < t; });
        for (; i < buckets.size() && buckets[i].startMs <= high; ++i)
            f(buckets[i]);
    }
    void trimTo(int level, qint64 cutMs);
    void dropUnusedPieces();

    HistoryChunks<Piece, 64> pieces;
    qint64 pieceBase = 0; // series index of pieces[0]
    qint64 pieceTextBytes = 0;
    HistoryChunks<Raw, 1024> raw;
    qint64 rawBase = 0; // series index of raw[0]
    qint64 total = 0;
    HistoryChunks<HistoryBucket, 256> levels[Levels];
    qint64 openEnd[Levels];
    qint64 coverFrom[Levels + 1]; // per level (0: full resolution), where its data begins
    bool broken = true;
};

template <typename F>
void HistorySeries::visit(int fromLevel, qint64 fromMs, qint64 toMs, F &&f) const
{
    for (int level = Levels; level >= fromLevel; --level) {
        qint64 low, high;
        if (!region(level, fromLevel, fromMs, toMs, low, high))
            continue;
        if (level == 0) {
            qint64 i = raw.lowerBound(low, [](const Raw &r, qint64 t) { return r.timeMs < t; });
            qint64 p = pieceOf(rawBase + i);
            HistoryBucket sample;
            for (; i < raw.size(); ++i) {
                const Raw &r = raw[i];
                if (r.timeMs > high)
                    break;
                while (hasPiece(p + 1) && piece(p + 1).firstIndex <= rawBase + i)
                    ++p;
                if (!std::isfinite(r.value))
                    continue;
                sample.start(r.timeMs, r.value, qint32(p));
                f(sample);
            }
        } else {
            visitLevel(level, low, high, f);
        }
    }
}

template <typename R, typename B>
void HistorySeries::visitRows(qint64 fromMs, qint64 toMs, R &&rawRow, B &&bucketRow) const
{
    for (int level = Levels; level >= 0; --level) {
        qint64 low, high;
        if (!region(level, 0, fromMs, toMs, low, high))
            continue;
        if (level == 0) {
            qint64 i = raw.lowerBound(low, [](const Raw &r, qint64 t) { return r.timeMs < t; });
            qint64 p = pieceOf(rawBase + i);
            HistoryBucket sample;
            for (; i < raw.size() && raw[i].timeMs <= high; ++i) {
                while (hasPiece(p + 1) && piece(p + 1).firstIndex <= rawBase + i)
                    ++p;
                sample.start(raw[i].timeMs, raw[i].value, qint32(p));
                rawRow(sample);
            }
        } else {
            visitLevel(level, low, high, bucketRow);
        }
    }
}
