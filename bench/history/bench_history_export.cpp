// Prints how fast a large history leaves as CSV and what the export costs in memory: a
// 1,000,000-measure SQLite history is exported whole and in its first tenth, and the peak
// resident memory of each export is set beside the memory before it. A streamed export's peak
// stays the same for both; one that builds the file in memory grows with the rows.
#include "ProcMemory.h"
#include "HistoryFixtures.h"
#include "base/AtomicFile.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryExport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

#include <sys/resource.h>

namespace {

constexpr int kRecords = 1000;
constexpr int kPerRecord = 1000;


double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// How the export was made before it streamed: the whole file built in memory, then written.
HistoryExport::Outcome wholeInMemory(HistoryDatabase *db, const HistoryFilter &filter, const QString &path)
{
    HistoryExport::Outcome o;
    QByteArray out = HistoryExport::csvLine(HistoryExport::columnTitles());
    const bool ran = db->forEach(filter, [&](const HistoryMeasure &m) {
        out += HistoryExport::csvLine(HistoryExport::rowTexts(m));
        ++o.rows;
        return true;
    });
    o.ok = ran && AtomicFile::write(path, out, &o.error, AtomicFile::Durability::Synced);
    return o;
}

using Exporter = std::function<HistoryExport::Outcome(HistoryDatabase *, const HistoryFilter &, const QString &)>;

bool fill(HistoryDatabase &db)
{
    // Ten records a transaction, each a minute apart from the last, so a time filter takes a
    // share of the rows.
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0));
    QVector<HistoryMeasure> batch;
    for (int r = 0; r < kRecords; ++r) {
        batch += makeMeasures(kPerRecord, QStringLiteral("R%1").arg(r, 4, 10, QLatin1Char('0')), QStringLiteral("SN-1"),
                              start.addSecs(qint64(60) * kPerRecord * r));
        if (batch.size() < 10 * kPerRecord && r + 1 < kRecords)
            continue;
        QString error;
        if (db.append(batch, &error) != batch.size()) {
            std::fprintf(stderr, "fill failed: %s\n", qPrintable(error));
            return false;
        }
        batch.clear();
    }
    return true;
}

bool exportOnce(HistoryDatabase &db, const HistoryFilter &filter, const QString &path, const char *what,
                const Exporter &exporter)
{
    resetPeak();
    const long before = statusKb("VmRSS:");
    QElapsedTimer t;
    t.start();
    const double cpu = cpuSeconds();
    const HistoryExport::Outcome o = exporter(&db, filter, path);
    const double s = t.elapsed() / 1000.0;
    const double cpuUsed = cpuSeconds() - cpu;
    const long peak = statusKb("VmHWM:");
    if (!o.ok) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(o.error));
        return false;
    }
    // CPU time too: on a shared machine the wall clock also counts other programs' turns.
    std::printf("%-34s %8lld rows in %6.2f s = %7.0f rows/s (%7.0f rows per CPU second), %6.1f MB file; resident "
                "%6.1f MB before, peak %6.1f MB (+%.1f MB)\n",
                what, o.rows, s, o.rows / s, o.rows / cpuUsed, QFileInfo(path).size() / 1048576.0, before / 1024.0,
                peak / 1024.0, (peak - before) / 1024.0);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    HistoryLocation loc;
    loc.path = dir.filePath(QStringLiteral("history.db3"));
    HistoryDatabase db;
    QString error;
    if (!db.open(loc, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QElapsedTimer t;
    t.start();
    if (!fill(db))
        return 1;
    std::printf("history of %d measures filled in %.1f s (%.1f MB)\n", kRecords * kPerRecord, t.elapsed() / 1000.0,
                QFileInfo(loc.path).size() / 1048576.0);
    HistoryFilter tenth;
    tenth.until = QDateTime(QDate(2024, 1, 1), QTime(0, 0))
                      .addSecs(qint64(60) * kPerRecord * kRecords / 10 - 60)
                      .toString(QLatin1String(HistoryMeasure::TimeFormat));
    const QString csv = dir.filePath(QStringLiteral("export.csv"));
    const Exporter streamed = [](HistoryDatabase *d, const HistoryFilter &f, const QString &path) {
        return HistoryExport::writeCsv(d, f, path);
    };
    // The former way last: its peak would hide the streamed export's.
    if (!exportOnce(db, tenth, csv, "streamed, a tenth:", streamed)
        || !exportOnce(db, HistoryFilter(), csv, "streamed, whole:", streamed)
        || !exportOnce(db, tenth, csv, "former (in memory), a tenth:", wholeInMemory)
        || !exportOnce(db, HistoryFilter(), csv, "former (in memory), whole:", wholeInMemory))
        return 1;
    return 0;
}
