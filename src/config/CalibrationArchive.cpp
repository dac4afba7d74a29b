#include "config/CalibrationArchive.h"

#include "base/AtomicFile.h"
#include "base/Log.h"
#include "base/Paths.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>

namespace {

qint64 roundedMoment(double nm)
{
    if (!std::isfinite(nm))
        return 0;
    // Far beyond any key; only keeps the conversion defined.
    const double limit = 1e15;
    return std::llround(std::clamp(nm, -limit, limit));
}

} // namespace

QString CalibrationArchive::fileName(double nm, qint32 versionSW, const QByteArray &serialNo)
{
    return QStringLiteral("DWK%1_0%2_%3.clb")
        .arg(roundedMoment(nm))
        .arg(versionSW)
        .arg(QString::fromUtf8(serialNo));
}

CalibrationArchive::Result CalibrationArchive::store(const QByteArray &text, double nm,
                                                     qint32 versionSW, const QByteArray &serialNo)
{
    const QString name = fileName(nm, versionSW, serialNo);
    if (!Paths::isSafeName(name)) {
        td::log(QStringLiteral("Calibration archive name refused: ") + name);
        return Result::RefusedName;
    }
    const QString dir = Paths::downloadDir(QStringLiteral("Calibrate"));
    const QString path = dir + QLatin1Char('/') + name;
    if (QFile::exists(path))
        return Result::AlreadyThere;
    if (!QDir().mkpath(dir))
        return Result::WriteFailed;
    return AtomicFile::write(path, text + '\n') ? Result::Written : Result::WriteFailed;
}
