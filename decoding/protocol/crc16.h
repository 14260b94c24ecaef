#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// CRC-16/MODBUS: polynomial 0x8005 reflected (0xA001), initial value 0xFFFF,
// reflected input and output, no final XOR.
const std::array<std::uint16_t, 256> &crc16ModbusTable();
std::uint16_t crc16Modbus(const char *bytes, int length, std::uint16_t crc = 0xFFFF);
inline std::uint16_t crc16Modbus(const QByteArray &bytes)
{
    return crc16Modbus(bytes.constData(), bytes.size());
}

// The CRC of the bytes a hex text encodes, as four upper-case hex digits,
// most significant first.
QString calcCrc16(const QString &hexText);
// True when checksumField is the CRC of coveredHex with its bytes swapped
// (low byte first), compared case-sensitively.
bool checkCrc(const QString &coveredHex, const QString &checksumField);
