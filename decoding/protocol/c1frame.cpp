#include "c1frame.h"

#include "crc16.h"
#include "multimeterdisplay.h"

namespace C1Frame {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

int upperHexDigit(char c)
{
    return (c >= 'a' && c <= 'f') ? -1 : hexDigit(c);
}

} // namespace

int hexByteAt(const char *text, int size, int pos)
{
    if (pos < 0 || pos + 1 >= size)
        return -1;
    const int high = hexDigit(text[pos]);
    const int low = hexDigit(text[pos + 1]);
    return (high < 0 || low < 0) ? -1 : high * 16 + low;
}

int payloadLengthAt(const QByteArray &text, int start)
{
    const int length = hexByteAt(text.constData(), text.size(), start + kLengthFieldPos);
    return length < 0 ? 0 : length;
}

bool isIntact(const QByteArray &text, int start, int chars)
{
    if (start < 0 || chars < kMinChars || start + chars > text.size())
        return false;
    const char *frame = text.constData() + start;
    if (frame[0] != 'C' || frame[1] != '1' || frame[chars - 2] != 'F' || frame[chars - 1] != '0')
        return false;
    // Covered bytes: hex positions 2 … chars-7; the checksum field follows them.
    const int coveredEnd = chars - 6;
    std::uint16_t crc = 0xFFFF;
    for (int pos = 2; pos < coveredEnd; pos += 2) {
        const int high = upperHexDigit(frame[pos]);
        const int low = upperHexDigit(frame[pos + 1]);
        if (high < 0 || low < 0)
            return false;
        const char byte = static_cast<char>(high * 16 + low);
        crc = crc16Modbus(&byte, 1, crc);
    }
    int field[4];
    for (int i = 0; i < 4; ++i) {
        field[i] = upperHexDigit(frame[coveredEnd + i]);
        if (field[i] < 0)
            return false;
    }
    const int low = field[0] * 16 + field[1];
    const int high = field[2] * 16 + field[3];
    return low == (crc & 0xFF) && high == (crc >> 8);
}

int deviceKindOf(const QString &functionCode)
{
    if (MultimeterDisplay::functionOf(functionCode))
        return Multimeter;
    if (functionCode == QLatin1String("0001"))
        return PowerSupply;
    if (functionCode == QLatin1String("0002"))
        return SolderingIron;
    if (functionCode == QLatin1String("0003"))
        return HotAirGun;
    return -1;
}

Check check(const QString &frame)
{
    Check result;
    if (!frame.startsWith(QLatin1String("C1")) || !frame.endsWith(QLatin1String("F0")))
        return result;
    result.markersOk = true;
    const QByteArray latin = frame.toLatin1();
    result.nDataLen = payloadLengthAt(latin, 0);
    result.strPayload = QLatin1String("C1") + frame.mid(kPayloadPos, 2 * result.nDataLen + 6);
    const QString covered = frame.mid(2, 2 * result.nDataLen + 18);
    const QString checksumField = result.strPayload.mid(result.strPayload.size() - 6, 4);
    if (!checkCrc(covered, checksumField))
        return result;
    result.checksumOk = true;
    result.strFunCode = result.strPayload.mid(6, 4);
    return result;
}

} // namespace C1Frame
