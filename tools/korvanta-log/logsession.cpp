#include "logsession.h"

#include "csvrecorder.h"
#include "jsonlrecorder.h"
#include "logmessages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <unistd.h>

LogSession::LogSession(const LogOptions &options, QTextStream &err) : options(options), err(err)
{
    connect(&stopSignals, &StopSignals::received, this, [this] { finish(Done); });
    connect(&reader, &PortReader::frameReceived, this, &LogSession::frameReceived);
    connect(&reader, &PortReader::unframedReceived, this, &LogSession::unframedReceived);
    connect(&reader, &PortReader::lost, this, [this](const QString &reason) {
        if (finished)
            return;
        report(LogMessages::lost(this->options.port, reason));
        finish(PortLost);
    });
    // A wrong port, wrong line settings or instruments switched off look alike:
    // nothing intact arrives. Said once per silence; the run goes on.
    // The timer is not restarted per frame (that costs at the full line
    // rate); it looks back at the last frame when it runs out.
    silenceTimer.setSingleShot(true);
    connect(&silenceTimer, &QTimer::timeout, this, &LogSession::checkSilence);
    durationTimer.setSingleShot(true);
    durationTimer.setTimerType(Qt::PreciseTimer);
    connect(&durationTimer, &QTimer::timeout, this, [this] {
        if (!stopAtDuration())
            armDurationTimer();
    });
    reader.setReportUnframed(options.raw);
}

LogSession::~LogSession() = default;

int LogSession::run()
{
    if (!openPort())
        return CannotOpen;
    if (!startOutput()) {
        reader.close();
        return OutputFailed;
    }
    if (options.publishes())
        startPublishing();
    armDurationTimer();
    sinceFrame.start();
    silenceTimer.start(kSilenceSeconds * 1000);
    return QCoreApplication::exec();
}

bool LogSession::openPort()
{
    PortStatus status;
    QString systemText;
    if (reader.open(options.port, status, systemText))
        return true;
    report(LogMessages::cannotOpen(options.port, status, systemText));
    return false;
}

bool LogSession::startOutput()
{
    if (options.format == LogOptions::Format::Jsonl)
        recorder = std::make_unique<JsonlRecorder>();
    else
        recorder = std::make_unique<CsvRecorder>();
    if (!options.output.isEmpty()) {
        // A mistyped folder is a mistake to report, not a folder to make.
        const QString folder = QFileInfo(options.output).absolutePath();
        if (!QFileInfo(folder).isDir()) {
            report(LogMessages::noFolder(options.output, QDir::toNativeSeparators(folder)));
            return false;
        }
    }
    bool started;
    if (!options.writesRows) {
        // Published only: the rows are made, counted and thrown away.
        auto out = std::make_unique<QFile>(QStringLiteral("/dev/null"));
        started = out->open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                  recorder->start(std::move(out));
    } else if (options.output.isEmpty()) {
        auto out = std::make_unique<QFile>();
        started = out->open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                            QFileDevice::DontCloseHandle) &&
                  recorder->start(std::move(out));
    } else {
        started = recorder->start(options.output);
    }
    if (!started) {
        // Standard output is there already: only its first write can fail.
        report(options.output.isEmpty()
                   ? LogMessages::cannotWrite(outputName(), recorder->failure())
                   : LogMessages::cannotCreate(outputName(), recorder->failure()));
        return false;
    }
    if (options.checksAlarms()) {
        const LimitSet limits =
            options.limitsFile.isEmpty() ? LimitSet() : LimitSet::fromFile(options.limitsFile);
        for (const QString &key : limits.badKeys)
            report(LogMessages::line(QStringLiteral("limit ignored, not understood: ") + key));
        alarms = std::make_unique<AlarmMonitor>(limits);
    }
    log = std::make_unique<FrameLog>(*recorder, options.instruments, options.raw, alarms.get());
    return true;
}

void LogSession::startPublishing()
{
    broker = std::make_unique<BrokerLink>(options.mqtt, err);
    connect(broker.get(), &BrokerLink::refused, this, [this] { finish(BrokerRefused); });
    log->setPublisher(&broker->publisher());
    broker->start();
}

QString LogSession::outputName() const
{
    return options.output.isEmpty() ? QStringLiteral("standard output") : options.output;
}

void LogSession::frameReceived(const QByteArray &frame)
{
    if (finished || stopAtDuration())
        return;
    sinceFrame.restart();
    if (!silenceTimer.isActive()) // it had its say: a new silence may begin
        silenceTimer.start(kSilenceSeconds * 1000);
    if (!log->addFrame(frame, clock.now())) {
        outputFailed();
        return;
    }
    if (options.alarmExit && log->alarmsStarted() > 0)
        finish(AlarmRaised);
    else if (options.count > 0 && log->frames() >= options.count)
        finish(Done);
}

void LogSession::unframedReceived(const QByteArray &text)
{
    if (finished || stopAtDuration())
        return;
    if (!log->addUnframed(text, clock.now()))
        outputFailed();
}

void LogSession::checkSilence()
{
    const qint64 left = kSilenceSeconds * 1000 - sinceFrame.elapsed();
    if (left > 0) {
        silenceTimer.start(int(left));
        return;
    }
    report(LogMessages::silent(options.port, kSilenceSeconds));
}

void LogSession::armDurationTimer()
{
    if (options.duration <= 0)
        return;
    // A timer takes at most 24 days; a longer run is timed in steps.
    const double left = options.duration * 1000 - double(recorder->elapsedMs());
    durationTimer.start(int(std::clamp(left, 1.0, 1e9)));
}

bool LogSession::stopAtDuration()
{
    // The timer may come late on a busy machine; no row goes past the duration.
    if (options.duration <= 0 || recorder->elapsedMs() < options.duration * 1000)
        return false;
    finish(Done);
    return true;
}

void LogSession::outputFailed()
{
    report(LogMessages::cannotWrite(outputName(), recorder->failure()));
    finish(OutputFailed);
}

void LogSession::finish(int status)
{
    if (finished)
        return;
    finished = true;
    durationTimer.stop();
    silenceTimer.stop();
    reader.close();
    if (broker)
        broker->stop();
    if (recorder) {
        QString summary = QStringLiteral("frames=%1 rows=%2 seconds=%3")
                              .arg(log ? log->frames() : 0)
                              .arg(recorder->rowCount())
                              .arg(recorder->elapsedMs() / 1000.0, 0, 'f', 1);
        if (broker)
            summary += ' ' + broker->summary();
        err << LogMessages::line(summary) << Qt::endl;
        recorder->stop();
    }
    QCoreApplication::exit(status);
}

void LogSession::report(const QString &line)
{
    err << line << Qt::endl;
}
