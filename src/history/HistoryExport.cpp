#include "history/HistoryExport.h"

#include "base/CsvField.h"
#include "history/HistoryDatabase.h"
#include "history/StatisticsReport.h"
#include "measures/MeasureJudgement.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QSaveFile>

#include <charconv>
#include <cmath>

QString HistoryExport::unreadable(qint64 rowsRead, const QString &error)
{
    return tr("the history could not be read to the end (measures read before the failure: %1); nothing was "
              "written: %2")
        .arg(rowsRead)
        .arg(error);
}

QStringList HistoryExport::columnTitles()
{
    return {tr("Date and time"), tr("Key"),     tr("Record"),   tr("Connection"), tr("Moment"),     tr("Angle"),
            tr("Corrected defect"), tr("Result"), tr("Moment range"), tr("Operator"), tr("Product"),
            tr("Operation"), tr("Node"), tr("Controller"), tr("Barcodes"), tr("Calibration"), tr("Received"),
            tr("Station")};
}

namespace {

// What QString::number(v, 'f', decimals) writes, without the locale machinery that made up
// most of an exported row's time. Both round the exact binary value, except on an exact tie
// (45.125), which Qt rounds up and to_chars to even: a value near one is left to Qt.
QString fixed(double v, int decimals)
{
    static const double scale[] = {1, 10, 100};
    const double scaled = std::fabs(v) * scale[decimals];
    if (std::isfinite(v) && scaled < 1e15 && std::fabs(scaled - std::floor(scaled) - 0.5) > 1e-6) {
        if (v == 0)
            v = 0; // Qt writes no sign for a negative zero
        char text[64];
        const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, decimals);
        if (r.ec == std::errc())
            return QString::fromLatin1(text, int(r.ptr - text));
    }
    return QString::number(v, 'f', decimals);
}

} // namespace

QStringList HistoryExport::rowTexts(const HistoryMeasure &m, Unit unit)
{
    const bool angle = MeasureJudgement::checksAngle(m.algorithm);
    QString codes = m.barcode1;
    if (!m.barcode2.isEmpty())
        codes += QStringLiteral(" / ") + m.barcode2;
    return {m.measuredAt.isEmpty() ? QStringLiteral("-") : m.measuredAt,
            m.keyName.isEmpty() ? m.keySerial : m.keySerial + QStringLiteral(" (") + m.keyName + QLatin1Char(')'),
            m.recordName,
            QString::number(m.connectionIndex + 1),
            fixed(std::fabs(m.moment), 2) + QLatin1Char(' ')
                + (unit == Unit::Shown ? StatisticsReport::shownUnit(m.unit) : m.unit),
            angle ? fixed(std::fabs(m.angle), 1) : QStringLiteral("-"),
            std::fabs(m.defect) > double(MeasureJudgement::kNone) ? fixed(std::fabs(m.defect), 2) : QString(),
            m.ok ? QStringLiteral("OK") : QStringLiteral("NG"),
            fixed(m.momentLow, 2) + QLatin1Char('-') + fixed(m.momentHigh, 2),
            m.operatorText,
            m.product,
            m.operationNumber,
            m.node,
            m.operatorName,
            codes,
            m.calibrationFile,
            m.receivedAt,
            m.station};
}

QByteArray HistoryExport::csvLine(const QStringList &fields)
{
    QString line;
    line.reserve(256);
    for (int i = 0; i < fields.size(); ++i) {
        if (i)
            line += QLatin1Char(';');
        td::appendCsvField(line, fields.at(i));
    }
    line += QLatin1String("\r\n");
    return line.toUtf8();
}

namespace {

// A file written as the rows come, through a bounded buffer, put in place only by commit().
class StreamedFile
{
public:
    explicit StreamedFile(const QString &path) : m_file(path) {}

    bool open(QString *error)
    {
        if (m_file.open(QIODevice::WriteOnly))
            return true;
        *error = cannotWrite(m_file.errorString());
        return false;
    }

    bool write(const QByteArray &bytes, QString *error)
    {
        m_buffer += bytes;
        return m_buffer.size() < kFlushBytes || flush(error);
    }

    bool commit(QString *error)
    {
        if (!flush(error))
            return false;
        if (m_file.commit())
            return true;
        *error = cannotWrite(m_file.errorString());
        return false;
    }

private:
    static constexpr int kFlushBytes = 256 * 1024;

    QString cannotWrite(const QString &why) const
    {
        return QCoreApplication::translate("AtomicFile", "Cannot write file %1: %2")
            .arg(QDir::toNativeSeparators(m_file.fileName()), why);
    }

    bool flush(QString *error)
    {
        if (m_buffer.isEmpty())
            return true;
        if (m_file.write(m_buffer) != m_buffer.size()) {
            *error = cannotWrite(m_file.errorString());
            return false;
        }
        m_buffer.clear();
        return true;
    }

    QSaveFile m_file; // discards the temporary when it goes uncommitted
    QByteArray m_buffer;
};

// Reports every ProgressRows rows and answers whether to go on.
class Pacer
{
public:
    Pacer(const HistoryExport::Feedback &feedback, qint64 total) : m_feedback(feedback), m_total(total) {}

    bool step(qint64 done)
    {
        if (done % HistoryExport::ProgressRows != 0)
            return true;
        report(done);
        return !cancelled();
    }
    void report(qint64 done) const
    {
        if (m_feedback.progress)
            m_feedback.progress(done, m_total);
    }
    bool cancelled() const { return m_feedback.cancelled && m_feedback.cancelled(); }

private:
    const HistoryExport::Feedback &m_feedback;
    qint64 m_total;
};

} // namespace

QString HistoryExport::cancelledText()
{
    return tr("The export was cancelled; the file was not written");
}

HistoryExport::Outcome HistoryExport::writeCsv(HistoryDatabase *db, const HistoryFilter &filter, const QString &path,
                                               const Feedback &feedback)
{
    Outcome o;
    Pacer pacer(feedback, qMax<qint64>(0, db->count(filter)));
    StreamedFile file(path);
    if (!file.open(&o.error) || !file.write(csvLine(columnTitles()), &o.error))
        return o;
    bool written = true;
    bool stopped = false;
    const bool ran = db->forEach(filter, [&](const HistoryMeasure &m) {
        written = file.write(csvLine(rowTexts(m)), &o.error);
        stopped = !pacer.step(++o.rows);
        return written && !stopped;
    });
    if (!written)
        return o;
    if (stopped || pacer.cancelled()) {
        o.error = cancelledText();
        return o;
    }
    if (!ran) {
        o.error = unreadable(o.rows, db->lastError());
        return o;
    }
    pacer.report(o.rows);
    o.ok = file.commit(&o.error);
    return o;
}

HistoryExport::Outcome HistoryExport::writeDfq(HistoryDatabase *db, const HistoryFilter &filter, const QString &path,
                                               const Feedback &feedback)
{
    Outcome o;
    // Both passes count toward one bar.
    const qint64 rows = qMax<qint64>(0, db->count(filter));
    Pacer pacer(feedback, 2 * rows);
    qint64 done = 0;
    bool stopped = false;
    QVector<DfqWriter::Characteristic> cs;
    QHash<QString, int> byRecord;
    bool ran = db->forEach(
        filter,
        [&](const HistoryMeasure &m) {
            auto found = byRecord.find(m.recordName);
            if (found == byRecord.end()) {
                found = byRecord.insert(m.recordName, cs.size());
                cs.append(DfqWriter::Characteristic());
            }
            DfqWriter::Characteristic &c = cs[found.value()];
            c.partNumber = m.product;
            c.partDescription = m.operationNumber;
            c.number = m.recordName;
            c.description = m.node;
            c.lower = m.momentLow;
            c.upper = m.momentHigh;
            c.unit = m.unit.isEmpty() ? QStringLiteral("Nm") : m.unit;
            stopped = !pacer.step(++done);
            return !stopped;
        },
        HistoryDatabase::Order::ByRecord);
    if (stopped || pacer.cancelled()) {
        o.error = cancelledText();
        return o;
    }
    if (!ran) {
        o.error = unreadable(done, db->lastError());
        return o;
    }
    StreamedFile file(path);
    if (!file.open(&o.error) || !file.write(DfqWriter::description(cs, &o.replacedCharacters), &o.error))
        return o;
    bool written = true;
    ran = db->forEach(
        filter,
        [&](const HistoryMeasure &m) {
            // A record that arrived between the two readings has no description: left for the next export.
            const auto found = byRecord.constFind(m.recordName);
            if (found != byRecord.constEnd()) {
                DfqWriter::Value v;
                v.value = std::fabs(m.moment);
                if (!m.measuredAt.isEmpty())
                    v.time = QDateTime::fromString(m.measuredAt, QLatin1String(HistoryMeasure::TimeFormat));
                v.operatorName = m.operatorText.isEmpty() ? m.operatorName : m.operatorText;
                v.equipment = m.keySerial;
                v.machine = m.station;
                written = file.write(DfqWriter::value(found.value() + 1, v, &o.replacedCharacters), &o.error);
                ++o.rows;
            }
            stopped = !pacer.step(++done);
            return written && !stopped;
        },
        HistoryDatabase::Order::ByRecord);
    if (!written)
        return o;
    if (stopped || pacer.cancelled()) {
        o.error = cancelledText();
        return o;
    }
    if (!ran) {
        o.error = unreadable(o.rows, db->lastError());
        return o;
    }
    pacer.report(done);
    o.ok = file.commit(&o.error);
    return o;
}

HistoryExport::Joint HistoryExport::joint(HistoryDatabase *db, const HistoryFilter &filter, const QString &recordName,
                                          bool *ok)
{
    Joint j;
    j.recordName = recordName;
    HistoryFilter f = filter;
    f.recordName = recordName;
    HistoryDatabase::JointLimits limits;
    const bool ran = db->forEachJointRow(
        f,
        [&](const HistoryDatabase::JointRow &m) {
            j.moments.append(std::fabs(m.moment));
            if (!m.ok)
                ++j.ngCount;
            if (MeasureJudgement::checksAngle(m.algorithm))
                j.angles.append(std::fabs(m.angle));
        },
        &limits);
    j.unit = limits.unit;
    j.momentLow = limits.momentLow;
    j.momentHigh = limits.momentHigh;
    j.angleChecked = limits.angleChecked;
    j.angleLow = limits.angleLow;
    j.angleHigh = limits.angleHigh;
    if (ok)
        *ok = ran;
    return j;
}
