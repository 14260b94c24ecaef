#pragma once

#include "reading.h"
#include "stationrecords.h"

#include <QList>
#include <QStringList>

// Frames turned into readings with the same decoders the window shows them
// with, so a recording and the displays cannot disagree. One reading per
// quantity the displays show; a quantity whose value is not a number shows
// up as no reading.
namespace Readings {

// The multimeter's display: its segment codes, function code and unit code.
QList<Reading> multimeter(const QString &functionCode, const QStringList &segmentCodes,
                          const QString &unitCode, const QDateTime &time);
// The records of a station frame of the given device kind.
QList<Reading> station(int deviceKind, const QList<StationRecords::Record> &records,
                       const QDateTime &time);
// The instrument of a device kind as readings name it: "multimeter", "power",
// "iron" or "hotair"; empty for any other kind.
QString instrumentName(int deviceKind);

// The value text for a recording: the instrument's own decimal text when it is
// one (".5" written as "0.5"), otherwise the number in C-locale notation with
// up to 15 significant digits; a null text when it is no number.
QString numberText(const QString &text);

} // namespace Readings
