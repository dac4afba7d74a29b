#include "history/HistoryArchiver.h"

#include "base/Log.h"
#include "base/Paths.h"
#include "measures/MeasureJudgement.h"
#include "records/RecordMirror.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QSettings>

#include <cstdio>

namespace {

// "yyyy-MM-dd HH:mm:ss" straight from the entry's fields (a full key holds 64,000 of them);
// empty when they form no real date and time.
QString stamp(const MeasureEntry &e)
{
    const int year = 2000 + e.year;
    if (!QDate::isValid(year, e.month, e.day) || !QTime::isValid(e.hour, e.minute, e.second))
        return QString();
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, e.month, e.day, e.hour, e.minute,
                  e.second);
    return QString::fromLatin1(text);
}

} // namespace

QString HistoryArchiver::Context::path()
{
    return QDir(Paths::downloadRoot()).filePath(QStringLiteral("key-identity.ini"));
}

bool HistoryArchiver::Context::save(QString *error) const
{
    QDir().mkpath(Paths::downloadRoot());
    QSettings s(path(), QSettings::IniFormat);
    s.setValue(QStringLiteral("key/serial"), keySerial);
    s.setValue(QStringLiteral("key/name"), keyName);
    s.setValue(QStringLiteral("key/operator"), operatorName);
    s.setValue(QStringLiteral("calibration/nominal"), calibrationNominal);
    s.setValue(QStringLiteral("calibration/file"), calibrationFile);
    s.setValue(QStringLiteral("key/kgsm"), kgsm);
    s.sync();
    if (s.status() != QSettings::NoError) {
        *error = QCoreApplication::translate("HistoryArchiver", "Cannot write %1").arg(path());
        return false;
    }
    return true;
}

HistoryArchiver::Context HistoryArchiver::Context::load()
{
    Context c;
    QSettings s(path(), QSettings::IniFormat);
    c.keySerial = s.value(QStringLiteral("key/serial")).toString();
    c.keyName = s.value(QStringLiteral("key/name")).toString();
    c.operatorName = s.value(QStringLiteral("key/operator")).toString();
    c.calibrationNominal = s.value(QStringLiteral("calibration/nominal")).toDouble();
    c.calibrationFile = s.value(QStringLiteral("calibration/file")).toString();
    c.kgsm = s.value(QStringLiteral("key/kgsm")).toBool();
    return c;
}

QVector<HistoryMeasure> HistoryArchiver::measuresOf(const QString &name, const RecordFile &record,
                                                    const Context &context, const TemplateLists &t,
                                                    const QStringList &barcodes, const QString &receivedAt)
{
    QVector<HistoryMeasure> out;
    out.reserve(record.entries.size());
    const RecordHeader &h = record.header;
    HistoryMeasure base;
    base.keySerial = context.keySerial;
    base.keyName = context.keyName;
    base.recordName = name;
    base.momentLow = h.rangeLow;
    base.momentHigh = h.rangeHigh;
    base.angleLow = h.angleLow;
    base.angleHigh = h.angleHigh;
    base.algorithm = h.algorithm;
    base.operatorText = QStringList{t.fioText(h.fioIndex, 0), t.fioText(h.fioIndex, 1), t.fioText(h.fioIndex, 2)}
                            .join(QLatin1Char(' '))
                            .trimmed();
    base.product = t.wheelText(h.wheelIndex);
    base.operationNumber = h.operationNumber();
    base.node = t.uzelText(h.uzelIndex, 0);
    base.operatorName = context.operatorName;
    base.calibrationNominal = context.calibrationNominal;
    base.calibrationFile = context.calibrationFile;
    base.unit = context.kgsm ? QStringLiteral("kgsm") : QStringLiteral("Nm");
    base.barcode1 = barcodes.value(0);
    base.barcode2 = barcodes.value(1);
    base.receivedAt = receivedAt;
    // Algorithm 9 measures carry no date; their stamp bytes mean nothing.
    const bool dated = h.algorithm != 9;
    for (int i = 0; i < record.entries.size(); ++i) {
        const MeasureEntry &e = record.entries.at(i);
        HistoryMeasure m = base;
        m.connectionIndex = i;
        m.recordCount = h.countCon;
        m.measuredAt = dated ? stamp(e) : QString();
        m.moment = double(e.moment);
        m.defect = double(e.correctedDefect);
        m.angle = double(e.angle);
        m.ok = MeasureJudgement::isOk(e, h);
        out << m;
    }
    return out;
}

void HistoryArchiver::noteEmpty(const QString &name, const RecordFile &record, const Context &context)
{
    // A record emptied on the key itself: what it measures next is new, whatever its index.
    QString error;
    if (record.header.countCon == 0 && m_store->isOnline()
        && !m_store->database()->noteCount(context.keySerial, name, 0, &error))
        td::log(QStringLiteral("History: emptied record %1 not noted: %2").arg(name, error));
}

HistoryStore::AppendResult HistoryArchiver::archiveLoaded(const QString &name, const RecordFile &record,
                                                          const Context &context, const TemplateLists &templates)
{
    HistoryStore::AppendResult r;
    if (record.entries.isEmpty()) {
        noteEmpty(name, record, context);
        r.ok = true;
        return r;
    }
    const QStringList codes = m_barcodes ? m_barcodes(name) : QStringList();
    const QString now = QDateTime::currentDateTime().toString(QLatin1String(HistoryMeasure::TimeFormat));
    r = m_store->append(measuresOf(name, record, context, templates, codes, now));
    if (!r.ok)
        td::log(QStringLiteral("History: measures of %1 not kept: %2").arg(name, r.error));
    else if (r.added + r.queued > 0)
        td::log(QStringLiteral("History: %1 new measures of %2%3")
                    .arg(r.added + r.queued)
                    .arg(name)
                    .arg(r.queued > 0 ? QStringLiteral(" (queued)") : QString()));
    return r;
}

HistoryStore::AppendResult HistoryArchiver::archiveRecord(const QString &name)
{
    const RecordMirror::Loaded loaded = RecordMirror::load(name);
    if (!loaded.exists || !loaded.headerComplete) {
        // Not a record: nothing of it could be erased as measures either.
        HistoryStore::AppendResult r;
        r.ok = true;
        return r;
    }
    return archiveLoaded(name, loaded.record, context(),
                         m_templates ? m_templates() : TemplateLists());
}

HistoryArchiver::MirrorResult HistoryArchiver::archiveMirror(const std::function<void(int, int)> &progress)
{
    MirrorResult m;
    const Context who = context();
    const TemplateLists templates = m_templates ? m_templates() : TemplateLists();
    const QString now = QDateTime::currentDateTime().toString(QLatin1String(HistoryMeasure::TimeFormat));
    const QStringList names = QDir(RecordMirror::folder()).entryList(QDir::Files, QDir::Name);
    // Files already on disk go in groups: a transaction per file would write the same index
    // pages again for every file, and the files are all there, so a group is kept whole or
    // not at all just as one file is.
    QVector<HistoryMeasure> group;
    QStringList groupFiles;
    auto flush = [&] {
        if (group.isEmpty())
            return;
        const HistoryStore::AppendResult r = m_store->append(group);
        m.added += r.added;
        m.queued += r.queued;
        if (!r.ok) {
            td::log(QStringLiteral("History: measures of %1 files not kept: %2").arg(groupFiles.size()).arg(r.error));
            m.failed << groupFiles;
            if (m.error.isEmpty())
                m.error = r.error;
        }
        group.clear();
        groupFiles.clear();
    };
    for (int i = 0; i < names.size(); ++i) {
        const RecordMirror::Loaded loaded = RecordMirror::load(names.at(i));
        if (loaded.exists && loaded.headerComplete) {
            ++m.files;
            m.measures += loaded.record.entries.size();
            if (loaded.record.entries.isEmpty()) {
                noteEmpty(names.at(i), loaded.record, who);
            } else {
                const QStringList codes = m_barcodes ? m_barcodes(names.at(i)) : QStringList();
                group += measuresOf(names.at(i), loaded.record, who, templates, codes, now);
                groupFiles << names.at(i);
            }
        }
        if (group.size() >= GroupMeasures)
            flush();
        if (progress)
            progress(i + 1, names.size());
    }
    flush();
    return m;
}

bool HistoryArchiver::keepBeforeErase(const QString &name, const RecordFile &fromKey, int keyCount, QString *why)
{
    if (keyCount != fromKey.entries.size()) {
        *why = QCoreApplication::translate("HistoryArchiver", "the key's file holds %1 of the %2 measures it counts")
                   .arg(fromKey.entries.size())
                   .arg(keyCount);
        return false;
    }
    if (!m_store || !m_store->isOpen()) {
        *why = QCoreApplication::translate("HistoryArchiver", "the history is not open");
        return false;
    }
    const QString queuedOnly = QCoreApplication::translate(
        "HistoryArchiver", "the history server is not reached; measures waiting in the local queue are not kept yet");
    if (m_store->isServer()) {
        QString e;
        if (m_store->queuedCount() > 0)
            m_store->drainQueue(&e);
        if (!m_store->isOnline() || m_store->queuedCount() > 0) {
            *why = queuedOnly;
            return false;
        }
    }
    const Context c = context();
    if (keyCount == 0)
        return m_store->database()->noteCount(c.keySerial, name, 0, why);
    QVector<HistoryMeasure> measures =
        measuresOf(name, fromKey, c, m_templates ? m_templates() : TemplateLists(),
                   m_barcodes ? m_barcodes(name) : QStringList(),
                   QDateTime::currentDateTime().toString(QLatin1String(HistoryMeasure::TimeFormat)));
    for (HistoryMeasure &m : measures)
        m.recordCount = keyCount;
    const HistoryStore::AppendResult r = m_store->append(measures);
    if (!r.ok || r.queued > 0) {
        *why = r.ok ? queuedOnly : r.error;
        return false;
    }
    if (r.added > 0)
        td::log(QStringLiteral("History: %1 new measures of %2 kept before erasing").arg(r.added).arg(name));
    RecordGenerations::Held held;
    if (!m_store->database()->held(measures, c.keySerial, name, &held, why))
        return false;
    if (held.matching != measures.size() || held.rows != keyCount) {
        *why = QCoreApplication::translate("HistoryArchiver", "the history holds %1 of the key's %2 measures")
                   .arg(held.matching)
                   .arg(keyCount);
        return false;
    }
    return m_store->database()->makeDurable(why);
}

bool HistoryArchiver::noteErased(const QString &name, QString *why)
{
    if (!m_store || !m_store->isOpen() || !m_store->isOnline()) {
        *why = QCoreApplication::translate("HistoryArchiver", "the history is not open");
        return false;
    }
    return m_store->database()->bumpGeneration(context().keySerial, name, why) >= 0;
}
