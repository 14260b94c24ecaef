#include "frameencoder.h"

#include "crc16.h"

namespace {

constexpr int kSpareHeaderByte = 7;

bool faultShows(FrameEncoder::Fault fault, quint16 crc)
{
    switch (fault) {
    case FrameEncoder::Fault::SwappedChecksum:
        return (crc >> 8) != (crc & 0xFF);
    case FrameEncoder::Fault::LowerCaseChecksum:
        for (int shift = 0; shift < 16; shift += 4) {
            if (((crc >> shift) & 0xF) >= 0xA)
                return true;
        }
        return false;
    default:
        return true;
    }
}

} // namespace

QByteArray FrameEncoder::frame(const QByteArray &payload, Fault fault)
{
    QByteArray bytes;
    bytes.append(char(0x01));
    bytes.append(7, char(0x00)); // header bytes that no decoder reads
    bytes.append(char(payload.size() & 0xFF));
    bytes.append(payload);
    quint16 crc = crc16Modbus(bytes);
    // Some checksums look the same swapped or in lower case; a broken frame must
    // never pass, so change the last header byte (which no decoder reads) until
    // the fault shows.
    for (int spare = 1; !faultShows(fault, crc) && spare < 256; ++spare) {
        bytes[kSpareHeaderByte] = char(spare);
        crc = crc16Modbus(bytes);
    }
    if (fault == Fault::WrongChecksum)
        crc = quint16(crc + 1);
    if (fault == Fault::SwappedChecksum)
        crc = quint16((crc >> 8) | (crc << 8));
    QByteArray checksum;
    checksum.append(char(crc & 0xFF));
    checksum.append(char(crc >> 8));

    QByteArray text = fault == Fault::WrongStartMarker ? "C2" : "C1";
    text += bytes.toHex().toUpper();
    text += fault == Fault::LowerCaseChecksum ? checksum.toHex() : checksum.toHex().toUpper();
    text += fault == Fault::WrongEndMarker ? "F1" : "F0";
    return text;
}

QByteArray FrameEncoder::payload(quint16 functionCode, const QByteArray &data)
{
    QByteArray bytes(2, char(0x00));
    bytes.append(char(functionCode >> 8));
    bytes.append(char(functionCode & 0xFF));
    bytes.append(char(data.size() & 0xFF));
    bytes.append(data);
    return bytes;
}

namespace {

QByteArray unitBytes(quint16 unitCode)
{
    QByteArray bytes;
    bytes.append(char(unitCode >> 8));
    bytes.append(char(unitCode & 0xFF));
    return bytes;
}

} // namespace

QByteArray FrameEncoder::multimeterData(quint8 flags, const quint8 (&digits)[4], quint16 unitCode)
{
    QByteArray data;
    data.append(char(flags));
    data.append(char(0x00));
    for (quint8 digit : digits)
        data.append(char(digit));
    data.append(unitBytes(unitCode));
    return data;
}

QByteArray FrameEncoder::stationRecord(const QByteArray &value, quint16 unitCode)
{
    return value.right(5).rightJustified(5, char(0x00)) + unitBytes(unitCode);
}

QByteArray FrameEncoder::stationFrame(quint16 functionCode, const QList<QByteArray> &records,
                                      Fault fault)
{
    QByteArray data;
    for (const QByteArray &record : records)
        data += record;
    return frame(payload(functionCode, data), fault);
}

quint8 FrameEncoder::digitSegments(char digit)
{
    enum : quint8
    {
        a = 0x80,
        f = 0x40,
        e = 0x20,
        b = 0x08,
        g = 0x04,
        c = 0x02,
        d = 0x01
    };
    switch (digit) {
    case '0':
        return a | b | c | d | e | f;
    case '1':
        return b | c;
    case '2':
        return a | b | g | e | d;
    case '3':
        return a | b | g | c | d;
    case '4':
        return f | g | b | c;
    case '5':
        return a | f | g | c | d;
    case '6':
        return a | f | g | e | c | d;
    case '7':
        return a | b | c;
    case '8':
        return a | b | c | d | e | f | g;
    case '9':
        return a | b | c | d | f | g;
    case 'L':
        return f | e | d;
    default:
        return 0;
    }
}
