#include "historystore.h"

#include "historycurvebuilder.h"
#include "historynumber.h"
#include "historystatisticsbuilder.h"

#include <algorithm>

namespace {

// Where a quantity goes in the plot order; others follow in the order they came.
int plotRank(const QString &instrument, const QString &quantity)
{
    static const char *const order[][2] = {{"multimeter", "reading"},     {"power", "voltage"},
                                           {"power", "current"},          {"power", "power"},
                                           {"iron", "set_temperature"},   {"iron", "temperature"},
                                           {"hotair", "set_temperature"}, {"hotair", "temperature"},
                                           {"hotair", "air_speed"}};
    for (int i = 0; i < int(sizeof(order) / sizeof(order[0])); ++i)
        if (instrument == QLatin1String(order[i][0]) && quantity == QLatin1String(order[i][1]))
            return i;
    return 1000;
}

// "<limit>=<bounds> start|end"
bool parseAlarmDetail(const QString &detail, QString &limitKey, QString &bounds, bool &start)
{
    const int equals = detail.indexOf(QLatin1Char('='));
    const int space = detail.lastIndexOf(QLatin1Char(' '));
    if (equals <= 0 || space < equals)
        return false;
    const QStringRef word = detail.midRef(space + 1);
    if (word != QLatin1String("start") && word != QLatin1String("end"))
        return false;
    start = word == QLatin1String("start");
    limitKey = detail.left(equals);
    bounds = detail.mid(equals + 1, space - equals - 1);
    return true;
}

} // namespace

HistoryStore::HistoryStore() : HistoryStore(Options()) {}

HistoryStore::HistoryStore(Options options) : m_options(options) {}

void HistoryStore::add(const QList<Reading> &readings)
{
    // The readings of a frame share their time: convert it once.
    const QDateTime *lastTime = nullptr;
    qint64 timeMs = 0;
    int offset = 0;
    for (const Reading &reading : readings) {
        if (!lastTime || !(reading.time == *lastTime)) {
            lastTime = &reading.time;
            timeMs = epochMs(reading.time, offset);
        }
        if (reading.quantity == QLatin1String("alarm")) {
            addAlarmRow(reading);
            continue;
        }
        const HistoryNumber::Parsed parsed = HistoryNumber::parse(reading.value);
        const int index = seriesIndex(reading.instrument, reading.quantity);
        noteTime(timeMs);
        if (m_series[size_t(index)].add(timeMs, parsed.value, parsed.decimals, reading.unit,
                                        reading.detail, nullptr, offset, m_options.gapMs))
            keepBudget();
    }
}

qint64 HistoryStore::epochMs(const QDateTime &time, int &utcOffset)
{
    if (time.timeSpec() != Qt::LocalTime) {
        utcOffset = time.offsetFromUtc();
        return time.toMSecsSinceEpoch();
    }
    // Local time asks the system's time zone (a file lookup) at each
    // conversion. Its offset changes only on a quarter hour, so it is asked
    // once per quarter hour of local time; date() and time() are local already.
    const QDate date = time.date();
    if (!date.isValid())
        return time.toMSecsSinceEpoch();
    const qint64 local =
        (date.toJulianDay() - 2440588) * 86400000LL + time.time().msecsSinceStartOfDay();
    const qint64 quarter = 15 * 60 * 1000;
    const qint64 window = local >= 0 ? local / quarter : -((-local + quarter - 1) / quarter);
    if (window != m_offsetWindow) {
        m_offsetWindow = window;
        m_localOffsetMs = local - time.toMSecsSinceEpoch();
    }
    utcOffset = int(m_localOffsetMs / 1000);
    return local - m_localOffsetMs;
}

void HistoryStore::addValue(const QString &instrument, const QString &quantity, qint64 timeMs,
                            int utcOffset, double value, int decimals, const QString &unit,
                            const QString &detail)
{
    const int index = seriesIndex(instrument, quantity);
    noteTime(timeMs);
    if (m_series[size_t(index)].add(timeMs, value, decimals, unit, detail, nullptr, utcOffset,
                                    m_options.gapMs))
        keepBudget();
}

void HistoryStore::addAlarmRow(const Reading &row)
{
    m_alarmRows.append(row);
    const qint64 timeMs = row.time.toMSecsSinceEpoch();
    noteTime(timeMs);
    noteAlarmSpan(row, timeMs);
    keepBudget(); // alarms are few, but a limit on a noisy value may flap
}

void HistoryStore::noteAlarmSpan(const Reading &row, qint64 timeMs)
{
    HistoryAlarmSpan span;
    bool start = false;
    if (!parseAlarmDetail(row.detail, span.limitKey, span.boundsText, start))
        return;
    if (start) {
        span.instrument = row.instrument;
        span.startMs = timeMs;
        m_alarms.append(span);
        return;
    }
    for (int i = m_alarms.size() - 1; i >= 0; --i) {
        HistoryAlarmSpan &open = m_alarms[i];
        if (open.endMs < 0 && open.limitKey == span.limitKey && open.instrument == row.instrument) {
            open.endMs = timeMs;
            return;
        }
    }
    // An end without its start (the start was before the file began).
    span.instrument = row.instrument;
    span.startMs = span.endMs = timeMs;
    m_alarms.append(span);
}

void HistoryStore::breakAll()
{
    for (HistorySeries &series : m_series)
        series.breakLine();
}

int HistoryStore::seriesIndex(const QString &instrument, const QString &quantity)
{
    // Frames come round in the same order: the one after the last is likely.
    const int count = int(m_series.size());
    for (int step = 1; step <= count; ++step) {
        const int i = (m_lastSeries + step) % count;
        if (m_keys.at(i).second == quantity && m_keys.at(i).first == instrument)
            return m_lastSeries = i;
    }
    m_series.emplace_back();
    m_keys.append({instrument, quantity});
    const int index = count;
    const int rank = plotRank(instrument, quantity);
    auto at = std::upper_bound(m_plotOrder.begin(), m_plotOrder.end(), rank, [&](int r, int i) {
        return r < plotRank(m_keys.at(i).first, m_keys.at(i).second);
    });
    m_plotOrder.insert(at, index);
    return m_lastSeries = index;
}

const HistorySeries *HistoryStore::find(const Key &key) const
{
    const int i = m_keys.indexOf(key);
    return i < 0 ? nullptr : &m_series[size_t(i)];
}

void HistoryStore::noteTime(qint64 timeMs)
{
    m_firstMs = m_firstMs < 0 ? timeMs : qMin(m_firstMs, timeMs);
    m_lastMs = qMax(m_lastMs, timeMs);
}

void HistoryStore::keepBudget()
{
    const qint64 rawBudget =
        qint64(double(m_options.memoryBudgetBytes) * m_options.fullResolutionShare);
    bool droppedOldest = false;
    for (int round = 0; round < 100000; ++round) {
        qint64 raw = 0;
        for (const HistorySeries &series : m_series)
            raw += series.bytes(0);
        // The oldest data goes first: full resolution over its share, then,
        // while the whole (buckets of every level, pieces and their texts,
        // alarm rows) is over the budget, the finest bucket level that still
        // has some older than the level below, and when none has, the oldest
        // of all that is left.
        bool trimmed = false;
        if (raw > rawBudget) {
            trimmed = trimOldest(0);
        } else if (memoryBytes() > m_options.memoryBudgetBytes) {
            for (int level = 1; level < HistorySeries::Levels && !trimmed; ++level)
                trimmed = trimOldest(level);
            if (!trimmed)
                droppedOldest = trimmed = dropOldest();
        }
        if (!trimmed)
            break;
    }
    if (droppedOldest) {
        m_firstMs = m_alarmRows.isEmpty() ? -1 : m_alarmRows.first().time.toMSecsSinceEpoch();
        for (const HistorySeries &series : m_series)
            if (series.firstMs() >= 0)
                m_firstMs = m_firstMs < 0 ? series.firstMs() : qMin(m_firstMs, series.firstMs());
    }
}

bool HistoryStore::trimOldest(int level)
{
    std::vector<HistorySeries *> order;
    for (HistorySeries &series : m_series)
        order.push_back(&series);
    std::sort(order.begin(), order.end(), [level](HistorySeries *a, HistorySeries *b) {
        return a->frontMs(level) < b->frontMs(level);
    });
    for (HistorySeries *series : order)
        if (series->trimFront(level))
            return true;
    return false;
}

bool HistoryStore::dropOldest()
{
    const qint64 alarmsFrom = m_alarmRows.isEmpty() ? std::numeric_limits<qint64>::max()
                                                    : m_alarmRows.first().time.toMSecsSinceEpoch();
    qint64 seriesFrom = std::numeric_limits<qint64>::max();
    for (const HistorySeries &series : m_series)
        seriesFrom = qMin(seriesFrom, series.frontMs(HistorySeries::Levels));
    if (seriesFrom <= alarmsFrom && trimOldest(HistorySeries::Levels))
        return true;
    if (m_alarmRows.size() < 4)
        return false;
    // The oldest alarm rows, and the spans that ended before what is left.
    m_alarmRows.erase(m_alarmRows.begin(), m_alarmRows.begin() + qMin(256, m_alarmRows.size() / 4));
    const qint64 cutMs = m_alarmRows.first().time.toMSecsSinceEpoch();
    m_alarms.erase(std::remove_if(m_alarms.begin(), m_alarms.end(),
                                  [cutMs](const HistoryAlarmSpan &span) {
                                      return span.endMs >= 0 && span.endMs < cutMs;
                                  }),
                   m_alarms.end());
    return true;
}

bool HistoryStore::isEmpty() const
{
    return m_series.empty() && m_alarmRows.isEmpty();
}

qint64 HistoryStore::firstTimeMs() const
{
    return isEmpty() ? -1 : m_firstMs;
}

qint64 HistoryStore::lastTimeMs() const
{
    return isEmpty() ? -1 : m_lastMs;
}

QList<HistoryStore::Key> HistoryStore::keys() const
{
    QList<Key> keys;
    for (int index : m_plotOrder)
        keys.append(m_keys.at(index));
    return keys;
}

QList<HistoryCurvePiece> HistoryStore::curve(const Key &key, qint64 fromMs, qint64 toMs,
                                             int maxSamples) const
{
    const HistorySeries *series = find(key);
    return series ? HistoryCurveBuilder::build(*series, fromMs, toMs, maxSamples)
                  : QList<HistoryCurvePiece>();
}

QList<HistoryStatistics> HistoryStore::statistics(qint64 fromMs, qint64 toMs) const
{
    QList<HistoryStatistics> rows;
    for (int index : m_plotOrder) {
        const auto units = HistoryStatisticsBuilder::perUnit(m_series[size_t(index)], fromMs, toMs);
        for (const auto &entry : units) {
            HistoryStatistics row;
            row.instrument = m_keys.at(index).first;
            row.quantity = m_keys.at(index).second;
            row.unit = entry.first;
            row.minimum = entry.second.low;
            row.maximum = entry.second.high;
            row.mean = entry.second.mean();
            row.standardDeviation = entry.second.standardDeviation();
            row.count = entry.second.count;
            row.last = entry.second.last;
            rows.append(row);
        }
    }
    return rows;
}

std::optional<HistoryStore::Value> HistoryStore::valueAt(const Key &key, qint64 timeMs) const
{
    const HistorySeries *series = find(key);
    if (!series || timeMs == std::numeric_limits<qint64>::max())
        return std::nullopt;
    const auto sample = series->nearest(0, timeMs + 1, HistorySeries::Side::Before);
    if (!sample || timeMs - (sample->startMs + sample->spanMs) > m_options.gapMs)
        return std::nullopt;
    return Value{sample->last, series->piece(sample->piece).unit};
}

QList<Reading> HistoryStore::readings(qint64 fromMs, qint64 toMs) const
{
    struct Row
    {
        qint64 timeMs;
        double value;
        int series;
        int piece;
    };
    std::vector<Row> rows;
    for (int index : m_plotOrder) {
        m_series[size_t(index)].visitRows(
            fromMs, toMs,
            [&](const HistoryBucket &b) {
                rows.push_back({b.startMs, b.last, index, b.piece});
            },
            [&](const HistoryBucket &b) {
                rows.push_back({b.startMs, b.low, index, b.piece});
                if (b.count > 1)
                    rows.push_back({b.startMs + b.spanMs, b.high, index, b.piece});
            });
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row &a, const Row &b) { return a.timeMs < b.timeMs; });

    QList<Reading> readings;
    readings.reserve(int(rows.size()));
    QDateTime time;
    qint64 timeMs = 0;
    int offset = 0;
    int alarm = 0;
    const auto alarmsUpTo = [&](qint64 endMs) {
        for (; alarm < m_alarmRows.size(); ++alarm) {
            const qint64 t = m_alarmRows.at(alarm).time.toMSecsSinceEpoch();
            if (t >= endMs)
                break;
            if (t >= fromMs && t <= toMs)
                readings.append(m_alarmRows.at(alarm));
        }
    };
    for (const Row &row : rows) {
        alarmsUpTo(row.timeMs);
        const HistorySeries::Piece &piece = m_series[size_t(row.series)].piece(row.piece);
        if (!time.isValid() || row.timeMs != timeMs || piece.utcOffset != offset) {
            timeMs = row.timeMs;
            offset = piece.utcOffset;
            time = QDateTime::fromMSecsSinceEpoch(timeMs, Qt::OffsetFromUTC, offset);
        }
        const Key &key = m_keys.at(row.series);
        readings.append({time, key.first, key.second,
                         HistoryNumber::text(row.value, piece.decimals), piece.unit, piece.detail});
    }
    alarmsUpTo(std::numeric_limits<qint64>::max());
    return readings;
}

QList<HistoryAlarmSpan> HistoryStore::alarms(qint64 fromMs, qint64 toMs) const
{
    QList<HistoryAlarmSpan> spans;
    for (const HistoryAlarmSpan &span : m_alarms)
        if (span.startMs <= toMs && (span.endMs < 0 || span.endMs >= fromMs))
            spans.append(span);
    return spans;
}

qint64 HistoryStore::memoryBytes() const
{
    qint64 bytes = qint64(sizeof(*this));
    for (const HistorySeries &series : m_series)
        bytes += series.bytes();
    // An alarm row holds six strings and a time.
    bytes += (m_alarmRows.size() + m_alarms.size()) * qint64(sizeof(Reading) + 6 * 32);
    return bytes;
}
