// The report database: tables made where the file is missing or empty, quotes stored as they
// stand, barcode pairs found in either order, and each failure told as what it is.
#include "MeasureFixtures.h"

#include "reports/ReportDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#include <memory>

using namespace fixtures;

class TestReportDatabase : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_db = std::make_unique<ReportDatabase>(); }
    void cleanup() { m_db.reset(); }
    void missingOrEmptyFileGetsTheSchema();
    void quotesRoundTripInEveryTextColumn();
    void barcodePairsAndTheirOutcomes();
    void unopenedDatabaseSaysSo();
    void eachThreadUsesAConnectionOfItsOwn();

private:
    // A statement on the object's own connection, as a reader of the file would run it.
    QSqlQuery query(const QString &sql) const
    {
        return QSqlQuery(sql, QSqlDatabase::database(m_db->connectionName(), false));
    }

    std::unique_ptr<ReportDatabase> m_db;
};

void TestReportDatabase::missingOrEmptyFileGetsTheSchema()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sql/report.db3"));
    QVERIFY(m_db->open(path)); // no file, no folder
    QVERIFY(m_db->addBarcodes("1", "2", "R") == ReportDatabase::AddCodes::Added);
    m_db->close();

    QFile empty(path);
    QVERIFY(empty.open(QIODevice::WriteOnly | QIODevice::Truncate)); // a zero-byte file
    empty.close();
    QVERIFY(m_db->open(path));
    QCOMPARE(m_db->findRecordByBarcodes({"1", "2"}), QString());
    // The shipped schema's one pair per record holds in the made tables too.
    QVERIFY(m_db->addBarcodes("1", "2", "R") == ReportDatabase::AddCodes::Added);
    QVERIFY(m_db->addBarcodes("3", "4", "R") == ReportDatabase::AddCodes::Refused);

    // A file that is not a database is reported, not taken.
    m_db->close();
    QFile junk(path);
    QVERIFY(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    QVERIFY(!m_db->open(path));
    QVERIFY(!m_db->isOpen());
    QVERIFY(!m_db->lastError().isEmpty());
}

void TestReportDatabase::quotesRoundTripInEveryTextColumn()
{
    QTemporaryDir dir;
    QVERIFY(m_db->open(dir.filePath(QStringLiteral("report.db3"))));
    const TemplateLists t = quotedTemplates();
    const QString name = QStringLiteral("01'02");
    RecordHeader h = header(2);
    h.countCon = 3;
    const QStringList record = ReportDatabase::recordValues(name, h, t);
    const QStringList measure = ReportDatabase::measureValues(name, 0, entry(-12.5f), h, t);
    {
        ReportDatabase::Batch batch(m_db.get());
        QVERIFY(m_db->insertRecord(record));
        QVERIFY(m_db->insertMeasure(measure));
    }
    QSqlQuery q = query(QStringLiteral("SELECT pagenumber, level1, level2, level3, level4, algorithm, head_mm, count_con, "
                               "count_total, range_low, range_high, angle_low, angle_high, angle, start_mom, "
                               "pitch_step FROM records ORDER BY rowid"));
    QVERIFY(q.next());
    QStringList stored;
    for (int i = 0; i < 16; ++i)
        stored << q.value(i).toString();
    QCOMPARE(stored, record);
    QCOMPARE(stored.at(1), QStringLiteral("O'Neill Pat' '); DROP TABLE codes; --"));
    QCOMPARE(stored.at(3), QStringLiteral("O'NEILL001"));
    QCOMPARE(stored.at(7), QStringLiteral("3"));
    QCOMPARE(stored.at(11), QStringLiteral("30.0"));
    q.finish();

    QSqlQuery m = query(QStringLiteral("SELECT date, time, level2, level4, count_con, count_total, range_low, range_high, "
                               "moment, result FROM records WHERE pagenumber IS NULL"));
    QVERIFY(m.next());
    stored.clear();
    for (int i = 0; i < 10; ++i)
        stored << m.value(i).toString();
    QCOMPARE(stored, measure);
    QCOMPARE(stored.at(3), QStringLiteral("Hub' it's ''"));
    QCOMPARE(stored.at(8), QStringLiteral("12.50"));
    m.finish();

    QVERIFY(m_db->clearRecords());
    QSqlQuery c = query(QStringLiteral("SELECT COUNT(*) FROM records"));
    QVERIFY(c.next());
    QCOMPARE(c.value(0).toInt(), 0);
    c.finish();

    // A record's rows sent many to a statement carry the same values as one by one.
    QVector<MeasureEntry> entries;
    for (int i = 0; i < 130; ++i)
        entries << entry(i % 2 ? 15 : 25 + i);
    QCOMPARE(m_db->insertMeasures(name, h, entries, t, 5), 130);
    QSqlQuery all = query(QStringLiteral("SELECT date, time, level2, level4, count_con, count_total, range_low, range_high, "
                                 "moment, result FROM records ORDER BY rowid"));
    for (int i = 0; i < entries.size(); ++i) {
        QVERIFY(all.next());
        QStringList row;
        for (int v = 0; v < 10; ++v)
            row << all.value(v).toString();
        QCOMPARE(row, ReportDatabase::measureValues(name, 5 + i, entries.at(i), h, t));
    }
    QVERIFY(!all.next());
}

void TestReportDatabase::barcodePairsAndTheirOutcomes()
{
    QTemporaryDir dir;
    QVERIFY(m_db->open(dir.filePath(QStringLiteral("report.db3"))));
    const QString a = QStringLiteral("A' OR '1'='1");
    const QString b = QStringLiteral("B\"'; DELETE FROM codes; --");
    QCOMPARE(m_db->findRecordByBarcodes({a, b}), QString()); // an injection finds nothing
    QVERIFY(m_db->addBarcodes(a, b, QStringLiteral("R'1")) == ReportDatabase::AddCodes::Added);
    QCOMPARE(m_db->findRecordByBarcodes({a, b}), QStringLiteral("R'1"));
    QCOMPARE(m_db->findRecordByBarcodes({b, a}), QStringLiteral("R'1"));
    // The same pair again, in either order, is refused before it reaches the table.
    QVERIFY(m_db->addBarcodes(b, a, QStringLiteral("R2")) == ReportDatabase::AddCodes::AlreadyExists);
    QVERIFY(m_db->addBarcodes("X", "Y", QStringLiteral("R'1")) == ReportDatabase::AddCodes::Refused);
    QSqlQuery q = query(QStringLiteral("SELECT barcode0, barcode1, record FROM codes"));
    int rows = 0;
    while (q.next()) {
        ++rows;
        QCOMPARE(q.value(0).toString(), a);
        QCOMPARE(q.value(1).toString(), b);
    }
    QCOMPARE(rows, 1);
}

void TestReportDatabase::unopenedDatabaseSaysSo()
{
    QVERIFY(!m_db->isOpen());
    QVERIFY(m_db->addBarcodes("1", "2", "R") == ReportDatabase::AddCodes::NotAvailable);
    QCOMPARE(m_db->findRecordByBarcodes({"1", "2"}), QString());
    QVERIFY(!m_db->insertMeasure(QVector<QString>(10, QStringLiteral("x")).toList()));
    QVERIFY(!m_db->clearRecords());
    ReportDatabase::Batch batch(m_db.get()); // harmless without a database
    ReportDatabase::Batch none(nullptr);
}

// The station's connection belongs to the GUI thread; a worker that needs the file opens its
// own on its thread, and neither is reachable from the other's thread.
void TestReportDatabase::eachThreadUsesAConnectionOfItsOwn()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.db3"));
    QVERIFY(m_db->open(path));
    QVERIFY(m_db->addBarcodes("1", "2", "R") == ReportDatabase::AddCodes::Added);
    ReportDatabase second;
    QVERIFY(second.connectionName() != m_db->connectionName());

    QString foundThere, foundOnStation;
    ReportDatabase::AddCodes addedThere = ReportDatabase::AddCodes::Added;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        foundOnStation = m_db->findRecordByBarcodes({"1", "2"}); // not its thread: refused
        addedThere = m_db->addBarcodes("5", "6", "S");
        ReportDatabase own;
        if (own.open(path))
            foundThere = own.findRecordByBarcodes({"2", "1"});
    }));
    worker->start();
    QVERIFY(worker->wait(10000));
    QCOMPARE(foundThere, QStringLiteral("R"));
    QCOMPARE(foundOnStation, QString());
    QVERIFY(addedThere == ReportDatabase::AddCodes::NotAvailable);
    // The station's connection still works on its own thread after the worker's went.
    QCOMPARE(m_db->findRecordByBarcodes({"1", "2"}), QStringLiteral("R"));
    QCOMPARE(m_db->findRecordByBarcodes({"5", "6"}), QString());
}

QTEST_MAIN(TestReportDatabase)
#include "tst_reportdatabase.moc"
