#include "history/JointStatistics.h"

#include "history/HistoryDatabase.h"

#include <QMap>
#include <QSet>

#include <algorithm>
#include <cmath>

const QVector<JointStatistics::GroupKind> &JointStatistics::kinds()
{
    static const QVector<GroupKind> all = {
        {QStringLiteral("station"), QT_TR_NOOP("Station"),
         [](HistoryFilter &f, const QString &v) { f.stations = QStringList{v}; }},
        {QStringLiteral("operator_text"), QT_TR_NOOP("Operator"),
         [](HistoryFilter &f, const QString &v) { f.operatorText = v; }},
        {QStringLiteral("key_serial"), QT_TR_NOOP("Key"), [](HistoryFilter &f, const QString &v) { f.keySerial = v; }},
    };
    return all;
}

QString JointStatistics::kindTitle(int kind)
{
    return kind >= 0 && kind < kinds().size() ? tr(kinds().at(kind).title) : QString();
}

HistoryFilter JointStatistics::scope(const HistoryFilter &filter, const QString &record)
{
    HistoryFilter f;
    f.since = filter.since;
    f.until = filter.until;
    f.keySerial = filter.keySerial;
    f.stations = filter.stations;
    f.recordName = record;
    return f;
}

JointStatistics::Figures JointStatistics::compute(HistoryDatabase *db, const HistoryFilter &filter,
                                                  const QString &record, const Capability::Thresholds &thresholds)
{
    Figures out;
    out.joint = HistoryExport::joint(db, filter, record, &out.read);
    if (!out.read) {
        out.error = db->lastError();
        return out;
    }
    const HistoryExport::Joint &j = out.joint;
    out.moment = Capability::evaluate(j.moments, j.momentLow, j.momentHigh, j.ngCount, thresholds);
    if (j.angleChecked)
        out.angle = Capability::evaluate(j.angles, j.angleLow, j.angleHigh, 0, thresholds);
    return out;
}

bool JointStatistics::groups(HistoryDatabase *db, const HistoryFilter &scoped, const QString &record,
                             const Capability::Thresholds &thresholds, QVector<Group> *out, QString *error,
                             int maxValues)
{
    // One pass over the joint's rows fills every group, where a query per group read the joint
    // again for each station, operator and key (over a second for a joint of 100,000). Each
    // group gets what its narrowed filter would have read: its rows in time order, its NG
    // count and the limits of its newest row. An operator's group, like the filter, also holds
    // the rows whose controller bears the operator's name.
    struct Members
    {
        QVector<double> moments;
        int ngCount = 0;
        double low = 0, high = 0;
    };
    QVector<QMap<QString, Members>> byKind(kinds().size());
    QSet<QString> operatorTexts;
    HistoryFilter joint = scoped;
    joint.recordName = record;
    const auto add = [](Members &m, const HistoryDatabase::GroupRow &r) {
        m.moments.append(std::fabs(r.moment));
        if (!r.ok)
            ++m.ngCount;
        m.low = r.momentLow;
        m.high = r.momentHigh;
    };
    const bool read = db->forEachGroupRow(joint, [&](const HistoryDatabase::GroupRow &r) {
        add(byKind[0][r.station], r);
        add(byKind[1][r.operatorText], r);
        if (r.operatorName != r.operatorText)
            add(byKind[1][r.operatorName], r);
        operatorTexts.insert(r.operatorText);
        add(byKind[2][r.keySerial], r);
    });
    if (!read) {
        *error = db->lastError();
        return false;
    }
    for (int k = 0; k < kinds().size(); ++k) {
        QStringList values = k == 1 ? QStringList(operatorTexts.begin(), operatorTexts.end()) : byKind[k].keys();
        std::sort(values.begin(), values.end());
        values = values.mid(0, maxValues + 1);
        values.removeAll(QString());
        if (values.size() < 2)
            continue;
        for (const QString &value : values.mid(0, maxValues)) {
            const Members &m = byKind[k][value];
            out->append({k, value, Capability::evaluate(m.moments, m.low, m.high, m.ngCount, thresholds)});
        }
    }
    return true;
}
