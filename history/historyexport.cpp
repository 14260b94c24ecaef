#include "historyexport.h"

#include "csvrecorder.h"
#include "historystore.h"

#include <QIODevice>

bool HistoryExport::writeCsv(const HistoryStore &store, qint64 fromMs, qint64 toMs, QIODevice &out)
{
    if (out.write(CsvRecorder::header()) < 0)
        return false;
    if (store.isEmpty())
        return true;
    fromMs = qMax(fromMs, store.firstTimeMs());
    toMs = qMin(toMs, store.lastTimeMs());
    // A slice at a time, so a long range never sits in memory as readings at once.
    const qint64 sliceMs = 10 * 60 * 1000;
    qint64 firstMs = -1;
    for (qint64 from = fromMs; from <= toMs; from += sliceMs) {
        const qint64 to = qMin(toMs, from + sliceMs - 1);
        QByteArray bytes;
        for (const Reading &reading : store.readings(from, to)) {
            const qint64 timeMs = reading.time.toMSecsSinceEpoch();
            if (firstMs < 0)
                firstMs = timeMs;
            bytes += CsvRecorder::row(reading, timeMs - firstMs);
        }
        if (!bytes.isEmpty() && out.write(bytes) != bytes.size())
            return false;
        if (to == toMs)
            break;
    }
    return true;
}
