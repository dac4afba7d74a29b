// Time from the start of the program to the no-key page on screen, without the boot screen's
// fixed 500 ms pause (InitGraphics runs at once instead of from its timer). Each run is a
// fresh process, as a real start is: fonts, style and resources are loaded cold every time.
//
//   bench_startup [--runs N]
//
// The runs share one data root made from the build tree's (report database, report templates,
// pictures), as an installed program has it; one start before the measured ones writes what a
// first start writes (settings.ini). A run prints the phases it measured; the parent prints
// them all, then the median and the worst run against the 300 ms goal. The platform is
// offscreen unless QT_QPA_PLATFORM or a DISPLAY says otherwise.

#include "base/LogOutput.h"
#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "ui/frame/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStackedWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr double goalMs = 300.0;

struct Phases
{
    double total = 0, window = 0, initGraphics = 0, paint = 0;
};

bool copyTree(const QString &from, const QString &to)
{
    QDir source(from);
    if (!source.exists() || !QDir().mkpath(to))
        return false;
    for (const QFileInfo &entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyTree(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

int runOnce(int argc, char *argv[], const QString &root, QElapsedTimer &clock)
{
    QApplication app(argc, argv);
    td::installBufferedLogOutput();
    Paths::setDataRoot(root);
    cGlobalData data;
    MainWindow::useApplicationFont();

    MainWindow window(nullptr, &data);
    window.show();
    QCoreApplication::processEvents();
    const double windowMs = clock.nsecsElapsed() / 1e6;

    window.InitGraphics();
    auto *footer = window.findChild<QWidget *>(QStringLiteral("frLogoFooter"));
    QElapsedTimer guard;
    guard.start();
    while (!(footer && footer->isVisible()) && guard.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const double initMs = clock.nsecsElapsed() / 1e6;
    if (!footer || !footer->isVisible() || window.form()->mainPage() != MainPage::Logo) {
        std::fprintf(stderr, "bench_startup: the no-key page did not come up\n");
        return 1;
    }
    // The page on screen: laid out and painted.
    window.repaint();
    const double totalMs = clock.nsecsElapsed() / 1e6;
    std::printf("RUN total=%.1f window=%.1f initgraphics=%.1f paint=%.1f\n", totalMs, windowMs, initMs - windowMs,
                totalMs - initMs);
    std::fflush(stdout);
    td::flushLogOutput();
    return 0;
}

bool parseRun(const QByteArray &line, Phases &p)
{
    return std::sscanf(line.constData(), "RUN total=%lf window=%lf initgraphics=%lf paint=%lf", &p.total, &p.window,
                       &p.initGraphics, &p.paint)
        == 4;
}

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && std::strcmp(argv[1], "--once") == 0)
        return runOnce(argc, argv, QString::fromLocal8Bit(argv[2]), clock);

    int runs = 7;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));

    QCoreApplication app(argc, argv);
    // The build tree (one up from bench/) is a data root; its files make the runs' root.
    const QString buildRoot = QCoreApplication::applicationDirPath() + QStringLiteral("/..");
    QTemporaryDir root;
    for (const char *part : {"sql", "settings", "png"}) {
        if (!copyTree(buildRoot + QLatin1Char('/') + QLatin1String(part), root.filePath(QLatin1String(part)))) {
            std::fprintf(stderr, "bench_startup: %s missing in the build tree\n", part);
            return 1;
        }
    }
    std::vector<Phases> results;
    for (int r = -1; r < runs; ++r) {
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.setStandardErrorFile(QProcess::nullDevice());
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--once"), root.path()});
        if (!child.waitForFinished(60000) || child.exitCode() != 0) {
            std::fprintf(stderr, "bench_startup: run %d failed\n", r + 1);
            return 1;
        }
        if (r < 0)
            continue; // the first start of this root
        Phases p;
        const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
        const bool ok = std::any_of(lines.begin(), lines.end(), [&p](const QByteArray &l) { return parseRun(l, p); });
        if (!ok) {
            std::fprintf(stderr, "bench_startup: run %d printed no figures\n", r + 1);
            return 1;
        }
        std::printf("run %d: %.1f ms to the no-key page (window %.1f, InitGraphics %.1f, paint %.1f)\n", r + 1,
                    p.total, p.window, p.initGraphics, p.paint);
        results.push_back(p);
    }
    std::vector<double> totals;
    for (const Phases &p : results)
        totals.push_back(p.total);
    std::sort(totals.begin(), totals.end());
    const double median = totals[totals.size() / 2];
    const double worst = totals.back();
    std::printf("start to no-key page (500 ms boot wait aside): median %.1f ms, best %.1f ms, worst %.1f ms over %d "
                "runs; goal < %.0f ms: %s\n",
                median, totals.front(), worst, runs, goalMs, median < goalMs ? "met" : "NOT met");
    return 0;
}
