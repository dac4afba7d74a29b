#include "config/CalibrationHistory.h"

#include "base/Paths.h"

#include "config/CalibrationFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

QDate CalibrationHistory::dateIn(const QByteArray &text)
{
    if (text.size() > CalibrationFile::MaxBytes)
        return QDate();
    QByteArray joined = text;
    joined.replace('\r', QByteArray()).replace('\n', QByteArray());
    const QJsonObject o = QJsonDocument::fromJson(joined).object();
    for (const char *key : {"calibrationdate", "caldate", "date"}) {
        const QString value = o.value(QLatin1String(key)).toString().trimmed();
        if (value.isEmpty())
            continue;
        QDate d = QDate::fromString(value.left(10), Qt::ISODate);
        if (!d.isValid())
            d = QDate::fromString(value, QStringLiteral("dd.MM.yyyy"));
        // A date from the future or before torque keys had clocks is no calibration date.
        if (d.isValid() && d.year() >= 2000 && d <= QDate::currentDate().addDays(1))
            return d;
    }
    return QDate();
}

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
        // An archive file is written once and never again, so its time is the day this PC
        // first saw that calibration.
        const QDateTime when = fi.lastModified();
        if (!s.newest.isValid() || when > s.newest) {
            s.newest = when;
            QFile f(fi.filePath());
            s.calibrated = f.open(QIODevice::ReadOnly) ? dateIn(f.read(CalibrationFile::MaxBytes + 1)) : QDate();
        }
    }
    return s;
}

CalibrationHistory::Summary CalibrationHistory::of(const QByteArray &serialNo)
{
    return of(Paths::downloadDir(QStringLiteral("Calibrate")), serialNo);
}
