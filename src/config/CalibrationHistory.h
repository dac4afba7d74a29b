#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

// When a key was last calibrated, as far as this PC knows: the calibration archive keeps one
// file per distinct calibration a key reported, named after its serial number. Torque tools
// are to be recalibrated after twelve months (ISO 6789-2), so the due date goes with it.
class CalibrationHistory
{
public:
    static constexpr int ValidMonths = 12;

    struct Summary
    {
        int count = 0;     // archived calibrations of this key
        QDateTime newest;  // when the newest was archived; invalid when there is none
        QDate due() const { return newest.isValid() ? newest.date().addMonths(ValidMonths) : QDate(); }
        bool overdue(const QDate &today) const { return due().isValid() && today > due(); }
    };

    // Looks through folder (the archive) for this serial number's files.
    static Summary of(const QString &folder, const QByteArray &serialNo);
    // The same in the program's own archive folder.
    static Summary of(const QByteArray &serialNo);
};
