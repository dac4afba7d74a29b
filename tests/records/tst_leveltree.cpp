#include "records/LevelTreeModel.h"
#include "records/RecordName.h"

#include <QTest>

namespace {

// A tree item as the record list builds it: the header carries what the name says.
RecordItem item(const QString &name, quint16 status, const TemplateLists &t)
{
    RecordName::Parts p;
    if (!RecordName::parse(name, &p))
        qFatal("bad test name");
    RecordHeader h;
    h.fioIndex = quint8(p.fio);
    h.wheelIndex = quint8(p.wheel);
    h.uzelIndex = quint8(p.uzel);
    h.setOperationNumber(p.operation);
    h.status = status;
    return RecordItem::fromHeader(name, h, t);
}

QStringList texts(const QVector<LevelTreeModel::Button> &bs)
{
    QStringList out;
    for (const auto &b : bs)
        out << b.text;
    return out;
}

QVector<int> numbers(const QVector<LevelTreeModel::Button> &bs)
{
    QVector<int> out;
    for (const auto &b : bs)
        out << b.number;
    return out;
}

} // namespace

class TestLevelTree : public QObject
{
    Q_OBJECT
private slots:
    void walkingDownTheExampleRecords();
    void colourRule_data();
    void colourRule();
    void buttonsAreGroupedByColour();
    void sameRecordReplacesOthersAppend();
    void multiSelectCollectsRecords();
    void itemsFromHeadersUseTheLookup();
    void poolsBoundTheButtons();

private:
    TemplateLists m_t = TemplateLists::defaults(100, 0);
};

void TestLevelTree::walkingDownTheExampleRecords()
{
    LevelTreeModel m;
    m.add(item("0001ABC000000100", 0, m_t));
    m.add(item("0001ABC000000203", 0, m_t));
    m.add(item("0001ABC000000103", 0, m_t));

    auto l0 = m.buttons(0);
    QCOMPARE(numbers(l0), QVector<int>({0}));
    QCOMPARE(l0[0].text, QStringLiteral("object00"));
    QCOMPARE(l0[0].records, 3);
    QVERIFY(m.choose(l0[0]));

    auto l1 = m.buttons(1);
    QCOMPARE(numbers(l1), QVector<int>({1}));
    QCOMPARE(l1[0].text, QStringLiteral("unit01"));
    QVERIFY(m.choose(l1[0]));

    // The second name carries operation ABC0000002: two operation buttons.
    auto l2 = m.buttons(2);
    QCOMPARE(texts(l2), QStringList({"ABC0000001", "ABC0000002"}));
    QCOMPARE(numbers(l2), QVector<int>({0, 0}));
    QVERIFY(m.choose(l2[0]));
    QVERIFY(!m.selectedItem());

    auto l3 = m.buttons(3);
    QCOMPARE(numbers(l3), QVector<int>({0, 3}));
    QCOMPARE(texts(l3), QStringList({"node00", "node03"}));
    QVERIFY(m.choose(l3[1]));
    QVERIFY(m.selectedItem());
    QCOMPARE(m.selectedItem()->name, QStringLiteral("0001ABC000000103"));

    // A new choice higher up forgets the walk below it.
    QVERIFY(m.choose(l2[1]));
    QCOMPARE(m.selection().uzel, -1);
    QCOMPARE(numbers(m.buttons(3)), QVector<int>({3}));
    QVERIFY(m.choose(l0[0]));
    QVERIFY(!m.selection().operation.has_value());
    QCOMPARE(m.selection().wheel, -1);
    QVERIFY(!m.choose(4, 0, QString()));
}

void TestLevelTree::colourRule_data()
{
    QTest::addColumn<QVector<quint16>>("statuses");
    QTest::addColumn<int>("colour");
    const int green = int(LevelColour::Green), red = int(LevelColour::Red),
              yellow = int(LevelColour::Yellow), grey = int(LevelColour::Grey),
              blue = int(LevelColour::Blue);
    QTest::newRow("all 0x02, none 0x08") << QVector<quint16>{0x02, 0x02, 0x12} << green;
    QTest::newRow("0x02 with 0x04 still green") << QVector<quint16>{0x06} << green;
    QTest::newRow("all 0x02, one 0x08") << QVector<quint16>{0x02, 0x0A} << red;
    QTest::newRow("0x04 before 0 status") << QVector<quint16>{0x04, 0x00} << yellow;
    QTest::newRow("0x04 with some 0x02") << QVector<quint16>{0x06, 0x00} << yellow;
    QTest::newRow("all zero") << QVector<quint16>{0, 0, 0} << grey;
    QTest::newRow("zero and 0x02") << QVector<quint16>{0x00, 0x02} << grey;
    QTest::newRow("other bits only") << QVector<quint16>{0x01, 0x10} << blue;
    QTest::newRow("0x08 alone") << QVector<quint16>{0x08} << blue;
    QTest::newRow("mixed 0x02 and 0x01") << QVector<quint16>{0x02, 0x01} << blue;
}

void TestLevelTree::colourRule()
{
    QFETCH(QVector<quint16>, statuses);
    QFETCH(int, colour);
    QCOMPARE(int(LevelTreeModel::colourFor(statuses)), colour);
}

void TestLevelTree::buttonsAreGroupedByColour()
{
    LevelTreeModel m;
    // Uzel values met in the order 5 (green), 1 (blue), 2 (grey), 7 (red), 3 (yellow),
    // 4 (grey), 6 (green); the status of every record below a value decides its colour.
    m.add(item("0000OP0000000105", 0x02, m_t));
    m.add(item("0000OP0000000101", 0x01, m_t));
    m.add(item("0000OP0000000102", 0x00, m_t));
    m.add(item("0000OP0000000107", 0x0A, m_t));
    m.add(item("0000OP0000000103", 0x04, m_t));
    m.add(item("0000OP0000000104", 0x00, m_t));
    m.add(item("0000OP0000000106", 0x02, m_t));
    m.choose(0, 0, QString());
    m.choose(1, 0, QString());
    m.choose(2, 0, QStringLiteral("OP00000001"));
    const auto bs = m.buttons(3);
    QCOMPARE(numbers(bs), QVector<int>({2, 4, 3, 7, 5, 6, 1}));
    QCOMPARE(int(bs[0].colour), int(LevelColour::Grey));
    QCOMPARE(int(bs[2].colour), int(LevelColour::Yellow));
    QCOMPARE(int(bs[3].colour), int(LevelColour::Red));
    QCOMPARE(int(bs[4].colour), int(LevelColour::Green));
    QCOMPARE(int(bs[6].colour), int(LevelColour::Blue));

    // One level up the same records make a single button, coloured from all seven.
    const auto up = m.buttons(2);
    QCOMPARE(up.size(), 1);
    QCOMPARE(up[0].records, 7);
    QCOMPARE(int(up[0].colour), int(LevelColour::Yellow)); // one record has 0x04
}

void TestLevelTree::sameRecordReplacesOthersAppend()
{
    LevelTreeModel m;
    m.add(item("0001ABC000000100", 0, m_t));
    m.add(item("0001ABC000000100", 0x02, m_t)); // same: replaces
    QCOMPARE(m.items().size(), 1);
    QCOMPARE(int(m.items()[0].status), 0x02);
    RecordItem other = item("0001ABC000000100", 0, m_t);
    other.uzelIndex = 4; // same name, other template index: a different record
    m.add(other);
    QCOMPARE(m.items().size(), 2);
    m.clear();
    QVERIFY(m.items().isEmpty());
    QVERIFY(m.buttons(0).isEmpty());
}

void TestLevelTree::multiSelectCollectsRecords()
{
    LevelTreeModel m;
    m.add(item("0001AAAAAAAAAA00", 0, m_t));
    m.add(item("0102BBBBBBBBBB01", 0, m_t));
    m.add(item("0001CCCCCCCCCC02", 0, m_t));
    m.add(item("0203DDDDDDDDDD03", 0, m_t));
    const auto l0 = m.buttons(0);
    QCOMPARE(numbers(l0), QVector<int>({0, 1, 2}));
    QVector<LevelTreeModel::Button> checked{l0[0], l0[2]};
    const auto under = m.itemsUnder(0, checked);
    QCOMPARE(under.size(), 3);
    QCOMPARE(under[0].name, QStringLiteral("0001AAAAAAAAAA00"));
    QCOMPARE(under[1].name, QStringLiteral("0001CCCCCCCCCC02"));
    QCOMPARE(under[2].name, QStringLiteral("0203DDDDDDDDDD03"));

    // Below a choice, only that branch counts.
    m.choose(l0[0]);
    m.choose(1, 1, QString());
    const auto l2 = m.buttons(2);
    QCOMPARE(texts(l2), QStringList({"AAAAAAAAAA", "CCCCCCCCCC"}));
    QCOMPARE(m.itemsUnder(2, {l2[1]}).size(), 1);
    QVERIFY(m.itemsUnder(2, {}).isEmpty());
    QVERIFY(m.itemsUnder(1, {l2[1]}).isEmpty()); // a button of another level selects nothing
}

void TestLevelTree::itemsFromHeadersUseTheLookup()
{
    TemplateLists t = m_t;
    t.wheel[3].enabled = false;
    RecordHeader h;
    h.fioIndex = 12;
    h.wheelIndex = 3;
    h.uzelIndex = 99;
    h.setOperationNumber("0000000042");
    h.countCon = 5;
    h.countTotal = 8;
    const RecordItem r = RecordItem::fromHeader("0C03000000004263", h, t);
    QCOMPARE(r.texts[0], QStringLiteral("error FIO"));
    QCOMPARE(r.texts[1], QStringLiteral("unit03"));
    QCOMPARE(r.texts[2], QStringLiteral("0000000042"));
    QCOMPARE(r.texts[3], QStringLiteral("node99"));
    QVERIFY(!r.fioEnabled);
    QVERIFY(!r.wheelEnabled);
    QVERIFY(r.uzelEnabled);
    QCOMPARE(int(r.countCon), 5);
    QCOMPARE(int(r.countTotal), 8);
}

void TestLevelTree::poolsBoundTheButtons()
{
    // A key with more distinct values than a level has buttons (hostile indexes).
    LevelTreeModel m;
    for (int i = 0; i < 14; ++i)
        m.add(item(RecordName::make(i * 17, 0, "0000000001", 0), 0, m_t));
    QCOMPARE(m.buttons(0).size(), 10);
    QCOMPARE(LevelTreeModel::poolSize(2), 1000);
    QVERIFY(m.buttons(4).isEmpty());
}

QTEST_GUILESS_MAIN(TestLevelTree)
#include "tst_leveltree.moc"
