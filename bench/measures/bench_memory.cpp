// Loads a key mirror of 1000 records x 64 measures into the memory model and the report
// database the way opening the record tab for a report does, and prints the time, the growth
// of peak memory and where the time goes.
//
//   bench_memory [--records N] [--measures M] [--keep DIR]
#include "base/Paths.h"
#include "measures/MeasureJudgement.h"
#include "measures/MeasureMemory.h"
#include "records/RecordFile.h"
#include "records/RecordMirror.h"
#include "records/TemplateLists.h"
#include "reports/ReportDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

long peakKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// A mirror as the key leaves it: record files named like the key names them, each with its
// tightenings a minute or so apart, about one in eight out of limits.
QStringList makeMirror(int records, int measures)
{
    QRandomGenerator rng(7);
    QDir().mkpath(RecordMirror::folder());
    QStringList names;
    for (int r = 0; r < records; ++r) {
        RecordFile file;
        RecordHeader &h = file.header;
        h.algorithm = quint8(r % 5);
        h.fioIndex = quint8(r % 10);
        h.wheelIndex = quint8((r / 10) % 50);
        h.uzelIndex = quint8((r / 500) % 100);
        h.setOperationNumber(QStringLiteral("%1").arg(r, 10, 10, QLatin1Char('0')));
        h.countTotal = quint16(measures);
        h.rangeLow = 40;
        h.rangeHigh = 60;
        h.angleLow = 30;
        h.angleHigh = 90;
        for (int m = 0; m < measures; ++m) {
            MeasureEntry e;
            const bool ng = rng.bounded(8) == 0;
            e.moment = float(ng ? 61 + rng.bounded(10.0) : 40 + rng.bounded(20.0));
            e.angle = float(30 + rng.bounded(60.0));
            e.year = 26;
            e.month = 3;
            e.day = quint8(1 + m % 28);
            e.hour = quint8(m % 24);
            e.minute = quint8(m % 60);
            file.entries.append(e);
        }
        const QString name = QStringLiteral("%1%2%3%4")
                                 .arg(h.fioIndex, 2, 16, QLatin1Char('0'))
                                 .arg(h.wheelIndex, 2, 16, QLatin1Char('0'))
                                 .arg(h.operationNumber())
                                 .arg(h.uzelIndex, 2, 16, QLatin1Char('0'))
                                 .toUpper();
        QFile out(RecordMirror::path(name));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file.toBytes()) < 0)
            return {};
        names << name;
    }
    return names;
}

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto intArg = [&](const char *name, int fallback) {
        const int i = args.indexOf(QLatin1String(name));
        return i >= 0 && i + 1 < args.size() ? args.at(i + 1).toInt() : fallback;
    };
    const int records = intArg("--records", 1000);
    const int measures = intArg("--measures", 64);
    qputenv("QT_LOGGING_RULES", "*.debug=false");

    QTemporaryDir tmp;
    const int keep = args.indexOf(QStringLiteral("--keep"));
    const QString root = keep >= 0 && keep + 1 < args.size() ? args.at(keep + 1) : tmp.path();
    Paths::setDataRoot(root);
    const QStringList names = makeMirror(records, measures);
    if (names.size() != records) {
        std::fprintf(stderr, "cannot write the mirror under %s\n", qPrintable(root));
        return 1;
    }
    ReportDatabase db;
    if (!db.open(Paths::reportDatabase())) {
        std::fprintf(stderr, "cannot open the report database\n");
        return 1;
    }
    // Silence the per-record debug lines only after the set-up said what it did.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    MeasureMemory memory(nullptr);
    memory.setReportDatabase(&db);
    memory.setSettingsSource([] { return MeasureMemory::Settings{true, false, QStringLiteral("Operator")}; });
    memory.setLevels({{true, true, true, true}}, {{"Operator", "Product", "Operation", "Node"}});

    // The whole path first, on a cold process: what the user waits for.
    const long peakBefore = peakKb();
    QElapsedTimer total;
    const double cpuStart = cpuMs();
    total.start();
    const int loaded = memory.loadRecords(names);
    const double totalMs = ms(total);
    const double totalCpuMs = cpuMs() - cpuStart;
    const long peakAfter = peakKb();

    // The split, each part alone on the same files.
    QElapsedTimer t;
    t.start();
    QVector<RecordFile> files;
    files.reserve(names.size());
    for (const QString &name : names)
        files.append(RecordMirror::load(name).record);
    const double readMs = ms(t);

    t.restart();
    int ok = 0;
    for (const RecordFile &f : files) {
        for (const MeasureEntry &e : f.entries)
            ok += MeasureJudgement::isOk(e, f.header) ? 1 : 0;
    }
    const double judgeMs = ms(t);

    MeasureMemoryModel model;
    t.restart();
    for (int i = 0; i < files.size(); ++i)
        model.appendMeasures(memory.makeBlock(names.at(i), files.at(i).header), files.at(i).entries);
    const double modelMs = ms(t);
    // Every cell made once, as a view scrolled end to end or the CSV report would; not part of
    // loading, since a view asks only for the rows in sight.
    t.restart();
    qint64 chars = 0;
    for (int r = 0; r < model.rowCount(); ++r) {
        for (int c = 0; c < model.columnCount(); ++c)
            chars += model.cellText(r, c).size();
    }
    const double cellsMs = ms(t);

    const TemplateLists templates;
    t.restart();
    {
        ReportDatabase::Batch batch(&db);
        db.clearRecords();
        for (int i = 0; i < files.size(); ++i)
            db.insertMeasures(names.at(i), files.at(i).header, files.at(i).entries, templates);
    }
    const double dbMs = ms(t);

    int dbRows = -1;
    {
        QSqlQuery q(QSqlDatabase::database(db.connectionName(), false));
        if (q.exec(QStringLiteral("SELECT COUNT(*) FROM records")) && q.next())
            dbRows = q.value(0).toInt();
    }
    db.close();

    std::printf("records %d x measures %d: %d measures loaded, %d table rows, %d database rows, %d OK\n", records,
                measures, loaded, memory.model()->rowCount(), dbRows, ok);
    std::printf("load into model and database: %.1f ms wall, %.1f ms CPU (target < 1000 ms)\n", totalMs,
                totalCpuMs);
    std::printf("peak memory growth: %.1f MB (target < 100 MB)\n", double(peakAfter - peakBefore) / 1024.0);
    std::printf("split: file reading %.1f ms, judging %.1f ms, model %.1f ms, database %.1f ms\n", readMs, judgeMs,
                modelMs, dbMs);
    std::printf("every cell text of the table made once (a full scroll or the CSV report): %.1f ms, %lld chars\n",
                cellsMs, static_cast<long long>(chars));
    return totalMs < 1000 && peakAfter - peakBefore < 100 * 1024 ? 0 : 2;
}
