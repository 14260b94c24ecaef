#include "readingrecorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {

// mkpath leaves errno from the step that failed; a file where a folder should
// be reads better as "not a directory" than as "file exists".
int createFolder(const QString &folder)
{
    errno = 0;
    if (QDir().mkpath(folder))
        return 0;
    const int error = errno == 0 ? EIO : errno;
    return error == EEXIST ? ENOTDIR : error;
}

} // namespace

ReadingRecorder::ReadingRecorder() = default;

ReadingRecorder::~ReadingRecorder()
{
    stop();
}

bool ReadingRecorder::start(const QString &filePath)
{
    stop();
    path = filePath;
    rows = 0;
    if (const int error = createFolder(QFileInfo(filePath).absolutePath())) {
        lastFailure = RecordingFailure::fromErrno(error);
        return false;
    }
    auto newFile = std::make_unique<QFile>(filePath);
    errno = 0;
    if (!newFile->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        lastFailure = RecordingFailure::fromErrno(errno == 0 ? EIO : errno);
        return false;
    }
    return start(std::move(newFile));
}

bool ReadingRecorder::start(std::unique_ptr<QFile> openFile)
{
    stop();
    file = std::move(openFile);
    path = file->fileName();
    rows = 0;
    committedSize = file->pos();
    lastFailure = RecordingFailure();
    clock.start();
    return write(headerLine());
}

bool ReadingRecorder::append(const QList<Reading> &readings)
{
    if (!file || readings.isEmpty())
        return isRecording();
    // The lines of a frame share their time: format it once.
    const QByteArray elapsed = elapsedText(clock.elapsed());
    QDateTime lastTime;
    QByteArray timeBytes;
    QByteArray bytes;
    bytes.reserve(96 * readings.size());
    for (const Reading &reading : readings) {
        if (timeBytes.isEmpty() || reading.time != lastTime) {
            lastTime = reading.time;
            timeBytes = timeText(reading.time).toLatin1();
        }
        bytes += line(timeBytes, elapsed, reading);
    }
    if (!write(bytes))
        return false;
    rows += readings.size();
    return true;
}

void ReadingRecorder::stop()
{
    if (file)
        file->close();
    file.reset();
}

bool ReadingRecorder::write(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return true;
    errno = 0;
    const qint64 written = file->write(bytes);
    const int error = errno;
    if (written == bytes.size()) {
        committedSize += written;
        return true;
    }
    lastFailure = RecordingFailure::fromErrno(error == 0 ? EIO : error);
    // No partial line stays behind; on a vanished drive (or a pipe) this may fail too.
    file->resize(committedSize);
    stop();
    return false;
}

QByteArray ReadingRecorder::elapsedText(qint64 elapsedMs)
{
    return QByteArray::number(elapsedMs / 1000) + '.' +
           QByteArray::number(elapsedMs % 1000).rightJustified(3, '0');
}

QString ReadingRecorder::timeText(const QDateTime &time)
{
    // A time that carries a fixed offset already (UTC is offset 0) is written
    // as it is, without asking the system's time zone again.
    const bool fixedOffset = time.timeSpec() == Qt::OffsetFromUTC || time.timeSpec() == Qt::UTC;
    const QDateTime local = fixedOffset ? time : time.toLocalTime();
    const QDate date = local.date();
    const QTime clockTime = local.time();
    const int offset = local.offsetFromUtc() / 60;
    const int absOffset = offset < 0 ? -offset : offset;
    return QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", date.year(),
                             date.month(), date.day(), clockTime.hour(), clockTime.minute(),
                             clockTime.second(), clockTime.msec(), offset < 0 ? '-' : '+',
                             absOffset / 60, absOffset % 60);
}
