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
        QDateTime newest;  // when the newest was first archived here; invalid when there is none
        QDate calibrated;  // the newest one's own date, where its text carries one
        // The day the twelve months count from: the calibration's own date, or else the day
        // this PC first saw it (a calibration is at least that old).
        QDate since() const { return calibrated.isValid() ? calibrated : newest.date(); }
        QDate due() const { return since().isValid() ? since().addMonths(ValidMonths) : QDate(); }
        bool overdue(const QDate &today) const { return due().isValid() && today > due(); }
    };

    // The date a calibration text names for itself ("calibrationdate", "caldate" or "date",
    // as yyyy-MM-dd, an ISO date and time, or dd.MM.yyyy); invalid when it names none.
    static QDate dateIn(const QByteArray &text);

    // Looks through folder (the archive) for this serial number's files.
    static Summary of(const QString &folder, const QByteArray &serialNo);
    // The same in the program's own archive folder.
    static Summary of(const QByteArray &serialNo);
};
