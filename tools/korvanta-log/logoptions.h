#pragma once

#include "mqttoptions.h"

#include <QString>
#include <QStringList>

// What the command line asks of the logger.
struct LogOptions
{
    enum class Format
    {
        Csv,
        Jsonl
    };

    QString port;
    Format format = Format::Csv;
    QString output;         // empty: standard output
    bool writesRows = true; // false: published only
    double duration = 0;    // seconds; 0: until stopped
    qint64 count = 0;       // frames with readings; 0: no limit
    // Instruments as the readings name them: multimeter, power, iron, hotair.
    QStringList instruments = {"multimeter", "power", "iron", "hotair"};
    bool raw = false;
    // Alarm checks: the [Limits] section of this file (empty: the stations'
    // default checks only), and whether the first alarm ends the run.
    QString limitsFile;
    bool alarmExit = false;
    bool checksAlarms() const { return !limitsFile.isEmpty() || alarmExit; }
    // Publishing to a broker, when mqtt.url is valid.
    MqttOptions mqtt;
    bool publishes() const { return mqtt.url.isValid(); }

    enum class Outcome
    {
        Run,
        Help,
        Version,
        Error
    };
    // Parses the arguments (program name first). For Help and Version, text
    // is what to print; for Error, the reason.
    static Outcome parse(const QStringList &arguments, LogOptions &options, QString &text);

    // The one-line synopsis.
    static QString usage();
    // The readings' name for a command-line instrument name (mul, power,
    // iron, hotair); empty for any other.
    static QString instrumentOf(const QString &name);
};
