// The memory table: what each cell reads and how it is coloured, the header for the level
// switches, loading record files (good, empty, short and lying ones) and erasing measures.
#include "EraseRig.h"
#include "MeasureFixtures.h"

#include "base/Crc8.h"
#include "measures/MeasureCells.h"
#include "measures/MeasureJudgement.h"
#include "measures/MeasureMemory.h"
#include "records/RecordList.h"
#include "reports/ReportDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace fixtures;
using MeasureCells::Table;
using Model = MeasureMemoryModel;

class TestMeasureMemory : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void judgementKeepsBoundariesInsideAndNanOut();
    void cellTextsAndColours();
    void headerFollowsLevelSwitchesAndUnits();
    void recordsAreBlocksSeparatedByOneGap();
    void emptyShortAndLyingFiles();
    void measuresOfUnknownRecordsAreSkipped();
    void databaseHoldsTheSameRowsAsTheTable();
    void erasingZeroesTheCountAndKeepsTheFileSound();

private:
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<ReportDatabase> m_db;
    std::unique_ptr<MeasureMemory> m_memory;
    MeasureMemory::Settings m_settings;
    int col(Model::Column c) const { return m_memory->model()->columnOf(c); }
    QString cell(int row, Model::Column c) const { return m_memory->model()->cellText(row, col(c)); }
    QVariant role(int row, Model::Column c, int r) const
    {
        return m_memory->model()->data(m_memory->model()->index(row, col(c)), r);
    }
    int dbRows() const
    {
        QSqlQuery q(QSqlDatabase::database(m_db->connectionName(), false));
        q.exec(QStringLiteral("SELECT COUNT(*) FROM records"));
        return q.next() ? q.value(0).toInt() : -1;
    }
};

void TestMeasureMemory::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    Paths::setDataRoot(m_root->path());
    m_db = std::make_unique<ReportDatabase>();
    QVERIFY(m_db->open(Paths::reportDatabase()));
    m_settings = MeasureMemory::Settings{true, false, QStringLiteral("Ivan O'Brien")};
    m_memory = std::make_unique<MeasureMemory>(nullptr);
    m_memory->setReportDatabase(m_db.get());
    m_memory->setSettingsSource([this] { return m_settings; });
    m_memory->setLevels({{true, true, true, true}}, {{"F", "W", "N", "U"}});
}

void TestMeasureMemory::cleanup()
{
    m_memory.reset();
    m_db.reset();
}

void TestMeasureMemory::judgementKeepsBoundariesInsideAndNanOut()
{
    const RecordHeader plain = header(0, 10, 20);
    QVERIFY(MeasureJudgement::isOk(entry(10), plain));
    QVERIFY(MeasureJudgement::isOk(entry(20), plain));
    QVERIFY(MeasureJudgement::isOk(entry(-15), plain)); // the magnitude is judged
    QVERIFY(!MeasureJudgement::isOk(entry(20.01f), plain));
    QVERIFY(!MeasureJudgement::isOk(entry(9.99f), plain));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QVERIFY(!MeasureJudgement::isOk(entry(nan), plain));
    QVERIFY(!MeasureJudgement::momentOk(entry(nan), plain)); // the database's moment-only test too

    // The angle counts only for the angle algorithms.
    QVERIFY(MeasureJudgement::isOk(entry(15, 0, 90), plain));
    QVERIFY(!MeasureJudgement::isOk(entry(15, 0, 90), header(2)));
    QVERIFY(MeasureJudgement::isOk(entry(15, 0, -60), header(4)));
    QVERIFY(!MeasureJudgement::isOk(entry(15, 0, nan), header(4)));
    QVERIFY(MeasureJudgement::isOk(entry(15, 0, nan), header(3)));
}

void TestMeasureMemory::cellTextsAndColours()
{
    // An absent defect: blank in the memory table, a dash in the editor; the editor's
    // threshold is coarser.
    QCOMPARE(MeasureCells::defectText(entry(1, 0), Table::Memory), QStringLiteral(" "));
    QCOMPARE(MeasureCells::defectText(entry(1, 0), Table::Editor), QStringLiteral("-"));
    QCOMPARE(MeasureCells::defectText(entry(1, -12.345f), Table::Memory), QStringLiteral("12.35"));
    QCOMPARE(MeasureCells::defectText(entry(1, 0.00005f), Table::Editor), QStringLiteral("-"));
    QCOMPARE(MeasureCells::angleText(entry(1, 0, -45.26f), 2, Table::Memory), QStringLiteral("45.3"));
    QCOMPARE(MeasureCells::angleText(entry(1, 0, -45.26f), 4, Table::Editor), QStringLiteral("-45.3"));
    QCOMPARE(MeasureCells::angleText(entry(1, 0, 45), 3, Table::Memory), QStringLiteral("-"));
    QCOMPARE(MeasureCells::angleRangeText(header(1)), QStringLiteral("-"));
    QCOMPARE(MeasureCells::angleRangeText(header(2)), QStringLiteral("30.0-60.0"));
    QCOMPARE(MeasureCells::editorStampText(entry(1)), QStringLiteral("07.03.26 09:05:04"));

    using L = MeasureCells::Look;
    auto same = [](const L &a, const QColor &t, const QColor &b) { return a.text == t && a.background == b; };
    const QColor grey(200, 200, 200);
    QVERIFY(same(MeasureCells::momentLook(21, 10, 20, Table::Memory), Qt::red, grey));
    QVERIFY(same(MeasureCells::momentLook(9, 10, 20, Table::Memory), Qt::darkYellow, grey));
    QVERIFY(same(MeasureCells::momentLook(20, 10, 20, Table::Memory), Qt::black, Qt::white));
    QVERIFY(same(MeasureCells::momentLook(-15, 10, 20, Table::Memory), Qt::blue, Qt::white));
    QVERIFY(same(MeasureCells::momentLook(-25, 10, 20, Table::Memory), Qt::blue, grey));
    // No defect is not a defect below the range.
    QVERIFY(same(MeasureCells::defectLook(0, 10, 20, Table::Memory), Qt::black, Qt::white));
    QVERIFY(same(MeasureCells::defectLook(5, 10, 20, Table::Memory), Qt::darkYellow, grey));
    QVERIFY(same(MeasureCells::defectLook(-25, 10, 20, Table::Editor), Qt::blue, grey));

    // The same rules reach the model's cells: negative in range is OK, blue, magnitude shown.
    QVERIFY(writeRecord(QStringLiteral("R1"), header(2), {entry(-15, 0, 70), entry(20, 3, 45)}));
    QVERIFY(m_memory->loadRecordMeasures(QStringLiteral("R1"), true));
    QCOMPARE(cell(0, Model::ControlResult), QStringLiteral("15.00"));
    QCOMPARE(role(0, Model::ControlResult, Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));
    QCOMPARE(cell(0, Model::Result), QStringLiteral("NG")); // the angle is above its range
    QCOMPARE(role(0, Model::Angle, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QCOMPARE(cell(1, Model::Result), QStringLiteral("OK"));
    QCOMPARE(cell(1, Model::Defect), QStringLiteral("3.00"));
    QCOMPARE(role(1, Model::Defect, Qt::BackgroundRole).value<QColor>(), grey);
    QCOMPARE(cell(1, Model::ConnectionNumber), QStringLiteral("2/8"));
    QCOMPARE(cell(1, Model::StaticMoment), QStringLiteral("10.00-20.00"));
    QCOMPARE(cell(1, Model::Date), QStringLiteral("07.03.2026"));
    QCOMPARE(cell(1, Model::Time), QStringLiteral("09:05:04"));
    QCOMPARE(cell(1, Model::Level3), QStringLiteral("O'NEILL001"));
    QCOMPARE(cell(1, Model::Controller), QStringLiteral("Ivan O'Brien"));
    QCOMPARE(cell(1, Model::Notes), QString());
    QCOMPARE(role(1, Model::Result, Qt::TextAlignmentRole).toInt(), 132);
    QCOMPARE(role(1, Model::Result, Qt::ForegroundRole), QVariant()); // default colours

    // No dates for algorithm 9, nor when the key does not stamp them.
    QVERIFY(writeRecord(QStringLiteral("R9"), header(9), {entry(15)}));
    QVERIFY(m_memory->loadRecordMeasures(QStringLiteral("R9"), true));
    QCOMPARE(cell(0, Model::Date), QStringLiteral(" "));
    m_settings.dataTimeOn = false;
    QVERIFY(m_memory->loadRecordMeasures(QStringLiteral("R1"), true));
    QCOMPARE(cell(0, Model::Time), QStringLiteral(" "));
}

void TestMeasureMemory::headerFollowsLevelSwitchesAndUnits()
{
    Model *model = m_memory->model();
    QCOMPARE(model->columnCount(), 11 + 5);
    QCOMPARE(model->headerData(5, Qt::Horizontal).toString(), QStringLiteral("U - name"));
    QCOMPARE(model->headerData(6, Qt::Horizontal).toString(), QStringLiteral("U - comment"));

    m_memory->setLevels({{false, true, false, false}}, {{"F", "Wheel", "N", "U"}});
    QCOMPARE(model->columnCount(), 12);
    QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Wheel"));
    QCOMPARE(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Static moment, Nm"));

    m_settings.kgsm = true;
    m_memory->setLevels({{false, false, false, false}}, {{"F", "W", "N", "U"}});
    QCOMPARE(model->columnCount(), 11);
    QStringList titles;
    for (int c = 0; c < model->columnCount(); ++c)
        titles << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles.filter(QStringLiteral("kgsm")),
             QStringList({"Static moment, kgsm", "Control result, kgsm", "Corrected Deffect, kgsm"}));
    QCOMPARE(titles.first(), QStringLiteral("Date"));
    QCOMPARE(titles.last(), QStringLiteral("Controller"));
}

void TestMeasureMemory::recordsAreBlocksSeparatedByOneGap()
{
    QVERIFY(writeRecord(QStringLiteral("A"), header(), {entry(11), entry(12)}));
    QVERIFY(writeRecord(QStringLiteral("B"), header(), {entry(25), entry(13), entry(14)}));
    QVERIFY(m_memory->loadRecordMeasures(QStringLiteral("A"), true));
    QVERIFY(m_memory->loadRecordMeasures(QStringLiteral("B"), false));
    Model *model = m_memory->model();
    QCOMPARE(model->rowCount(), 2 + 1 + 3);
    QVERIFY(model->data(model->index(2, 0), Model::GapRole).toBool());
    for (int c = 0; c < model->columnCount(); ++c)
        QVERIFY(!model->data(model->index(2, c)).isValid()); // the gap has no text at all
    QCOMPARE(model->data(model->index(3, 0), Model::RecordNameRole).toString(), QStringLiteral("B"));
    QCOMPARE(model->blockCount(), 2);
    QCOMPARE(model->block(1).ok, 2);
    QCOMPARE(model->block(1).ng, 1);

    // Emptied and loaded again: no gap before the first block.
    QVERIFY(m_memory->loadRecordMeasures(QStringLiteral("B"), true));
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->data(model->index(0, 0), Model::RecordNameRole).toString(), QStringLiteral("B"));

    // The report path: only records with measures, one block each.
    QVERIFY(writeRecord(QStringLiteral("C"), header(), {}));
    QCOMPARE(m_memory->loadRecords({"A", "C", "B"}), 5);
    QCOMPARE(model->rowCount(), 6);
    QCOMPARE(model->blockCount(), 2);
}

void TestMeasureMemory::emptyShortAndLyingFiles()
{
    Model *model = m_memory->model();
    QVERIFY(writeRecord(QStringLiteral("A"), header(), {entry(11)}));
    QVERIFY(m_memory->loadRecordMeasures(QStringLiteral("A"), true));
    QCOMPARE(model->rowCount(), 1);

    // A missing file changes nothing.
    QVERIFY(!m_memory->loadRecordMeasures(QStringLiteral("missing"), true));
    QCOMPARE(model->rowCount(), 1);

    // Count 0 with the clear-first flag leaves an empty table, even with entries after it.
    RecordFile zero;
    zero.header = header();
    QByteArray bytes = zero.toBytes() + entry(12).toBytes() + entry(13).toBytes();
    QVERIFY(writeRaw(QStringLiteral("Z"), bytes));
    QVERIFY(m_memory->loadRecordMeasures(QStringLiteral("Z"), true));
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(dbRows(), 0);

    // A count of 5 over two entries and half of a third: the two are shown.
    RecordHeader lying = header();
    lying.countCon = 5;
    bytes = lying.toBytes() + entry(11).toBytes() + entry(12).toBytes() + entry(13).toBytes().left(10);
    QVERIFY(writeRaw(QStringLiteral("L"), bytes));
    QVERIFY(m_memory->loadRecordMeasures(QStringLiteral("L"), true));
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(cell(1, Model::ControlResult), QStringLiteral("12.00"));

    // Shorter than a header: no record, nothing loaded, nothing cleared.
    QVERIFY(writeRaw(QStringLiteral("S"), QByteArray(30, '\x01')));
    QVERIFY(!m_memory->loadRecordMeasures(QStringLiteral("S"), true));
    QCOMPARE(model->rowCount(), 2);
}

void TestMeasureMemory::measuresOfUnknownRecordsAreSkipped()
{
    QVERIFY(writeRecord(QStringLiteral("0102O'NEILL00103"), header(), {entry(11)}));
    QVERIFY(writeRecord(QStringLiteral("stray"), header(), {entry(11)}));
    RecordList list;
    list.rebuild(RecordMirror::folder(), quotedTemplates());
    QFile::remove(RecordMirror::path(QStringLiteral("stray")));
    QVERIFY(writeRecord(QStringLiteral("late"), header(), {entry(11)})); // not in the list
    MeasureMemory memory(&list);
    memory.setSettingsSource([this] { return m_settings; });
    memory.setLevels({{true, true, true, true}}, {{"F", "W", "N", "U"}});
    QVERIFY(memory.loadRecordMeasures(QStringLiteral("late"), true));
    QCOMPARE(memory.model()->rowCount(), 0);
    QVERIFY(memory.loadRecordMeasures(QStringLiteral("0102O'NEILL00103"), true));
    QCOMPARE(memory.model()->rowCount(), 1);
    // Level texts from the template lists, quotes and all.
    const Model *m = memory.model();
    QCOMPARE(m->cellText(0, m->columnOf(Model::Level1)), QStringLiteral("O'Neill Pat' '); DROP TABLE codes; --"));
    QCOMPARE(m->cellText(0, m->columnOf(Model::Level4Comment)), QStringLiteral("it's ''"));
}

void TestMeasureMemory::databaseHoldsTheSameRowsAsTheTable()
{
    QVERIFY(writeRecord(QStringLiteral("A"), header(0, 10, 20), {entry(-11.5f), entry(25)}));
    QVERIFY(writeRecord(QStringLiteral("B"), header(), {entry(12)}));
    QVERIFY(m_memory->loadRecordMeasures(QStringLiteral("A"), true));
    QVERIFY(m_memory->loadRecordMeasures(QStringLiteral("B"), false));
    QCOMPARE(dbRows(), 3);
    QSqlQuery q(QSqlDatabase::database(m_db->connectionName(), false));
    q.exec(QStringLiteral("SELECT date, time, count_con, count_total, range_low, range_high, moment, result "
                          "FROM records ORDER BY rowid"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("07.03.2026"));
    QCOMPARE(q.value(1).toString(), QStringLiteral("09:05:04"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("1"));
    QCOMPARE(q.value(3).toString(), QStringLiteral("8"));
    QCOMPARE(q.value(4).toString(), QStringLiteral("10.00"));
    QCOMPARE(q.value(6).toString(), QStringLiteral("11.50"));
    QCOMPARE(q.value(7).toString(), QStringLiteral("OK"));
    QVERIFY(q.next());
    QCOMPARE(q.value(7).toString(), QStringLiteral("NG"));
    q.finish();

    m_memory->clearMeasureStore();
    QCOMPARE(dbRows(), 0);
    QCOMPARE(m_memory->model()->rowCount(), 0);
}

void TestMeasureMemory::erasingZeroesTheCountAndKeepsTheFileSound()
{
    RecordHeader h = header();
    h.reserved19 = 0x55;
    h.status = 0x0A;
    QVERIFY(writeRecord(QStringLiteral("A"), h, {entry(11), entry(12)}));
    QVERIFY(writeRecord(QStringLiteral("B"), header(), {}));
    RecordHeader lying = header();
    lying.countCon = 4;
    QVERIFY(writeRaw(QStringLiteral("L"), lying.toBytes() + entry(13).toBytes()));
    QVERIFY(writeRaw(QStringLiteral("S"), QByteArray(20, '\x07'))); // no record at all
    QVERIFY(writeRecord(QStringLiteral("T"), header(), {entry(14)}));

    const MeasureMemory::Summary s = m_memory->eraseAllSummary();
    QCOMPARE(s.records, 3);  // A, L, T
    QCOMPARE(s.measures, 4); // what the files really hold

    // The key holds what the mirror holds; the keeper vouches for everything.
    RecordEraser::Keeper yes;
    yes.keep = [](const QString &, const RecordFile &, int, QString *) { return true; };
    EraseRig key(m_memory.get(), yes);
    key.holdTheMirror();
    QSignalSpy finished(m_memory.get(), &MeasureMemory::eraseFinished);
    // A damaged file on the way does not stop the records after it from being erased; one
    // that counts more measures than it holds is never emptied.
    QVERIFY(m_memory->eraseAllMeasures());
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.at(0).at(0).toStringList(), (QStringList{"A", "T"}));
    QCOMPARE(finished.at(0).at(1).toStringList(), QStringList{"L"});
    for (const char *name : {"A", "T"}) {
        QFile f(RecordMirror::path(QLatin1String(name)));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray b = f.readAll();
        QCOMPARE(key.onKey(QLatin1String(name)), b);
        QCOMPARE(b.size(), RecordFile::EmptySize);
        QCOMPARE(b.mid(19, 5), QByteArray(5, '\0'));
        QByteArray head = b.left(60);
        const quint8 crc = quint8(head[26]);
        head[26] = 0;
        head[27] = 0;
        QCOMPARE(td::crc8(head), crc);
        QVERIFY(MeasureEntry::crcMatches(b.constData() + 60));
        QCOMPARE(b.mid(0, 19), header().toBytes().left(19)); // the rest of the header kept
    }
    QCOMPARE(RecordMirror::load(QStringLiteral("L")).promisedEntries, 4);
    QCOMPARE(RecordFile::read(key.onKey(QStringLiteral("L"))).promisedEntries, 4);
    QCOMPARE(QFile(RecordMirror::path(QStringLiteral("S"))).size(), 20);
    QCOMPARE(m_memory->eraseAllSummary().records, 1);

    // One record is rewritten whatever its count; a damaged or missing one is left alone.
    for (const char *name : {"B", "S", "missing"}) {
        QVERIFY(m_memory->eraseRecordMeasures(QLatin1String(name)));
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.last().at(0).toStringList().size(), name[0] == 'B' ? 1 : 0);
    }
    QCOMPARE(key.onKey(QStringLiteral("S")).size(), 20);
}

QTEST_MAIN(TestMeasureMemory)
#include "tst_measurememory.moc"
