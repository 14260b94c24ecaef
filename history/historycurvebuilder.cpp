#include "historycurvebuilder.h"

HistorySample HistoryCurveBuilder::sampleOf(const HistoryBucket &bucket)
{
    HistorySample sample;
    sample.timeMs = bucket.startMs;
    sample.low = bucket.low;
    sample.high = bucket.high;
    sample.mean = bucket.mean();
    sample.count = bucket.count;
    return sample;
}

void HistoryCurveBuilder::merge(HistorySample &into, const HistorySample &sample)
{
    into.low = qMin(into.low, sample.low);
    into.high = qMax(into.high, sample.high);
    const qint64 count = into.count + sample.count;
    into.mean = (into.mean * double(into.count) + sample.mean * double(sample.count)) / count;
    into.count = count;
}

static qint64 slotOf(qint64 timeMs, qint64 slotMs)
{
    return timeMs >= 0 ? timeMs / slotMs : -((-timeMs + slotMs - 1) / slotMs);
}

void HistoryCurveBuilder::widen(std::vector<Slot> &slots, qint64 slotMs)
{
    size_t kept = 0;
    for (size_t i = 0; i < slots.size(); ++i) {
        if (kept > 0 && slots[kept - 1].piece == slots[i].piece &&
            slotOf(slots[kept - 1].sample.timeMs, slotMs) == slotOf(slots[i].sample.timeMs, slotMs))
            merge(slots[kept - 1].sample, slots[i].sample);
        else
            slots[kept++] = slots[i];
    }
    slots.resize(kept);
}

QList<HistoryCurvePiece> HistoryCurveBuilder::build(const HistorySeries &series, qint64 fromMs,
                                                    qint64 toMs, int maxSamples)
{
    if (maxSamples <= 0 || fromMs > toMs || series.isEmpty())
        return {};
    // Two places stay free for the samples beside the range.
    const qint64 room = qMax(1, maxSamples - 2);
    const qint64 span = toMs - fromMs + 1;
    qint64 slotMs = span / room;
    // The coarsest level whose buckets are no wider than a slot: at most about
    // four source samples a slot.
    int level = 0;
    while (level < HistorySeries::Levels && HistorySeries::width(level + 1) <= slotMs)
        ++level;

    std::vector<Slot> slots;
    slots.reserve(size_t(room) + 2); // a slot each, and pieces seldom add many
    qint64 currentSlot = 0;
    series.visit(level, fromMs, toMs, [&](const HistoryBucket &bucket) {
        const qint64 slot = slotMs > 0 ? slotOf(bucket.startMs, slotMs) : bucket.startMs;
        if (!slots.empty() && slots.back().piece == bucket.piece && slot == currentSlot &&
            slotMs > 0) {
            merge(slots.back().sample, sampleOf(bucket));
        } else {
            slots.push_back({sampleOf(bucket), bucket.piece});
            currentSlot = slot;
        }
    });
    while (qint64(slots.size()) > room && slotMs <= span) {
        slotMs = qMax<qint64>(1, slotMs * 2);
        widen(slots, slotMs);
    }
    // More pieces than samples allowed: every n-th of them (each one sample by now).
    if (qint64(slots.size()) > room) {
        std::vector<Slot> thinned;
        for (qint64 i = 0; i < room; ++i)
            thinned.push_back(slots[size_t(i * qint64(slots.size()) / room)]);
        slots.swap(thinned);
    }

    // The samples on either side, where the line goes on in the same piece.
    const auto before = series.nearest(level, fromMs, HistorySeries::Side::Before);
    const auto after = series.nearest(level, toMs, HistorySeries::Side::After);
    const bool bothSides = slots.empty() && before && after && before->piece == after->piece;
    if (before && qint64(slots.size()) < maxSamples &&
        (bothSides || (!slots.empty() && slots.front().piece == before->piece)))
        slots.insert(slots.begin(), {sampleOf(*before), before->piece});
    if (after && qint64(slots.size()) < maxSamples &&
        (bothSides || (!slots.empty() && slots.back().piece == after->piece)))
        slots.push_back({sampleOf(*after), after->piece});

    QList<HistoryCurvePiece> pieces;
    for (size_t i = 0; i < slots.size();) {
        size_t end = i + 1;
        while (end < slots.size() && slots[end].piece == slots[i].piece)
            ++end;
        const HistorySeries::Piece &piece = series.piece(slots[i].piece);
        pieces.append({piece.unit, piece.detail, {}});
        pieces.last().samples.reserve(int(end - i));
        for (; i < end; ++i)
            pieces.last().samples.append(slots[i].sample);
    }
    return pieces;
}
