#pragma once

#include <QDateTime>
#include <QString>

// Where the window puts its recordings and how it names them.
namespace RecordingFolder {

// "<Documents>/Korvanta/recordings".
QString path();
// "korvanta-YYYYMMDD-HHMMSS.csv" for the local start time.
QString fileName(const QDateTime &start);
// A path in the folder for a recording started at start that names no
// existing file: a second recording within the same second gets "-2", and so on.
QString newFilePath(const QString &folder, const QDateTime &start);

} // namespace RecordingFolder
