#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cstring>

// Little-endian field access for the key's fixed-size files. Callers check the bounds once
// for a whole block; these only move bytes.
namespace td::le {

inline quint8 u8(const char *p) { return quint8(*p); }
inline quint16 u16(const char *p) { return qFromLittleEndian<quint16>(p); }
inline float f32(const char *p)
{
    const quint32 bits = qFromLittleEndian<quint32>(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

inline void putU8(char *p, quint8 v) { *p = char(v); }
inline void putU16(char *p, quint16 v) { qToLittleEndian<quint16>(v, p); }
inline void putF32(char *p, float f)
{
    quint32 bits;
    std::memcpy(&bits, &f, sizeof bits);
    qToLittleEndian<quint32>(bits, p);
}

} // namespace td::le
