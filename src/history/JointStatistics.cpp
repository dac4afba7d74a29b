#include "history/JointStatistics.h"

#include "history/HistoryDatabase.h"

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
    HistoryFilter joint = scoped;
    joint.recordName = record;
    for (int k = 0; k < kinds().size(); ++k) {
        const GroupKind &kind = kinds().at(k);
        QStringList values = db->distinct(kind.column, joint, maxValues + 1);
        values.removeAll(QString());
        if (values.size() < 2)
            continue;
        for (const QString &value : values.mid(0, maxValues)) {
            HistoryFilter narrowed = joint;
            kind.narrow(narrowed, value);
            const Figures f = compute(db, narrowed, record, thresholds);
            if (!f.read) {
                *error = f.error;
                return false;
            }
            out->append({k, value, f.moment});
        }
    }
    return true;
}
