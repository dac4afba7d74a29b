#include "reports/ReportJobs.h"

#include "base/Paths.h"
#include "records/RecordMirror.h"
#include "records/TemplateBinary.h"
#include "reports/ExcelReport.h"
#include "reports/ReportStamp.h"

#include <QDir>
#include <QFile>

void ReportJobs::loadMirrorTemplates(TemplateLists *lists)
{
    for (TemplateKind kind : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        QFile f(Paths::downloadDir(QStringLiteral("templates")) + QLatin1Char('/')
                + QLatin1String(TemplateBinary::fileName(kind)));
        if (f.open(QIODevice::ReadOnly))
            TemplateBinary::apply(kind, f.read(TemplateBinary::fileSize(kind)), lists);
    }
}

CsvReportJob::CsvReportJob(CsvReport::Table table, QString operatorName, QString outPath)
    : m_table(std::move(table)), m_operator(std::move(operatorName)), m_out(std::move(outPath))
{
}

void CsvReportJob::run()
{
    const int rows = m_table.rows.size();
    emit status(ReportJobs::tr("Writing %1 rows").arg(rows));
    emit progress(0, rows);
    QString error;
    if (!CsvReport::save(m_table, m_operator, m_out, &error, [this, rows](int row) {
            if ((row + 1) % 64 == 0 || row + 1 == rows)
                emit progress(row + 1, rows);
        })) {
        emit finished(false, ReportJobs::tr("The report was not saved. %1").arg(error));
        return;
    }
    emit status(ReportJobs::tr("Report saved to %1").arg(QDir::toNativeSeparators(m_out)));
    emit finished(true, QString());
}

ExcelReportJob::ExcelReportJob(Request request) : m_request(std::move(request)) {}

void ExcelReportJob::run()
{
    const Request &r = m_request;
    // Two steps the person can tell apart: reading the mirror, then the workbook.
    emit status(ReportJobs::tr("Reading the record %1").arg(r.recordName));
    emit progress(0, 2);
    const RecordMirror::Loaded loaded = RecordMirror::load(r.recordName);
    if (!loaded.exists || !loaded.headerComplete) {
        emit finished(false, ReportJobs::tr("The record %1 is not in the local mirror.").arg(r.recordName));
        return;
    }
    if (isCancelled()) {
        emit finished(false, ReportJobs::tr("Cancelled."));
        return;
    }
    emit status(ReportJobs::tr("Writing the workbook of %1 measures").arg(loaded.record.entries.size()));
    emit progress(1, 2);
    QString error;
    if (!ExcelReport::make(loaded.record, r.lists, r.identity, r.templatePath, r.outPath, &error)) {
        emit finished(false, error);
        return;
    }
    emit progress(2, 2);
    emit status(ReportJobs::tr("Excel report of %1 saved to %2").arg(r.recordName, QDir::toNativeSeparators(r.outPath)));
    emit finished(true, QString());
}

QrListJob::QrListJob(QrListReport::Request request) : m_request(std::move(request)) {}

void QrListJob::run()
{
    emit status(ReportJobs::tr("Making the QR-codes list"));
    int shown = -1;
    const QrListReport::Progress report = [this, &shown](qint64 done, qint64 total) {
        // A thousand records would be two thousand signals; the bar moves by whole percents.
        const int percent = total > 0 ? int(done * 100 / total) : 0;
        if (percent != shown) {
            shown = percent;
            emit progress(done, total);
        }
        return !isCancelled();
    };
    QString error;
    int rows = 0;
    if (!QrListReport::make(m_request, &error, &rows, report)) {
        emit finished(false, error);
        return;
    }
    emit status(ReportJobs::tr("QR-codes list of %1 records saved to %2")
                    .arg(rows)
                    .arg(QDir::toNativeSeparators(m_request.outPath)));
    emit finished(true, QString());
}
