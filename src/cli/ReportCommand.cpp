// torquedesk-cli report csv|xlsx|qr: the three reports from the local mirror, made by the same
// core code the window's Report tab runs, so a script files the same documents a person would.
#include "base/Paths.h"
#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "measures/MeasureMemory.h"
#include "records/RecordList.h"
#include "records/RecordMirror.h"
#include "reports/ReportIdentity.h"
#include "reports/ReportJobs.h"
#include "reports/ReportStamp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The memory table of the named records (every record of the mirror when none is named),
// with the level columns and units the last read-out stored.
int csvReport(const QStringList &requested, const QString &out)
{
    RecordList records;
    records.rebuild(Paths::downloadDir(QStringLiteral("dbsett")),
                    RecordList::loadTemplates(Paths::downloadDir(QStringLiteral("templates"))));
    QStringList names = requested;
    for (const QString &name : requested) {
        if (records.indexOf(name) < 0) {
            cli::fail(QCoreApplication::translate("cli", "the record %1 is not in the local mirror").arg(name));
            return CliExit::Failed;
        }
    }
    if (names.isEmpty())
        names = records.names();

    const ReportIdentity id = ReportIdentity::load();
    MeasureMemory memory(&records);
    memory.setSettingsSource([id] {
        MeasureMemory::Settings s;
        s.dataTimeOn = id.dataTime == 1;
        s.kgsm = id.units == 1;
        s.operatorName = id.operatorName;
        return s;
    });
    std::array<QString, 4> captions;
    for (int i = 0; i < 4; ++i)
        captions[size_t(i)] = id.levelCaptions.value(i);
    memory.setLevels(id.levelsUsed, captions);
    const int measures = memory.loadRecords(names);

    QString error;
    if (!cli::runJob(new CsvReportJob(CsvReport::Table::of(*memory.model()), id.operatorName, out),
                     QCoreApplication::translate("cli", "report"), &error)) {
        cli::fail(error);
        return CliExit::Failed;
    }
    cli::say(QCoreApplication::translate("cli", "%1: %2 measures of %3 records").arg(out).arg(measures).arg(names.size()));
    return CliExit::Ok;
}

int run(Station &, const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate("cli", "Makes a report from the local mirror of the last key read out."));
    cli::addCommonOptions(parser);
    const QCommandLineOption record(QStringLiteral("record"),
                                    QCoreApplication::translate("cli", "A record to report (repeat for several; csv: every record when absent)."),
                                    QStringLiteral("NAME"));
    const QCommandLineOption outOption(QStringLiteral("out"), QCoreApplication::translate("cli", "The file to write."), QStringLiteral("FILE"));
    parser.addOptions({record, outOption});
    parser.addPositionalArgument(QStringLiteral("kind"), QCoreApplication::translate("cli", "csv, xlsx or qr"));
    if (!cli::parseArguments(parser, QStringLiteral("report"), args))
        return CliExit::Usage;

    const QStringList positional = parser.positionalArguments();
    const QString kind = positional.value(0);
    if (positional.size() != 1
        || !(kind == QLatin1String("csv") || kind == QLatin1String("xlsx") || kind == QLatin1String("qr"))) {
        cli::fail(QCoreApplication::translate("cli", "say which report: csv, xlsx or qr"));
        return CliExit::Usage;
    }
    if (!parser.isSet(outOption)) {
        cli::fail(QCoreApplication::translate("cli", "--out FILE is required"));
        return CliExit::Usage;
    }
    const QStringList records = parser.values(record);
    if (kind == QLatin1String("xlsx") && records.size() != 1) {
        cli::fail(QCoreApplication::translate("cli", "the workbook is made of exactly one record: give one --record NAME"));
        return CliExit::Usage;
    }
    cli::applyDataDir(parser);
    if (!QFileInfo(Paths::downloadDir(QStringLiteral("dbsett"))).isDir()) {
        cli::fail(QCoreApplication::translate("cli", "no key was read into %1 yet (no download/dbsett folder)").arg(QDir::toNativeSeparators(Paths::dataRoot())));
        return CliExit::Failed;
    }
    const QString out = QFileInfo(parser.value(outOption)).absoluteFilePath();

    if (kind == QLatin1String("csv"))
        return csvReport(records, out);

    TemplateLists lists;
    ReportJobs::loadMirrorTemplates(&lists);
    Job *job = nullptr;
    if (kind == QLatin1String("xlsx")) {
        ExcelReportJob::Request r;
        r.recordName = records.first();
        r.lists = lists;
        r.identity = ReportIdentity::load();
        r.templatePath = ReportPaths::excelTemplate();
        r.outPath = out;
        job = new ExcelReportJob(std::move(r));
    } else {
        QrListReport::Request r;
        r.folder = RecordMirror::folder();
        r.templatePath = ReportPaths::qrTemplate();
        r.outPath = out;
        r.lists = lists;
        r.identity = ReportIdentity::load();
        r.stamp = dateTimeStamp();
        job = new QrListJob(std::move(r));
    }
    QString error;
    if (!cli::runJob(job, QCoreApplication::translate("cli", "report"), &error)) {
        cli::fail(error);
        return CliExit::Failed;
    }
    cli::say(out);
    return CliExit::Ok;
}

const CliCommandRegistrar registrar({QStringLiteral("report"),
                                     QStringLiteral("csv|xlsx|qr --out FILE [--record NAME ...] [--data-dir DIR]"),
                                     QT_TRANSLATE_NOOP("cli", "Make the CSV, Excel or QR-list report from the local mirror."),
                                     run, true});

} // namespace
