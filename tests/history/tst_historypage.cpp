#include "HistoryFixtures.h"
#include "ServiceFixtures.h"
#include "base/Paths.h"
#include "history/HistorySettings.h"
#include "history/StationName.h"
#include "history/HistoryTableModel.h"
#include "history/JointStatistics.h"
#include "ui/history/HistoryPage.h"
#include "ui/widgets/JobProgressWidget.h"
#include "history/HistoryService.h"
#include "ui/history/StatisticsView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

// The page through its real widgets, on a SQLite history filled by the test.
class HistoryPageTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    std::unique_ptr<HistoryService> m_service;

    template<typename T>
    T *child(QWidget &page, const char *name)
    {
        T *w = page.findChild<T *>(QLatin1String(name));
        if (!w)
            qWarning() << "no" << name;
        return w;
    }

    void find(HistoryPage &page) { QTest::mouseClick(child<QPushButton>(page, "pbHistoryFind"), Qt::LeftButton); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        Paths::setDataRoot(m_root.path());
        m_service = std::make_unique<HistoryService>();
        QString error;
        QVERIFY2(openAndWait(*m_service, QString(), &error), qPrintable(error));
        // Joint A: 60 tightenings, steady and well inside its range (capable).
        QVector<HistoryMeasure> a = makeMeasures(60, QStringLiteral("A"));
        for (int i = 0; i < a.size(); ++i)
            a[i].moment = 50.0 + ((i * 7) % 11 - 5) * 0.2;
        // Joint B: 40 tightenings, scattered over its range, some NG; its part has a barcode pair.
        QVector<HistoryMeasure> b = makeMeasures(40, QStringLiteral("B"), QStringLiteral("SN-2"),
                                                 QDateTime(QDate(2026, 6, 1), QTime(6, 0)));
        for (int i = 0; i < b.size(); ++i) {
            b[i].moment = 44.0 + (i * 13) % 12;
            b[i].ok = b[i].moment >= 45 && b[i].moment <= 55;
            b[i].operatorText = QStringLiteral("Сидоров");
            b[i].barcode1 = QStringLiteral("4607001");
            b[i].barcode2 = QStringLiteral("PART-77");
            b[i].station = QStringLiteral("Line 2"); // read at another station of the plant
        }
        QVERIFY(onHistoryThread(*m_service, [a](HistoryWorker &w) { return w.store()->append(a).ok; }));
        QVERIFY(onHistoryThread(*m_service, [b](HistoryWorker &w) { return w.store()->append(b).ok; }));
    }

    void cleanupTestCase() { m_service.reset(); }

    void filtersThroughTheWidgets()
    {
        HistoryPage page(m_service.get());
        page.resize(1400, 800);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        HistoryTableModel *model = page.model();
        QTRY_COMPARE(model->rowCount(), 100);
        // Newest first; the rows come as the view paints them.
        QTRY_VERIFY(model->isLoaded(99));
        QCOMPARE(model->measure(0).recordName, QStringLiteral("B"));
        QCOMPARE(model->measure(0).connectionIndex, 39);
        QCOMPARE(model->measure(99).recordName, QStringLiteral("A"));
        QTRY_VERIFY(child<QComboBox>(page, "cbHistoryOperator")->findText(QStringLiteral("Сидоров")) > 0);

        // A scanned pair, in either order, finds its part's measures.
        QTest::keyClicks(child<QLineEdit>(page, "leHistoryBarcode1"), QStringLiteral("PART-77"));
        QTest::keyClicks(child<QLineEdit>(page, "leHistoryBarcode2"), QStringLiteral("4607001"));
        find(page);
        QTRY_VERIFY(model->isCounted());
        QCOMPARE(model->rowCount(), 40);
        QTRY_COMPARE(page.statistics()->momentResult().summary.n, 40);
        const int ng = page.statistics()->momentResult().summary.ngCount;
        QVERIFY(ng > 0);
        child<QComboBox>(page, "cbHistoryVerdict")->setCurrentIndex(2);
        find(page);
        QTRY_VERIFY(model->isCounted());
        QCOMPARE(model->rowCount(), ng);
        QTest::mouseClick(child<QPushButton>(page, "pbHistoryReset"), Qt::LeftButton);
        QTRY_COMPARE(model->rowCount(), 100);

        // Operator (non-Latin) and a period.
        child<QComboBox>(page, "cbHistoryOperator")->setCurrentText(QStringLiteral("Сидоров"));
        find(page);
        QTRY_VERIFY(model->isCounted());
        QCOMPARE(model->rowCount(), 40);
        child<QComboBox>(page, "cbHistoryOperator")->setCurrentText(QString());
        QTest::mouseClick(child<QCheckBox>(page, "cbHistoryPeriod"), Qt::LeftButton);
        child<QDateEdit>(page, "deHistorySince")->setDate(QDate(2026, 3, 1));
        child<QDateEdit>(page, "deHistoryUntil")->setDate(QDate(2026, 3, 1));
        find(page);
        QTRY_VERIFY(model->isCounted());
        QCOMPARE(model->rowCount(), 60);
        // The statistics follow: joint A only.
        QTRY_COMPARE(page.statistics()->momentResult().summary.n, 60);
        QVERIFY(page.statistics()->momentResult().computed);
        QVERIFY(!page.statistics()->alarmShown());
        // Choosing a row of another joint shows that joint.
        QTest::mouseClick(child<QPushButton>(page, "pbHistoryReset"), Qt::LeftButton);
        QTRY_VERIFY(model->isCounted() && model->isLoaded(70));
        auto *table = child<QTableView>(page, "tvHistory");
        table->selectRow(70);
        QTRY_VERIFY(!page.statistics()->isLoading());
        QCOMPARE(page.statistics()->momentResult().summary.n, 60);
        table->selectRow(5);
        QTRY_COMPARE(page.statistics()->momentResult().summary.n, 40);
        QVERIFY(page.statistics()->alarmShown()); // B's spread cannot hold its range
    }

    // The station filter lists every station of the history; the station's own name is set
    // beside the database and taken by the rows archived after it.
    void stationsFilterAndName()
    {
        HistoryPage page(m_service.get());
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        auto *stations = child<QComboBox>(page, "cbHistoryStation");
        QCOMPARE(stations->accessibleName(), QStringLiteral("Station"));
        QTRY_VERIFY(stations->findText(QStringLiteral("Line 2")) > 0);
        QVERIFY(stations->findText(StationName::hostDefault()) > 0);
        stations->setCurrentText(QStringLiteral("Line 2"));
        find(page);
        QTRY_VERIFY(page.model()->isCounted());
        QCOMPARE(page.model()->rowCount(), 40);
        QTRY_COMPARE(page.statistics()->momentResult().summary.n, 40);

        QTest::mouseClick(child<QPushButton>(page, "pbHistorySettings"), Qt::LeftButton);
        auto *name = child<QLineEdit>(page, "leHistoryStationName");
        QCOMPARE(name->accessibleName(), QStringLiteral("Station name"));
        QTest::keyClicks(name, QStringLiteral("  Line 9 "));
        QSignalSpy opened(m_service.get(), &HistoryService::opened);
        QTest::mouseClick(child<QPushButton>(page, "pbHistoryApply"), Qt::LeftButton);
        QCOMPARE(HistorySettings::load().station, QStringLiteral("Line 9"));
        QVERIFY(opened.wait(10000));
        QVERIFY(onHistoryThread(*m_service, [](HistoryWorker &w) {
            return w.store()->append(makeMeasures(1, QStringLiteral("L9"))).added == 1;
        }));
        stations->setCurrentText(QStringLiteral("Line 9"));
        find(page);
        QTRY_VERIFY(page.model()->isCounted());
        QCOMPARE(page.model()->rowCount(), 1);
        name->clear();
        QTest::mouseClick(child<QPushButton>(page, "pbHistoryApply"), Qt::LeftButton);
        QVERIFY(opened.wait(10000));
    }

    void alarmThresholdsFromTheSettings()
    {
        HistoryPage page(m_service.get());
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        child<QComboBox>(page, "cbHistoryRecord")->setCurrentText(QStringLiteral("A"));
        find(page);
        QTRY_VERIFY(page.statistics()->momentResult().summary.n == 60 && !page.statistics()->isLoading());
        QVERIFY(!page.statistics()->alarmShown());
        const double cp = page.statistics()->momentResult().cp;
        QVERIFY(!child<QDoubleSpinBox>(page, "dsbHistoryCp")->isVisible()); // folded away until asked for
        QTest::mouseClick(child<QPushButton>(page, "pbHistorySettings"), Qt::LeftButton);
        QVERIFY(child<QDoubleSpinBox>(page, "dsbHistoryCp")->isVisible());
        child<QDoubleSpinBox>(page, "dsbHistoryCp")->setValue(cp + 1);
        QTest::mouseClick(child<QPushButton>(page, "pbHistoryApply"), Qt::LeftButton);
        QTRY_VERIFY(page.statistics()->alarmShown());
        QCOMPARE(HistorySettings::load().thresholds.cp, child<QDoubleSpinBox>(page, "dsbHistoryCp")->value());
        child<QDoubleSpinBox>(page, "dsbHistoryCp")->setValue(2.0);
        QTest::mouseClick(child<QPushButton>(page, "pbHistoryApply"), Qt::LeftButton);
        QTRY_VERIFY(!page.statistics()->isLoading());
        QVERIFY(!page.statistics()->alarmShown());
    }

    void exportsTheFilter()
    {
        HistoryPage page(m_service.get());
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QString asked;
        const QString csv = m_root.filePath(QStringLiteral("out/h.csv"));
        QDir().mkpath(m_root.filePath(QStringLiteral("out")));
        page.setSaveDialog([&](const QString &, const QString &proposed, const QString &) {
            asked = proposed;
            return csv;
        });
        child<QComboBox>(page, "cbHistoryRecord")->setCurrentText(QStringLiteral("B"));
        find(page);
        QSignalSpy done(&page, &HistoryPage::exportFinished);
        QTest::mouseClick(child<QPushButton>(page, "pbHistoryCsv"), Qt::LeftButton);
        QVERIFY(done.wait(20000));
        QCOMPARE(done.takeFirst().at(0).toBool(), true);
        QVERIFY(asked.endsWith(QLatin1String(".csv")));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        QCOMPARE(lines.size(), 42); // title, 40 measures, nothing after the last line end
        QVERIFY(lines.at(1).contains("Сидоров"));
        QVERIFY(lines.at(1).startsWith("2026-06-01 06:00:00;")); // the file runs oldest first
        QVERIFY(lines.at(1).endsWith(";Line 2\r"));

        // From here the window's progress row follows the exports.
        JobProgressWidget progress;
        page.setProgressWidget(&progress);
        const QString dfq = m_root.filePath(QStringLiteral("out/h.dfq"));
        page.setSaveDialog([&](const QString &, const QString &, const QString &) { return dfq; });
        QTest::mouseClick(child<QPushButton>(page, "pbHistoryDfq"), Qt::LeftButton);
        QVERIFY(!child<QPushButton>(page, "pbHistoryCsv")->isEnabled());
        QVERIFY(done.wait(20000));
        QCOMPARE(done.takeFirst().at(0).toBool(), true);
        QCOMPARE(progress.rowCount(), 1);
        QVERIFY2(progress.rowText(0).contains(QStringLiteral("40 measures exported")), qPrintable(progress.rowText(0)));
        QVERIFY(child<QPushButton>(page, "pbHistoryCsv")->isEnabled());
        QFile d(dfq);
        QVERIFY(d.open(QIODevice::ReadOnly));
        const QByteArray bytes = d.readAll();
        QVERIFY(bytes.startsWith("K0100 1\r\n"));
        QCOMPARE(bytes.count("K0001"), 40);
        QVERIFY(bytes.contains("K0008/1 Sidorov\r\n"));
        QCOMPARE(bytes.count("K0010/1 Line 2\r\n"), 40); // the station that archived each value

        // A file that cannot be written says so in red, once: through the progress row.
        QSignalSpy message(&page, &HistoryPage::messageRequested);
        QSignalSpy rowMessage(&progress, &JobProgressWidget::messageRequested);
        page.exportCsv(m_root.filePath(QStringLiteral("missing/folder/x.csv")));
        QVERIFY(done.wait(20000));
        QCOMPARE(done.takeFirst().at(0).toBool(), false);
        QCOMPARE(message.count(), 0);
        QCOMPARE(rowMessage.count(), 1);
        QCOMPARE(rowMessage.at(0).at(1).toString(), QStringLiteral("red"));
    }

    // The table's result filter narrows the rows, never the joint's statistics; joints worked
    // by several operators and keys show each one's figures beside the joint's.
    void statisticsOfTheWholeJoint()
    {
        QVector<HistoryMeasure> c = makeMeasures(90, QStringLiteral("C"), QStringLiteral("SN-3"),
                                                 QDateTime(QDate(2026, 7, 1), QTime(7, 0)));
        for (int i = 0; i < c.size(); ++i) {
            // Operator "Drift" works 30 of them, high in the range; every third on another key.
            const bool drift = i % 3 == 0;
            c[i].operatorText = drift ? QStringLiteral("Drift") : QStringLiteral("Steady");
            c[i].keySerial = i % 2 ? QStringLiteral("SN-3") : QStringLiteral("SN-4");
            c[i].station = i < 60 ? QStringLiteral("Line A") : QStringLiteral("Line B");
            c[i].moment = (drift ? 54.0 : 50.0) + (i % 5) * 0.1;
            c[i].ok = c[i].moment <= 54.1;
        }
        QVERIFY(onHistoryThread(*m_service, [c](HistoryWorker &w) { return w.store()->append(c).ok; }));
        const int ng = int(std::count_if(c.begin(), c.end(), [](const HistoryMeasure &m) { return !m.ok; }));
        QVERIFY(ng > 0 && ng < c.size());

        HistoryPage page(m_service.get());
        page.resize(1400, 900);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        child<QComboBox>(page, "cbHistoryRecord")->setCurrentText(QStringLiteral("C"));
        child<QComboBox>(page, "cbHistoryVerdict")->setCurrentIndex(2);
        find(page);
        QTRY_VERIFY(page.model()->isCounted());
        QCOMPARE(page.model()->rowCount(), ng);
        QTRY_COMPARE(page.statistics()->momentResult().summary.n, 90);
        QCOMPARE(page.statistics()->momentResult().summary.ngCount, ng);
        // Two stations, two operators and two keys: six groups, each from the same path narrowed.
        QTRY_COMPARE(page.statistics()->groups().size(), 6);
        int operators = 0, stations = 0;
        for (const JointStatistics::Group &g : page.statistics()->groups()) {
            const QString column = JointStatistics::kinds().at(g.kind).column;
            const bool isOperator = column == QLatin1String("operator_text");
            operators += isOperator;
            stations += column == QLatin1String("station");
            const int expected = isOperator ? (g.value == QLatin1String("Drift") ? 30 : 60)
                                 : g.value == QLatin1String("Line A") ? 60
                                 : g.value == QLatin1String("Line B") ? 30
                                                                      : 45;
            QCOMPARE(g.moment.summary.n, expected);
            if (g.value == QLatin1String("Drift"))
                QVERIFY(g.moment.summary.mean > 54);
        }
        QCOMPARE(operators, 2);
        QCOMPARE(stations, 2);

        // Sorted by the database on the moment column, largest or smallest first by the header.
        auto *table = child<QTableView>(page, "tvHistory");
        const int momentColumn = HistoryTableModel::columnOf(QStringLiteral("moment"));
        QTest::mouseClick(table->horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(table->horizontalHeader()->sectionViewportPosition(momentColumn) + 10, 5));
        QCOMPARE(page.model()->sort().column, QStringLiteral("moment"));
        QTRY_VERIFY(page.model()->isLoaded(0) && page.model()->isLoaded(ng - 1));
        const double first = page.model()->measure(0).moment;
        const double last = page.model()->measure(ng - 1).moment;
        QVERIFY(page.model()->sort().descending ? first >= last : first <= last);
        QVERIFY(first != last);
        // The order and the columns' places are remembered for the next page opened.
        table->horizontalHeader()->moveSection(0, 3);
        QTRY_VERIFY(QSettings(HistorySettings::path(), QSettings::IniFormat).value(QStringLiteral("table/header"))
                    == table->horizontalHeader()->saveState());
        HistoryPage again(m_service.get());
        QCOMPARE(again.model()->sort(), page.model()->sort());
        QCOMPARE(again.table()->horizontalHeader()->visualIndex(0), 3);
    }
};

QTEST_MAIN(HistoryPageTest)
#include "tst_historypage.moc"
