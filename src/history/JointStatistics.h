#pragma once

#include "history/Capability.h"
#include "history/HistoryExport.h"
#include "history/HistoryMeasure.h"

#include <QCoreApplication>
#include <QVector>

#include <functional>

class HistoryDatabase;

// The statistics of a joint as a quality engineer reads them: the capability of every measure
// of the joint in the period, station and key chosen, whatever else narrows the table (a joint
// judged on its rejects alone would look like a broken process), and the same figures per
// station, per operator and per key side by side, so the one that drifts stands out. Each
// group's figures are those of the joint's filter narrowed to the group's value (GroupKind::
// narrow), worked out for every group in one pass over the joint.
class JointStatistics
{
    Q_DECLARE_TR_FUNCTIONS(JointStatistics)
public:
    // What a joint's measures can be grouped by: where the values come from and how a value
    // narrows the filter: each station, each operator, each key.
    struct GroupKind
    {
        QString column; // a text column of the history (HistoryDatabase::distinct)
        const char *title; // translated in the JointStatistics context
        std::function<void(HistoryFilter &filter, const QString &value)> narrow;
    };
    static const QVector<GroupKind> &kinds();
    static QString kindTitle(int kind);

    // The part of a table filter that the joint's statistics keep: the period, the key (and
    // the station), with the record in place of everything else.
    static HistoryFilter scope(const HistoryFilter &filter, const QString &record);

    struct Figures
    {
        HistoryExport::Joint joint;
        Capability::Result moment;
        Capability::Result angle;
        bool read = false;
        QString error;
    };
    // filter is taken as it is (callers pass scope()).
    static Figures compute(HistoryDatabase *db, const HistoryFilter &filter, const QString &record,
                           const Capability::Thresholds &thresholds);

    struct Group
    {
        int kind = 0; // index into kinds()
        QString value;
        Capability::Result moment;
    };
    // The groups of every kind with at least two values (one value says nothing beside the
    // joint's own line); at most maxValues per kind, by name. False with *error when the
    // history could not be read.
    static bool groups(HistoryDatabase *db, const HistoryFilter &scoped, const QString &record,
                       const Capability::Thresholds &thresholds, QVector<Group> *out, QString *error,
                       int maxValues = 12);
};
Q_DECLARE_METATYPE(JointStatistics::Figures)
