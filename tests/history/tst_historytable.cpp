// The history table against a source that answers only when the test says so: the table
// never waits for the history, shows "Loading…" for rows still on their way, and throws away
// answers that no longer fit (another filter, pages scrolled past).
#include "HistoryFixtures.h"
#include "history/HistoryTableModel.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

struct Asked
{
    qint64 offset;
    std::function<bool()> wanted;
    std::function<void(const QVector<HistoryMeasure> &, bool)> done;
};

// Holds every question until the test answers it, as a history held by a server would.
struct HeldSource
{
    QVector<std::function<void(qint64)>> counts;
    QVector<Asked> pages;

    HistoryTableModel::Source source()
    {
        HistoryTableModel::Source s;
        s.count = [this](QObject *, const HistoryFilter &, std::function<void(qint64)> done) { counts << done; };
        s.page = [this](QObject *, const HistoryFilter &, const HistorySort &, qint64 offset, int, std::function<bool()> wanted,
                        std::function<void(const QVector<HistoryMeasure> &, bool)> done) {
            pages << Asked{offset, wanted, done};
        };
        return s;
    }
};

QVector<HistoryMeasure> rowsFrom(qint64 offset)
{
    QVector<HistoryMeasure> rows = makeMeasures(HistoryTableModel::PageRows);
    for (int i = 0; i < rows.size(); ++i)
        rows[i].connectionIndex = int(offset + i);
    return rows;
}

} // namespace

class TestHistoryTable : public QObject
{
    Q_OBJECT

private slots:
    void rowsArriveWithoutWaiting()
    {
        HeldSource held;
        HistoryTableModel model;
        model.setSource(held.source());
        QVERIFY(held.counts.isEmpty());
        model.setFilter(HistoryFilter());
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(held.counts.size(), 1);
        QSignalSpy counted(&model, &HistoryTableModel::counted);
        held.counts.takeFirst()(1000);
        QCOMPARE(counted.count(), 1);
        QCOMPARE(model.rowCount(), 1000);

        // Painting a row asks for its page once, and shows the placeholder meanwhile.
        const QModelIndex row450 = model.index(450, 0);
        QCOMPARE(model.data(row450).toString(), QStringLiteral("Loading…"));
        QCOMPARE(model.data(model.index(450, 3)).toString(), QString());
        model.data(model.index(451, 2));
        QCOMPARE(held.pages.size(), 1);
        QCOMPARE(held.pages.first().offset, qint64(2 * HistoryTableModel::PageRows));
        QVERIFY(!model.isLoaded(450));

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        const Asked page = held.pages.takeFirst();
        page.done(rowsFrom(page.offset), false);
        QCOMPARE(changed.count(), 1);
        QVERIFY(model.isLoaded(450));
        QCOMPARE(model.measure(450).connectionIndex, 450);
        QVERIFY(model.data(row450).toString() != QStringLiteral("Loading…"));
    }

    void staleAnswersAreDropped()
    {
        HeldSource held;
        HistoryTableModel model;
        model.setSource(held.source());
        model.setFilter(HistoryFilter());
        held.counts.takeFirst()(1000);
        model.data(model.index(0, 0));
        QCOMPARE(held.pages.size(), 1);
        const Asked old = held.pages.takeFirst();

        // Another filter before the page came: its answer belongs to nothing on show.
        HistoryFilter f;
        f.recordName = QStringLiteral("B");
        model.setFilter(f);
        QVERIFY(!old.wanted());
        QCOMPARE(model.rowCount(), 0);
        held.counts.takeFirst()(300);
        old.done(rowsFrom(0), false);
        QVERIFY(!model.isLoaded(0));
        // The new filter asks for the page anew.
        model.data(model.index(0, 0));
        QCOMPARE(held.pages.size(), 1);

        // A count that is overtaken by a newer one changes nothing.
        model.refresh();
        model.refresh();
        QCOMPARE(held.counts.size(), 2);
        held.counts[0](5);
        QCOMPARE(model.rowCount(), 300);
        held.counts[1](301);
        QCOMPARE(model.rowCount(), 301);
    }

    void pagesScrolledPastAreSkipped()
    {
        HeldSource held;
        HistoryTableModel model;
        model.setSource(held.source());
        model.setFilter(HistoryFilter());
        held.counts.takeFirst()(1000000);
        // A fast scroll through a held history: one question per page the view passed.
        const int passed = HistoryTableModel::CachedPages + 4;
        for (int p = 0; p < passed; ++p)
            model.data(model.index(p * 10 * HistoryTableModel::PageRows, 0));
        QCOMPARE(held.pages.size(), passed);
        int wanted = 0;
        for (const Asked &a : held.pages)
            wanted += a.wanted() ? 1 : 0;
        QCOMPARE(wanted, int(HistoryTableModel::CachedPages));
        QVERIFY(!held.pages.first().wanted());
        QVERIFY(held.pages.last().wanted());

        // A skipped page is asked again once the view comes back to it.
        const Asked first = held.pages.takeFirst();
        first.done({}, true);
        model.data(model.index(0, 0));
        QCOMPARE(held.pages.last().offset, qint64(0));
        // An empty answer for rows the count promised is not asked over and over.
        held.pages.last().done({}, false);
        const int before = held.pages.size();
        model.data(model.index(0, 0));
        QCOMPARE(held.pages.size(), before);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QString());
    }
};

QTEST_MAIN(TestHistoryTable)
#include "tst_historytable.moc"
