#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace td {

// The key's CRC-8: the Dallas/Maxim 1-Wire polynomial in reflected form (0x8C), initial
// value 0, no final XOR. Frames and record files use the same routine, so it lives here
// once. "123456789" gives 0xA1, "abc" gives 0x42, no bytes give 0x00.
quint8 crc8(const uchar *data, int length, quint8 initial = 0);
quint8 crc8(const QByteArray &data, quint8 initial = 0);

// One entry of the 256-entry table (exposed for tests and for callers that fold bytes in
// one at a time: crc = crc8Table(crc ^ byte)).
quint8 crc8Table(quint8 index);

} // namespace td
