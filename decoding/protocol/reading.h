#pragma once

#include <QDateTime>
#include <QString>

// One quantity of one decoded frame, as it goes into a recording.
struct Reading
{
    QDateTime time;     // when the frame was decoded, local time
    QString instrument; // "multimeter", "power", "iron" or "hotair"
    QString quantity;   // "reading", "voltage", "current", "power", "set_temperature", …
    QString value;      // a number with "." as decimal point; "OL" or "-OL" for an overload
    QString unit;       // as the instrument reported it: "mV", "KΩ", "°C", "%", …; may be empty
    QString detail;     // the multimeter's function ("DC voltage", "resistance", …), else empty
};
