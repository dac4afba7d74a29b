#include "history/HistoryExport.h"

#include "base/AtomicFile.h"
#include "base/CsvField.h"
#include "history/HistoryDatabase.h"
#include "measures/MeasureJudgement.h"

#include <QDateTime>
#include <QHash>

#include <cmath>

QString HistoryExport::unreadable(int rowsRead, const QString &error)
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
            tr("Operation"), tr("Node"), tr("Controller"), tr("Barcodes"), tr("Calibration"), tr("Received")};
}

QStringList HistoryExport::rowTexts(const HistoryMeasure &m)
{
    const bool angle = MeasureJudgement::checksAngle(m.algorithm);
    QString codes = m.barcode1;
    if (!m.barcode2.isEmpty())
        codes += QStringLiteral(" / ") + m.barcode2;
    return {m.measuredAt.isEmpty() ? QStringLiteral("-") : m.measuredAt,
            m.keyName.isEmpty() ? m.keySerial : m.keySerial + QStringLiteral(" (") + m.keyName + QLatin1Char(')'),
            m.recordName,
            QString::number(m.connectionIndex + 1),
            QString::number(std::fabs(m.moment), 'f', 2) + QLatin1Char(' ') + m.unit,
            angle ? QString::number(std::fabs(m.angle), 'f', 1) : QStringLiteral("-"),
            std::fabs(m.defect) > double(MeasureJudgement::kNone) ? QString::number(std::fabs(m.defect), 'f', 2)
                                                                   : QString(),
            m.ok ? QStringLiteral("OK") : QStringLiteral("NG"),
            QString::number(m.momentLow, 'f', 2) + QLatin1Char('-') + QString::number(m.momentHigh, 'f', 2),
            m.operatorText,
            m.product,
            m.operationNumber,
            m.node,
            m.operatorName,
            codes,
            m.calibrationFile,
            m.receivedAt};
}

QByteArray HistoryExport::csvLine(const QStringList &fields)
{
    QByteArray line;
    for (int i = 0; i < fields.size(); ++i) {
        if (i)
            line += ';';
        line += td::csvField(fields.at(i)).toUtf8();
    }
    line += "\r\n";
    return line;
}

HistoryExport::Outcome HistoryExport::writeCsv(HistoryDatabase *db, const HistoryFilter &filter, const QString &path)
{
    Outcome o;
    QByteArray out = csvLine(columnTitles());
    const bool ran = db->forEach(filter, [&](const HistoryMeasure &m) {
        out += csvLine(rowTexts(m));
        ++o.rows;
        return true;
    });
    if (!ran) {
        o.error = unreadable(o.rows, db->lastError());
        return o;
    }
    o.ok = AtomicFile::write(path, out, &o.error, AtomicFile::Durability::Synced);
    return o;
}

QVector<DfqWriter::Characteristic> HistoryExport::dfqCharacteristics(HistoryDatabase *db, const HistoryFilter &filter,
                                                                     bool *ok)
{
    QVector<DfqWriter::Characteristic> out;
    QHash<QString, int> byRecord;
    *ok = db->forEach(filter, [&](const HistoryMeasure &m) {
        auto found = byRecord.find(m.recordName);
        if (found == byRecord.end()) {
            found = byRecord.insert(m.recordName, out.size());
            out.append(DfqWriter::Characteristic());
        }
        DfqWriter::Characteristic &c = out[found.value()];
        // The latest measure's texts and range describe the characteristic.
        c.partNumber = m.product;
        c.partDescription = m.operationNumber;
        c.number = m.recordName;
        c.description = m.node;
        c.lower = m.momentLow;
        c.upper = m.momentHigh;
        c.unit = m.unit.isEmpty() ? QStringLiteral("Nm") : m.unit;
        DfqWriter::Value v;
        v.value = std::fabs(m.moment);
        if (!m.measuredAt.isEmpty())
            v.time = QDateTime::fromString(m.measuredAt, QLatin1String(HistoryMeasure::TimeFormat));
        v.operatorName = m.operatorText.isEmpty() ? m.operatorName : m.operatorText;
        v.equipment = m.keySerial;
        c.values.append(v);
        return true;
    });
    return out;
}

HistoryExport::Outcome HistoryExport::writeDfq(HistoryDatabase *db, const HistoryFilter &filter, const QString &path)
{
    Outcome o;
    bool ran = false;
    const QVector<DfqWriter::Characteristic> cs = dfqCharacteristics(db, filter, &ran);
    for (const DfqWriter::Characteristic &c : cs)
        o.rows += c.values.size();
    if (!ran) {
        o.error = unreadable(o.rows, db->lastError());
        return o;
    }
    const DfqWriter::Output written = DfqWriter::write(cs);
    o.replacedCharacters = written.replacedCharacters;
    o.ok = AtomicFile::write(path, written.bytes, &o.error, AtomicFile::Durability::Synced);
    return o;
}

HistoryExport::Joint HistoryExport::joint(HistoryDatabase *db, const HistoryFilter &filter, const QString &recordName,
                                          bool *ok)
{
    Joint j;
    j.recordName = recordName;
    HistoryFilter f = filter;
    f.recordName = recordName;
    const bool ran = db->forEachJointRow(
        f,
        [&](const HistoryDatabase::JointRow &m) {
            j.moments.append(std::fabs(m.moment));
            if (!m.ok)
                ++j.ngCount;
            j.momentLow = m.momentLow;
            j.momentHigh = m.momentHigh;
            if (MeasureJudgement::checksAngle(m.algorithm)) {
                j.angleChecked = true;
                j.angles.append(std::fabs(m.angle));
                j.angleLow = m.angleLow;
                j.angleHigh = m.angleHigh;
            }
        },
        &j.unit);
    if (ok)
        *ok = ran;
    return j;
}
