#pragma once

#include "reading.h"
#include "recordingfailure.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>

#include <memory>

class QFile;

// Writes readings to a file as lines of text, one line a reading, after the
// format's header. The lines of each append go to the file in one unbuffered
// write, so they are with the operating system as soon as append returns and
// survive the program being killed. There is no fsync per line: a power cut
// may still lose the last seconds. A failed write stops the recording and
// cuts the file back to its last complete line.
class ReadingRecorder
{
public:
    virtual ~ReadingRecorder();
    ReadingRecorder(const ReadingRecorder &) = delete;
    ReadingRecorder &operator=(const ReadingRecorder &) = delete;

    // Creates the file's folder and a new file (never an existing one) and
    // writes the header. False, with failure() telling why, when it could not.
    bool start(const QString &filePath);
    // The same on a file the caller has opened for writing (unbuffered, so
    // that nothing waits in a buffer of its own).
    bool start(std::unique_ptr<QFile> file);
    // Writes one line per reading. False when the write failed: the recording
    // has stopped then, and failure() tells why.
    bool append(const QList<Reading> &readings);
    void stop();

    bool isRecording() const { return file != nullptr; }
    // The file of the current or the last recording.
    QString filePath() const { return path; }
    // Milliseconds since the recording started, as elapsed_s counts them.
    qint64 elapsedMs() const { return clock.isValid() ? clock.elapsed() : 0; }
    // Lines in the file, the header not counted.
    qint64 rowCount() const { return rows; }
    // Why the last start or append failed.
    const RecordingFailure &failure() const { return lastFailure; }

    // ISO 8601 local time with milliseconds and UTC offset, "2024-05-01T14:03:07.125+02:00".
    // A time with a fixed offset from UTC, or in UTC, is written with that offset.
    static QString timeText(const QDateTime &time);
    // Seconds with three decimals, "12.034".
    static QByteArray elapsedText(qint64 elapsedMs);

protected:
    ReadingRecorder();

    // What the file begins with; may be empty.
    virtual QByteArray headerLine() const = 0;
    // One reading's line, line end included. time is timeText of the
    // reading's time, elapsed the elapsedText of the recording so far.
    virtual QByteArray line(const QByteArray &time, const QByteArray &elapsed,
                            const Reading &reading) const = 0;

private:
    bool write(const QByteArray &bytes);

    std::unique_ptr<QFile> file;
    QString path;
    qint64 rows = 0;
    qint64 committedSize = 0; // end of the last complete line
    QElapsedTimer clock;
    RecordingFailure lastFailure;
};
