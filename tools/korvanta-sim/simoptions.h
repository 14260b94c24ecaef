#pragma once

#include "faultinjector.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the command line asks of the bench.
struct SimOptions
{
    struct Silence
    {
        int kind;
        double start;
        double seconds;
    };

    QList<int> kinds = {0, 1, 2, 3};
    double rate = 0; // frames per second per instrument; 0: what each one sends
    bool maxRate = false;
    double seconds = 0; // 0: until stopped
    quint32 seed = 0;
    QString link;
    QString device;
    FaultInjector::Shares faults;
    QList<Silence> silences;
    double unplugAfter = 0; // 0: never
    double replugAfter = 0; // 0: stays unplugged
    double tableEvery = 0;  // seconds between table flags; 0: never

    enum class Outcome
    {
        Run,
        Help,
        Version,
        Error
    };
    // Parses the arguments (program name first). For Help and Version, text
    // is what to print; for Error, the reason.
    static Outcome parse(const QStringList &arguments, SimOptions &options, QString &text);

    // $XDG_RUNTIME_DIR/korvanta-sim, or /tmp/korvanta-sim-$USER without it.
    static QString defaultLink();
};
