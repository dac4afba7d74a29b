#pragma once

#include <QByteArray>
#include <QString>

// Texts in the key's files live in fixed fields: UTF-8, NUL-terminated, so a field of n bytes
// holds at most n - 1 bytes of text.
class Utf8Field
{
public:
    // The UTF-8 bytes of text that fit a field of fieldSize bytes (NUL not included). A text
    // that does not fit is cut at the last whole character, never inside a multi-byte one;
    // *wasCut tells the caller so the user can be told. Text after an embedded NUL could not
    // be read back, so it counts as cut as well.
    static QByteArray fit(const QString &text, int fieldSize, bool *wasCut = nullptr);

    // The text of a field: bytes up to the first NUL (or the whole field when it has none),
    // decoded as UTF-8; malformed sequences become replacement characters.
    static QString read(const char *field, int fieldSize);

    // Writes text into a field of fieldSize bytes at dest, zero-filling the rest.
    // Returns false when the text had to be cut.
    static bool write(char *dest, int fieldSize, const QString &text);
};
