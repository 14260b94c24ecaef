#pragma once

#include "frameencoder.h"

#include <QString>

// Frames as text, the way decipher receives them.
namespace FrameBuilder {

// A multimeter frame showing up to four characters ('0'-'9', 'L', ' '), with
// points in front of the digits whose index is in pointsBefore (1-3) and a
// minus sign when negative is set.
inline QString multimeter(quint16 functionCode, const char (&shown)[5], quint16 unitCode,
                          quint8 flags = 0, QList<int> pointsBefore = {}, bool negative = false)
{
    quint8 digits[4];
    for (int i = 0; i < 4; ++i)
        digits[i] = FrameEncoder::digitSegments(shown[i]);
    for (int digit : pointsBefore)
        digits[digit] |= 0x10;
    if (negative)
        digits[0] |= 0x10;
    return QString::fromLatin1(FrameEncoder::multimeterFrame(
        functionCode, FrameEncoder::multimeterData(flags, digits, unitCode)));
}

inline QString station(quint16 functionCode, const QList<QByteArray> &records)
{
    return QString::fromLatin1(FrameEncoder::stationFrame(functionCode, records));
}

inline QByteArray record(const QByteArray &value, quint16 unitCode)
{
    return FrameEncoder::stationRecord(value, unitCode);
}

} // namespace FrameBuilder
