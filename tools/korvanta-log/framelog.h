#pragma once

#include "reading.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

class AlarmMonitor;
class MqttPublisher;
class ReadingRecorder;

// The rows of what the port delivers: the readings of each frame of the chosen
// instruments, from the same decoders the window uses, and with raw rows on
// the received text itself, each frame's raw row first.
class FrameLog
{
public:
    // With a monitor, each frame's alarm rows follow its readings.
    FrameLog(ReadingRecorder &recorder, const QStringList &instruments, bool raw,
             AlarmMonitor *alarms = nullptr);

    // The readings and alarm rows written go to this publisher as well.
    void setPublisher(MqttPublisher *mqtt) { publisher = mqtt; }

    // False when the rows could not be written (the recorder tells why).
    bool addFrame(const QByteArray &frame, const QDateTime &time);
    bool addUnframed(const QByteArray &text, const QDateTime &time);

    // Frames whose readings were written.
    qint64 frames() const { return frameCount; }
    // Alarms that started.
    qint64 alarmsStarted() const { return alarmCount; }

    // The received bytes as text: printable ASCII as it is, a backslash as
    // "\\", any other byte as "\xHH".
    static QString rawText(const QByteArray &bytes);

private:
    ReadingRecorder &recorder;
    QStringList instruments;
    bool raw;
    AlarmMonitor *alarms;
    MqttPublisher *publisher = nullptr;
    qint64 frameCount = 0;
    qint64 alarmCount = 0;
};
