#pragma once

#include <QtGlobal>

class HistoryStore;
class QTableWidget;

// Fills the history window's table: a row per quantity and unit with
// readings in the range, its value at both cursors and their difference,
// and for the stations' actual temperature how the process went.
class HistoryStatisticsTable
{
public:
    enum Column
    {
        Instrument,
        Quantity,
        Unit,
        Minimum,
        Maximum,
        Mean,
        Deviation,
        Count,
        Last,
        AtFirstCursor,
        AtSecondCursor,
        Difference,
        HeatUp,
        InTolerance,
        Excursions,
        LongestRecovery,
        ColumnCount
    };

    struct Range
    {
        qint64 fromMs = 0;
        qint64 toMs = 0;
        qint64 cursors[2] = {-1, -1};
        double ironTolerance = 0;
        double hotairTolerance = 0;
    };

    static void setHeaders(QTableWidget *table);
    static void fill(QTableWidget *table, const HistoryStore &store, const Range &range);
};
