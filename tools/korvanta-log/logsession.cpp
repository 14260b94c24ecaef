#include "logsession.h"

#include "csvrecorder.h"
#include "jsonlrecorder.h"
#include "languagetext.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>

#include <unistd.h>

namespace {

QString text(const char *key)
{
    return languageText[QLatin1String(key)];
}

} // namespace

LogSession::LogSession(const LogOptions &options, QTextStream &err) : options(options), err(err)
{
    connect(&stopSignals, &StopSignals::received, this, [this] { finish(Done); });
    connect(&reader, &PortReader::frameReceived, this, &LogSession::frameReceived);
    connect(&reader, &PortReader::unframedReceived, this, &LogSession::unframedReceived);
    connect(&reader, &PortReader::lost, this, [this](const QString &reason) {
        if (finished)
            return;
        report(QStringLiteral("lost %1 (%2)").arg(this->options.port, reason));
        finish(PortLost);
    });
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
    armDurationTimer();
    return QCoreApplication::exec();
}

bool LogSession::openPort()
{
    PortStatus status;
    QString systemText;
    if (reader.open(options.port, status, systemText))
        return true;
    // The window's words for it; the system's own without the language files.
    const QString reason = text("ids_Port_Language/ids_notFound").isEmpty()
                               ? QStringLiteral("cannot open %1: %2").arg(options.port, systemText)
                               : status.text();
    report(reason);
    return false;
}

bool LogSession::startOutput()
{
    if (options.format == LogOptions::Format::Jsonl)
        recorder = std::make_unique<JsonlRecorder>();
    else
        recorder = std::make_unique<CsvRecorder>();
    bool started;
    if (options.output.isEmpty()) {
        auto out = std::make_unique<QFile>();
        started = out->open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                            QFileDevice::DontCloseHandle) &&
                  recorder->start(std::move(out));
    } else {
        started = recorder->start(options.output);
    }
    if (!started) {
        // Standard output is there already: only its first write can fail.
        reportOutputFailure(options.output.isEmpty() ? "ids_stopped" : "ids_cannotStart");
        return false;
    }
    log = std::make_unique<FrameLog>(*recorder, options.instruments, options.raw);
    return true;
}

QString LogSession::outputName() const
{
    return options.output.isEmpty() ? QStringLiteral("standard output") : options.output;
}

void LogSession::frameReceived(const QByteArray &frame)
{
    if (finished || stopAtDuration())
        return;
    if (!log->addFrame(frame, clock.now())) {
        outputFailed();
        return;
    }
    if (options.count > 0 && log->frames() >= options.count)
        finish(Done);
}

void LogSession::unframedReceived(const QByteArray &text)
{
    if (finished || stopAtDuration())
        return;
    if (!log->addUnframed(text, clock.now()))
        outputFailed();
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
    reportOutputFailure("ids_stopped");
    finish(OutputFailed);
}

void LogSession::reportOutputFailure(const char *entry)
{
    const QString message = text((QByteArray("ids_Record_Language/") + entry).constData());
    const QString reason = recorder->failure().reasonText();
    report(message.isEmpty() ? QStringLiteral("cannot write %1 (%2)").arg(outputName(), reason)
                             : message.arg(outputName(), reason));
}

void LogSession::finish(int status)
{
    if (finished)
        return;
    finished = true;
    durationTimer.stop();
    reader.close();
    if (recorder) {
        err << QStringLiteral("korvanta-log: frames=%1 rows=%2 seconds=%3")
                   .arg(log ? log->frames() : 0)
                   .arg(recorder->rowCount())
                   .arg(recorder->elapsedMs() / 1000.0, 0, 'f', 1)
            << Qt::endl;
        recorder->stop();
    }
    QCoreApplication::exit(status);
}

void LogSession::report(const QString &message)
{
    err << "korvanta-log: " << message << Qt::endl;
}
