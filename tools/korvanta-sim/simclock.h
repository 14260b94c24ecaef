#pragma once

#include <QElapsedTimer>

#include <csignal>

// Seconds since the bench started, sleeping that wakes for a stop request
// (SIGINT, SIGTERM, SIGHUP or the end of the run).
class SimClock
{
public:
    SimClock() { timer.start(); }

    double now() const { return timer.nsecsElapsed() / 1e9; }
    // Sleeps until the given time; false when a stop was requested first.
    bool sleepUntil(double seconds) const;
    // Sleeps whatever happens, for short waits that must run to the end.
    static void nap(double seconds);

    static void handleStopSignals();
    static bool stopRequested() { return stopFlag != 0; }
    static void requestStop() { stopFlag = 1; }

private:
    QElapsedTimer timer;
    static volatile std::sig_atomic_t stopFlag;
};
