#include "crc16.h"

namespace {

std::array<std::uint16_t, 256> makeTable()
{
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < table.size(); ++i) {
        std::uint16_t crc = static_cast<std::uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
        table[i] = crc;
    }
    return table;
}

} // namespace

const std::array<std::uint16_t, 256> &crc16ModbusTable()
{
    static const std::array<std::uint16_t, 256> table = makeTable();
    return table;
}

std::uint16_t crc16Modbus(const char *bytes, int length, std::uint16_t crc)
{
    const auto &table = crc16ModbusTable();
    for (int i = 0; i < length; ++i)
        crc = static_cast<std::uint16_t>(
            (crc >> 8) ^ table[(crc ^ static_cast<unsigned char>(bytes[i])) & 0xFF]);
    return crc;
}

QString calcCrc16(const QString &hexText)
{
    const QByteArray bytes = QByteArray::fromHex(hexText.toLatin1());
    return QStringLiteral("%1").arg(crc16Modbus(bytes), 4, 16, QLatin1Char('0')).toUpper();
}

bool checkCrc(const QString &coveredHex, const QString &checksumField)
{
    const QString crc = calcCrc16(coveredHex);
    return checksumField == crc.mid(2, 2) + crc.left(2);
}
