#pragma once

#include "history/JointStatistics.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

class HistoryDatabase;

// The statistics of joints on paper: a PDF page per joint with what was asked (the filter),
// the figures and the alarm, the figures per operator and key, the charts drawn for the page,
// the date, the station and a line to sign. The window and torquedesk-cli write the same.
class StatisticsReport
{
    Q_DECLARE_TR_FUNCTIONS(StatisticsReport)
public:
    struct Joint
    {
        HistoryFilter scope; // what the figures were computed on
        JointStatistics::Figures figures;
        QVector<JointStatistics::Group> groups;
    };

    // Reads a joint's figures and groups for the report (on the thread that owns db).
    static Joint read(HistoryDatabase *db, const HistoryFilter &filter, const QString &record,
                      const Capability::Thresholds &thresholds);

    // Written whole or not at all (the file is replaced only once every page is drawn).
    static bool write(const QString &path, const QVector<Joint> &joints, const Capability::Thresholds &thresholds,
                      QString *error);

    // The unit as the user reads it ("Nm" is "Н·м" in Russian).
    static QString shownUnit(const QString &stored);
    // The filter in one line of words.
    static QString describeScope(const HistoryFilter &scope);
    // The station named on the page.
    static QString stationName();
};
