#pragma once

#include <QByteArray>
#include <QString>

// Every calibration the key reports is kept once under download/Calibrate, named after the
// key it came from, so a calibration can be traced and restored later.
class CalibrationArchive
{
public:
    enum class Result { Written, AlreadyThere, RefusedName, WriteFailed };

    // "DWK" + nm rounded + "_0" + VersionSW + "_" + serial text + ".clb".
    static QString fileName(double nm, qint32 versionSW, const QByteArray &serialNo);

    // Writes text plus a line end into the archive folder unless that file exists already.
    // The serial number comes from the key, so a name that would leave the folder is refused.
    static Result store(const QByteArray &text, double nm, qint32 versionSW,
                        const QByteArray &serialNo);
};
