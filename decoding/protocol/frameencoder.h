#pragma once

#include <QByteArray>
#include <QList>

// Builds C1 frames as the instruments send them, and deliberately broken ones
// for tests: a frame built with a fault never passes the checks, whatever its
// payload. All frames are ASCII hex text, upper case.
class FrameEncoder
{
public:
    enum class Fault
    {
        None,
        SwappedChecksum,   // CRC high byte first
        LowerCaseChecksum, // checksum digits in lower case
        WrongChecksum,     // CRC off by one
        WrongEndMarker,    // "F1" instead of "F0"
        WrongStartMarker,  // "C2" instead of "C1"
    };

    // A frame around the given payload bytes (L = payload size, at most 255).
    static QByteArray frame(const QByteArray &payload, Fault fault = Fault::None);
    // Payload: two uninterpreted bytes, the function code, D and the data block.
    static QByteArray payload(quint16 functionCode, const QByteArray &data);

    // The multimeter's display image: flags byte, one spare byte, four digit
    // bytes (bit 7 a, 6 f, 5 e, 4 minus or point, 3 b, 2 g, 1 c, 0 d) and the
    // unit code, two characters such as 0x6D56 for "mV".
    static QByteArray multimeterData(quint8 flags, const quint8 (&digits)[4], quint16 unitCode);
    static QByteArray multimeterFrame(quint16 functionCode, const QByteArray &data,
                                      Fault fault = Fault::None)
    {
        return frame(payload(functionCode, data), fault);
    }

    // One 7-byte station record: the value right-aligned in five bytes, padded
    // with 00 on the left, then the unit code, for example 0x0043 for "℃".
    static QByteArray stationRecord(const QByteArray &value, quint16 unitCode);
    static QByteArray stationFrame(quint16 functionCode, const QList<QByteArray> &records,
                                   Fault fault = Fault::None);

    // Seven-segment bit pattern of one digit character ('0'-'9', 'L', ' ').
    static quint8 digitSegments(char digit);
};
