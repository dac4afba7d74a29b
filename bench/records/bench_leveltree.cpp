// Time and memory from a mirror of record files to a level tree the user can press:
// reading the files, building the items, and showing the buttons of the first level, then the
// walk down to a record. Prints its figures.
//
//   bench_leveltree [--records N] [--keysim PATH] [--runs R]
//
// The mirror is a sample key written by keysim make-key; a second, synthetic mirror puts every
// record under one F.I.O. and one Wheel, so the operation-number level fills its whole pool of
// 1000 buttons (the worst case for the widgets).

#include "ui/frame/MainWindow.h"
#include "ui/levels/LevelTree.h"
#include "records/MenuLevels.h"
#include "records/RecordFile.h"
#include "records/RecordList.h"
#include "records/RecordName.h"
#include "ui/levels/cButtonLevel.h"
#include "ui/levels/cRecord.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGridLayout>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

struct Tree
{
    MenuLevels levels;
    RecordList list;
    QTabWidget tabs;
    QPushButton toggle;
    LevelTree *tree;
    Tree()
    {
        for (int i = 0; i < 5; ++i) {
            auto *page = new QWidget;
            new QGridLayout(page);
            tabs.addTab(page, QStringLiteral("Level %1").arg(i + 1));
        }
        toggle.setCheckable(true);
        tree = new LevelTree(&tabs, &levels, &list, nullptr, &toggle);
        tabs.resize(1012, 540);
        tabs.show();
        QApplication::processEvents();
    }
    ~Tree() { delete tree; }
};

double ms(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

// Rebuild from the mirror until the first level is laid out and painted.
double rebuildToUsable(Tree &t, const QString &dbsett, const QString &templates)
{
    QElapsedTimer timer;
    timer.start();
    t.list.rebuild(dbsett, RecordList::loadTemplates(templates));
    QApplication::processEvents();
    t.tabs.repaint();
    return ms(timer);
}

// Presses the first button of each level down to the record; time until the record tab shows.
double walk(Tree &t, int *deepest)
{
    QElapsedTimer timer;
    timer.start();
    *deepest = 0;
    for (int level = 0; level < cRecord::Levels; ++level) {
        const auto shown = t.tree->record()->shownButtons(level);
        if (shown.isEmpty())
            break;
        *deepest = std::max(*deepest, int(t.tree->record()->shownCount(level)));
        shown.first()->button()->click();
        QApplication::processEvents();
    }
    t.tabs.repaint();
    return ms(timer);
}

// The first run makes the buttons; later runs reuse them.
void report(const char *what, QVector<double> v)
{
    const double first = v.first();
    std::sort(v.begin(), v.end());
    std::printf("  %-44s first %7.1f ms   median %7.1f ms   max %7.1f ms\n", what, first, v[v.size() / 2],
                v.last());
}

bool writeOneBranchMirror(const QString &dir, int records)
{
    for (int i = 0; i < records; ++i) {
        RecordFile r;
        r.header.setOperationNumber(QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0')));
        r.header.status = quint16((i % 4) * 2); // 0, 2, 4, 6: every colour group
        r.entries.resize(i % 5);
        QFile f(QDir(dir).filePath(RecordName::make(0, 0, r.header.operationNumber(), i % 100)));
        if (!f.open(QIODevice::WriteOnly) || f.write(r.toBytes()) < 0)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MainWindow::initResources();
    // The debug log would dominate the timing; the figures are what matters here.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    int records = 1000;
    int runs = 10;
    QString keysim = QCoreApplication::applicationDirPath() + QStringLiteral("/../keysim");
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--records"))
            records = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--keysim"))
            keysim = args[i + 1];
        else if (args[i] == QLatin1String("--runs"))
            runs = std::max(1, args[i + 1].toInt());
    }

    QTemporaryDir key;
    QProcess make;
    make.start(keysim, {"make-key", "--root", key.path(), "--records", QString::number(records), "--measures", "8",
                        "--seed", "1"});
    if (!make.waitForFinished(120000) || make.exitCode() != 0) {
        std::fprintf(stderr, "keysim make-key failed (%s): %s\n", qPrintable(keysim),
                     make.readAllStandardError().constData());
        return 1;
    }
    const QString dbsett = key.filePath(QStringLiteral("dbsett"));
    const QString templates = key.filePath(QStringLiteral("templates"));

    const long rssStart = peakRssKb();
    Tree t;
    const long rssTreeMade = peakRssKb();
    QVector<double> rebuilds, walks;
    int deepest = 0;
    for (int i = 0; i < runs; ++i) {
        rebuilds << rebuildToUsable(t, dbsett, templates);
        walks << walk(t, &deepest);
    }
    const long rssAfter = peakRssKb();

    std::printf("level tree from a keysim mirror of %d records (%d runs)\n", t.list.count(), runs);
    report("rebuild list + first level, usable", rebuilds);
    report("walk down four levels to the record tab", walks);
    std::printf("  most buttons on one level during the walk: %d\n", deepest);
    std::printf("  peak RSS: %ld KB at start, +%ld KB for the empty tree, +%ld KB after the runs\n", rssStart,
                rssTreeMade - rssStart, rssAfter - rssTreeMade);

    // Worst case for the widgets: one branch with 1000 operation numbers.
    QTemporaryDir branch;
    if (!writeOneBranchMirror(branch.path(), 1000)) {
        std::fprintf(stderr, "cannot write the one-branch mirror\n");
        return 1;
    }
    const long rssBranchStart = peakRssKb();
    QVector<double> branchRebuilds, branchWalks;
    for (int i = 0; i < runs; ++i) {
        branchRebuilds << rebuildToUsable(t, branch.path(), templates);
        branchWalks << walk(t, &deepest);
    }
    std::printf("one F.I.O., one Wheel, 1000 operation numbers (%d runs)\n", runs);
    report("rebuild list + first level, usable", branchRebuilds);
    report("walk down (level 2 shows 1000 buttons)", branchWalks);
    std::printf("  buttons made in the level-2 pool: %d, shown at most: %d\n", t.tree->record()->madeCount(2), deepest);
    std::printf("  peak RSS: +%ld KB for the full level-2 pool\n", peakRssKb() - rssBranchStart);

    const bool ok = *std::max_element(rebuilds.begin(), rebuilds.end()) < 500.0;
    std::printf("goal: a usable tree from 1000 records in < 500 ms: %s\n", ok ? "met" : "NOT met");
    return 0;
}
