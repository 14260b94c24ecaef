#include "solderingstatistics.h"

#include "historystore.h"

#include <cmath>

namespace {

struct Point
{
    qint64 timeMs;
    double low;
    double high;
    int piece;
};

// Samples enough for a second's resolution over hours and a few seconds' over a
// day, yet few enough to count at every redraw. A bucket is within the
// tolerance only when its minimum and its maximum are, so no excursion hides
// in one.
constexpr int kSamples = 20000;

QVector<Point> pointsOf(const HistoryStore &store, const HistoryStore::Key &key, qint64 fromMs,
                        qint64 toMs)
{
    QVector<Point> points;
    const auto pieces = store.curve(key, fromMs, toMs, kSamples);
    for (int p = 0; p < pieces.size(); ++p)
        for (const HistorySample &sample : pieces.at(p).samples)
            if (sample.timeMs >= fromMs && sample.timeMs <= toMs)
                points.append({sample.timeMs, sample.low, sample.high, p});
    return points;
}

SolderingStatistics statisticsOf(const QString &instrument, const QVector<Point> &set,
                                 const QVector<Point> &actual, double tolerance)
{
    SolderingStatistics result;
    result.instrument = instrument;
    int setAt = 0;
    double setValue = set.first().high;
    qint64 heatFrom = actual.first().timeMs;
    bool heating = true;
    bool inside = false;
    qint64 outsideSince = 0;
    qint64 inMs = 0;
    qint64 outMs = 0;
    qint64 longestMs = 0;
    for (int i = 0; i < actual.size(); ++i) {
        const Point &point = actual.at(i);
        // The set temperature at this reading; a change starts a new heat-up.
        while (setAt < set.size() && set.at(setAt).timeMs <= point.timeMs) {
            if (set.at(setAt).high != setValue) {
                setValue = set.at(setAt).high;
                heatFrom = set.at(setAt).timeMs;
                heating = true;
            }
            ++setAt;
        }
        const bool within = std::fabs(point.low - setValue) <= tolerance &&
                            std::fabs(point.high - setValue) <= tolerance;
        if (heating) {
            if (within) {
                heating = false;
                inside = true;
                result.heatUpSeconds = (point.timeMs - heatFrom) / 1000.0;
            }
            continue;
        }
        // The time since the last reading counts for the state it had, unless a gap lies between.
        const Point &last = actual.at(i - 1);
        if (last.piece == point.piece)
            (inside ? inMs : outMs) += point.timeMs - last.timeMs;
        if (inside && !within) {
            ++result.excursions;
            outsideSince = point.timeMs;
        } else if (!inside && within) {
            longestMs = qMax(longestMs, point.timeMs - outsideSince);
        }
        inside = within;
    }
    // Still outside at the end: as long as it has been so far.
    if (!heating && !inside)
        longestMs = qMax(longestMs, actual.last().timeMs - outsideSince);
    result.shareInTolerance = inMs + outMs > 0 ? double(inMs) / double(inMs + outMs) : 0;
    result.longestRecoverySeconds = longestMs / 1000.0;
    return result;
}

} // namespace

// heatUpSeconds is the last heat-up the range completes; the time of a later
// heat-up (after a set change) counts neither inside nor outside the tolerance.
QList<SolderingStatistics> SolderingStatistics::of(const HistoryStore &store, qint64 fromMs,
                                                   qint64 toMs, double ironTolerance,
                                                   double hotairTolerance)
{
    QList<SolderingStatistics> list;
    for (const QString &instrument : {QStringLiteral("iron"), QStringLiteral("hotair")}) {
        const auto set =
            pointsOf(store, {instrument, QStringLiteral("set_temperature")}, fromMs, toMs);
        const auto actual =
            pointsOf(store, {instrument, QStringLiteral("temperature")}, fromMs, toMs);
        if (set.isEmpty() || actual.isEmpty())
            continue;
        list.append(
            statisticsOf(instrument, set, actual,
                         instrument == QLatin1String("iron") ? ironTolerance : hotairTolerance));
    }
    return list;
}
