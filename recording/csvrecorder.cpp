#include "csvrecorder.h"

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

CsvRecorder::CsvRecorder() = default;

CsvRecorder::~CsvRecorder()
{
    stop();
}

bool CsvRecorder::start(const QString &filePath)
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

bool CsvRecorder::start(std::unique_ptr<QFile> openFile)
{
    stop();
    file = std::move(openFile);
    path = file->fileName();
    rows = 0;
    committedSize = file->pos();
    lastFailure = RecordingFailure();
    clock.start();
    return write(header());
}

bool CsvRecorder::append(const QList<Reading> &readings)
{
    if (!file || readings.isEmpty())
        return isRecording();
    // The rows of a frame share their time: format it once.
    const QByteArray elapsed = elapsedField(clock.elapsed());
    QDateTime lastTime;
    QByteArray timeBytes;
    QByteArray bytes;
    bytes.reserve(96 * readings.size());
    for (const Reading &reading : readings) {
        if (timeBytes.isEmpty() || reading.time != lastTime) {
            lastTime = reading.time;
            timeBytes = field(timeText(reading.time));
        }
        bytes += line(timeBytes, elapsed, reading);
    }
    if (!write(bytes))
        return false;
    rows += readings.size();
    return true;
}

void CsvRecorder::stop()
{
    if (file)
        file->close();
    file.reset();
}

bool CsvRecorder::write(const QByteArray &bytes)
{
    errno = 0;
    const qint64 written = file->write(bytes);
    const int error = errno;
    if (written == bytes.size()) {
        committedSize += written;
        return true;
    }
    lastFailure = RecordingFailure::fromErrno(error == 0 ? EIO : error);
    // No partial row stays behind; on a vanished drive this may fail too.
    file->resize(committedSize);
    stop();
    return false;
}

QByteArray CsvRecorder::header()
{
    return QByteArrayLiteral("time,elapsed_s,instrument,quantity,value,unit,detail\r\n");
}

QByteArray CsvRecorder::row(const Reading &reading, qint64 elapsedMs)
{
    return line(field(timeText(reading.time)), elapsedField(elapsedMs), reading);
}

QByteArray CsvRecorder::elapsedField(qint64 elapsedMs)
{
    return QByteArray::number(elapsedMs / 1000) + '.' +
           QByteArray::number(elapsedMs % 1000).rightJustified(3, '0');
}

QByteArray CsvRecorder::line(const QByteArray &time, const QByteArray &elapsed,
                             const Reading &reading)
{
    QByteArray text = time + ',' + elapsed;
    for (const QString *value :
         {&reading.instrument, &reading.quantity, &reading.value, &reading.unit, &reading.detail}) {
        text += ',';
        text += field(*value);
    }
    text += "\r\n";
    return text;
}

QString CsvRecorder::timeText(const QDateTime &time)
{
    const QDateTime local = time.toLocalTime();
    const QDate date = local.date();
    const QTime clockTime = local.time();
    const int offset = local.offsetFromUtc() / 60;
    const int absOffset = offset < 0 ? -offset : offset;
    return QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", date.year(),
                             date.month(), date.day(), clockTime.hour(), clockTime.minute(),
                             clockTime.second(), clockTime.msec(), offset < 0 ? '-' : '+',
                             absOffset / 60, absOffset % 60);
}

QByteArray CsvRecorder::field(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') ||
        bytes.contains('\n')) {
        bytes.replace("\"", "\"\"");
        bytes.prepend('"');
        bytes.append('"');
    }
    return bytes;
}
