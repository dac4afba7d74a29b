// torquedesk-cli history: archive the local mirror, export the history, a joint's statistics.
#include "cli/HistoryCommand.h"

#include "base/Paths.h"
#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "history/Capability.h"
#include "history/HistoryArchiver.h"
#include "history/HistoryExport.h"
#include "history/HistoryService.h"
#include "history/HistoryExportJob.h"
#include "history/HistorySettings.h"
#include "history/HistoryStore.h"
#include "history/StatisticsReport.h"
#include "records/TemplateListsModel.h"
#include "station/ArchiverSources.h"
#include "station/MirrorImportJob.h"
#include "station/Station.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

const QCommandLineOption &historyDbOption()
{
    static const QCommandLineOption option(
        QStringLiteral("history-db"),
        QCoreApplication::translate("cli", "The history database: postgresql://user@host:port/dbname, or a SQLite file (default: "
           "DIR/history/history.db3, or the history page's setting). The password comes from ~/.pgpass or "
           "PGPASSWORD."),
        QStringLiteral("URL"));
    return option;
}

QString historyUrl(const QCommandLineParser &parser)
{
    return parser.isSet(historyDbOption()) ? parser.value(historyDbOption()) : HistorySettings::load().database;
}

bool reportOpened(bool opened, const HistoryStore &store, const QString &error)
{
    if (!opened) {
        cli::fail(QCoreApplication::translate("cli", "the history cannot be opened: %1").arg(error));
        return false;
    }
    if (store.isServer() && !store.isOnline())
        cli::say(QCoreApplication::translate("cli", "History server not reached; measures are kept in the local queue."));
    return true;
}

// What the archiver reads beside the mirror's files, as the window reads it.
ArchiverSources mirrorSources(const HistoryArchiver::Context *identity)
{
    ArchiverSources sources;
    if (identity)
        sources.identity = *identity;
    TemplateListsModel templates;
    templates.loadFolder(Paths::downloadDir(QStringLiteral("templates")));
    const TemplateLists lists = templates.lists();
    sources.templates = [lists] { return lists; };
    return sources;
}

void sayArchived(int files, int measures, int added, int queued)
{
    cli::say(QCoreApplication::translate("cli", "%1 record files, %2 measures: %3 new in the history, %4 queued for the server")
                 .arg(files)
                 .arg(measures)
                 .arg(added)
                 .arg(queued));
}

// Kept on this PC is not in the history yet: a nightly job must hear that the server has not
// got them, every night it has not.
int queueVerdict(qint64 queued, const QString &queuePath)
{
    if (queued <= 0)
        return CliExit::Ok;
    cli::fail(QCoreApplication::translate("cli", "the history server has not got every measure: %1 wait in the local "
                                                 "queue %2 and move to it once it answers")
                  .arg(queued)
                  .arg(QDir::toNativeSeparators(queuePath)));
    return CliExit::Failed;
}

// The station's store on this thread, for commands that read it: a server that is away leaves
// nothing to read, which whenAway says.
HistoryStore *openStoreToRead(Station &station, const QCommandLineParser &parser, const QString &whenAway)
{
    cli::applyDataDir(parser, cli::StationUse::Filter);
    QString error;
    const bool opened = station.openHistoryHere(historyUrl(parser), ArchiverSources(), &error);
    HistoryStore *store = station.storeHere();
    if (!reportOpened(opened, *store, error))
        return nullptr;
    if (!store->isOnline()) {
        cli::fail(whenAway);
        return nullptr;
    }
    return store;
}

// --since / --until / --record into a filter; false (after saying why) for a bad date.
bool readFilter(const QCommandLineParser &parser, HistoryFilter *f)
{
    for (const char *name : {"since", "until"}) {
        const QString value = parser.value(QLatin1String(name));
        if (value.isEmpty())
            continue;
        if (!QDate::fromString(value, QStringLiteral("yyyy-MM-dd")).isValid()) {
            cli::fail(QCoreApplication::translate("cli", "--%1 wants a date as YYYY-MM-DD, not '%2'").arg(QLatin1String(name), value));
            return false;
        }
        (qstrcmp(name, "since") == 0 ? f->since : f->until) = value;
    }
    f->recordName = parser.value(QStringLiteral("record"));
    f->stations = parser.values(QStringLiteral("station"));
    return true;
}

void addFilterOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("since"), QCoreApplication::translate("cli", "Measures from this day on."), QStringLiteral("YYYY-MM-DD")});
    parser.addOption({QStringLiteral("until"), QCoreApplication::translate("cli", "Measures up to this day."), QStringLiteral("YYYY-MM-DD")});
    parser.addOption({QStringLiteral("record"), QCoreApplication::translate("cli", "Only the measures of this record (joint)."), QStringLiteral("NAME")});
}

int runImport(const QStringList &args)
{
    QCommandLineParser parser;
    cli::addCommonOptions(parser);
    parser.addOption(historyDbOption());
    if (!cli::parseArguments(parser, QStringLiteral("history import"), args))
        return CliExit::Usage;
    if (!parser.positionalArguments().isEmpty()) {
        cli::fail(QCoreApplication::translate("cli", "unexpected argument '%1'").arg(parser.positionalArguments().first()));
        return CliExit::Usage;
    }
    cli::applyDataDir(parser);
    // The same archiver as pull and the window, run as a job: the bar on this terminal is
    // the window's progress row.
    auto *job = new MirrorImportJob(historyUrl(parser), mirrorSources(nullptr), Paths::reportDatabase());
    qint64 waiting = 0;
    QString queue;
    QObject::connect(job, &MirrorImportJob::archived, QCoreApplication::instance(),
                     [&](int files, int measures, int added, int queuedNow, qint64 queuedTotal, const QString &queuePath,
                         bool serverAway) {
                         if (serverAway)
                             cli::say(QCoreApplication::translate(
                                 "cli", "History server not reached; measures are kept in the local queue."));
                         sayArchived(files, measures, added, queuedNow);
                         waiting = queuedTotal;
                         queue = queuePath;
                     });
    QString error;
    if (!cli::runJob(job, QCoreApplication::translate("cli", "Archiving"), &error)) {
        cli::fail(error);
        return CliExit::Failed;
    }
    return queueVerdict(waiting, queue);
}

int runExport(Station &station, const QStringList &args)
{
    QCommandLineParser parser;
    cli::addCommonOptions(parser, cli::StationUse::Filter);
    parser.addOption(historyDbOption());
    addFilterOptions(parser);
    parser.addOption({QStringLiteral("format"), QCoreApplication::translate("cli", "csv or dfq."), QStringLiteral("FORMAT")});
    parser.addOption({QStringLiteral("out"), QCoreApplication::translate("cli", "The file to write."), QStringLiteral("FILE")});
    if (!cli::parseArguments(parser, QStringLiteral("history export"), args))
        return CliExit::Usage;
    const QString format = parser.value(QStringLiteral("format")).toLower();
    if (format != QLatin1String("csv") && format != QLatin1String("dfq")) {
        cli::fail(QCoreApplication::translate("cli", "--format wants csv or dfq"));
        return CliExit::Usage;
    }
    const QString out = parser.value(QStringLiteral("out"));
    if (out.isEmpty()) {
        cli::fail(QCoreApplication::translate("cli", "--out FILE is missing"));
        return CliExit::Usage;
    }
    HistoryFilter filter;
    if (!readFilter(parser, &filter))
        return CliExit::Usage;
    HistoryStore *store = openStoreToRead(
        station, parser, QCoreApplication::translate("cli", "the history server is not reached; nothing to export from"));
    if (!store)
        return CliExit::Failed;
    auto *job = new HistoryExportJob(store->location(), filter,
                                     format == QLatin1String("csv") ? HistoryExportJob::Format::Csv
                                                                    : HistoryExportJob::Format::Dfq,
                                     out);
    store->close();
    qint64 rows = 0;
    int replaced = 0;
    // Queued to this thread before the job's end, so both are known when runJob returns.
    QObject::connect(job, &HistoryExportJob::written, QCoreApplication::instance(), [&](qint64 r, int c) {
        rows = r;
        replaced = c;
    });
    QString error;
    if (!cli::runJob(job, QCoreApplication::translate("cli", "Exporting"), &error)) {
        cli::fail(QCoreApplication::translate("cli", "export failed: %1").arg(error));
        return CliExit::Failed;
    }
    cli::say(QCoreApplication::translate("cli", "%1 measures written to %2").arg(rows).arg(out));
    if (replaced > 0)
        cli::say(QCoreApplication::translate("cli", "%1 characters the file's character set cannot hold were written as '?'").arg(replaced));
    return CliExit::Ok;
}

QJsonValue number(bool valid, double v)
{
    return valid && std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null);
}

// A joint's figures within a filter, as the page's statistics compute them.
struct JointFigures
{
    bool read = false;
    int n = 0;
    Capability::Result result;
};

JointFigures jointFigures(HistoryDatabase *db, const HistoryFilter &filter, const Capability::Thresholds &thresholds)
{
    JointFigures f;
    const HistoryExport::Joint j = HistoryExport::joint(db, filter, filter.recordName, &f.read);
    f.n = j.moments.size();
    if (f.read && f.n > 0)
        f.result = Capability::evaluate(j.moments, j.momentLow, j.momentHigh, j.ngCount, thresholds);
    return f;
}

QJsonObject figuresJson(const Capability::Result &r)
{
    const Capability::Summary &s = r.summary;
    QJsonObject o;
    o.insert(QStringLiteral("n"), s.n);
    o.insert(QStringLiteral("mean"), s.mean);
    o.insert(QStringLiteral("sigma"), s.sigma);
    o.insert(QStringLiteral("min"), s.min);
    o.insert(QStringLiteral("max"), s.max);
    o.insert(QStringLiteral("cp"), number(r.computed, r.cp));
    o.insert(QStringLiteral("cpk"), number(r.computed, r.cpk));
    o.insert(QStringLiteral("ng_share"), s.ngShare);
    o.insert(QStringLiteral("alarm"), r.alarm);
    if (!r.computed)
        o.insert(QStringLiteral("reason"), r.reason);
    return o;
}

int runStats(Station &station, const QStringList &args)
{
    QCommandLineParser parser;
    cli::addCommonOptions(parser, cli::StationUse::Filter);
    parser.addOption(historyDbOption());
    addFilterOptions(parser);
    parser.addOption({QStringLiteral("json"), QCoreApplication::translate("cli", "Print the figures as one JSON object.")});
    if (!cli::parseArguments(parser, QStringLiteral("history stats"), args))
        return CliExit::Usage;
    HistoryFilter filter;
    if (!readFilter(parser, &filter))
        return CliExit::Usage;
    if (filter.recordName.isEmpty()) {
        cli::fail(QCoreApplication::translate("cli", "--record NAME is missing"));
        return CliExit::Usage;
    }
    HistoryStore *store = openStoreToRead(station, parser, QCoreApplication::translate("cli", "the history server is not reached"));
    if (!store)
        return CliExit::Failed;
    const Capability::Thresholds thresholds = HistorySettings::load().thresholds;
    HistoryDatabase *db = store->database();
    const JointFigures pooled = jointFigures(db, filter, thresholds);
    if (!pooled.read) {
        cli::fail(QCoreApplication::translate("cli", "the history could not be read: %1").arg(db->lastError()));
        return CliExit::Failed;
    }
    if (pooled.n == 0) {
        cli::fail(QCoreApplication::translate("cli", "no measures of record %1 in the history").arg(filter.recordName));
        return CliExit::Failed;
    }
    // Each station beside the pool, through the same path narrowed to that station: a station
    // that drifts shows against the others.
    QStringList stations = filter.stations;
    if (stations.isEmpty())
        stations = db->distinct(QStringLiteral("station"));
    stations.removeDuplicates();
    QVector<QPair<QString, JointFigures>> perStation;
    for (const QString &name : qAsConst(stations)) {
        HistoryFilter one = filter;
        one.stations = QStringList{name};
        const JointFigures f = jointFigures(db, one, thresholds);
        if (!f.read) {
            cli::fail(QCoreApplication::translate("cli", "the history could not be read: %1").arg(db->lastError()));
            return CliExit::Failed;
        }
        if (f.n > 0)
            perStation.append({name, f});
    }
    const Capability::Result &r = pooled.result;
    const Capability::Summary &s = r.summary;
    if (parser.isSet(QStringLiteral("json"))) {
        QJsonObject o = figuresJson(r);
        o.insert(QStringLiteral("record"), filter.recordName);
        QJsonArray list;
        for (const auto &st : qAsConst(perStation)) {
            QJsonObject one = figuresJson(st.second.result);
            one.insert(QStringLiteral("station"), st.first);
            list.append(one);
        }
        o.insert(QStringLiteral("stations"), list);
        QTextStream(stdout) << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
        return CliExit::Ok;
    }
    auto fixed = [](double v) { return QString::number(v, 'f', 3); };
    cli::say(QStringLiteral("record: ") + filter.recordName);
    cli::say(QStringLiteral("n: ") + QString::number(s.n));
    cli::say(QStringLiteral("mean: ") + fixed(s.mean));
    cli::say(QStringLiteral("sigma: ") + fixed(s.sigma));
    cli::say(QStringLiteral("min: ") + fixed(s.min));
    cli::say(QStringLiteral("max: ") + fixed(s.max));
    cli::say(QStringLiteral("cp: ") + (r.computed ? fixed(r.cp) : QStringLiteral("-")));
    cli::say(QStringLiteral("cpk: ") + (r.computed ? fixed(r.cpk) : QStringLiteral("-")));
    cli::say(QStringLiteral("ng share: ") + QString::number(s.ngShare * 100, 'f', 1) + QLatin1Char('%'));
    if (!r.computed)
        cli::say(r.reason);
    else if (r.alarm)
        cli::say(QCoreApplication::translate("cli", "ALARM: the process is not capable"));
    for (const auto &st : qAsConst(perStation)) {
        const Capability::Result &sr = st.second.result;
        cli::say(QStringLiteral("station %1: n %2, mean %3, sigma %4, cp %5, cpk %6%7")
                     .arg(st.first)
                     .arg(sr.summary.n)
                     .arg(fixed(sr.summary.mean), fixed(sr.summary.sigma),
                          sr.computed ? fixed(sr.cp) : QStringLiteral("-"), sr.computed ? fixed(sr.cpk) : QStringLiteral("-"),
                          sr.alarm ? QStringLiteral(", ALARM") : QString()));
    }
    return CliExit::Ok;
}

int runReport(Station &station, const QStringList &args)
{
    QCommandLineParser parser;
    cli::addCommonOptions(parser, cli::StationUse::Filter);
    parser.addOption(historyDbOption());
    addFilterOptions(parser);
    parser.addOption({QStringLiteral("out"), QCoreApplication::translate("cli", "The PDF file to write."), QStringLiteral("FILE")});
    if (!cli::parseArguments(parser, QStringLiteral("history report"), args))
        return CliExit::Usage;
    HistoryFilter filter;
    if (!readFilter(parser, &filter))
        return CliExit::Usage;
    // A page per joint, in the order given.
    const QStringList records = parser.values(QStringLiteral("record"));
    const QString out = parser.value(QStringLiteral("out"));
    if (records.isEmpty() || out.isEmpty()) {
        cli::fail(records.isEmpty() ? QCoreApplication::translate("cli", "--record NAME is missing")
                                    : QCoreApplication::translate("cli", "--out FILE is missing"));
        return CliExit::Usage;
    }
    HistoryStore *store = openStoreToRead(station, parser, QCoreApplication::translate("cli", "the history server is not reached"));
    if (!store)
        return CliExit::Failed;
    const Capability::Thresholds thresholds = HistorySettings::load().thresholds;
    QVector<StatisticsReport::Joint> joints;
    for (const QString &record : records) {
        const StatisticsReport::Joint j = StatisticsReport::read(store->database(), filter, record, thresholds);
        if (!j.figures.read) {
            cli::fail(QCoreApplication::translate("cli", "the history could not be read: %1").arg(j.figures.error));
            return CliExit::Failed;
        }
        if (j.figures.joint.moments.isEmpty()) {
            cli::fail(QCoreApplication::translate("cli", "no measures of record %1 in the history").arg(record));
            return CliExit::Failed;
        }
        joints << j;
    }
    QString error;
    if (!StatisticsReport::write(out, joints, thresholds, &error)) {
        cli::fail(error);
        return CliExit::Failed;
    }
    cli::say(QCoreApplication::translate("cli", "Joints written to %1: %2").arg(out).arg(joints.size()));
    return CliExit::Ok;
}

int runHistory(Station &station, const QStringList &args)
{
    const QString sub = args.value(0);
    const QStringList rest = args.mid(1);
    if (sub == QLatin1String("import"))
        return runImport(rest);
    if (sub == QLatin1String("export"))
        return runExport(station, rest);
    if (sub == QLatin1String("stats"))
        return runStats(station, rest);
    if (sub == QLatin1String("report"))
        return runReport(station, rest);
    if (sub == QLatin1String("--help") || sub == QLatin1String("-h")) {
        cli::say(QStringLiteral("torquedesk-cli history import|export|stats|report [options]; "
                                "'torquedesk-cli history <subcommand> --help' describes the options."));
        return CliExit::Ok;
    }
    cli::fail(sub.isEmpty() ? QCoreApplication::translate("cli", "history wants a subcommand: import, export, stats or report")
                            : QCoreApplication::translate("cli", "unknown history subcommand '%1'").arg(sub));
    return CliExit::Usage;
}

const CliCommandRegistrar registrar(CliCommand{
    QStringLiteral("history"),
    QStringLiteral("import | export --format csv|dfq [--since D] [--until D] [--record NAME] --out FILE | "
                   "stats --record NAME [--json] [--station NAME]... | report --record NAME... --out FILE.pdf  "
                   "[--data-dir DIR] [--history-db URL]"),
    QT_TRANSLATE_NOOP("cli", "Archive the local mirror into the tightening history, export it, a joint's statistics or "
                             "its report on paper."),
    runHistory,
    // The report draws its charts with fonts.
    true});

} // namespace

int archiveMirrorToHistory(Station &station, const QString &historyDb, const HistoryArchiver::Context *identity,
                           const std::function<int(HistoryArchiver &archiver)> &then)
{
    ArchiverSources sources = mirrorSources(identity);
    sources.barcodes = barcodesFromReportFile(Paths::reportDatabase());
    QString error;
    const bool opened = station.openHistoryHere(historyDb, sources, &error);
    HistoryStore &store = *station.storeHere();
    HistoryArchiver &archiver = *station.archiverHere();
    if (!reportOpened(opened, store, error))
        return CliExit::Failed;
    cli::Progress progress(QCoreApplication::translate("cli", "Archiving"));
    const HistoryArchiver::MirrorResult r =
        archiver.archiveMirror([&progress](int done, int total) { progress.update(done, total); });
    progress.finish();
    sayArchived(r.files, r.measures, r.added, r.queued);
    int code = CliExit::Ok;
    if (!r.ok()) {
        cli::fail(QCoreApplication::translate("cli", "the measures of %1 record files were not kept: %2").arg(r.failed.size()).arg(r.error));
        code = CliExit::Failed;
    } else if (then) {
        code = then(archiver);
    }
    if (code != CliExit::Ok)
        return code;
    return queueVerdict(store.queuedCount(), store.queuePath());
}
