// Prints how long the history takes for what a station and a quality engineer do with it:
// archiving a full key, a filtered page and an export of a large history, and a joint's
// statistics with both charts.
#include "PgServer.h"
#include "base/Paths.h"
#include "history/Capability.h"
#include "history/HistoryArchiver.h"
#include "history/HistoryExport.h"
#include "history/HistoryStore.h"
#include "records/RecordMirror.h"
#include "ui/history/StatisticsView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void line(const char *what, double ms, double limitMs)
{
    std::printf("%-62s %9.1f ms  (limit %.0f ms) %s\n", what, ms, limitMs, ms <= limitMs ? "ok" : "SLOW");
    std::fflush(stdout);
}

// 1000 records of 64 measures, as a full key's dbsett folder.
void writeMirror()
{
    QDir().mkpath(RecordMirror::folder());
    for (int r = 0; r < 1000; ++r) {
        RecordFile f;
        f.header.setOperationNumber(QStringLiteral("%1").arg(r, 10, 10, QLatin1Char('0')));
        f.header.fioIndex = quint8(r % 10);
        f.header.wheelIndex = quint8(r % 50);
        f.header.uzelIndex = quint8(r % 100);
        f.header.rangeLow = 40;
        f.header.rangeHigh = 60;
        for (int i = 0; i < 64; ++i) {
            MeasureEntry e;
            e.moment = 50.0f + float((i * 7 + r) % 13) * 0.3f;
            e.year = 26;
            e.month = quint8(1 + r % 12);
            e.day = quint8(1 + i % 28);
            e.hour = quint8(i % 24);
            e.minute = quint8(r % 60);
            e.second = quint8(i % 60);
            f.entries << e;
        }
        QString error;
        RecordMirror::write(QStringLiteral("R%1").arg(r, 4, 10, QLatin1Char('0')), f, &error);
    }
}

double importInto(const QString &url, const QString &queue)
{
    HistoryStore store;
    QString error;
    if (!store.open(url, &error, queue)) {
        std::printf("cannot open %s: %s\n", qPrintable(url), qPrintable(error));
        return -1;
    }
    HistoryArchiver archiver(&store);
    archiver.setContextSource([] {
        HistoryArchiver::Context c;
        c.keySerial = QStringLiteral("SN-BENCH");
        return c;
    });
    QElapsedTimer t;
    t.start();
    const HistoryArchiver::MirrorResult r = archiver.archiveMirror();
    const double ms = t.nsecsElapsed() / 1e6;
    if (r.added != 64000)
        std::printf("  (added %d of %d)\n", r.added, r.measures);
    return ms;
}

// A million measures: 10 joints of 100,000, ten operators, a year of dates.
void fillMillion(HistoryDatabase &db, int records, int perRecord)
{
    const QDateTime start(QDate(2025, 1, 1), QTime(6, 0));
    QVector<HistoryMeasure> batch;
    batch.reserve(10000);
    QString error;
    for (int i = 0; i < records * perRecord; ++i) {
        HistoryMeasure m;
        const int r = i % records;
        m.keySerial = QStringLiteral("SN-%1").arg(r % 3);
        m.recordName = QStringLiteral("J%1").arg(r);
        m.connectionIndex = i / records;
        m.measuredAt = start.addSecs(qint64(i) * 31).toString(QLatin1String(HistoryMeasure::TimeFormat));
        m.moment = 50.0 + ((i * 7919) % 1000) / 1000.0 * 4 - 2;
        m.momentLow = 45;
        m.momentHigh = 55;
        m.ok = true;
        m.operatorText = QStringLiteral("Operator %1").arg(r);
        m.product = QStringLiteral("Wheel %1").arg(r % 4);
        m.operationNumber = QStringLiteral("00000000%1").arg(r);
        m.node = QStringLiteral("Node");
        m.unit = QStringLiteral("Nm");
        m.receivedAt = m.measuredAt;
        batch << m;
        if (batch.size() == 10000) {
            db.append(batch, &error);
            batch.clear();
        }
    }
    if (!batch.isEmpty())
        db.append(batch, &error);
}

double statisticsOf(HistoryDatabase &db, const HistoryFilter &filter, const QString &record, StatisticsView *view,
                    int *n)
{
    QElapsedTimer t;
    t.start();
    const HistoryExport::Joint j = HistoryExport::joint(&db, filter, record);
    StatisticsView::Input in;
    in.recordName = j.recordName;
    in.unit = j.unit;
    in.moments = j.moments;
    in.ngCount = j.ngCount;
    in.momentLow = j.momentLow;
    in.momentHigh = j.momentHigh;
    // The figures, both charts' computations and the view's drawing of them.
    view->setInput(in);
    *n = j.moments.size();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir root;
    Paths::setDataRoot(root.path());
    std::printf("history benchmarks (data in %s)\n", qPrintable(root.path()));
    writeMirror();

    line("import 1000 x 64 mirror into SQLite", importInto(root.filePath(QStringLiteral("import.db3")), QString()), 1000);
    if (app.arguments().contains(QStringLiteral("--import-only")))
        return 0;
    {
        PgServer pg;
        QString why;
        if (pg.start(&why))
            line("import 1000 x 64 mirror into local PostgreSQL",
                 importInto(pg.url(), root.filePath(QStringLiteral("q.db3"))), 3000);
        else
            std::printf("PostgreSQL not started: %s\n", qPrintable(why));
    }

    HistoryLocation loc;
    loc.path = root.filePath(QStringLiteral("million.db3"));
    HistoryDatabase db;
    QString error;
    if (!db.open(loc, &error)) {
        std::printf("cannot open: %s\n", qPrintable(error));
        return 1;
    }
    QElapsedTimer fill;
    fill.start();
    fillMillion(db, 10, 100000);
    std::printf("(filled a history of %lld measures in %.1f s)\n", db.count(HistoryFilter()), fill.elapsed() / 1000.0);

    {
        QElapsedTimer t;
        t.start();
        HistoryFilter f;
        f.operatorText = QStringLiteral("Operator 3");
        f.since = QStringLiteral("2025-03-01");
        f.until = QStringLiteral("2025-03-31");
        const qint64 count = db.count(f);
        const QVector<HistoryMeasure> page = db.page(f, 0, 200);
        const double ms = t.nsecsElapsed() / 1e6;
        std::printf("  (%lld matches, first page %d rows)\n", count, page.size());
        line("1M history: one operator, one month: count + first page", ms, 300);
        t.start();
        const QVector<HistoryMeasure> deep = db.page(f, count / 2, 200);
        line("1M history: same filter, a page in the middle", t.nsecsElapsed() / 1e6, 300);
        Q_UNUSED(deep);
    }
    {
        HistoryFilter f;
        f.recordName = QStringLiteral("J4");
        QElapsedTimer t;
        t.start();
        const HistoryExport::Outcome o = HistoryExport::writeCsv(&db, f, root.filePath(QStringLiteral("j4.csv")));
        std::printf("  (%lld rows)\n", o.rows);
        line("CSV export of 100,000 rows", t.nsecsElapsed() / 1e6, 2000);
    }
    StatisticsView view;
    view.resize(1200, 800);
    view.show();
    {
        HistoryLocation one;
        one.path = root.filePath(QStringLiteral("joint.db3"));
        HistoryDatabase jointDb;
        jointDb.open(one, &error);
        fillMillion(jointDb, 1, 100000);
        int n = 0;
        const double ms = statisticsOf(jointDb, HistoryFilter(), QStringLiteral("J0"), &view, &n);
        std::printf("  (%d measures)\n", n);
        line("statistics + both charts, one record of 100,000", ms, 300);
    }
    {
        int n = 0;
        const double ms = statisticsOf(db, HistoryFilter(), QStringLiteral("J7"), &view, &n);
        std::printf("  (%d measures)\n", n);
        line("statistics + both charts, 1M history filtered to one record", ms, 500);
    }
    return 0;
}
