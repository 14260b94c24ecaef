#pragma once

#include "portstatus.h"
#include "recordingfailure.h"

#include <QString>

// The logger's messages to standard error, worded as a command-line tool's:
// each is "korvanta-log: " and a line starting in lower case, without a full
// stop, in English whatever the window's language.
namespace LogMessages {

QString line(const QString &message);
// Why PORT did not open.
QString cannotOpen(const QString &port, const PortStatus &status, const QString &systemText);
QString lost(const QString &port, const QString &reason);
// The output file could not be made, or a write to the output failed.
QString cannotCreate(const QString &output, const RecordingFailure &failure);
QString cannotWrite(const QString &output, const RecordingFailure &failure);
QString noFolder(const QString &output, const QString &folder);
// Nothing intact came from PORT for that many seconds.
QString silent(const QString &port, int seconds);
// The broker's state: reached, waited for, or refusing for good.
QString publishing(const QString &broker, int queued);
QString waitingForBroker(const QString &broker, const QString &reason);
QString brokerRefused(const QString &broker, const QString &reason);
QString brokerTls(const QString &broker, const QString &reason);
QString droppedFromQueue(qint64 count);

} // namespace LogMessages
