#include "simprocess.h"

#include <QRegularExpression>

SimProcess::SimProcess()
{
    QObject::connect(&process, &QProcess::readyReadStandardOutput,
                     [this] { out += QString::fromLocal8Bit(process.readAllStandardOutput()); });
    QObject::connect(&process, &QProcess::readyReadStandardError,
                     [this] { err += QString::fromLocal8Bit(process.readAllStandardError()); });
}

SimProcess::~SimProcess()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
}

QString SimProcess::programPath()
{
    return QStringLiteral(KORVANTA_SIM_PATH);
}

void SimProcess::start(const QStringList &arguments)
{
    process.start(programPath(), arguments);
    process.waitForStarted(10000);
}

void SimProcess::interrupt(int signal)
{
    if (process.state() == QProcess::Running)
        ::kill(pid_t(process.processId()), signal);
}

bool SimProcess::waitForEnd(int timeoutMs)
{
    const bool ended =
        process.state() == QProcess::NotRunning || process.waitForFinished(timeoutMs);
    out += QString::fromLocal8Bit(process.readAllStandardOutput());
    err += QString::fromLocal8Bit(process.readAllStandardError());
    return ended;
}

QMap<QString, double> SimProcess::report() const
{
    QMap<QString, double> values;
    const QRegularExpression line(QStringLiteral("^korvanta-sim: (sent=.*)$"),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(err);
    if (!match.hasMatch())
        return values;
    for (const QString &pair : match.captured(1).split(' ', Qt::SkipEmptyParts)) {
        const int equals = pair.indexOf('=');
        values[pair.left(equals)] = pair.mid(equals + 1).toDouble();
    }
    return values;
}
