#include "framelog.h"

#include "alarmmonitor.h"
#include "decodedframe.h"
#include "mqttpublisher.h"
#include "readingrecorder.h"

FrameLog::FrameLog(ReadingRecorder &recorder, const QStringList &instruments, bool raw,
                   AlarmMonitor *alarms)
    : recorder(recorder), instruments(instruments), raw(raw), alarms(alarms)
{
}

bool FrameLog::addFrame(const QByteArray &frame, const QDateTime &time)
{
    const DecodedFrame decoded = DecodedFrame::of(QString::fromLatin1(frame), time);
    QList<Reading> rows;
    if (raw && (decoded.instrument.isEmpty() || instruments.contains(decoded.instrument)))
        rows << Reading{time,      decoded.instrument, QStringLiteral("raw"),
                        QString(), QString(),          rawText(frame)};
    const int firstReading = rows.size();
    for (const Reading &reading : decoded.readings) {
        if (instruments.contains(reading.instrument))
            rows << reading;
    }
    const int firstAlarm = rows.size();
    if (alarms) {
        for (const AlarmEvent &event : alarms->check(decoded.readings)) {
            if (!instruments.contains(event.reading.instrument))
                continue;
            rows << event.recordingRow();
            alarmCount += event.start;
        }
    }
    // The raw row, the readings and their alarms in one write: no frame is cut in two.
    if (!recorder.append(rows))
        return false;
    if (firstAlarm > firstReading)
        ++frameCount;
    if (publisher) {
        publisher->publish(rows.mid(firstReading, firstAlarm - firstReading));
        for (int i = firstAlarm; i < rows.size(); ++i)
            publisher->publishAlarm(rows[i]);
    }
    return true;
}

bool FrameLog::addUnframed(const QByteArray &text, const QDateTime &time)
{
    if (!raw || text.isEmpty())
        return true;
    return recorder.append({Reading{time, QString(), QStringLiteral("raw_invalid"), QString(),
                                    QString(), rawText(text)}});
}

QString FrameLog::rawText(const QByteArray &bytes)
{
    static const char kHexDigits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const uchar byte = uchar(c);
        if (byte == '\\')
            text += QLatin1String("\\\\");
        else if (byte >= 0x20 && byte < 0x7F)
            text += QLatin1Char(c);
        else {
            text += QLatin1String("\\x");
            text += QLatin1Char(kHexDigits[byte >> 4]);
            text += QLatin1Char(kHexDigits[byte & 0xF]);
        }
    }
    return text;
}
