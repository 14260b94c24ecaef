#pragma once

#include "reading.h"
#include "recordingfailure.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>

#include <memory>

class QFile;

// Writes readings to a CSV file (RFC 4180, UTF-8, CRLF line ends, header row):
//   time,elapsed_s,instrument,quantity,value,unit,detail
// The rows of each append go to the file in one unbuffered write, so they are
// with the operating system as soon as append returns and survive the program
// being killed. There is no fsync per row: a power cut may still lose the last
// seconds. A failed write stops the recording and cuts the file back to its
// last complete row.
class CsvRecorder
{
public:
    CsvRecorder();
    ~CsvRecorder();
    CsvRecorder(const CsvRecorder &) = delete;
    CsvRecorder &operator=(const CsvRecorder &) = delete;

    // Creates the file's folder and a new file (never an existing one) and
    // writes the header. False, with failure() telling why, when it could not.
    bool start(const QString &filePath);
    // The same on a file the caller has opened for writing.
    bool start(std::unique_ptr<QFile> file);
    // Writes one row per reading. False when the write failed: the recording
    // has stopped then, and failure() tells why.
    bool append(const QList<Reading> &readings);
    void stop();

    bool isRecording() const { return file != nullptr; }
    // The file of the current or the last recording.
    QString filePath() const { return path; }
    // Rows in the file, the header not counted.
    qint64 rowCount() const { return rows; }
    // Why the last start or append failed.
    const RecordingFailure &failure() const { return lastFailure; }

    static QByteArray header();
    static QByteArray row(const Reading &reading, qint64 elapsedMs);
    // ISO 8601 local time with milliseconds and UTC offset, "2024-05-01T14:03:07.125+02:00".
    static QString timeText(const QDateTime &time);
    // A field quoted as RFC 4180 asks when it holds a comma, quote or line break.
    static QByteArray field(const QString &text);

private:
    static QByteArray elapsedField(qint64 elapsedMs);
    static QByteArray line(const QByteArray &time, const QByteArray &elapsed,
                           const Reading &reading);
    bool write(const QByteArray &bytes);

    std::unique_ptr<QFile> file;
    QString path;
    qint64 rows = 0;
    qint64 committedSize = 0; // end of the last complete row
    QElapsedTimer clock;
    RecordingFailure lastFailure;
};
