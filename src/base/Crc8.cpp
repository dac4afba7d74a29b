#include "base/Crc8.h"

#include <array>

namespace td {
namespace {

constexpr std::array<quint8, 256> makeTable()
{
    std::array<quint8, 256> table{};
    for (int i = 0; i < 256; ++i) {
        quint8 crc = static_cast<quint8>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<quint8>((crc >> 1) ^ 0x8C) : static_cast<quint8>(crc >> 1);
        table[static_cast<size_t>(i)] = crc;
    }
    return table;
}

constexpr std::array<quint8, 256> kTable = makeTable();
static_assert(kTable[1] == 0x5E && kTable[128] == 0x8C && kTable[255] == 0x35,
              "CRC-8 table does not match the key's polynomial");

} // namespace

quint8 crc8Table(quint8 index)
{
    return kTable[index];
}

quint8 crc8(const uchar *data, int length, quint8 initial)
{
    quint8 crc = initial;
    if (!data)
        return crc;
    for (int i = 0; i < length; ++i)
        crc = kTable[static_cast<quint8>(crc ^ data[i])];
    return crc;
}

quint8 crc8(const QByteArray &data, quint8 initial)
{
    return crc8(reinterpret_cast<const uchar *>(data.constData()), data.size(), initial);
}

} // namespace td
