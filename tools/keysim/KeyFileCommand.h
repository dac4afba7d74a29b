#pragma once

#include <QByteArray>
#include <QString>

namespace keysim {

// One file command as the key reads and writes it: the 140-byte header (name, command,
// status, notify, seek, length; integers little-endian) and up to 512 data bytes.
struct KeyFileCommand
{
    static constexpr int HeaderSize = 140;
    static constexpr int NameSize = 128;
    static constexpr int MaxData = 512;

    enum Command : uchar { FA_READ = 1, FA_WRITE = 2, FA_READ_DIR = 77 };
    enum Status : uchar { StatusDone = 0, StatusError = 2, StatusMore = 0xFF };
    enum Notify : uchar { NotifyNone = 0, NotifyPage = 2 };

    QByteArray fileName; // the name's bytes up to its NUL
    uchar command = 0;
    uchar status = 0;
    uchar notify = 0;
    uchar reserved = 0;
    qint32 seek = 0;
    qint32 length = 0;
    QByteArray data;

    QString path() const { return QString::fromUtf8(fileName); }

    // Reads a command from a frame payload. Every length is checked against the bytes that
    // arrived; why says what was wrong. The header fields are filled as far as they arrived
    // even when parsing fails, so an error reply can still name the file. A folder listing
    // request may echo the previous reply's header, length included, without its data, so
    // its length is not matched against the payload.
    static bool parse(const QByteArray &payload, KeyFileCommand *out, QString *why);

    // Header (name cut to 127 bytes and NUL-terminated, zero-padded) followed by the data;
    // length is set from data.
    QByteArray encode() const;
};

} // namespace keysim
