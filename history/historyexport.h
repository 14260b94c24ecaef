#pragma once

#include <QtGlobal>

class HistoryStore;
class QIODevice;

// The readings of a time range as a CSV recording (the header row and the
// rows the window's recording writes), so that opening it again shows them.
class HistoryExport
{
public:
    static bool writeCsv(const HistoryStore &store, qint64 fromMs, qint64 toMs, QIODevice &out);
};
