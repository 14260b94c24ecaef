#pragma once

#include "faultinjector.h"
#include "instrument.h"
#include "linewriter.h"
#include "pseudoterminal.h"
#include "serialdevice.h"
#include "simclock.h"
#include "simoptions.h"

#include <QTextStream>

#include <memory>
#include <vector>

// The instruments on their line: opens the line, lets each instrument send
// at its rate (or all in turn at the full line rate), applies the silences,
// unplugs and replugs, and reports what was sent.
class SimBench
{
public:
    SimBench(const SimOptions &options, QTextStream &out, QTextStream &err);

    // Runs to the end or to a stop request; returns the exit code.
    int run();
    const SimCounts &counts() const { return writer.counts(); }

private:
    struct Player
    {
        std::unique_ptr<Instrument> instrument;
        double interval;
        double due;
    };

    bool openLine();
    bool silent(int kind, double at) const;
    bool allSilent(double at) const;
    void sendFrom(Player &player, double at);
    void unplug();
    bool replug();
    void finish(double end);

    const SimOptions options;
    QTextStream &out;
    QTextStream &err;
    SimClock clock;
    FaultInjector faults;
    LineWriter writer;
    PseudoTerminal *pty = nullptr;
    std::unique_ptr<LineSink> line;
    std::vector<Player> players;
    bool unplugged = false;
};
