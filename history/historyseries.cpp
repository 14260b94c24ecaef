#include "historyseries.h"

#include <QDateTime>

HistorySeries::HistorySeries()
{
    for (qint64 &end : openEnd)
        end = std::numeric_limits<qint64>::min();
    for (qint64 &from : coverFrom)
        from = std::numeric_limits<qint64>::min();
}

bool HistorySeries::add(qint64 timeMs, double value, int decimals, const QString &unit,
                        const QString &detail, const QDateTime *time, int utcOffset, qint64 gapMs)
{
    const bool numeric = std::isfinite(value);
    bool newPiece = broken || pieces.isEmpty();
    if (!newPiece) {
        const Piece &current = pieces.back();
        // A clock set back does not reorder what is stored: the reading takes
        // the last time, and a long step back counts as a gap.
        if (timeMs < current.lastMs) {
            newPiece = current.lastMs - timeMs > gapMs;
            timeMs = current.lastMs;
        }
        newPiece = newPiece || timeMs - current.lastMs > gapMs || numeric != current.numeric ||
                   unit != current.unit || detail != current.detail;
    }
    broken = false;
    bool grew = false;
    if (newPiece) {
        Piece piece;
        piece.firstIndex = total;
        piece.startMs = timeMs;
        piece.unit = unit;
        piece.detail = detail;
        piece.utcOffset = time ? time->offsetFromUtc() : utcOffset;
        piece.decimals = decimals;
        piece.numeric = numeric;
        if (!pieces.isEmpty() && timeMs < pieces.back().lastMs)
            piece.startMs = timeMs = pieces.back().lastMs;
        // Units and details are shared between pieces mostly; count each piece's own anyway.
        pieceTextBytes += textBytes(unit) + textBytes(detail);
        pieces.append(piece);
        grew = true; // its texts are memory too
    }
    pieces.back().lastMs = timeMs;
    grew = raw.append({timeMs, value}) || grew;
    ++total;
    if (!numeric)
        return grew;
    const qint32 pieceIndex = qint32(pieceBase + pieces.size() - 1);
    for (int level = 0; level < Levels; ++level) {
        auto &buckets = levels[level];
        if (!buckets.isEmpty() && timeMs < openEnd[level] && buckets.back().piece == pieceIndex) {
            buckets.back().add(timeMs, value);
        } else {
            HistoryBucket bucket;
            bucket.start(timeMs, value, pieceIndex);
            grew = buckets.append(bucket) || grew;
            openEnd[level] = floorTo(timeMs, width(level + 1)) + width(level + 1);
        }
    }
    return grew;
}

qint64 HistorySeries::pieceOf(qint64 globalIndex) const
{
    const qint64 after = pieces.lowerBound(
        globalIndex, [](const Piece &piece, qint64 index) { return piece.firstIndex <= index; });
    return pieceBase + qMax<qint64>(0, after - 1);
}

qint64 HistorySeries::textBytes(const QString &text)
{
    // A string's own block: its header, the characters and the terminating zero.
    return text.isNull() ? 0 : qint64(sizeof(QArrayData)) + 2 * (text.size() + 1);
}

qint64 HistorySeries::firstMs() const
{
    qint64 first = std::numeric_limits<qint64>::max();
    for (int level = 0; level <= Levels; ++level)
        first = qMin(first, frontMs(level));
    return first == std::numeric_limits<qint64>::max() ? -1 : first;
}

qint64 HistorySeries::bytes(int level) const
{
    return level == 0 ? raw.bytes() : levels[level - 1].bytes();
}

qint64 HistorySeries::bytes() const
{
    qint64 sum = qint64(sizeof(*this)) + pieces.bytes();
    for (int level = 0; level <= Levels; ++level)
        sum += bytes(level);
    return sum + pieceTextBytes;
}

qint64 HistorySeries::frontMs(int level) const
{
    if (level == 0)
        return raw.isEmpty() ? std::numeric_limits<qint64>::max() : raw.front().timeMs;
    const auto &buckets = levels[level - 1];
    return buckets.isEmpty() ? std::numeric_limits<qint64>::max() : buckets.front().startMs;
}

bool HistorySeries::trimFront(int level)
{
    if (level == Levels) {
        // Nothing finer is left to give up: the oldest coarse buckets go,
        // and with them everything finer before the cut.
        // A block at most, and never more than a quarter of what is left.
        const auto &coarsest = levels[Levels - 1];
        const qint64 n = qMin<qint64>(256, coarsest.size() / 4);
        if (n < 1)
            return false;
        trimTo(Levels, coarsest[n].startMs);
        return true;
    }
    // The cut lies on a boundary of the next level, so that level's buckets
    // before it hold exactly what goes. A bucket level gives up only what is
    // older than the finer level below it still holds.
    const qint64 step = width(level + 1);
    qint64 at;
    if (level == 0)
        at = raw.isEmpty() ? 0 : raw[qMin<qint64>(raw.size() - 1, 1024)].timeMs;
    else if (!levels[level - 1].isEmpty())
        at = levels[level - 1][qMin<qint64>(levels[level - 1].size() - 1, 256)].startMs;
    else
        return false;
    qint64 cut = floorTo(at, step);
    if (cut <= frontMs(level))
        cut = floorTo(frontMs(level), step) + step;
    if (level > 0 && frontMs(level - 1) != std::numeric_limits<qint64>::max())
        cut = qMin(cut, floorTo(frontMs(level - 1), step));
    if (cut <= frontMs(level))
        return false;
    trimTo(level, cut);
    return true;
}

void HistorySeries::trimTo(int level, qint64 cutMs)
{
    for (int finer = 0; finer <= level; ++finer) {
        coverFrom[finer] = qMax(coverFrom[finer], cutMs);
        if (finer == 0) {
            const qint64 n =
                raw.lowerBound(cutMs, [](const Raw &r, qint64 t) { return r.timeMs < t; });
            raw.dropFront(n);
            rawBase += n;
        } else {
            auto &buckets = levels[finer - 1];
            buckets.dropFront(buckets.lowerBound(
                cutMs, [](const HistoryBucket &b, qint64 t) { return b.startMs < t; }));
        }
    }
    dropUnusedPieces();
}

void HistorySeries::dropUnusedPieces()
{
    // Samples name their pieces in time order at every level: the oldest
    // piece still named is the front's of some level. The newest piece stays
    // whatever happens, as the next reading may continue it.
    qint64 oldest = pieceBase + pieces.size() - 1;
    if (!raw.isEmpty())
        oldest = qMin(oldest, pieceOf(rawBase));
    for (const auto &buckets : levels)
        if (!buckets.isEmpty())
            oldest = qMin<qint64>(oldest, buckets.front().piece);
    const qint64 unused = oldest - pieceBase;
    for (qint64 i = 0; i < unused; ++i) {
        pieceTextBytes -= textBytes(pieces[i].unit) + textBytes(pieces[i].detail);
        pieces[i] = Piece(); // its texts go now, not with the block
    }
    pieces.dropFront(unused);
    pieceBase += unused;
}

std::optional<HistoryBucket> HistorySeries::nearest(int fromLevel, qint64 timeMs, Side side) const
{
    const bool later = side == Side::After;
    // Finer levels serve later times: the nearest sample before is in the
    // finest level with any, the nearest after in the coarsest.
    for (int step = 0; step <= Levels - fromLevel; ++step) {
        const int level = later ? Levels - step : fromLevel + step;
        // The part [low, high) of the level's region on the wanted side.
        qint64 low = coverFrom[level];
        qint64 high = regionEnd(level, fromLevel);
        if (later)
            low = qMax(low, timeMs + 1);
        else
            high = qMin(high, timeMs);
        if (low >= high)
            continue;
        const auto nearestIn = [&](const auto &chunks, auto timeOf) -> qint64 {
            const auto isBefore = [&](const auto &e, qint64 t) { return timeOf(e) < t; };
            const qint64 i =
                later ? chunks.lowerBound(low, isBefore) : chunks.lowerBound(high, isBefore) - 1;
            return i >= 0 && i < chunks.size() && timeOf(chunks[i]) >= low &&
                           timeOf(chunks[i]) < high
                       ? i
                       : -1;
        };
        if (level > 0) {
            const auto &buckets = levels[level - 1];
            const qint64 i = nearestIn(buckets, [](const HistoryBucket &b) { return b.startMs; });
            if (i >= 0)
                return buckets[i];
            continue;
        }
        const qint64 i = nearestIn(raw, [](const Raw &r) { return r.timeMs; });
        if (i < 0)
            continue;
        if (!std::isfinite(raw[i].value))
            return std::nullopt; // an overload or an empty value ends the line there
        HistoryBucket sample;
        sample.start(raw[i].timeMs, raw[i].value, qint32(pieceOf(rawBase + i)));
        return sample;
    }
    return std::nullopt;
}
