#include "reports/QrListReport.h"

#include "base/Log.h"
#include "base/Paths.h"
#include "records/MeasureAlgorithms.h"
#include "records/RecordFile.h"
#include "records/RecordMirror.h"
#include "records/TemplateLists.h"
#include "reports/QrReportEngine.h"
#include "reports/ReportDatabase.h"
#include "reports/ReportStamp.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

QStringList QrListReport::recordFiles(const QString &folder)
{
    return QDir(folder).entryList(QStringList{QStringLiteral("*")}, QDir::Files, QDir::Name);
}

int QrListReport::fillRecordsTable(const QString &folder, const TemplateLists &lists, QString *error)
{
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.isOpen()) {
        if (error)
            *error = tr("The report database is not open.");
        return -1;
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("DELETE FROM records"))) {
        if (error)
            *error = tr("The report database refused: %1").arg(q.lastError().text());
        return -1;
    }
    // One transaction: a thousand records are one write to the disk, not a thousand.
    db.transaction();
    q.prepare(QStringLiteral("INSERT INTO records(pagenumber, level1, level2, level3, level4, algorithm, head_mm, "
                             "count_con, count_total, range_low, range_high, angle_low, angle_high, angle, "
                             "start_mom, pitch_step) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    int written = 0;
    for (const QString &name : recordFiles(folder)) {
        QFile f(folder + QLatin1Char('/') + name);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        // Only the header is listed; a file of any length is read no further than that.
        const RecordFile::ReadResult read = RecordFile::read(f.read(RecordHeader::Size));
        if (!read.headerComplete) {
            td::log(QStringLiteral("QR list: skipped ") + name + QStringLiteral(" (no whole record header)"));
            continue;
        }
        const RecordHeader &h = read.record.header;
        auto join3 = [](const QString &a, const QString &b, const QString &c) {
            return a + QLatin1Char(' ') + b + QLatin1Char(' ') + c;
        };
        const QVariantList values{
            name,
            join3(lists.fioText(h.fioIndex, 0), lists.fioText(h.fioIndex, 1), lists.fioText(h.fioIndex, 2)),
            lists.wheelText(h.wheelIndex),
            h.operationNumber(),
            join3(lists.uzelText(h.uzelIndex, 0), lists.uzelText(h.uzelIndex, 1), lists.uzelText(h.uzelIndex, 2)),
            MeasureAlgorithms::name(h.algorithm),
            QString::number(double(h.headMm), 'f', 0),
            QString::number(h.countCon),
            QString::number(h.countTotal),
            QString::number(double(h.rangeLow), 'f', 2),
            QString::number(double(h.rangeHigh), 'f', 2),
            QString::number(double(h.angleLow), 'f', 1),
            QString::number(double(h.angleHigh), 'f', 1),
            QString::number(double(h.angle), 'f', 1),
            QString::number(double(h.startMom), 'f', 2),
            QString::number(double(h.pitchStep), 'f', 2),
        };
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values.at(i));
        if (!q.exec()) {
            db.rollback();
            if (error)
                *error = tr("The report database refused: %1").arg(q.lastError().text());
            return -1;
        }
        ++written;
    }
    if (!db.commit()) {
        if (error)
            *error = tr("The report database refused: %1").arg(db.lastError().text());
        return -1;
    }
    return written;
}

QString QrListReport::noRecordsRead(const QString &folder)
{
    return tr("No record could be read from %1").arg(QDir::toNativeSeparators(folder));
}

QString QrListReport::proposedPath(const DateTimeStamp &stamp)
{
    return ReportPaths::qrcodesDir() + QStringLiteral("/qr_list(") + stamp.file + QStringLiteral(").pdf");
}

bool QrListReport::print(QrReportEngine *engine, const ReportIdentity &identity, const DateTimeStamp &stamp,
                         const QString &outPath, QString *error)
{
    engine->dataManager()->setReportVariable(QStringLiteral("protocol"), stamp.file);
    for (int i = 0; i < 4; ++i)
        engine->dataManager()->setReportVariable(QStringLiteral("level%1").arg(i + 1), identity.levelCaptions.value(i));
    engine->dataManager()->setReportVariable(QStringLiteral("units"), identity.unitsText());
    if (engine->printToPDF(outPath))
        return true;
    if (error)
        *error = engine->lastError();
    return false;
}

bool QrListReport::make(const QString &outPath, const TemplateLists &lists, const ReportIdentity &identity,
                        QString *error)
{
    const QString folder = RecordMirror::folder();
    if (recordFiles(folder).isEmpty()) {
        if (error)
            *error = tr("Warning! Folder is empty!");
        return false;
    }
    if (!QSqlDatabase::database().isOpen() && !ReportDatabase::open(Paths::reportDatabase())) {
        if (error)
            *error = tr("The report database is not open.");
        return false;
    }
    const int rows = fillRecordsTable(folder, lists, error);
    if (rows < 0)
        return false;
    if (rows == 0) {
        // A list of headers only would pass for a list of nothing to label.
        if (error)
            *error = noRecordsRead(folder);
        return false;
    }
    QrReportEngine engine;
    if (!engine.loadFromFile(ReportPaths::qrTemplate(), false)) {
        if (error)
            *error = engine.lastError();
        return false;
    }
    return print(&engine, identity, dateTimeStamp(), outPath, error);
}
