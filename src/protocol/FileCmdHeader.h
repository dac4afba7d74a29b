#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// The 140-byte header of every file command (CMD_READ_WRITE_FILE), followed by 0..512 data
// bytes. Integers little-endian.
struct FileCmdHeader
{
    static constexpr int Size = 140;
    static constexpr int NameFieldSize = 128;
    static constexpr int MaxNameBytes = NameFieldSize - 1; // the NUL must fit
    static constexpr int MaxData = 512;

    static constexpr quint8 FA_READ = 1;
    static constexpr quint8 FA_WRITE = 2;
    static constexpr quint8 FA_READ_DIR = 77;

    static constexpr quint8 StatusFinished = 0;
    static constexpr quint8 StatusError = 2;
    static constexpr quint8 StatusMore = 0xFF;

    // The whole name field as it travels, NUL-terminated inside the field.
    std::array<char, NameFieldSize> nameField{};
    quint8 command = 0;
    quint8 status = 0;
    quint8 notify = 0;
    quint8 reserved = 0;
    qint32 seek = 0;
    qint32 length = 0;

    // The key path: the name field up to its NUL, as UTF-8.
    QString fileName() const;
    // Sets the name field; false (field unchanged) when the UTF-8 text exceeds 127 bytes or
    // holds a NUL.
    bool setFileName(const QString &keyPath);

    // The 140 header bytes.
    QByteArray toBytes() const;
    // Header plus data; length is taken from data.
    QByteArray toBytes(const QByteArray &data) const;

    // Reads a received command from its payload (the frame body from byte 2). available is
    // how many payload bytes really arrived. Refuses, with the reason in *why, a payload
    // shorter than the header, a name without its NUL, a length outside 0..512 or beyond the
    // bytes received, and a negative seek. data receives exactly length bytes.
    static bool parse(const uchar *payload, int available, FileCmdHeader *header,
                      QByteArray *data, QString *why);
};
