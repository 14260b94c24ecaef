#include "localclock.h"

QDateTime LocalClock::now()
{
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    const qint64 thisSecond = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    if (thisSecond != second) {
        second = thisSecond;
        offsetSeconds =
            QDateTime::fromMSecsSinceEpoch(second * 1000, Qt::LocalTime).offsetFromUtc();
    }
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, offsetSeconds);
}
