#include "config/CalibrationHistory.h"

#include "base/Paths.h"

#include <QDir>
#include <QFileInfo>

CalibrationHistory::Summary CalibrationHistory::of(const QString &folder, const QByteArray &serialNo)
{
    Summary s;
    if (serialNo.isEmpty())
        return s;
    // Archive names end in "_" + serial + ".clb"; a serial that is the tail of another one
    // ("K1" of "AK1") is told apart by the separator before it.
    const QString tail = QLatin1Char('_') + QString::fromUtf8(serialNo) + QStringLiteral(".clb");
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("DWK*.clb")}, QDir::Files, QDir::NoSort);
    for (const QFileInfo &fi : files) {
        if (!fi.fileName().endsWith(tail))
            continue;
        // The part before the tail is "DWK<nm>_0<version>"; anything else belongs to a
        // serial number that merely ends the same way.
        const QString head = fi.fileName().left(fi.fileName().size() - tail.size());
        if (head.count(QLatin1Char('_')) != 1)
            continue;
        ++s.count;
        const QDateTime when = fi.lastModified();
        if (!s.newest.isValid() || when > s.newest)
            s.newest = when;
    }
    return s;
}

CalibrationHistory::Summary CalibrationHistory::of(const QByteArray &serialNo)
{
    return of(Paths::downloadDir(QStringLiteral("Calibrate")), serialNo);
}
