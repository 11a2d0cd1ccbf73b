#include "PixCrc.h"

#include <array>

namespace {
// One byte at a time through a table: a payload of a few hundred characters is checked
// per printed page and per imported title.
constexpr std::array<quint16, 256> makeTable()
{
    std::array<quint16, 256> table{};
    for (int i = 0; i < 256; ++i) {
        quint16 crc = quint16(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
        table[size_t(i)] = crc;
    }
    return table;
}
constexpr std::array<quint16, 256> kTable = makeTable();
} // namespace

quint16 PixCrc::compute(QByteArrayView bytes)
{
    quint16 crc = 0xFFFF;
    for (const char c : bytes)
        crc = quint16((crc << 8) ^ kTable[size_t(((crc >> 8) ^ quint8(c)) & 0xFF)]);
    return crc;
}

QString PixCrc::hex(QStringView text)
{
    return QStringLiteral("%1").arg(compute(text.toUtf8()), 4, 16, QLatin1Char('0')).toUpper();
}
