// The report database: tables made where the file is missing or empty, quotes stored as they
// stand, barcode pairs found in either order, and each failure told as what it is.
#include "MeasureFixtures.h"

#include "reports/ReportDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace fixtures;

class TestReportDatabase : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { ReportDatabase::close(); }
    void missingOrEmptyFileGetsTheSchema();
    void quotesRoundTripInEveryTextColumn();
    void barcodePairsAndTheirOutcomes();
    void unopenedDatabaseSaysSo();
};

void TestReportDatabase::missingOrEmptyFileGetsTheSchema()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sql/report.db3"));
    QVERIFY(ReportDatabase::open(path)); // no file, no folder
    QVERIFY(ReportDatabase::addBarcodes("1", "2", "R") == ReportDatabase::AddCodes::Added);
    ReportDatabase::close();

    QFile empty(path);
    QVERIFY(empty.open(QIODevice::WriteOnly | QIODevice::Truncate)); // a zero-byte file
    empty.close();
    QVERIFY(ReportDatabase::open(path));
    QCOMPARE(ReportDatabase::findRecordByBarcodes({"1", "2"}), QString());
    // The shipped schema's one pair per record holds in the made tables too.
    QVERIFY(ReportDatabase::addBarcodes("1", "2", "R") == ReportDatabase::AddCodes::Added);
    QVERIFY(ReportDatabase::addBarcodes("3", "4", "R") == ReportDatabase::AddCodes::Refused);

    // A file that is not a database is reported, not taken.
    ReportDatabase::close();
    QFile junk(path);
    QVERIFY(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    QVERIFY(!ReportDatabase::open(path));
    QVERIFY(!ReportDatabase::isOpen());
    QVERIFY(!ReportDatabase::lastError().isEmpty());
}

void TestReportDatabase::quotesRoundTripInEveryTextColumn()
{
    QTemporaryDir dir;
    QVERIFY(ReportDatabase::open(dir.filePath(QStringLiteral("report.db3"))));
    const TemplateLists t = quotedTemplates();
    const QString name = QStringLiteral("01'02");
    RecordHeader h = header(2);
    h.countCon = 3;
    const QStringList record = ReportDatabase::recordValues(name, h, t);
    const QStringList measure = ReportDatabase::measureValues(name, 0, entry(-12.5f), h, t);
    {
        ReportDatabase::Batch batch;
        QVERIFY(ReportDatabase::insertRecord(record));
        QVERIFY(ReportDatabase::insertMeasure(measure));
    }
    QSqlQuery q(QStringLiteral("SELECT pagenumber, level1, level2, level3, level4, algorithm, head_mm, count_con, "
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

    QSqlQuery m(QStringLiteral("SELECT date, time, level2, level4, count_con, count_total, range_low, range_high, "
                               "moment, result FROM records WHERE pagenumber IS NULL"));
    QVERIFY(m.next());
    stored.clear();
    for (int i = 0; i < 10; ++i)
        stored << m.value(i).toString();
    QCOMPARE(stored, measure);
    QCOMPARE(stored.at(3), QStringLiteral("Hub' it's ''"));
    QCOMPARE(stored.at(8), QStringLiteral("12.50"));
    m.finish();

    QVERIFY(ReportDatabase::clearRecords());
    QSqlQuery c(QStringLiteral("SELECT COUNT(*) FROM records"));
    QVERIFY(c.next());
    QCOMPARE(c.value(0).toInt(), 0);
    c.finish();

    // A record's rows sent many to a statement carry the same values as one by one.
    QVector<MeasureEntry> entries;
    for (int i = 0; i < 130; ++i)
        entries << entry(i % 2 ? 15 : 25 + i);
    QCOMPARE(ReportDatabase::insertMeasures(name, h, entries, t, 5), 130);
    QSqlQuery all(QStringLiteral("SELECT date, time, level2, level4, count_con, count_total, range_low, range_high, "
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
    QVERIFY(ReportDatabase::open(dir.filePath(QStringLiteral("report.db3"))));
    const QString a = QStringLiteral("A' OR '1'='1");
    const QString b = QStringLiteral("B\"'; DELETE FROM codes; --");
    QCOMPARE(ReportDatabase::findRecordByBarcodes({a, b}), QString()); // an injection finds nothing
    QVERIFY(ReportDatabase::addBarcodes(a, b, QStringLiteral("R'1")) == ReportDatabase::AddCodes::Added);
    QCOMPARE(ReportDatabase::findRecordByBarcodes({a, b}), QStringLiteral("R'1"));
    QCOMPARE(ReportDatabase::findRecordByBarcodes({b, a}), QStringLiteral("R'1"));
    // The same pair again, in either order, is refused before it reaches the table.
    QVERIFY(ReportDatabase::addBarcodes(b, a, QStringLiteral("R2")) == ReportDatabase::AddCodes::AlreadyExists);
    QVERIFY(ReportDatabase::addBarcodes("X", "Y", QStringLiteral("R'1")) == ReportDatabase::AddCodes::Refused);
    QSqlQuery q(QStringLiteral("SELECT barcode0, barcode1, record FROM codes"));
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
    QVERIFY(!ReportDatabase::isOpen());
    QVERIFY(ReportDatabase::addBarcodes("1", "2", "R") == ReportDatabase::AddCodes::NotAvailable);
    QCOMPARE(ReportDatabase::findRecordByBarcodes({"1", "2"}), QString());
    QVERIFY(!ReportDatabase::insertMeasure(QVector<QString>(10, QStringLiteral("x")).toList()));
    QVERIFY(!ReportDatabase::clearRecords());
    ReportDatabase::Batch batch; // harmless without a database
}

QTEST_MAIN(TestReportDatabase)
#include "tst_reportdatabase.moc"
