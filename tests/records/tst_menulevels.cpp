#include "records/MenuLevels.h"

#include <QSignalSpy>
#include <QTest>

class TestMenuLevels : public QObject
{
    Q_OBJECT
private slots:
    void defaultsBeforeTheKeyAnswers();
    void textsAreCutToFiftyCharacters();
    void cutNeverSplitsASurrogatePair();
    void badIndexChangesNothing();
    void orderOutsideRangeKeepsPrevious();
    void changedOnlyWhenSomethingDiffers();
};

void TestMenuLevels::defaultsBeforeTheKeyAnswers()
{
    MenuLevels m;
    for (int i = 0; i < MenuLevels::Count; ++i) {
        QVERIFY(m.isActive(i));
        QCOMPARE(m.level(i).order, i + 1);
    }
    QCOMPARE(m.firstActive(), 0);
    QVERIFY(!m.isActive(4));
    QVERIFY(!m.isActive(-1));
}

void TestMenuLevels::textsAreCutToFiftyCharacters()
{
    MenuLevels m;
    const QString sixty = QString(60, QLatin1Char('x'));
    const QString cyr = QString(55, QChar(0x0416)); // Cyrillic: one char, two UTF-8 bytes
    MenuLevel l;
    l.top = sixty;
    l.bottom = cyr;
    l.order = 3;
    l.active = false;
    QVERIFY(m.setLevel(2, l));
    QCOMPARE(m.level(2).top, sixty.left(50));
    QCOMPARE(m.level(2).bottom, cyr.left(50));
    QCOMPARE(m.caption(2), sixty.left(50) + QLatin1Char(' ') + cyr.left(50));
    QCOMPARE(m.level(2).order, 3);
    QVERIFY(!m.isActive(2));

    QVERIFY(m.setTop(1, sixty));
    QCOMPARE(m.level(1).top.size(), 50);
    QVERIFY(m.setBottom(1, QString(51, QLatin1Char('y'))));
    QCOMPARE(m.level(1).bottom.size(), 50);
    QVERIFY(m.setTop(0, QString(50, QLatin1Char('z'))));
    QCOMPARE(m.level(0).top.size(), 50);
}

void TestMenuLevels::cutNeverSplitsASurrogatePair()
{
    // 49 plain characters then an emoji (a surrogate pair) that straddles the limit.
    const QString text = QString(49, QLatin1Char('a')) + QString::fromUcs4(U"\U0001F527") + "b";
    const QString cut = MenuLevels::cutText(text);
    QCOMPARE(cut, QString(49, QLatin1Char('a')));
    QVERIFY(!cut.back().isHighSurrogate());
    QCOMPARE(MenuLevels::cutText(QStringLiteral("abc"), 0), QString());
    QCOMPARE(MenuLevels::cutText(QStringLiteral("abc")), QStringLiteral("abc"));
}

void TestMenuLevels::badIndexChangesNothing()
{
    MenuLevels m;
    QSignalSpy spy(&m, &MenuLevels::changed);
    MenuLevel l;
    l.top = "T";
    QVERIFY(!m.setLevel(4, l));
    QVERIFY(!m.setLevel(-1, l));
    QVERIFY(!m.setTop(7, "x"));
    QVERIFY(!m.setActive(4, false));
    QCOMPARE(spy.count(), 0);
    for (int i = 0; i < MenuLevels::Count; ++i)
        QCOMPARE(m.level(i).top, QString());
}

void TestMenuLevels::orderOutsideRangeKeepsPrevious()
{
    MenuLevels m;
    MenuLevel l;
    l.top = "Name";
    l.order = 9;
    QVERIFY(m.setLevel(1, l));
    QCOMPARE(m.level(1).order, 2);
    QCOMPARE(m.level(1).top, QStringLiteral("Name"));
    QVERIFY(!m.setOrder(1, 0));
    QCOMPARE(m.level(1).order, 2);
    QVERIFY(m.setOrder(1, 4));
    QCOMPARE(m.level(1).order, 4);
}

void TestMenuLevels::changedOnlyWhenSomethingDiffers()
{
    MenuLevels m;
    QSignalSpy spy(&m, &MenuLevels::changed);
    QVERIFY(m.setActive(3, true)); // already active
    QCOMPARE(spy.count(), 0);
    QVERIFY(m.setActive(3, false));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 3);
    QCOMPARE(m.firstActive(), 0);
    m.setActive(0, false);
    m.setActive(1, false);
    QCOMPARE(m.firstActive(), 2);
    m.setActive(2, false);
    QCOMPARE(m.firstActive(), -1);

    spy.clear();
    m.reset();
    QCOMPARE(spy.count(), 4);
    QCOMPARE(m.firstActive(), 0);
}

QTEST_GUILESS_MAIN(TestMenuLevels)
#include "tst_menulevels.moc"
