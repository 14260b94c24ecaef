#pragma once

#include "alarmmonitor.h"
#include "brokerlink.h"
#include "framelog.h"
#include "localclock.h"
#include "logoptions.h"
#include "portreader.h"
#include "stopsignals.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTextStream>
#include <QTimer>

#include <memory>

class ReadingRecorder;

// One run of the logger: opens the port and the output, writes the rows of
// every frame as it arrives and ends on the duration, the count, a stop
// signal, a lost port or a failed write, with the exit status for it.
class LogSession : public QObject
{
    Q_OBJECT

public:
    enum ExitStatus
    {
        Done = 0,
        BadArguments = 1,
        CannotOpen = 2,
        PortLost = 3,
        OutputFailed = 4,
        AlarmRaised = 5,
        BrokerRefused = 6,
    };
    // Without an intact frame for this long, the logger says so.
    static constexpr int kSilenceSeconds = 5;

    LogSession(const LogOptions &options, QTextStream &err);
    ~LogSession() override;

    // Runs until the end and returns the exit status.
    int run();

private:
    bool openPort();
    bool startOutput();
    void startPublishing();
    QString outputName() const;
    void frameReceived(const QByteArray &frame);
    void unframedReceived(const QByteArray &text);
    void checkSilence();
    void armDurationTimer();
    bool stopAtDuration();
    void outputFailed();
    void finish(int status);
    // One line of LogMessages to standard error.
    void report(const QString &line);

    const LogOptions options;
    QTextStream &err;
    StopSignals stopSignals;
    PortReader reader;
    std::unique_ptr<ReadingRecorder> recorder;
    std::unique_ptr<AlarmMonitor> alarms;
    std::unique_ptr<FrameLog> log;
    std::unique_ptr<BrokerLink> broker;
    LocalClock clock;
    QTimer durationTimer;
    QTimer silenceTimer;
    QElapsedTimer sinceFrame; // since the last intact frame, or the start
    bool finished = false;
};
