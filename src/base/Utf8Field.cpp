#include "base/Utf8Field.h"

#include <cstring>

QByteArray Utf8Field::fit(const QString &text, int fieldSize, bool *wasCut)
{
    QByteArray bytes = text.toUtf8();
    bool cut = false;
    const int nul = bytes.indexOf('\0');
    if (nul >= 0) {
        bytes.truncate(nul);
        cut = true;
    }
    const int limit = qMax(0, fieldSize - 1);
    if (bytes.size() > limit) {
        int n = limit;
        // Step back over continuation bytes (10xxxxxx) to the lead byte of the character
        // that would be split, and drop it with them.
        while (n > 0 && (uchar(bytes.at(n)) & 0xC0) == 0x80)
            --n;
        bytes.truncate(n);
        cut = true;
    }
    if (wasCut)
        *wasCut = cut;
    return bytes;
}

QString Utf8Field::read(const char *field, int fieldSize)
{
    const void *nul = std::memchr(field, 0, size_t(qMax(0, fieldSize)));
    const int len = nul ? int(static_cast<const char *>(nul) - field) : fieldSize;
    return QString::fromUtf8(field, len);
}

bool Utf8Field::write(char *dest, int fieldSize, const QString &text)
{
    if (fieldSize <= 0)
        return text.isEmpty();
    bool cut = false;
    const QByteArray bytes = fit(text, fieldSize, &cut);
    std::memset(dest, 0, size_t(fieldSize));
    std::memcpy(dest, bytes.constData(), size_t(bytes.size()));
    return !cut;
}
