// The menu levels page: what the key reports shows in the rows, and Apply sends every level
// (texts cut to the key's 50 characters) before reading all four back.

#include "ProtocolRig.h"

#include "ui/widgets/cSwitcher.h"
#include "ui/levels/MenuLevelsPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestMenuLevelsPage : public QObject
{
    Q_OBJECT
private slots:
    void keyRepliesFillTheRows();
    void applySendsEveryLevelThenReadsBack();
    void everyControlHasItsOwnAccessibleName();
};

void TestMenuLevelsPage::keyRepliesFillTheRows()
{
    ProtocolRig rig;
    MenuLevelsPage page(&rig.levels, &rig.protocol);
    // Before the key answers: every level on, in its own place.
    QCOMPARE(page.orderCombo(2)->currentText(), QStringLiteral("3"));
    QVERIFY(page.activeSwitch(3)->checked());

    rig.receive(R"({"function_name":"FE_MenuLevel_Read","Index":1,"NameTop":"Изделие","NameBottom":"номер","Active":0,"Order":4})");
    QCOMPARE(page.topEdit(1)->text(), QStringLiteral("Изделие"));
    QCOMPARE(page.bottomEdit(1)->text(), QStringLiteral("номер"));
    QCOMPARE(page.orderCombo(1)->currentText(), QStringLiteral("4"));
    QVERIFY(!page.activeSwitch(1)->checked());
    QVERIFY(!page.activeSwitch(1)->button()->isChecked());

    // An index the key does not have changes nothing.
    rig.receive(R"({"function_name":"FE_MenuLevel_Read","Index":4,"NameTop":"x","NameBottom":"y","Active":1,"Order":1})");
    for (int i = 0; i < MenuLevelsPage::Levels; ++i)
        QVERIFY(page.topEdit(i)->text() != QStringLiteral("x"));
    QCOMPARE(page.topEdit(1)->text(), QStringLiteral("Изделие"));
}

void TestMenuLevelsPage::applySendsEveryLevelThenReadsBack()
{
    ProtocolRig rig;
    MenuLevelsPage page(&rig.levels, &rig.protocol);
    page.show();
    const QString sixty = QString(60, QLatin1Char('T'));
    page.topEdit(0)->setFocus();
    QTest::keyClicks(page.topEdit(0), sixty);
    QCOMPARE(page.topEdit(0)->text().size(), 50); // the field takes no more than the key keeps
    page.bottomEdit(0)->setText(QStringLiteral("Fitter \"A\""));
    page.topEdit(2)->setText(QStringLiteral("Operation"));
    page.orderCombo(2)->setCurrentIndex(0);
    QTest::mouseClick(page.activeSwitch(2)->button(), Qt::LeftButton);
    QVERIFY(!page.activeSwitch(2)->checked());

    QTest::mouseClick(page.applyButton(), Qt::LeftButton);

    const auto writes = rig.requests(QStringLiteral("FE_MenuLevel_Write"));
    QCOMPARE(writes.size(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(writes[i].value("Index").toInt(), i);
    QCOMPARE(writes[0].value("NameTop").toString(), QString(50, QLatin1Char('T')));
    QCOMPARE(writes[0].value("NameBottom").toString(), QStringLiteral("Fitter \"A\""));
    QCOMPARE(writes[0].value("Active").toInt(), 1);
    QCOMPARE(writes[0].value("Order").toInt(), 1);
    QCOMPARE(writes[2].value("NameTop").toString(), QStringLiteral("Operation"));
    QCOMPARE(writes[2].value("Active").toInt(), 0);
    QCOMPARE(writes[2].value("Order").toInt(), 1);
    QCOMPARE(writes[3].value("Order").toInt(), 4);

    // Then the four reads, after the last write.
    QStringList order;
    for (const SentCommand &c : rig.usb.sent)
        order << c.functionName() + QString::number(c.json().value("Index").toInt());
    QCOMPARE(order.mid(order.size() - 8),
             QStringList({"FE_MenuLevel_Write0", "FE_MenuLevel_Write1", "FE_MenuLevel_Write2", "FE_MenuLevel_Write3",
                          "FE_MenuLevel_Read0", "FE_MenuLevel_Read1", "FE_MenuLevel_Read2", "FE_MenuLevel_Read3"}));
    // The page shows the key's answer, not what was typed, until the key replies.
    QCOMPARE(rig.levels.level(2).active, true);
}

void TestMenuLevelsPage::everyControlHasItsOwnAccessibleName()
{
    ProtocolRig rig;
    MenuLevelsPage page(&rig.levels, &rig.protocol);
    QStringList names{page.applyButton()->accessibleName()};
    for (int i = 0; i < MenuLevelsPage::Levels; ++i)
        names << page.topEdit(i)->accessibleName() << page.bottomEdit(i)->accessibleName()
              << page.orderCombo(i)->accessibleName() << page.activeSwitch(i)->button()->accessibleName();
    QVERIFY(!names.contains(QString()));
    QCOMPARE(names.removeDuplicates(), 0); // screen readers tell the four levels apart
}

QTEST_MAIN(TestMenuLevelsPage)
#include "tst_menulevelspage.moc"
