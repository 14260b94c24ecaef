#pragma once

#include "c1frame.h"
#include "multimeterdisplay.h"
#include "reading.h"
#include "stationrecords.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// What one received frame carries, decoded once: the window shows it, and the
// recording, the logger and whatever else follows the readings take them
// from here.
struct DecodedFrame
{
    C1Frame::Check check;
    // C1Frame::DeviceKind of an intact frame an instrument sends; -1 otherwise.
    int deviceKind = -1;
    // The instrument as the readings name it; empty where deviceKind is -1.
    QString instrument;
    // One reading per quantity the displays show a number for.
    QList<Reading> readings;
    // The meter's display, for a multimeter frame.
    MultimeterDisplay::State multimeter;
    // The records of a station frame, when they are where its length puts them.
    std::optional<QList<StationRecords::Record>> records;

    // The readings are stamped with time.
    static DecodedFrame of(const QString &frame, const QDateTime &time);
};
