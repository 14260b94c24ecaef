#pragma once

#include <QByteArray>
#include <QString>

// Layout of a C1 frame as it travels: ASCII text, two upper-case hex digits a
// byte. "C1" "01", seven header bytes, the payload length L, L payload bytes,
// the CRC-16/MODBUS of bytes 1 … 9+L low byte first, and "F0".
namespace C1Frame {

constexpr int kLengthFieldPos = 18;
constexpr int kPayloadPos = 20;
constexpr int kMaxPayloadLength = 255;

constexpr int charsForPayloadLength(int payloadLength)
{
    return 2 * payloadLength + 26;
}
constexpr int kMinChars = charsForPayloadLength(0);
constexpr int kMaxChars = charsForPayloadLength(kMaxPayloadLength); // 536

// Value of the two hex digits at pos, or -1 when they are missing or not hex digits.
int hexByteAt(const char *text, int size, int pos);
// L of the frame that starts at start: 0 when the field is not hexadecimal.
int payloadLengthAt(const QByteArray &text, int start);
// True when text[start, start+chars) ends in "F0" and carries a matching checksum.
bool isIntact(const QByteArray &text, int start, int chars);

// Device kinds shared by the decoders.
enum DeviceKind
{
    Multimeter = 0,
    PowerSupply = 1,
    SolderingIron = 2,
    HotAirGun = 3
};
// Device kind of a function code, or -1 for a code the instruments do not send:
// the one place that knows which code is which instrument.
int deviceKindOf(const QString &functionCode);

// What the checks of one received frame found out.
struct Check
{
    bool markersOk = false;
    bool checksumOk = false;
    int nDataLen = 0;   // L, valid when markersOk
    QString strPayload; // "C1" + payload + checksum + end marker, valid when markersOk
    QString strFunCode; // valid when checksumOk
};
Check check(const QString &frame);

} // namespace C1Frame
