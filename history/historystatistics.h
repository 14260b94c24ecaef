#pragma once

#include <QString>
#include <QtGlobal>

// What one quantity in one unit did over a time range.
struct HistoryStatistics
{
    QString instrument;
    QString quantity;
    QString unit;
    double minimum = 0;
    double maximum = 0;
    double mean = 0;
    double standardDeviation = 0; // of the population
    qint64 count = 0;             // readings, also those folded into buckets
    double last = 0;
};
