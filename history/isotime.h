#pragma once

#include <QtGlobal>

// The times recordings write, "2024-05-01T14:03:07.125+02:00", read by hand
// (a million rows would spend most of their time in QDateTime), other ISO
// 8601 forms through QDateTime.
namespace IsoTime {

// Milliseconds since the epoch and the offset from UTC in seconds; false when
// the text is no time.
bool parse(const char *text, int length, qint64 &msecs, int &utcOffset);

} // namespace IsoTime
