#pragma once

#include <QByteArray>
#include <QString>

// The SHA-256 a firmware server may publish beside an image, as "<image name>.sha256" in the
// form sha256sum writes ("<64 hex digits>  vx.txt") or as the bare digits.
namespace ImageChecksum {

enum class Verdict { Match, Mismatch, Unreadable };

// The checksum file's name beside an image's address.
QString fileNameFor(const QString &imageName);

// Compares the image with the checksum file; *expected and *actual receive the hex digits
// (lower case) for the message, *expected empty when the file holds no SHA-256.
Verdict check(const QByteArray &image, const QByteArray &checksumFile, QString *expected = nullptr,
              QString *actual = nullptr);

} // namespace ImageChecksum
