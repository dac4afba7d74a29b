// The window's longest stall (the largest gap between ticks of a 10 ms timer on its thread)
// while the history is slow to answer:
//
//   bench_historyfreeze readout [--records 40] [--measures 20] [--thaw-after 8000]
//       The whole window against keysim on a pseudo-terminal and a private PostgreSQL server
//       (the history, by --history-db). The server is stopped by SIGSTOP (every process of
//       the cluster) right before the read-out, and resumed by SIGCONT from another thread
//       after --thaw-after ms. Prints the longest stall, when the read-out ended, and when the
//       server held every measure. --no-freeze runs the same with the server answering: the
//       stalls the window has anyway during a read-out.
//   bench_historyfreeze scroll [--rows 1000000] [--file PATH]
//       The history page on a SQLite history of that many rows (made once and kept at PATH),
//       its table scrolled from the top to the bottom in 200 steps, then to 50 places at
//       random, then the whole history exported to CSV from the page. Prints the longest
//       stall of each.
//
// Only the window's public surface is used, so the same file measures an older program too.
// Goal: under 50 ms each.

#include "../../tests/e2e/KeysimRig.h"
#include "../../tests/history/PgFreeze.h"
#include "../../tests/StallMeter.h"

#include "base/Log.h"
#include "base/LogOutput.h"
#include "base/Paths.h"
#include "base/Translations.h"
#include "base/cGlobalData.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryStore.h"
#include "records/RecordMirror.h"
#include "ui/frame/MainWindow.h"
#include "ui/history/HistoryPage.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QDateTime>
#include <QTableView>
#include <QTimer>

#include <cstdio>
#include <thread>

namespace {

constexpr double goalMs = 50.0;

// Long gaps are logged, so the log lines around them tell what held the thread.
void logLongGaps(StallMeter &meter)
{
    meter.onLongGap(goalMs, [](double ms) {
        td::log(QStringLiteral("bench: the window stood still for %1 ms").arg(qint64(ms)));
    });
}

// The window's own history page, taken out of the window at the size of a large monitor (it is
// put back before the window goes). Null, said on stderr, when the window has none.
HistoryPage *detachedHistoryPage(MainWindow &window)
{
    window.InitGraphics();
    auto *page = window.findChild<HistoryPage *>();
    if (!page || !page->findChild<QTableView *>(QStringLiteral("tvHistory"))) {
        std::fprintf(stderr, "bench_historyfreeze: no history page\n");
        return nullptr;
    }
    page->setParent(nullptr);
    page->resize(1280, 800);
    return page;
}

int option(const QStringList &args, const QString &name, int fallback)
{
    const int at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : fallback;
}

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

qint64 serverCount(const PgServer &pg)
{
    HistoryDatabase db;
    HistoryLocation where;
    QString error;
    if (!HistoryLocation::parse(pg.url(), &where, &error) || !db.open(where, &error))
        return -1;
    return db.count(HistoryFilter());
}

int readout(const QStringList &args)
{
    const int records = option(args, QStringLiteral("--records"), 40);
    const int measures = option(args, QStringLiteral("--measures"), 20);
    const int thawAfter = option(args, QStringLiteral("--thaw-after"), 8000);
    PgServer pg;
    QString why;
    if (!pg.start(&why)) {
        std::fprintf(stderr, "bench_historyfreeze: no PostgreSQL: %s\n", qPrintable(why));
        return 1;
    }
    e2e::Keysim sim;
    if (!sim.makeKey(records, measures, 7) || !sim.start()) {
        std::fprintf(stderr, "bench_historyfreeze: keysim did not start\n");
        return 1;
    }
    QTemporaryDir root;
    Paths::setDataRoot(root.path());
    cGlobalData data;
    // No key until the server is frozen: the scan looks at a port that is not there.
    data.portOverride = root.filePath(QStringLiteral("no-port"));
    data.historyDb = pg.url();
    MainWindow window(nullptr, &data);
    window.show();
    window.InitGraphics();
    // The window's history is open (and its start-up pass done) before the key comes.
    waitFor([] { return false; }, 1000);

    QSignalSpy folders(window.session()->files(), SIGNAL(slot_files_got_dir(QString)));
    StallMeter meter;
    logLongGaps(meter);
    PgFreeze frozen(pg);
    // --no-freeze: the same run with the server answering, for the window's own stalls.
    if (!args.contains(QStringLiteral("--no-freeze")) && !frozen.freeze()) {
        std::fprintf(stderr, "bench_historyfreeze: the server could not be frozen\n");
        return 1;
    }
    std::atomic_bool thawed{false};
    std::thread thawer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(thawAfter));
        frozen.thaw();
        thawed = true;
    });
    meter.start();
    data.portOverride = sim.device();
    window.usbLink()->TmrCheckSerialPorts();
    auto readOutDone = [&] {
        for (const QList<QVariant> &a : folders) {
            if (a.value(0).toString() == QLatin1String("/dbsett"))
                return true;
        }
        return false;
    };
    const bool read = waitFor(readOutDone, 120000);
    const double readMs = meter.elapsedMs();
    const bool readWhileFrozen = !thawed;
    const double stallFrozen = meter.longestMs();
    waitFor([&] { return thawed.load(); }, thawAfter + 5000);
    thawer.join();

    int expected = 0;
    for (const QString &name : QDir(Paths::downloadDir(QStringLiteral("dbsett"))).entryList(QDir::Files)) {
        const RecordMirror::Loaded loaded = RecordMirror::load(name);
        expected += loaded.exists ? loaded.record.entries.size() : 0;
    }
    // The server is asked from another thread, so the meter sees only the window.
    qint64 held = -1;
    QElapsedTimer poll;
    poll.start();
    while (held != expected && poll.elapsed() < 60000) {
        std::atomic_bool answered{false};
        std::thread ask([&] {
            held = serverCount(pg);
            answered = true;
        });
        waitFor([&] { return answered.load(); }, 60000);
        ask.join();
        waitFor([] { return false; }, 200);
    }
    const double allMs = meter.elapsedMs();
    std::printf("readout: %d records, %d measures, server frozen for %d ms\n", records, expected, thawAfter);
    std::printf("  read-out %s after %.0f ms (%s)\n", read ? "ended" : "DID NOT END", readMs,
                readWhileFrozen ? "while the server was frozen" : "only after the server resumed");
    std::printf("  server held %lld of %d measures %.0f ms after the start\n", held, expected, allMs);
    std::printf("  longest stall while frozen: %.1f ms; in the whole run: %.1f ms (goal < %.0f ms)\n", stallFrozen,
                meter.longestMs(), goalMs);
    return read && held == expected ? 0 : 1;
}

int scroll(const QStringList &args)
{
    const int rows = option(args, QStringLiteral("--rows"), 1000000);
    const int at = args.indexOf(QStringLiteral("--file"));
    const QString file = at >= 0 && at + 1 < args.size() ? args.at(at + 1)
                                                         : QStringLiteral("/tmp/td-bench-history-%1.db3").arg(rows);
    QTemporaryDir root;
    Paths::setDataRoot(root.path());
    {
        HistoryStore store;
        QString error;
        if (!store.open(file, &error)) {
            std::fprintf(stderr, "bench_historyfreeze: %s\n", qPrintable(error));
            return 1;
        }
        qint64 have = store.database()->count(HistoryFilter());
        if (have < rows)
            std::printf("scroll: making %d rows in %s (once)\n", rows, qPrintable(file));
        while (have < rows) {
            QVector<HistoryMeasure> batch;
            const int n = int(qMin<qint64>(20000, rows - have));
            for (int i = 0; i < n; ++i) {
                HistoryMeasure m;
                const qint64 k = have + i;
                m.keySerial = QStringLiteral("SN-%1").arg(k / 1000000);
                m.recordName = QStringLiteral("R%1").arg((k / 1000) % 1000, 4, 10, QLatin1Char('0'));
                m.connectionIndex = int(k % 1000);
                m.measuredAt = QDateTime(QDate(2026, 1, 1), QTime(0, 0)).addSecs(k).toString(QLatin1String(HistoryMeasure::TimeFormat));
                m.receivedAt = m.measuredAt;
                m.moment = 50 + (k % 13) * 0.3;
                m.momentLow = 45;
                m.momentHigh = 55;
                m.ok = true;
                batch << m;
            }
            const HistoryStore::AppendResult r = store.append(batch);
            if (!r.ok) {
                std::fprintf(stderr, "bench_historyfreeze: %s\n", qPrintable(r.error));
                return 1;
            }
            have += n;
        }
    }
    cGlobalData data;
    data.historyDb = file;
    data.portOverride = root.filePath(QStringLiteral("no-port"));
    MainWindow window(nullptr, &data);
    HistoryPage *page = detachedHistoryPage(window);
    auto *table = page ? page->findChild<QTableView *>(QStringLiteral("tvHistory")) : nullptr;
    if (!table)
        return 1;
    StallMeter meter;
    logLongGaps(meter);
    meter.start();
    page->show();
    if (!waitFor([&] { return table->model()->rowCount() >= rows; }, 120000)) {
        std::fprintf(stderr, "bench_historyfreeze: the table never counted %d rows\n", rows);
        return 1;
    }
    const double openMs = meter.elapsedMs();
    const double openStall = meter.longestMs();
    meter.start();
    QScrollBar *bar = table->verticalScrollBar();
    QRandomGenerator rng(5);
    for (int step = 0; step <= 250; ++step) {
        bar->setValue(step <= 200 ? int(qint64(bar->maximum()) * step / 200) : rng.bounded(bar->maximum() + 1));
        waitFor([] { return false; }, 20);
    }
    // Whatever the last place shows arrives too.
    const QModelIndex top = table->indexAt(QPoint(5, 5));
    waitFor([&] { return top.data().toString() != HistoryPage::tr("Loading…"); }, 30000);
    std::printf("scroll: %d rows; counted after %.0f ms (longest stall meanwhile %.1f ms)\n", rows, openMs, openStall);
    std::printf("  longest stall while scrolling: %.1f ms over %.0f ms (goal < %.0f ms)\n", meter.longestMs(),
                meter.elapsedMs(), goalMs);

    // The whole history to CSV from the page, as its button does, while the window is watched.
    const QString out = root.filePath(QStringLiteral("export.csv"));
    bool exported = false, exportOk = false;
    QObject::connect(page, &HistoryPage::exportFinished, page, [&](bool ok) {
        exported = true;
        exportOk = ok;
    });
    meter.start();
    page->exportCsv(out);
    if (!waitFor([&] { return exported; }, 600000) || !exportOk) {
        std::fprintf(stderr, "bench_historyfreeze: the export did not finish well\n");
        return 1;
    }
    const double exportMs = meter.elapsedMs();
    std::printf("export: %d rows to CSV (%.1f MB) in %.0f ms, %.0f rows/s\n", rows,
                QFileInfo(out).size() / 1048576.0, exportMs, rows * 1000.0 / exportMs);
    std::printf("  longest stall while exporting: %.1f ms (goal < %.0f ms)\n", meter.longestMs(), goalMs);
    page->setParent(&window);
    return 0;
}

// Pictures of the history page while its pages load from a frozen server, in English and in
// Russian: DIR/history-loading-en.png and DIR/history-loading-ru.png.
int shot(const QStringList &args)
{
    const int at = args.indexOf(QStringLiteral("shot"));
    const QString dir = at + 1 < args.size() ? args.at(at + 1) : QStringLiteral(".");
    PgServer pg;
    QString why;
    if (!pg.start(&why)) {
        std::fprintf(stderr, "bench_historyfreeze: no PostgreSQL: %s\n", qPrintable(why));
        return 1;
    }
    QTemporaryDir root;
    Paths::setDataRoot(root.path());
    {
        HistoryStore store;
        if (!store.open(pg.url(), &why)) {
            std::fprintf(stderr, "bench_historyfreeze: %s\n", qPrintable(why));
            return 1;
        }
        QVector<HistoryMeasure> rows;
        for (int k = 0; k < 5000; ++k) {
            HistoryMeasure m;
            m.keySerial = QStringLiteral("SN-7");
            m.keyName = QStringLiteral("Key A");
            m.recordName = QStringLiteral("0101000000004%1").arg(201 + k / 500);
            m.connectionIndex = k % 500;
            m.measuredAt = QDateTime(QDate(2026, 5, 4), QTime(6, 0)).addSecs(37 * k).toString(QLatin1String(HistoryMeasure::TimeFormat));
            m.receivedAt = m.measuredAt;
            m.moment = 50 + (k % 13) * 0.4;
            m.momentLow = 45;
            m.momentHigh = 55;
            m.ok = m.moment <= 55;
            m.operatorText = QStringLiteral("Ivanov");
            m.product = QStringLiteral("Wheel 10");
            m.operationNumber = QStringLiteral("0000000042");
            m.node = QStringLiteral("Hub left");
            rows << m;
        }
        const HistoryStore::AppendResult r = store.append(rows);
        if (!r.ok) {
            std::fprintf(stderr, "bench_historyfreeze: %s\n", qPrintable(r.error));
            return 1;
        }
    }
    cGlobalData data;
    data.historyDb = pg.url();
    data.portOverride = root.filePath(QStringLiteral("no-port"));
    MainWindow window(nullptr, &data);
    HistoryPage *page = detachedHistoryPage(window);
    auto *table = page ? page->findChild<QTableView *>(QStringLiteral("tvHistory")) : nullptr;
    if (!table)
        return 1;
    page->show();
    if (!waitFor([&] { return table->model()->rowCount() == 5000; }, 30000)) {
        std::fprintf(stderr, "bench_historyfreeze: the table shows %d rows\n", table->model()->rowCount());
        return 1;
    }
    waitFor([] { return false; }, 1500);
    PgFreeze frozen(pg);
    frozen.freeze();
    QDir().mkpath(dir);
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum() / 2);
    waitFor([] { return false; }, 4000);
    page->grab().save(QDir(dir).filePath(QStringLiteral("history-loading-en.png")));
    Paths::setDataRoot(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    Translations::install(QCoreApplication::instance());
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum() / 4);
    waitFor([] { return false; }, 1000);
    page->grab().save(QDir(dir).filePath(QStringLiteral("history-loading-ru.png")));
    frozen.thaw();
    Paths::setDataRoot(root.path());
    page->setParent(&window);
    std::printf("shot: %s\n", qPrintable(dir));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    td::installBufferedLogOutput();
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("readout")))
        return readout(args);
    if (args.contains(QStringLiteral("scroll")))
        return scroll(args);
    if (args.contains(QStringLiteral("shot")))
        return shot(args);
    std::fprintf(stderr, "usage: bench_historyfreeze readout|scroll [options]\n");
    return 2;
}
