#pragma once

#include "historyalarmspan.h"
#include "historycurvepiece.h"
#include "historyseries.h"
#include "historystatistics.h"
#include "reading.h"

#include <QList>
#include <QPair>
#include <QString>

#include <limits>
#include <optional>
#include <vector>

// Everything the session decoded, per quantity, for looking back: kept at
// full resolution until that part reaches its share of the memory budget,
// older readings then folded into time buckets that keep each bucket's
// minimum and maximum, so no peak is lost. Widget-free and not thread-safe:
// one thread at a time (a file is read into a store of its own on a worker
// thread and handed over when done).
class HistoryStore
{
public:
    struct Options
    {
        qint64 memoryBudgetBytes = 300LL * 1024 * 1024;
        double fullResolutionShare = 0.6; // of the budget
        qint64 gapMs = 3000;              // readings further apart than this are not joined
    };

    using Key = QPair<QString, QString>; // instrument, quantity

    HistoryStore();
    explicit HistoryStore(Options options);

    // The readings of one frame as the decoder delivers them, or alarm rows
    // (quantity "alarm", detail "<limit>=<bounds> start|end"). Values that do
    // not parse as numbers ("OL", "-OL", empty) break the line like a gap.
    void add(const QList<Reading> &readings);
    // The port closed: the next reading of every quantity starts a new piece.
    void breakAll();

    bool isEmpty() const;
    qint64 firstTimeMs() const; // -1 when empty
    qint64 lastTimeMs() const;  // -1 when empty

    // The quantities that have readings, in plot order: multimeter reading;
    // power voltage, current, power; iron set_temperature, temperature;
    // hotair set_temperature, temperature, air_speed; any other after them.
    QList<Key> keys() const;

    // The curve of one quantity over [fromMs, toMs], at most maxSamples
    // samples in all (buckets merged as needed), plus the nearest sample on
    // either side of the range so a line reaches the edges.
    QList<HistoryCurvePiece> curve(const Key &key, qint64 fromMs, qint64 toMs,
                                   int maxSamples) const;

    // One row per quantity and unit with readings in [fromMs, toMs], in plot order.
    QList<HistoryStatistics> statistics(qint64 fromMs, qint64 toMs) const;

    // The value shown at a time: the newest sample at or before it, unless a
    // gap lies between; with its unit.
    struct Value
    {
        double value = 0;
        QString unit;
    };
    std::optional<Value> valueAt(const Key &key, qint64 timeMs) const;

    // The readings in [fromMs, toMs] in time order, as a recording writes
    // them (alarm rows included). Where only buckets are left, a bucket gives
    // two rows: its minimum and its maximum.
    QList<Reading> readings(qint64 fromMs, qint64 toMs) const;

    QList<HistoryAlarmSpan> alarms(qint64 fromMs, qint64 toMs) const;

    // What the store holds now, in bytes (for the budget and the benchmarks).
    qint64 memoryBytes() const;

    const Options &options() const { return m_options; }

    // A reading already taken apart, as a recording is read: value is the
    // number, NaN when empty, ±infinity for "OL"/"-OL"; decimals as written
    // (-1 when unknown); utcOffset in seconds, for writing the time again.
    void addValue(const QString &instrument, const QString &quantity, qint64 timeMs, int utcOffset,
                  double value, int decimals, const QString &unit, const QString &detail);
    // An alarm row (quantity "alarm"); rows whose detail does not name a
    // limit and "start" or "end" are kept as rows only.
    void addAlarmRow(const Reading &row);

private:
    int seriesIndex(const QString &instrument, const QString &quantity);
    const HistorySeries *find(const Key &key) const;
    void noteTime(qint64 timeMs);
    // A reading's time in ms since the epoch and its offset from UTC in seconds.
    qint64 epochMs(const QDateTime &time, int &utcOffset);
    // An alarm row's start opens a span of its limit, its end closes it.
    void noteAlarmSpan(const Reading &row, qint64 timeMs);
    void keepBudget();
    // Frees the oldest block of one level of the series that holds the oldest there.
    bool trimOldest(int level);
    // Frees the oldest coarse buckets or alarm rows, whichever are older.
    bool dropOldest();

    Options m_options;
    std::vector<HistorySeries> m_series; // in the order they came
    QList<Key> m_keys;                   // the same order
    QList<int> m_plotOrder;              // indices into m_series
    int m_lastSeries = -1;
    QList<HistoryAlarmSpan> m_alarms;
    QList<Reading> m_alarmRows;
    qint64 m_firstMs = -1;
    qint64 m_lastMs = -1;
    qint64 m_offsetWindow = std::numeric_limits<qint64>::min(); // of the local time below
    qint64 m_localOffsetMs = 0;
};
