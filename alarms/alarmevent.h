#pragma once

#include "reading.h"

// The start or the end of an alarm, with the reading that started or ended it.
struct AlarmEvent
{
    bool start = true;
    QString limitKey;   // "power.current", "iron.tolerance", …
    QString boundsText; // ":1.5", "±5", …
    Reading reading;

    // Its row in a recording: quantity "alarm", the reading's value and unit,
    // the detail naming the limit and "start" or "end".
    Reading recordingRow() const
    {
        return {reading.time,
                reading.instrument,
                QStringLiteral("alarm"),
                reading.value,
                reading.unit,
                limitKey + QLatin1Char('=') + boundsText +
                    (start ? QStringLiteral(" start") : QStringLiteral(" end"))};
    }
};
