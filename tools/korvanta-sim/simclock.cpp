#include "simclock.h"

#include <algorithm>
#include <ctime>

volatile std::sig_atomic_t SimClock::stopFlag = 0;

namespace {

extern "C" void onStopSignal(int)
{
    SimClock::requestStop();
}

} // namespace

bool SimClock::sleepUntil(double seconds) const
{
    for (;;) {
        if (stopRequested())
            return false;
        const double left = seconds - now();
        if (left <= 0)
            return true;
        nap(std::min(left, 0.02)); // a stop request is seen within 20 ms
    }
}

void SimClock::nap(double seconds)
{
    timespec span{0, long(std::clamp(seconds, 0.0, 0.999) * 1e9)};
    nanosleep(&span, nullptr);
}

void SimClock::handleStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}
