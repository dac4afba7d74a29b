// The templates page through its real widgets: switches, text edits, the algorithm combo,
// the keypad, the buttons, with a file exchange that records what would go to the key.
#include "ProtocolRig.h"

#include "base/Paths.h"
#include "ui/popups/PopupA.h"
#include "ui/popups/PopupHost.h"
#include "ui/widgets/cParameter.h"
#include "ui/widgets/cSwitcher.h"
#include "records/TemplateBinary.h"
#include "ui/templates/TemplateCombo.h"
#include "records/TemplateJson.h"
#include "records/TemplateListsModel.h"
#include "ui/templates/TemplateTextRow.h"
#include "ui/templates/TemplatesPage.h"
#include "ui/templates/UzelTemplateRow.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray fioJson(int elements, const QString &prefix)
{
    QJsonArray a;
    for (int i = 0; i < elements; ++i)
        a.append(QJsonObject{{"Text1", QStringLiteral("%1%2").arg(prefix).arg(i)},
                             {"Text2", "b"},
                             {"Text3", "c"},
                             {"IsEnable", i == 1 ? 0 : 1}});
    return QJsonDocument(QJsonObject{{"Company", "x"}, {"FioTypeElement", a}}).toJson();
}

// Types text the way a keyboard does, also letters QTest's key table does not know.
void typeText(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
}

// Key paths of the file writes that reached the transport or wait in the pending list.
QStringList writesToKey(const ProtocolRig &rig)
{
    QStringList paths;
    for (const TransferEntry &e : rig.files.pendingList()) {
        if (e.command == FileCmdHeader::FA_WRITE)
            paths << e.keyPath;
    }
    return paths;
}

} // namespace

class TestTemplatesPage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void switchesAndTextsReachTheKeyFile();
    void algorithmComboShowsTheFieldsOfItsRow();
    void keypadEntryKeepsTheMomentRangeOrdered();
    void fromJsonWithTwelveAndThreeElements();
    void fromJsonFailuresLeaveRowsAlone();
    void defaultsForNominalMoment100();
    void unwritableMirrorIsReportedAndNothingSent();
    void overlongTextIsCutAndNamed();
    void untouchedListGoesBackByteIdentical();
    void pcFolderExportAndSend();
    void rowsBuiltWhenIdleShowTheModel();

private:
    void clickTab(int index);
    QPushButton *serviceButton(const char *name) const;

    QTemporaryDir *m_root = nullptr;
    ProtocolRig *m_rig = nullptr;
    TemplateListsModel *m_model = nullptr;
    QWidget *m_window = nullptr;
    QTabWidget *m_tabs = nullptr;
    QPushButton *m_fromJson = nullptr;
    QPushButton *m_save = nullptr;
    QLabel *m_note = nullptr;
    QWidget *m_service = nullptr;
    PopupHost *m_popups = nullptr;
    TemplatesPage *m_page = nullptr;
    QSignalSpy *m_messages = nullptr;
    QString m_chosen;
};

void TestTemplatesPage::init()
{
    m_root = new QTemporaryDir;
    Paths::setDataRoot(m_root->path());
    m_rig = new ProtocolRig;
    m_model = new TemplateListsModel;
    m_window = new QWidget;
    m_window->resize(1000, 700);
    auto *layout = new QVBoxLayout(m_window);
    m_tabs = new QTabWidget(m_window);
    m_fromJson = new QPushButton(QStringLiteral("From JSON"), m_window);
    m_save = new QPushButton(QStringLiteral("Save"), m_window);
    m_note = new QLabel(m_window);
    m_service = new QWidget(m_window);
    new QVBoxLayout(m_service);
    for (QWidget *w : {static_cast<QWidget *>(m_tabs), static_cast<QWidget *>(m_fromJson),
                       static_cast<QWidget *>(m_save), static_cast<QWidget *>(m_note), m_service})
        layout->addWidget(w);
    TemplatesPage::Widgets w;
    w.tabs = m_tabs;
    w.fromJson = m_fromJson;
    w.save = m_save;
    w.note = m_note;
    w.service = m_service;
    m_page = new TemplatesPage(w, m_model, &m_rig->files, &m_rig->model);
    m_popups = new PopupHost(m_window, 20, 1);
    m_page->setPopups(m_popups);
    m_chosen.clear();
    m_page->setFolderChooser([this](const QString &, const QString &) { return m_chosen; });
    m_messages = new QSignalSpy(m_page, SIGNAL(messageRequested(QString, QString)));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestTemplatesPage::cleanup()
{
    delete m_messages;
    delete m_page;
    delete m_popups;
    delete m_window;
    delete m_model;
    delete m_rig;
    delete m_root;
}

void TestTemplatesPage::clickTab(int index)
{
    QTabBar *bar = m_tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    QCOMPARE(m_tabs->currentIndex(), index);
}

QPushButton *TestTemplatesPage::serviceButton(const char *name) const
{
    return m_service->findChild<QPushButton *>(QLatin1String(name));
}

void TestTemplatesPage::switchesAndTextsReachTheKeyFile()
{
    TemplateTextRow *row0 = m_page->fioRow(0);
    TemplateTextRow *row2 = m_page->fioRow(2);
    QVERIFY(row2->isOn());
    QTest::mouseClick(row2->switcher()->button(), Qt::LeftButton);
    QVERIFY(!row2->isOn());
    row0->edit(0)->setFocus();
    QTest::keyClicks(row0->edit(0), QStringLiteral("Operator A"));
    QTest::keyClicks(row0->edit(2), QStringLiteral("Shift 2"));
    QVERIFY(m_page->hasUnsavedChanges(TemplateKind::Fio));
    QVERIFY(!m_note->text().isEmpty());
    QVERIFY(m_rig->usb.sent.isEmpty());

    QTest::mouseClick(m_save, Qt::LeftButton);
    const QByteArray file = readFile(Paths::downloadDir("templates") + "/FioTypes");
    QCOMPARE(file.size(), 950);
    TemplateLists back;
    TemplateBinary::apply(TemplateKind::Fio, file, &back);
    QCOMPARE(back.fio[0].text1, QStringLiteral("Operator A"));
    QCOMPARE(back.fio[0].text3, QStringLiteral("Shift 2"));
    QVERIFY(!back.fio[2].enabled);
    QVERIFY(back.fio[3].enabled);
    QCOMPARE(int(quint8(file[2 * 95 + 94])), 2);

    // The first part of the file went to the key's folder "templates".
    QCOMPARE(writesToKey(*m_rig), QStringList{"/templates/FioTypes"});
    QCOMPARE(m_rig->usb.sent.size(), 1);
    QByteArray data;
    const FileCmdHeader h = m_rig->usb.sent.at(0).fileHeader(&data);
    QCOMPARE(int(h.command), int(FileCmdHeader::FA_WRITE));
    QCOMPARE(data, file.left(512));

    // The JSON copy went beside it; the editor combos follow the saved list.
    TemplateLists json;
    QVERIFY(TemplateJson::read(TemplateKind::Fio, readFile(Paths::downloadDir("templates") + "/JSON/FioTypes.json"),
                               &json)
                .ok);
    QCOMPARE(json.fio[0].text1, QStringLiteral("Operator A"));
    QCOMPARE(m_model->fioText(0, 0), QStringLiteral("Operator A"));
    QVERIFY(!m_model->isEnabled(TemplateKind::Fio, 2));
    QVERIFY(!m_page->hasUnsavedChanges(TemplateKind::Fio));
    QVERIFY(m_note->text().isEmpty());
    QCOMPARE(m_messages->count(), 0);
}

void TestTemplatesPage::algorithmComboShowsTheFieldsOfItsRow()
{
    // Mode 2 offers 0, 2 and 9; algorithm 0 uses the moments only, 2 the angles too.
    QByteArray modes(561, '\0');
    for (int a : {0, 2, 9})
        modes[20 + a] = 1;
    for (int c : {0, 1})
        modes[51 + c] = 1;
    for (int c : {0, 1, 2, 3, 4})
        modes[51 + 16 + c] = 1;
    for (int c : {0, 1, 2, 3, 4, 6})
        modes[51 + 72 + c] = 1;
    QVERIFY(writeFile(m_root->filePath("m/ModesVisibility"), modes));
    QVERIFY(m_model->loadFile(m_root->filePath("m"), "ModesVisibility"));
    m_model->setKeyMode(2);

    clickTab(2);
    UzelTemplateRow *row = m_page->uzelRow(5);
    QComboBox *combo = row->algorithmCombo();
    QCOMPARE(combo->count(), 3);
    QCOMPARE(row->algorithm(), 0);
    QVERIFY(row->isFieldShown(UzelTemplateRow::LowMoment));
    QVERIFY(!row->isFieldShown(UzelTemplateRow::LowAngle));
    QVERIFY(!row->isFieldShown(UzelTemplateRow::StartMoment));
    QVERIFY(row->isFieldShown(UzelTemplateRow::HeadMm));
    QVERIFY(row->isFieldShown(UzelTemplateRow::CountBolts));

    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(row->algorithm(), 2);
    QCOMPARE(combo->toolTip(), combo->currentText());
    QVERIFY(row->isFieldShown(UzelTemplateRow::LowAngle));
    QVERIFY(row->isFieldShown(UzelTemplateRow::StartMoment));
    QVERIFY(!row->isFieldShown(UzelTemplateRow::Angle));
    QVERIFY(!m_page->uzelRow(4)->isFieldShown(UzelTemplateRow::LowAngle)); // only its own row
    QVERIFY(m_page->hasUnsavedChanges(TemplateKind::Uzel));

    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(row->algorithm(), 9);
    QVERIFY(row->isFieldShown(UzelTemplateRow::Angle));
    QVERIFY(!row->isFieldShown(UzelTemplateRow::PitchStep));
    QCOMPARE(m_page->collect(TemplateKind::Uzel).uzel[5].algorithm, quint8(9));
}

void TestTemplatesPage::keypadEntryKeepsTheMomentRangeOrdered()
{
    TemplateLists t = TemplateLists::defaults(100, 30);
    t.uzel[0].lowMoment = 100;
    t.uzel[0].highMoment = 120;
    m_model->setLists(t);
    clickTab(2);
    UzelTemplateRow *row = m_page->uzelRow(0);
    PopupA *pad = m_popups->keypad();

    auto enter = [&](UzelTemplateRow::Field f, const QString &digits) {
        QTest::mouseClick(row->field(f)->button(), Qt::LeftButton);
        QVERIFY(pad->isVisible());
        QTest::mouseClick(pad->findChild<QPushButton *>("pbDel"), Qt::LeftButton);
        for (QChar c : digits)
            QTest::mouseClick(pad->findChild<QPushButton *>(QStringLiteral("pb") + c), Qt::LeftButton);
        QTest::mouseClick(pad->findChild<QPushButton *>("pbOK"), Qt::LeftButton);
        QVERIFY(!pad->isVisible());
    };

    enter(UzelTemplateRow::LowMoment, "150");
    QCOMPARE(row->field(UzelTemplateRow::LowMoment)->text(), QStringLiteral("120.0"));
    QCOMPARE(row->entry().lowMoment, 120.0f);
    enter(UzelTemplateRow::HighMoment, "100");
    QCOMPARE(row->entry().highMoment, 120.0f);
    enter(UzelTemplateRow::HighMoment, "180");
    QCOMPARE(row->entry().highMoment, 180.0f);
    enter(UzelTemplateRow::CountBolts, "12");
    QCOMPARE(row->entry().countBolts, quint8(12));
    QVERIFY(m_page->hasUnsavedChanges(TemplateKind::Uzel));

    QTest::mouseClick(m_save, Qt::LeftButton);
    TemplateLists back;
    TemplateBinary::apply(TemplateKind::Uzel, readFile(Paths::downloadDir("templates") + "/UzelTypes"), &back);
    QCOMPARE(back.uzel[0].lowMoment, 120.0f);
    QCOMPARE(back.uzel[0].highMoment, 180.0f);
    QCOMPARE(back.uzel[0].countBolts, quint8(12));
    QCOMPARE(back.uzel[1].lowMoment, 70.0f);
}

void TestTemplatesPage::fromJsonWithTwelveAndThreeElements()
{
    QVERIFY(writeFile(m_root->filePath("j12/FioTypes.json"), fioJson(12, "twelve")));
    QVERIFY(writeFile(m_root->filePath("j3/FioTypes.json"), fioJson(3, "three")));
    QComboBox editorCombo;
    connect(m_model, &TemplateListsModel::entriesChanged, &editorCombo, [&](int kind, const QVector<int> &idx) {
        for (int i : idx)
            TemplateCombo::updateItem(&editorCombo, TemplateKind(kind), i, m_model->lists());
    });

    m_chosen = m_root->filePath("j12");
    QTest::mouseClick(m_fromJson, Qt::LeftButton);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(m_page->fioRow(i)->text(0), QStringLiteral("twelve%1").arg(i));
    QVERIFY(!m_page->fioRow(1)->isOn());
    QVERIFY(!TemplateCombo::isSelectable(&editorCombo, 1));
    QCOMPARE(editorCombo.itemText(9), QStringLiteral("twelve9 b c"));

    // A hand edit in a row the short file does not reach stays.
    m_page->fioRow(5)->edit(0)->end(false);
    QTest::keyClicks(m_page->fioRow(5)->edit(0), QStringLiteral("X"));
    m_chosen = m_root->filePath("j3");
    QTest::mouseClick(m_fromJson, Qt::LeftButton);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(m_page->fioRow(i)->text(0), QStringLiteral("three%1").arg(i));
    QCOMPARE(m_page->fioRow(3)->text(0), QStringLiteral("twelve3"));
    QCOMPARE(m_page->fioRow(5)->text(0), QStringLiteral("twelve5X"));
    QCOMPARE(m_page->fioRow(9)->text(0), QStringLiteral("twelve9"));
    QCOMPARE(editorCombo.itemText(2), QStringLiteral("three2 b c"));

    // An element that is no object leaves its row and reaches every row after it.
    QJsonArray gap{QJsonObject{{"Text1", "gap0"}}, QJsonValue(), QJsonObject{{"Text1", "gap2"}}};
    QVERIFY(writeFile(m_root->filePath("jgap/FioTypes.json"),
                      QJsonDocument(QJsonObject{{"FioTypeElement", gap}}).toJson()));
    m_chosen = m_root->filePath("jgap");
    QTest::mouseClick(m_fromJson, Qt::LeftButton);
    QCOMPARE(m_page->fioRow(0)->text(0), QStringLiteral("gap0"));
    QCOMPARE(m_page->fioRow(1)->text(0), QStringLiteral("three1"));
    QCOMPARE(m_page->fioRow(2)->text(0), QStringLiteral("gap2"));
    QCOMPARE(m_model->lists().fio[2].text1, QStringLiteral("gap2"));
    QCOMPARE(editorCombo.itemText(2), QStringLiteral("gap2 b c"));

    // Nothing goes to the key before Save.
    QVERIFY(m_rig->usb.sent.isEmpty());
    QVERIFY(m_page->hasUnsavedChanges(TemplateKind::Fio));
    QCOMPARE(m_messages->count(), 0);
}

void TestTemplatesPage::fromJsonFailuresLeaveRowsAlone()
{
    m_model->setLists(TemplateLists::defaults(100, 0));
    clickTab(1);
    m_chosen.clear(); // cancelled dialog
    QTest::mouseClick(m_fromJson, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 0);

    m_chosen = m_root->filePath("none");
    QTest::mouseClick(m_fromJson, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->at(0).at(0).toString(), QStringLiteral("Warning! Template in JSON format not found!"));
    QCOMPARE(m_messages->at(0).at(1).toString(), QStringLiteral("red"));

    // The file of another list does not count, and a damaged one changes nothing.
    QVERIFY(writeFile(m_root->filePath("bad/FioTypes.json"), fioJson(3, "w")));
    QVERIFY(writeFile(m_root->filePath("bad/WheelTypes.json"), "{\"WheelTypeElement\": [ {\"Text\": "));
    m_chosen = m_root->filePath("bad");
    QTest::mouseClick(m_fromJson, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 2);
    QCOMPARE(m_messages->at(1).at(1).toString(), QStringLiteral("red"));
    QCOMPARE(m_page->wheelRow(0)->text(0), QStringLiteral("unit00"));
    QVERIFY(writeFile(m_root->filePath("bad/WheelTypes.json"), "{\"FioTypeElement\": []}"));
    QTest::mouseClick(m_fromJson, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 3);
    QCOMPARE(m_page->wheelRow(0)->text(0), QStringLiteral("unit00"));
    QVERIFY(!m_page->hasUnsavedChanges(TemplateKind::Wheel));
}

void TestTemplatesPage::defaultsForNominalMoment100()
{
    CalibrationValues cal;
    cal.nm = 100;
    cal.headstandartmm = 19;
    m_rig->model.setCalibration(cal, "{}");
    m_page->setBasicHeadProvider([] { return 27.0; });
    m_page->setPopups(nullptr); // no question asked
    QTest::mouseClick(serviceButton("pbTemplatesDefaults"), Qt::LeftButton);

    const QString mirror = Paths::downloadDir("templates");
    const QByteArray uzel = readFile(mirror + "/UzelTypes");
    QCOMPARE(uzel.size(), 16000);
    TemplateLists back;
    const TemplateBinary::ApplyResult r = TemplateBinary::apply(TemplateKind::Uzel, uzel, &back);
    QCOMPARE(r.applied.size(), 100);
    for (int i = 0; i < 100; ++i) {
        QCOMPARE(int(quint8(uzel[160 * i + 125])), i);
        const UzelTemplate &e = back.uzel[size_t(i)];
        QCOMPARE(e.text1, QStringLiteral("node%1").arg(i, 2, 10, QLatin1Char('0')));
        QCOMPARE(e.lowMoment, 70.0f);
        QCOMPARE(e.highMoment, 80.0f);
        QCOMPARE(e.startMoment, 10.0f);
        QCOMPARE(e.countBolts, quint8(8));
        QCOMPARE(e.headMm, 27.0f);
        QCOMPARE(e.pitchStep, 0.5f);
    }
    QCOMPARE(readFile(mirror + "/FioTypes").size(), 950);
    QCOMPARE(readFile(mirror + "/WheelTypes").size(), 5150);

    // The page shows them and all three lists are on their way to the key.
    QCOMPARE(m_page->uzelRow(99)->field(UzelTemplateRow::LowMoment)->text(), QStringLiteral("70.0"));
    QCOMPARE(m_page->wheelRow(49)->text(0), QStringLiteral("unit49"));
    QCOMPARE(writesToKey(*m_rig),
             (QStringList{"/templates/FioTypes", "/templates/WheelTypes", "/templates/UzelTypes"}));
    QVERIFY(m_rig->files.writeDirs().contains("templates"));
    QCOMPARE(m_messages->count(), 0);
}

void TestTemplatesPage::unwritableMirrorIsReportedAndNothingSent()
{
    // A file where the mirror folder should be: nothing can be written below it.
    QVERIFY(QDir().mkpath(Paths::downloadRoot()));
    QVERIFY(writeFile(Paths::downloadDir("templates"), "in the way"));
    QTest::keyClicks(m_page->fioRow(0)->edit(0), QStringLiteral("lost?"));
    QTest::mouseClick(m_save, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->at(0).at(1).toString(), QStringLiteral("red"));
    QVERIFY(m_messages->at(0).at(0).toString().contains("not sent"));
    QVERIFY(m_messages->at(0).at(0).toString().contains("FioTypes"));
    QVERIFY(m_rig->usb.sent.isEmpty());
    QVERIFY(writesToKey(*m_rig).isEmpty());
    // The edit is not lost and still waits to be saved.
    QCOMPARE(m_page->fioRow(0)->text(0), QStringLiteral("lost?"));
    QVERIFY(m_page->hasUnsavedChanges(TemplateKind::Fio));

    m_page->setPopups(nullptr);
    QVERIFY(!m_page->fillWithDefaults());
    QCOMPARE(m_messages->count(), 2);
    QVERIFY(m_rig->usb.sent.isEmpty());
}

void TestTemplatesPage::overlongTextIsCutAndNamed()
{
    clickTab(2);
    QLineEdit *edit = m_page->uzelRow(4)->texts()->edit(0);
    const QString typed(25, QChar(0x0416)); // 50 bytes of UTF-8 for a field that keeps 40
    typeText(edit, typed);
    QVERIFY(m_page->uzelRow(4)->texts()->isOverlong(0));
    QVERIFY(!edit->toolTip().isEmpty());

    QTest::mouseClick(m_save, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 1);
    const QString message = m_messages->at(0).at(0).toString();
    QVERIFY2(message.contains("Uzel template 5, field Text1"), qPrintable(message));
    QCOMPARE(edit->text(), QString(20, QChar(0x0416)));
    QVERIFY(!m_page->uzelRow(4)->texts()->isOverlong(0));
    const QByteArray file = readFile(Paths::downloadDir("templates") + "/UzelTypes");
    QCOMPARE(file.mid(4 * 160 + 82, 41), QString(20, QChar(0x0416)).toUtf8() + QByteArray(1, '\0'));
    QCOMPARE(writesToKey(*m_rig), QStringList{"/templates/UzelTypes"});
}

void TestTemplatesPage::untouchedListGoesBackByteIdentical()
{
    // A key in "Basic" mode offers algorithms 0 and 1 only, yet its node list uses 4 and
    // values the fields cannot show exactly.
    QByteArray modes(561, '\0');
    modes[0] = modes[1] = 1;
    for (int i = 51; i < 131; ++i)
        modes[i] = 1;
    TemplateLists key = TemplateLists::defaults(333.3f, 24.5f);
    key.uzel[3].algorithm = 4;
    key.uzel[3].lowMoment = 12.345f;
    key.uzel[3].pitchStep = 1.255f;
    key.uzel[7].highMoment = 2500; // beyond what the keypad takes
    key.uzel[8].enabled = false;
    const QByteArray original = TemplateBinary::encode(TemplateKind::Uzel, key);
    const QString mirror = Paths::downloadDir("templates");
    QVERIFY(writeFile(mirror + "/ModesVisibility", modes));
    QVERIFY(writeFile(mirror + "/UzelTypes", original));
    m_model->slot_files_got_dir("/templates");

    clickTab(2);
    UzelTemplateRow *row = m_page->uzelRow(3);
    QCOMPARE(row->algorithm(), 4);
    QVERIFY(!row->selectAlgorithm(4)); // listed, but not offered for a new choice
    QVERIFY(row->selectAlgorithm(1));
    QVERIFY(row->selectAlgorithm(4) == false);
    m_model->slot_files_got_dir("/templates"); // the key's list again, shown a few rows per turn
    QTRY_COMPARE(row->algorithm(), 4);
    QCOMPARE(m_page->uzelRow(7)->field(UzelTemplateRow::HighMoment)->text(), QStringLiteral("2500.0"));

    QTest::mouseClick(m_save, Qt::LeftButton);
    QCOMPARE(readFile(mirror + "/UzelTypes"), original);
    QCOMPARE(m_messages->count(), 0);
}

void TestTemplatesPage::pcFolderExportAndSend()
{
    m_model->setLists(TemplateLists::defaults(50, 10));
    QTRY_COMPARE(m_page->wheelRow(3)->text(0), QStringLiteral("unit03"));
    m_page->wheelRow(3)->edit(0)->end(false);
    QTest::keyClicks(m_page->wheelRow(3)->edit(0), QStringLiteral("-edited"));
    const QString out = m_root->filePath("export");
    QVERIFY(QDir().mkpath(out));
    m_chosen = out;
    QTest::mouseClick(serviceButton("pbTemplatesToFolder"), Qt::LeftButton);
    QCOMPARE(readFile(out + "/FioTypes").size(), 950);
    QCOMPARE(readFile(out + "/UzelTypes").size(), 16000);
    TemplateLists json;
    QVERIFY(TemplateJson::read(TemplateKind::Wheel, readFile(out + "/JSON/WheelTypes.json"), &json).ok);
    QCOMPARE(json.wheel[3].text, QStringLiteral("unit03-edited"));
    QVERIFY(m_rig->usb.sent.isEmpty()); // an export sends nothing

    // Sending a folder: the good file goes, a short and a missing one are named and stay.
    QVERIFY(writeFile(out + "/WheelTypes", QByteArray(5000, '\0')));
    QVERIFY(QFile::remove(out + "/UzelTypes"));
    QTest::mouseClick(serviceButton("pbTemplatesFromFolder"), Qt::LeftButton);
    QCOMPARE(writesToKey(*m_rig), QStringList{"/templates/FioTypes"});
    QCOMPARE(m_messages->count(), 1);
    const QString message = m_messages->at(0).at(0).toString();
    QVERIFY(message.contains("WheelTypes") && message.contains("5000") && message.contains("UzelTypes"));
    QVERIFY(!message.contains("FioTypes"));
}

void TestTemplatesPage::rowsBuiltWhenIdleShowTheModel()
{
    // A second page on the same model that builds its rows while the event loop is idle.
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *tabs = new QTabWidget(&window);
    auto *fromJson = new QPushButton(&window);
    auto *save = new QPushButton(&window);
    for (QWidget *w : {static_cast<QWidget *>(tabs), static_cast<QWidget *>(fromJson), static_cast<QWidget *>(save)})
        layout->addWidget(w);
    TemplatesPage::Widgets w;
    w.tabs = tabs;
    w.fromJson = fromJson;
    w.save = save;
    w.rowsWhenIdle = true;
    TemplatesPage lazy(w, m_model, nullptr, nullptr);
    QCOMPARE(tabs->count(), 3);
    QVERIFY(!lazy.fioRow(0));
    QVERIFY(!lazy.uzelRow(0));

    // What reaches the model before the rows exist is what they show once built.
    TemplateLists lists = m_model->lists();
    lists.fio[0].text1 = QStringLiteral("Sergeev");
    lists.fio[1].enabled = false;
    lists.wheel[49].text = QStringLiteral("KAMAZ-5490");
    lists.uzel[99].text1 = QStringLiteral("Hub nut M30");
    lists.uzel[99].highMoment = 420;
    for (TemplateKind kind : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel})
        m_model->setList(kind, lists);

    // A list wanted before its turn (a save) is completed on the spot, with the model's values.
    const TemplateLists collected = lazy.collect(TemplateKind::Uzel);
    QVERIFY(lazy.uzelRow(99));
    QCOMPARE(collected.uzel[99].text1, QStringLiteral("Hub nut M30"));
    QCOMPARE(collected.uzel[99].highMoment, 420.0f);
    QVERIFY(!lazy.wheelRow(0)); // the others still wait for their turn

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(lazy.fioRow(9)); // the tab on screen is complete
    QCOMPARE(lazy.fioRow(0)->text(0), QStringLiteral("Sergeev"));
    QVERIFY(!lazy.fioRow(1)->isOn());
    QTRY_VERIFY(lazy.wheelRow(49));
    QCOMPARE(lazy.wheelRow(49)->text(0), QStringLiteral("KAMAZ-5490"));
    QVERIFY(!lazy.hasUnsavedChanges(TemplateKind::Wheel));

    // Rows built while the page is on screen come up visible.
    tabs->setCurrentIndex(2);
    const QList<QLineEdit *> edits = tabs->currentWidget()->findChildren<QLineEdit *>();
    QVERIFY(edits.size() >= UzelTemplate::Count);
    QTRY_VERIFY(edits.first()->isVisible() && edits.last()->isVisible());

    // A list from the key reaches the rows a few per turn of the event loop; a person who
    // presses a row before it caught up acts on what arrived, not on what it showed before.
    QTRY_VERIFY(lazy.uzelRow(99)->texts()->isOn());
    lists.uzel[99].text1 = QStringLiteral("Arrived");
    lists.uzel[99].enabled = false;
    const QByteArray modes = QByteArray(561, '\1');
    QVERIFY(writeFile(Paths::downloadDir("templates") + "/ModesVisibility", modes));
    QVERIFY(writeFile(Paths::downloadDir("templates") + "/UzelTypes", TemplateBinary::encode(TemplateKind::Uzel, lists)));
    m_model->slot_files_got_dir("/templates");
    QTest::mouseClick(lazy.uzelRow(99)->texts()->switcher()->button(), Qt::LeftButton);
    QCOMPARE(lazy.uzelRow(99)->texts()->text(0), QStringLiteral("Arrived"));
    QVERIFY(lazy.uzelRow(99)->texts()->isOn());
    QVERIFY(lazy.hasUnsavedChanges(TemplateKind::Uzel));
}

QTEST_MAIN(TestTemplatesPage)
#include "tst_templatespage.moc"
