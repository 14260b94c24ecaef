#include "historystatisticstable.h"

#include "historynames.h"
#include "historystore.h"
#include "solderingstatistics.h"

#include <QHeaderView>
#include <QLocale>
#include <QStyle>
#include <QTableWidget>

namespace {

QString number(double value)
{
    return QLocale::c().toString(value, 'g', 6);
}

void put(QTableWidget *table, int row, int column, const QString &text)
{
    QTableWidgetItem *item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        table->setItem(row, column, item);
    }
    if (item->text() != text)
        item->setText(text);
}

} // namespace

void HistoryStatisticsTable::setHeaders(QTableWidget *table)
{
    const char *entries[ColumnCount] = {
        "ids_instrument", "ids_quantity",    "ids_unit",       "ids_minimum",
        "ids_maximum",    "ids_mean",        "ids_deviation",  "ids_count",
        "ids_last",       "ids_cursor1",     "ids_cursor2",    "ids_difference",
        "ids_heatUp",     "ids_inTolerance", "ids_excursions", "ids_recovery"};
    QStringList labels;
    for (const char *entry : entries)
        labels << HistoryNames::text(entry);
    table->setColumnCount(ColumnCount);
    table->setHorizontalHeaderLabels(labels);
    table->verticalHeader()->hide();
    // Fitted when rows come or go, not at every new value: measuring every
    // cell a few times a second costs more than the plots.
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->resizeColumnsToContents();
}

void HistoryStatisticsTable::fill(QTableWidget *table, const HistoryStore &store,
                                  const Range &range)
{
    const QList<HistoryStatistics> rows = store.statistics(range.fromMs, range.toMs);
    const QList<SolderingStatistics> stations = SolderingStatistics::of(
        store, range.fromMs, range.toMs, range.ironTolerance, range.hotairTolerance);
    const bool newRows = table->rowCount() != rows.size();
    table->setRowCount(rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        const HistoryStatistics &stats = rows[row];
        put(table, row, Instrument, HistoryNames::instrument(stats.instrument));
        put(table, row, Quantity, HistoryNames::quantity(stats.instrument, stats.quantity));
        put(table, row, Unit, stats.unit);
        put(table, row, Minimum, number(stats.minimum));
        put(table, row, Maximum, number(stats.maximum));
        put(table, row, Mean, number(stats.mean));
        put(table, row, Deviation, number(stats.standardDeviation));
        put(table, row, Count, QString::number(stats.count));
        put(table, row, Last, number(stats.last));

        const HistoryStore::Key key(stats.instrument, stats.quantity);
        std::optional<HistoryStore::Value> values[2];
        for (int i = 0; i < 2; ++i) {
            if (range.cursors[i] >= 0)
                values[i] = store.valueAt(key, range.cursors[i]);
            // A value in another unit than the row's belongs to another row.
            if (values[i] && values[i]->unit != stats.unit)
                values[i].reset();
            put(table, row, AtFirstCursor + i, values[i] ? number(values[i]->value) : QString());
        }
        put(table, row, Difference,
            values[0] && values[1] ? number(values[1]->value - values[0]->value) : QString());

        const SolderingStatistics *station = nullptr;
        if (stats.quantity == QLatin1String("temperature"))
            for (const SolderingStatistics &candidate : stations)
                if (candidate.instrument == stats.instrument)
                    station = &candidate;
        put(table, row, HeatUp,
            station ? (station->heatUpSeconds < 0 ? QStringLiteral("–")
                                                  : number(station->heatUpSeconds))
                    : QString());
        put(table, row, InTolerance,
            station
                ? QLocale::c().toString(100 * station->shareInTolerance, 'f', 1) + QLatin1Char('%')
                : QString());
        put(table, row, Excursions, station ? QString::number(station->excursions) : QString());
        put(table, row, LongestRecovery,
            station ? number(station->longestRecoverySeconds) : QString());
    }
    if (newRows) {
        table->resizeColumnsToContents();
        return;
    }
    // A value wider than its column widens it: a cut number would mislead.
    const QFontMetrics metrics(table->font());
    const int padding =
        2 * table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) +
        2 * table->frameWidth() + 6;
    for (int column = Minimum; column < ColumnCount; ++column) {
        int widest = 0;
        for (int row = 0; row < table->rowCount(); ++row)
            if (const QTableWidgetItem *item = table->item(row, column))
                widest = qMax(widest, metrics.horizontalAdvance(item->text()));
        if (widest + padding > table->columnWidth(column))
            table->setColumnWidth(column, widest + padding);
    }
}
