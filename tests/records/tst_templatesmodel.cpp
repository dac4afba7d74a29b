// The shared template lists model, the editor-combo filler and the template file writer.
#include "base/Paths.h"
#include "records/RecordParameters.h"
#include "records/TemplateBinary.h"
#include "ui/templates/TemplateCombo.h"
#include "records/TemplateFiles.h"
#include "records/TemplateJson.h"
#include "records/TemplateListsModel.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray modesFile(const QVector<int> &offeredInMode2, const QVector<int> &rowOfAlg2)
{
    QByteArray b(561, '\0');
    for (int a : offeredInMode2)
        b[20 + a] = 1;
    for (int c : rowOfAlg2)
        b[51 + 8 * 2 + c] = 1;
    return b;
}

} // namespace

class TestTemplatesModel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void receivedEntriesGoWhereTheirIndexSays();
    void modesTableAndKeyMode();
    void keyFolderArrivalReloads();
    void comboListsDisabledEntriesButDoesNotOfferThem();
    void filesWrittenWholeOrReported();

private:
    QTemporaryDir *m_root = nullptr;
};

void TestTemplatesModel::init()
{
    delete m_root;
    m_root = new QTemporaryDir;
    Paths::setDataRoot(m_root->path());
}

void TestTemplatesModel::receivedEntriesGoWhereTheirIndexSays()
{
    TemplateLists src;
    src.fio[0].text1 = QStringLiteral("slot0");
    src.fio[1].text1 = QStringLiteral("slot1");
    src.fio[2].text1 = QStringLiteral("slot2");
    QByteArray fio = TemplateBinary::encode(TemplateKind::Fio, src);
    fio[0 * 95 + 94] = char(5);  // slot 0 names entry 5
    fio[1 * 95 + 94] = char(12); // out of range: skipped
    fio[2 * 95 + 94] = char(2);
    fio[5 * 95 + 94] = char(200); // out of range too, so slot 0's entry is the only one for 5

    TemplateListsModel model;
    TemplateLists before;
    before.fio[0].text1 = QStringLiteral("kept");
    before.fio[1].text1 = QStringLiteral("kept too");
    model.setLists(before);

    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("FioTypes"), fio));
    QSignalSpy entries(&model, SIGNAL(entriesChanged(int, QVector<int>)));
    QVERIFY(model.loadFile(dir.path(), QStringLiteral("FioTypes")));
    QCOMPARE(model.fioText(5, 0), QStringLiteral("slot0"));
    QCOMPARE(model.fioText(2, 0), QStringLiteral("slot2"));
    QCOMPARE(model.fioText(0, 0), QStringLiteral("kept"));
    QCOMPARE(model.fioText(1, 0), QStringLiteral("kept too"));
    QCOMPARE(entries.count(), 1);
    QCOMPARE(entries.at(0).at(0).toInt(), int(TemplateKind::Fio));
    const QVector<int> changed = entries.at(0).at(1).value<QVector<int>>();
    QVERIFY(changed.contains(5) && changed.contains(2) && !changed.contains(12) && !changed.contains(0)
            && !changed.contains(1));

    // A short node file applies its whole entries and leaves the rest.
    TemplateLists uz;
    uz.uzel[0].text1 = QStringLiteral("n0");
    uz.uzel[1].text1 = QStringLiteral("n1");
    uz.uzel[2].text1 = QStringLiteral("n2");
    uz.uzel[3].text1 = QStringLiteral("n3");
    const QByteArray uzel = TemplateBinary::encode(TemplateKind::Uzel, uz).left(3 * 160 + 100);
    QVERIFY(writeFile(dir.filePath("UzelTypes"), uzel));
    QVERIFY(model.loadFile(dir.path(), QStringLiteral("UzelTypes")));
    QCOMPARE(model.uzelText(2, 0), QStringLiteral("n2"));
    QCOMPARE(model.uzelText(3, 0), QString());

    // Unknown and missing files are refused without touching the lists.
    QVERIFY(!model.loadFile(dir.path(), QStringLiteral("dbsett")));
    QVERIFY(!model.loadFile(dir.path(), QStringLiteral("WheelTypes")));
}

void TestTemplatesModel::modesTableAndKeyMode()
{
    TemplateListsModel model;
    // Nothing known yet: every algorithm offered, every field shown.
    QCOMPARE(model.availableAlgorithms().size(), 10);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("ModesVisibility"), modesFile({0, 2, 9}, {0, 1, 2, 3})));
    QSignalSpy modes(&model, SIGNAL(modesChanged()));
    QVERIFY(model.loadFile(dir.path(), QStringLiteral("ModesVisibility")));
    model.setKeyMode(2);
    QCOMPARE(modes.count(), 2);
    QCOMPARE(model.availableAlgorithms(), (QVector<int>{0, 2, 9}));
    QVERIFY(model.isVisible(2, RecordParameter::AngleHigh));
    QVERIFY(!model.isVisible(2, RecordParameter::StartMom));
    model.setKeyMode(2);
    QCOMPARE(modes.count(), 2); // same mode: no news

    // A truncated table is not taken.
    QVERIFY(writeFile(dir.filePath("ModesVisibility"), QByteArray(100, '\1')));
    QVERIFY(!model.loadFile(dir.path(), QStringLiteral("ModesVisibility")));
    QCOMPARE(model.availableAlgorithms(), (QVector<int>{0, 2, 9}));
}

void TestTemplatesModel::keyFolderArrivalReloads()
{
    TemplateListsModel model;
    const QString mirror = Paths::downloadDir(QStringLiteral("templates"));
    TemplateLists t = TemplateLists::defaults(100, 24);
    t.wheel[7].text = QStringLiteral("Wheel seven");
    QVERIFY(writeFile(mirror + "/WheelTypes", TemplateBinary::encode(TemplateKind::Wheel, t)));
    QVERIFY(writeFile(mirror + "/UzelTypes", TemplateBinary::encode(TemplateKind::Uzel, t)));

    QSignalSpy received(&model, SIGNAL(receivedFromKey()));
    model.slot_files_got_dir(QStringLiteral("/dbsett"));
    QCOMPARE(received.count(), 0);
    QCOMPARE(model.wheelText(7), QString());
    model.slot_files_got_dir(QStringLiteral("/templates"));
    QCOMPARE(received.count(), 1);
    QCOMPARE(model.wheelText(7), QStringLiteral("Wheel seven"));
    QCOMPARE(model.lists().uzel[42].lowMoment, 70.0f);

    // A single file the key handed over; hostile names and other folders change nothing.
    t.wheel[7].text = QStringLiteral("renamed");
    QVERIFY(writeFile(mirror + "/WheelTypes", TemplateBinary::encode(TemplateKind::Wheel, t)));
    model.slot_files_got_file({QStringLiteral("dbsett"), QStringLiteral("WheelTypes")});
    model.slot_files_got_file({QStringLiteral("templates"), QStringLiteral("../templates/WheelTypes")});
    model.slot_files_got_file({QStringLiteral("templates")});
    QCOMPARE(model.wheelText(7), QStringLiteral("Wheel seven"));
    model.slot_files_got_file({QStringLiteral("templates"), QStringLiteral("WheelTypes")});
    QCOMPARE(model.wheelText(7), QStringLiteral("renamed"));
}

void TestTemplatesModel::comboListsDisabledEntriesButDoesNotOfferThem()
{
    TemplateListsModel model;
    TemplateLists t = TemplateLists::defaults(100, 0);
    t.fio[3].enabled = false;
    model.setLists(t);

    QComboBox combo;
    TemplateCombo::fill(&combo, TemplateKind::Fio, model.lists());
    QCOMPARE(combo.count(), 10);
    QCOMPARE(combo.itemText(3), QStringLiteral("object03 no03 name03"));
    QVERIFY(!TemplateCombo::isSelectable(&combo, 3));
    QVERIFY(TemplateCombo::isSelectable(&combo, 4));

    // The user cannot reach it from the keyboard either: stepping down skips it.
    combo.setCurrentIndex(2);
    QTest::keyClick(&combo, Qt::Key_Down);
    QCOMPARE(combo.currentIndex(), 4);

    // A record that uses it can still be shown; a later enable makes it choosable again.
    combo.setCurrentIndex(3);
    QCOMPARE(combo.currentIndex(), 3);
    t.fio[3].enabled = true;
    t.fio[3].text1 = QStringLiteral("Ivanov");
    model.setEntries(TemplateKind::Fio, t, {3});
    TemplateCombo::updateItem(&combo, TemplateKind::Fio, 3, model.lists());
    QVERIFY(TemplateCombo::isSelectable(&combo, 3));
    QCOMPARE(combo.itemText(3), QStringLiteral("Ivanov no03 name03"));

    QComboBox uzel;
    TemplateCombo::updateItem(&uzel, TemplateKind::Uzel, 99, model.lists()); // fills first
    QCOMPARE(uzel.count(), 100);
    QCOMPARE(uzel.itemText(99), QStringLiteral("node99 no99 name99"));
}

void TestTemplatesModel::filesWrittenWholeOrReported()
{
    QTemporaryDir dir;
    TemplateLists t = TemplateLists::defaults(100, 0);
    // 25 two-byte letters: 50 bytes for a 40-byte field.
    t.uzel[4].text1 = QString(25, QChar(0x0416));
    const QString out = dir.filePath("export");
    TemplateFiles::WriteResult r = TemplateFiles::writeList(out, TemplateKind::Uzel, &t);
    QVERIFY(r.binaryWritten);
    QVERIFY(r.jsonWritten); // the JSON folder is made when missing
    QCOMPARE(r.cuts.size(), 1);
    QCOMPARE(r.cuts.at(0).entry, 4);
    QCOMPARE(r.cuts.at(0).field, QStringLiteral("Text1"));
    QCOMPARE(t.uzel[4].text1, QString(20, QChar(0x0416))); // cut in place, on a character boundary
    const QByteArray bin = readFile(out + "/UzelTypes");
    QCOMPARE(bin.size(), 16000);
    QCOMPARE(bin.mid(4 * 160 + 82, 41), QString(20, QChar(0x0416)).toUtf8() + QByteArray(1, '\0'));
    TemplateLists back;
    QVERIFY(TemplateJson::read(TemplateKind::Uzel, readFile(out + "/JSON/UzelTypes.json"), &back).ok);
    QCOMPARE(back.uzel[4].text1, t.uzel[4].text1);

    // A folder that cannot exist (a file is in its way): both failures named, nothing half-written.
    QVERIFY(writeFile(dir.filePath("blocked"), "x"));
    r = TemplateFiles::writeList(dir.filePath("blocked"), TemplateKind::Fio, &t);
    QVERIFY(!r.binaryWritten);
    QVERIFY(!r.jsonWritten);
    QCOMPARE(r.errors.size(), 2);
    QVERIFY(r.errors.at(0).contains("FioTypes"));
    QCOMPARE(readFile(dir.filePath("blocked")), QByteArray("x"));

    // An existing file is replaced only by a complete one: the old bytes survive a failed write.
    const QString keep = dir.filePath("keep");
    QVERIFY(writeFile(keep + "/WheelTypes", "old"));
    QVERIFY(QDir(keep).mkpath("JSON/WheelTypes.json/sub")); // the JSON name is taken by a folder
    r = TemplateFiles::writeList(keep, TemplateKind::Wheel, &t);
    QVERIFY(r.binaryWritten);
    QVERIFY(!r.jsonWritten);
    QCOMPARE(r.errors.size(), 1);
    QVERIFY(r.errors.at(0).contains("WheelTypes.json"));
    QCOMPARE(readFile(keep + "/WheelTypes").size(), 5150);
}

QTEST_MAIN(TestTemplatesModel)
#include "tst_templatesmodel.moc"
