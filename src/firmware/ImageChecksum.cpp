#include "firmware/ImageChecksum.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace ImageChecksum {

QString fileNameFor(const QString &imageName)
{
    return imageName + QStringLiteral(".sha256");
}

Verdict check(const QByteArray &image, const QByteArray &checksumFile, QString *expected, QString *actual)
{
    static const QRegularExpression digits(QStringLiteral("^\\s*([0-9A-Fa-f]{64})(\\s|$)"));
    const QRegularExpressionMatch m = digits.match(QString::fromLatin1(checksumFile));
    const QString want = m.hasMatch() ? m.captured(1).toLower() : QString();
    const QString have = QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex());
    if (expected)
        *expected = want;
    if (actual)
        *actual = have;
    if (want.isEmpty())
        return Verdict::Unreadable;
    return want == have ? Verdict::Match : Verdict::Mismatch;
}

} // namespace ImageChecksum
