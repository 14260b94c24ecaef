#pragma once

#include <QMap>
#include <QProcess>
#include <QStringList>

#include <csignal>

// The korvanta-sim program, started by a test, and the counts it reports on
// standard error when it ends.
class SimProcess
{
public:
    SimProcess();
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    void start(const QStringList &arguments);
    // Asks it to stop as Ctrl+C (or another stop signal) would.
    void interrupt(int signal = SIGINT);
    bool waitForEnd(int timeoutMs);
    int exitCode() const { return process.exitCode(); }
    QString standardOutput() const { return out; }
    QString standardError() const { return err; }
    // The key=value pairs of its report line; empty before it ended.
    QMap<QString, double> report() const;

    static QString programPath();

private:
    QProcess process;
    QString out;
    QString err;
};
