#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

class HistoryStore;

// A station's process over a time range: how long it took to reach its set
// temperature, and how well it held it after.
struct SolderingStatistics
{
    QString instrument;          // "iron" or "hotair"
    double heatUpSeconds = -1;   // from the first reading or a set change to within
                                 // tolerance; -1 when not reached in the range
    double shareInTolerance = 0; // 0…1, of the time after the heat-up
    int excursions = 0;          // times it left the tolerance after the heat-up
    double longestRecoverySeconds = 0;

    // For "iron" and "hotair" when the range holds their set and actual temperatures.
    static QList<SolderingStatistics> of(const HistoryStore &store, qint64 fromMs, qint64 toMs,
                                         double ironTolerance, double hotairTolerance);
};
