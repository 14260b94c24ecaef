#pragma once

#include <QString>
#include <QtGlobal>

// An alarm as the history shows it: from its start row to its end row, or
// still open (endMs < 0).
struct HistoryAlarmSpan
{
    QString instrument;
    QString limitKey;   // "power.current", "iron.tolerance", …
    QString boundsText; // ":1.5", "±5", …
    qint64 startMs = 0;
    qint64 endMs = -1;
};
