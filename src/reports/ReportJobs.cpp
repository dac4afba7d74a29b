#include "reports/ReportJobs.h"

#include "base/Paths.h"
#include "records/RecordMirror.h"
#include "records/TemplateBinary.h"
#include "records/TemplateLists.h"
#include "reports/CsvReport.h"
#include "reports/ExcelReport.h"
#include "reports/QrListReport.h"
#include "reports/ReportIdentity.h"
#include "reports/ReportStamp.h"

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

bool ReportJobs::csv(const QAbstractItemModel &memoryTable, const QString &outPath, QString *error)
{
    return CsvReport::save(memoryTable, ReportIdentity::load().operatorName, outPath, error);
}

bool ReportJobs::xlsx(const QString &recordName, const QString &outPath, QString *error)
{
    const RecordMirror::Loaded loaded = RecordMirror::load(recordName);
    if (!loaded.exists || !loaded.headerComplete) {
        if (error)
            *error = tr("The record %1 is not in the local mirror.").arg(recordName);
        return false;
    }
    TemplateLists lists;
    loadMirrorTemplates(&lists);
    return ExcelReport::make(loaded.record, lists, ReportIdentity::load(), ReportPaths::excelTemplate(), outPath,
                             error);
}

bool ReportJobs::qr(const QString &outPath, QString *error)
{
    TemplateLists lists;
    loadMirrorTemplates(&lists);
    return QrListReport::make(outPath, lists, ReportIdentity::load(), error);
}
