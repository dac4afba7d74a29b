// The quality engineer's window on a large history: how long until the first page of a
// million measures shows, and how long a 100,000-measure joint's statistics and charts take,
// off the window's thread. With --shots DIR it also photographs the window (1280x800 and
// 1920x1080, English and Russian), its other tab where the width makes tabs, the report's
// first page and the state of a server that cannot be reached.
#include "ServiceFixtures.h"
#include "base/Paths.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryService.h"
#include "history/HistorySettings.h"
#include "history/HistoryStore.h"
#include "history/HistoryTableModel.h"
#include "history/JointStatistics.h"
#include "history/StatisticsCharts.h"
#include "history/StatisticsReport.h"
#include "ui/history/HistoryPage.h"
#include "ui/history/HistoryPanes.h"
#include "ui/history/HistoryWindow.h"
#include "ui/history/StatisticsView.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <cstdio>

namespace {

void line(const char *what, double ms, double limitMs)
{
    std::printf("%-66s %9.1f ms  (goal %.0f ms) %s\n", what, ms, limitMs, ms <= limitMs ? "ok" : "SLOW");
    std::fflush(stdout);
}

// records joints of perRecord measures: two operators per joint (one drifting on J0), three
// keys, a measure every 31 s, a few NG. The store makes the schema; the rows go in through one
// plain transaction, as a history grown over years would hold them (the store's own append
// checks each row's identity and takes an hour for a million).
bool fill(int records, int perRecord)
{
    QString path;
    {
        HistoryStore store;
        QString error;
        if (!store.open(QString(), &error)) {
            std::printf("cannot open the history: %s\n", qPrintable(error));
            return false;
        }
        path = store.location().path;
    }
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        if (!db.open())
            return false;
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA synchronous=OFF"));
        db.transaction();
        q.prepare(QStringLiteral(
            "INSERT INTO measures (key_serial, key_name, record_name, connection_index, measured_at, moment, defect, "
            "angle, verdict, moment_low, moment_high, angle_low, angle_high, algorithm, operator_text, product, "
            "operation_number, node, operator_name, calibration_nominal, calibration_file, unit, barcode1, barcode2, "
            "received_at, erase_generation, station) VALUES (?, ?, ?, ?, ?, ?, 0, 0, ?, 100, 120, 0, 0, 0, ?, ?, ?, "
            "'Hub', ?, 200, 'DWK200_01.clb', 'Nm', '', '', ?, 0, ?)"));
        const QDateTime start(QDate(2026, 1, 5), QTime(6, 0));
        ok = true;
        for (int i = 0; i < records * perRecord && ok; ++i) {
            const int r = i % records;
            const bool second = (i / records) % 3 == 0;
            const QString at = start.addSecs(qint64(i) * 31).toString(QLatin1String(HistoryMeasure::TimeFormat));
            const double noise = ((i * 7919) % 1000) / 1000.0 - 0.5;
            // Three stations; the third one's wrench reads high.
            const int station = (i / (records * 5)) % 3;
            const double moment =
                110.0 + noise * 6 + (second && r == 0 ? 3.5 : 0) + (i % 997 == 0 ? 9 : 0) + (station == 2 ? 2.0 : 0);
            const QString who = second ? QStringLiteral("Petrov P.") : QStringLiteral("Ivanov I.");
            q.addBindValue(QStringLiteral("2907K00000%1").arg(1 + (i / records) % 3));
            q.addBindValue(QStringLiteral("Line %1").arg(1 + (i / records) % 3));
            q.addBindValue(QStringLiteral("Wheel_nut_M14_J%1").arg(r));
            q.addBindValue(i / records);
            q.addBindValue(at);
            q.addBindValue(moment);
            q.addBindValue(moment >= 100 && moment <= 120 ? QStringLiteral("OK") : QStringLiteral("NG"));
            q.addBindValue(who);
            q.addBindValue(QStringLiteral("Wheel %1").arg(r % 4));
            q.addBindValue(QStringLiteral("0000000%1").arg(r));
            q.addBindValue(who);
            q.addBindValue(at);
            q.addBindValue(QStringLiteral("Assembly %1").arg(QChar(u'A' + station)));
            ok = q.exec();
        }
        if (!ok)
            std::printf("fill: %s\n", qPrintable(q.lastError().text()));
        ok = db.commit() && ok;
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

void benchmarks(const QString &root)
{
    Paths::setDataRoot(root);
    QElapsedTimer t;
    t.start();
    if (!fill(10, 100000))
        return;
    std::printf("filled 1,000,000 measures in %.1f s\n", t.nsecsElapsed() / 1e9);
    HistoryService service;
    QString error;
    openAndWait(service, QString(), &error);
    {
        t.restart();
        HistoryWindow window(&service, nullptr);
        window.resize(1280, 800);
        window.show();
        HistoryTableModel *model = window.page()->model();
        QTRY_VERIFY_WITH_TIMEOUT(model->isLoaded(0), 30000);
        line("window on 1,000,000 measures: first page shown", t.nsecsElapsed() / 1e6, 300);
    }
    // The joint's statistics on the history's thread, then the figures and the four charts
    // drawn on the window's.
    const HistoryFilter scope = JointStatistics::scope(HistoryFilter(), QStringLiteral("Wheel_nut_M14_J0"));
    for (int round = 0; round < 2; ++round) {
        QElapsedTimer total;
        total.start();
        double threadMs = 0;
        double answered = 0;
        JointStatistics::Figures f;
        std::shared_ptr<const StatisticsCharts::Prepared> charts;
        bool done = false;
        service.ask(
            &service,
            [scope](HistoryWorker &w) {
                QElapsedTimer inside;
                inside.start();
                JointStatistics::Figures r =
                    JointStatistics::compute(w.store()->database(), scope, scope.recordName, Capability::Thresholds());
                auto prepared = StatisticsCharts::prepare(r.joint.moments);
                return std::make_tuple(r, inside.nsecsElapsed() / 1e6, prepared);
            },
            [&](const std::tuple<JointStatistics::Figures, double, std::shared_ptr<const StatisticsCharts::Prepared>> &r) {
                // Timed here: the wait below looks only every 50 ms.
                answered = total.nsecsElapsed() / 1e6;
                f = std::get<0>(r);
                threadMs = std::get<1>(r);
                charts = std::get<2>(r);
                done = true;
            });
        QTRY_VERIFY_WITH_TIMEOUT(done, 30000);
        StatisticsView view;
        view.resize(1100, 800);
        view.grab();
        QElapsedTimer gui;
        gui.start();
        StatisticsView::Input in;
        in.recordName = f.joint.recordName;
        in.unit = f.joint.unit;
        in.moments = f.joint.moments;
        in.ngCount = f.joint.ngCount;
        in.momentLow = f.joint.momentLow;
        in.momentHigh = f.joint.momentHigh;
        in.charts = charts;
        view.setInput(in);
        view.grab();
        const double guiMs = gui.nsecsElapsed() / 1e6;
        if (round == 0)
            continue; // the first round warms the file cache
        std::printf("joint of %d measures:\n", int(f.joint.moments.size()));
        line("  statistics and chart series worked out on the history's thread", threadMs, 300);
        line("  asked to answered (the window's thread free meanwhile)", answered, 300);
        line("  figures and four charts drawn on the window's thread", guiMs, 100);
        QVector<JointStatistics::Group> groups;
        QElapsedTimer g;
        g.start();
        bool grouped = false;
        service.ask(
            &service,
            [scope](HistoryWorker &w) {
                QVector<JointStatistics::Group> out;
                QString e;
                JointStatistics::groups(w.store()->database(), scope, scope.recordName, Capability::Thresholds(), &out, &e);
                return out;
            },
            [&](const QVector<JointStatistics::Group> &r) {
                groups = r;
                grouped = true;
            });
        QTRY_VERIFY_WITH_TIMEOUT(grouped, 30000);
        std::printf("  %d groups (operators and keys), asked after the joint's figures: %.1f ms\n", int(groups.size()),
                    g.nsecsElapsed() / 1e6);
    }
}

void shoot(QWidget *w, const QString &path)
{
    QApplication::processEvents();
    if (!w->grab().save(path))
        std::printf("cannot write %s\n", qPrintable(path));
    else
        std::printf("wrote %s\n", qPrintable(path));
}

void shots(const QString &root, const QString &out)
{
    Paths::setDataRoot(root);
    QDir().mkpath(out);
    if (!fill(10, 10000))
        return;
    HistoryService service;
    QString error;
    openAndWait(service, QString(), &error);
    QTranslator russian;
    const QString qm = QCoreApplication::applicationDirPath() + QStringLiteral("/../language_ru.qm");
    for (const QString &lang : {QStringLiteral("en"), QStringLiteral("ru")}) {
        if (lang == QLatin1String("ru")) {
            if (!russian.load(qm))
                std::printf("no %s\n", qPrintable(qm));
            QCoreApplication::installTranslator(&russian);
        }
        for (const QSize size : {QSize(1280, 800), QSize(1920, 1080)}) {
            QFile::remove(HistorySettings::path());
            HistoryWindow window(&service, nullptr);
            window.resize(size);
            window.show();
            if (!QTest::qWaitForWindowExposed(&window))
                std::printf("window not exposed\n");
            HistoryPage *page = window.page();
            QTRY_VERIFY_WITH_TIMEOUT(page->model()->isLoaded(0), 30000);
            page->findChild<QComboBox *>(QStringLiteral("cbHistoryRecord"))->setCurrentText(QStringLiteral("Wheel_nut_M14_J0"));
            QTest::mouseClick(page->findChild<QPushButton *>(QStringLiteral("pbHistoryFind")), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(page->model()->isLoaded(0) && !page->statistics()->isLoading()
                                         && page->statistics()->groups().size() > 0,
                                     30000);
            const QString tag = QStringLiteral("%1/%2-%3x%4").arg(out, lang).arg(size.width()).arg(size.height());
            shoot(&window, tag + QStringLiteral("-window.png"));
            // Where the two are tabs, the other tab too.
            if (QTabWidget *tabs = page->panes()->sideBySide() ? nullptr : page->panes()->tabs()) {
                tabs->setCurrentIndex(1 - tabs->currentIndex());
                shoot(&window, tag + QStringLiteral("-other-tab.png"));
                tabs->setCurrentIndex(0);
            }
            if (size.width() == 1280) {
                const QString pdf = QStringLiteral("%1/%2-report.pdf").arg(out, lang);
                QString why;
                if (!page->statistics()->printToPdf(pdf, &why))
                    std::printf("report: %s\n", qPrintable(why));
                QProcess::execute(QStringLiteral("pdftoppm"),
                                  {QStringLiteral("-r"), QStringLiteral("110"), QStringLiteral("-png"),
                                   QStringLiteral("-singlefile"), pdf, QStringLiteral("%1/%2-report-page").arg(out, lang)});
            }
        }
        // A server that cannot be reached, with measures waiting in the queue on this PC.
        HistoryService away;
        openAndWait(away, QStringLiteral("postgresql://quality@127.0.0.1:1/torquedesk"), &error);
        QTRY_VERIFY_WITH_TIMEOUT(away.state().open, 10000);
        onHistoryThread(away, [](HistoryWorker &w) {
            QVector<HistoryMeasure> rows;
            for (int i = 0; i < 654; ++i) {
                HistoryMeasure m;
                m.keySerial = QStringLiteral("2907K000001");
                m.recordName = QStringLiteral("Q");
                m.connectionIndex = i;
                m.measuredAt = QStringLiteral("2026-12-08 10:%1:00").arg(i % 60, 2, 10, QLatin1Char('0'));
                m.moment = 110;
                rows << m;
            }
            const int queued = w.store()->append(rows).queued;
            w.announce(true);
            return queued;
        });
        QTRY_VERIFY_WITH_TIMEOUT(away.state().queued == 654, 10000);
        HistoryWindow window(&away, nullptr);
        window.resize(1280, 800);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            std::printf("window not exposed\n");
        QTRY_VERIFY_WITH_TIMEOUT(window.page()->stateText().contains(QStringLiteral("654")), 10000);
        shoot(&window, QStringLiteral("%1/%2-1280x800-unreachable.png").arg(out, lang));
    }
    QCoreApplication::removeTranslator(&russian);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir root;
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--shots"));
    if (at > 0 && at + 1 < args.size())
        shots(root.path(), args.at(at + 1));
    else
        benchmarks(root.path());
    return 0;
}
