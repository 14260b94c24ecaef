#pragma once

#include <QDateTime>

// The local time, as a time with the current offset from UTC. Asking the
// system for the local time costs a look at its time zone file every time;
// the offset changes only at whole seconds, so it is asked for once a second.
class LocalClock
{
public:
    QDateTime now();

private:
    qint64 second = -1;
    int offsetSeconds = 0;
};
