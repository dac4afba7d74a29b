// The record editor through its real widgets: the page built into frames as the records page
// has them, the real keypad, file exchange and protocol, and a recorder in place of the USB
// link so every body that would go to the key can be read back.
#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "ui/popups/PopupA.h"
#include "ui/popups/PopupHost.h"
#include "ui/popups/PopupMsg.h"
#include "ui/popups/PopupQ.h"
#include "ui/widgets/cParameter.h"
#include "protocol/FileCmdHeader.h"
#include "protocol/FileExchange.h"
#include "protocol/KeySender.h"
#include "protocol/KeySession.h"
#include "protocol/KeyTransport.h"
#include "ui/records/RecordEditorPage.h"
#include "records/RecordFile.h"
#include "records/RecordList.h"
#include "ui/records/RecordMeasureTable.h"
#include "records/RecordName.h"
#include "ui/records/RecordsFolderPanel.h"
#include "records/TemplateListsModel.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

namespace {

// Stands where the USB link would: keeps every body the protocol hands over.
struct Recorder : KeyTransport
{
    QList<QByteArray> bodies;
    bool refuse = false; // as a link that is gone
    bool queueCommand(quint8 cls, quint8 sub, const QByteArray &payload, quint8, int) override
    {
        if (refuse)
            return false;
        bodies.append(QByteArray(1, char(cls)) + char(sub) + payload);
        return true;
    }
    void ackReply(const QString &) override {}

    QList<QJsonObject> json() const
    {
        QList<QJsonObject> out;
        for (const QByteArray &b : bodies) {
            if (b.at(0) == 0x30)
                out << QJsonDocument::fromJson(b.mid(2, b.indexOf('\0', 2) - 2)).object();
        }
        return out;
    }
    // Key paths of the FA_WRITE commands that start a file.
    QStringList writes() const
    {
        QStringList out;
        for (const QByteArray &b : bodies) {
            FileCmdHeader h;
            QByteArray data;
            QString why;
            const auto *payload = reinterpret_cast<const uchar *>(b.constData()) + 2;
            if (b.at(0) == 0x31 && FileCmdHeader::parse(payload, b.size() - 2, &h, &data, &why)
                && h.command == FileCmdHeader::FA_WRITE && h.seek == 0)
                out << h.fileName();
        }
        return out;
    }
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

RecordHeader header(int fio, int wheel, const QString &operation, int uzel, int algorithm = 0)
{
    RecordHeader h;
    h.setOperationNumber(operation);
    h.fioIndex = quint8(fio);
    h.wheelIndex = quint8(wheel);
    h.uzelIndex = quint8(uzel);
    h.algorithm = quint8(algorithm);
    h.countTotal = 8;
    h.rangeLow = 40;
    h.rangeHigh = 60;
    h.angleLow = 15;
    return h;
}

MeasureEntry entry(float moment, float defect = 0, float angle = 0)
{
    MeasureEntry e;
    e.moment = moment;
    e.correctedDefect = defect;
    e.angle = angle;
    e.year = 24;
    e.month = 3;
    e.day = 9;
    e.hour = 7;
    e.minute = 5;
    e.second = 1;
    return e;
}

// Node entries all alike (algorithm 2, moments 70..80, 6 bolts); F.I.O. 2 and node 3 off.
TemplateLists templates()
{
    TemplateLists t;
    for (UzelTemplate &u : t.uzel) {
        u.algorithm = 2;
        u.lowMoment = 70;
        u.highMoment = 80;
        u.countBolts = 6;
        u.lowAngle = 10;
        u.headMm = 19;
    }
    t.uzel[3].enabled = false;
    t.fio[2].enabled = false;
    return t;
}

} // namespace

const QString kExists = QStringLiteral("Record is exist. You can edit this record.");
const QString kMissing = QStringLiteral("Record don't exist. You can create NEW record.");

class TestRecordEditor : public QObject
{
    Q_OBJECT

    QTemporaryDir *m_root = nullptr;
    cGlobalData *m_global = nullptr;
    KeySession *m_session = nullptr;
    Recorder *m_link = nullptr;
    QWidget *m_window = nullptr;
    QPushButton *m_nav = nullptr;
    RecordList *m_records = nullptr;
    PopupHost *m_popups = nullptr;
    RecordEditorPage *m_page = nullptr;
    bool m_pageShown = true;

    RecordEditorForm &f() { return m_page->form(); }
    QString mirror(const QString &name) const { return Paths::downloadDir(QStringLiteral("dbsett")) + '/' + name; }
    cParameter *par(RecordParameter p) { return m_page->parameter(p); }

    void putRecord(const QString &name, const RecordHeader &h, const QVector<MeasureEntry> &entries = {})
    {
        RecordFile r;
        r.header = h;
        r.entries = entries;
        QVERIFY(writeBytes(mirror(name), r.toBytes()));
    }

    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }
    void press(int op) { click(f().pbOperation[size_t(op)]); }
    void yes(int op) { click(f().pbYes[size_t(op)]); }
    void no(int op) { click(f().pbNo[size_t(op)]); }

    // The keypad as a person uses it: open it from the field, type, OK.
    void typeInto(RecordParameter p, const QString &keys)
    {
        click(par(p)->button());
        PopupA *pad = m_popups->keypad();
        QVERIFY(pad->isVisible());
        for (const QChar c : keys)
            click(pad->findChild<QPushButton *>(c == '.' ? QStringLiteral("pbDot") : QStringLiteral("pb") + c));
        click(pad->findChild<QPushButton *>(QStringLiteral("pbOK")));
    }

    // The mask keeps all ten places filled: typing overwrites from the start.
    void typeOperation(const QString &text)
    {
        QLineEdit *le = f().leOperation;
        le->setFocus();
        le->setCursorPosition(0);
        QTest::keyClicks(le, text);
        QCOMPARE(le->text(), text);
        QTest::keyClick(le, Qt::Key_Return);
    }

    bool pairShown(int op) const { return !m_page->form().pbYes[size_t(op)]->isHidden(); }
    QList<bool> operations()
    {
        return {f().pbOperation[0]->isEnabled(), f().pbOperation[1]->isEnabled(), f().pbOperation[2]->isEnabled()};
    }
    // How many of the navigation and record-selection controls may be used (6 = all, 0 = locked).
    int openControls()
    {
        int n = 0;
        for (QWidget *w : std::initializer_list<QWidget *>{m_nav, f().cbPageNumber, f().cbFio, f().cbWheel,
                                                           f().leOperation, f().cbUzel})
            n += w->isEnabled() ? 1 : 0;
        return n;
    }

private slots:
    void init()
    {
        m_root = new QTemporaryDir;
        Paths::setDataRoot(m_root->path());
        m_global = new cGlobalData;
        m_session = new KeySession(m_global);
        m_session->sender()->setModeSource([] { return LinkMode::Usb; });
        m_link = new Recorder;
        m_session->sender()->setUsbTransport(m_link);
        m_session->templateLists()->setLists(templates());

        m_window = new QWidget;
        m_window->resize(1000, 700);
        auto *layout = new QVBoxLayout(m_window);
        RecordEditorPage::Widgets w;
        for (QWidget **place : {&w.containers.textFields, &w.containers.ranges, &w.containers.newRecord,
                                &w.containers.memory}) {
            *place = new QFrame(m_window);
            new QVBoxLayout(*place);
            layout->addWidget(*place);
        }
        m_nav = new QPushButton(QStringLiteral("Back"), m_window);
        layout->addWidget(m_nav);
        w.navigation = {m_nav};
        m_records = new RecordList(m_window);
        m_popups = new PopupHost(m_window, 20, 1);
        m_page = new RecordEditorPage(w, m_records, m_session->templateLists(), m_session->files(),
                                      m_session->protocol(), m_session->model(), m_window);
        m_page->setPopups(m_popups);
        m_pageShown = true;
        m_page->setRecordsPageShownProvider([this] { return m_pageShown; });
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    void cleanup()
    {
        delete m_window;
        delete m_session;
        delete m_link;
        delete m_global;
        Paths::setDataRoot(QString());
        delete m_root;
    }

    // Create / Edit / Delete, each armed and then dropped or confirmed, on the real buttons.
    void stateMachine()
    {
        const QString existing = RecordName::make(1, 4, QStringLiteral("ABC0000001"), 7);
        putRecord(existing, header(1, 4, QStringLiteral("ABC0000001"), 7), {entry(50), entry(51), entry(52)});
        m_records->rebuild();
        QCOMPARE(m_page->recordName(), existing);
        QCOMPARE(operations(), (QList<bool>{false, true, true}));
        QCOMPARE(m_page->statusText(), kExists);
        QCOMPARE(f().lbRecordCount->text(), QStringLiteral("Record Number (1 pcs)"));
        QCOMPARE(f().table->rowCount(), 3);

        press(RecordEditorForm::Edit);
        QCOMPARE(m_page->state(), RecordEditorPage::State::ArmedEdit);
        QCOMPARE(m_page->statusText(),
                 QStringLiteral("Attention! After edition record, count of measured moments will be erased!"));
        QVERIFY(pairShown(RecordEditorForm::Edit) && !pairShown(RecordEditorForm::Delete));
        QCOMPARE(operations(), (QList<bool>{false, false, false}));
        QCOMPARE(openControls(), 0);
        // A rebuild of the list while armed keeps the record the operation was armed for.
        m_records->rebuild();
        QVERIFY(pairShown(RecordEditorForm::Edit));
        no(RecordEditorForm::Edit);
        QCOMPARE(m_page->state(), RecordEditorPage::State::Idle);
        QVERIFY(!pairShown(RecordEditorForm::Edit));
        QCOMPARE(operations(), (QList<bool>{false, true, true}));
        QCOMPARE(m_page->statusText(), kExists);
        QCOMPARE(openControls(), 6);

        // Delete: No changes nothing; Yes asks the key, and the file stays until it answers.
        press(RecordEditorForm::Delete);
        QCOMPARE(m_page->statusText(), QStringLiteral("Attention! Current record will be deleted!"));
        QCOMPARE(openControls(), 0);
        no(RecordEditorForm::Delete);
        QCOMPARE(operations(), (QList<bool>{false, true, true}));
        QCOMPARE(m_page->statusText(), kExists);
        QVERIFY(m_link->bodies.isEmpty());
        press(RecordEditorForm::Delete);
        yes(RecordEditorForm::Delete);
        QVERIFY(!pairShown(RecordEditorForm::Delete));
        QVERIFY(!f().pbOperation[RecordEditorForm::Delete]->isEnabled());
        QCOMPARE(openControls(), 6);
        QCOMPARE(m_link->json().size(), 1);
        QCOMPARE(m_link->json().first(), (QJsonObject{{"function_name", "FE_Page_Delete"}, {"pagenumber", existing},
                                                      {"all", 0}}));
        QVERIFY(QFile::exists(mirror(existing)));

        // A new name from the inputs: Create, No, Create, Yes.
        typeOperation(QStringLiteral("XYZ0000042"));
        const QString created = RecordName::make(1, 4, QStringLiteral("XYZ0000042"), 7);
        QCOMPARE(m_page->recordName(), created);
        QCOMPARE(operations(), (QList<bool>{true, false, false}));
        QCOMPARE(m_page->statusText(), kMissing);
        QCOMPARE(f().table->rowCount(), 0);
        press(RecordEditorForm::Create);
        QCOMPARE(m_page->state(), RecordEditorPage::State::ArmedCreate);
        QCOMPARE(openControls(), 0);
        no(RecordEditorForm::Create);
        QCOMPARE(operations(), (QList<bool>{true, false, false}));
        QCOMPARE(m_page->statusText(), kMissing);
        QVERIFY(!QFile::exists(mirror(created)));

        press(RecordEditorForm::Create);
        yes(RecordEditorForm::Create);
        const QByteArray bytes = readAll(mirror(created));
        QCOMPARE(bytes.size(), RecordFile::EmptySize);
        const RecordFile::ReadResult r = RecordFile::read(bytes);
        const RecordHeader &h = r.record.header;
        QVERIFY(r.headerCrcOk);
        QCOMPARE(h.countCon, quint16(0));
        QCOMPARE(h.operationNumber(), QStringLiteral("XYZ0000042"));
        QCOMPARE((QList<int>{h.fioIndex, h.wheelIndex, h.uzelIndex}), (QList<int>{1, 4, 7}));
        // Node 7's values stood in for the new record.
        QCOMPARE((QList<float>{float(h.algorithm), h.rangeLow, h.rangeHigh, float(h.countTotal), h.headMm}),
                 (QList<float>{2, 70, 80, 6, 19}));
        QCOMPARE(m_link->writes(), QStringList{QStringLiteral("/dbsett/") + created});
        QCOMPARE(m_page->statusText(), kExists);
        QCOMPARE(operations(), (QList<bool>{false, true, true}));
        QCOMPARE(f().lbRecordCount->text(), QStringLiteral("Record Number (2 pcs)"));
        QCOMPARE(f().cbPageNumber->currentText(), created);

        // The key confirms the write: once, for the record, it is told to show it.
        emit m_session->files()->files_put_file({QStringLiteral("templates"), QStringLiteral("FioTypes")});
        QCOMPARE(m_link->json().size(), 1);
        emit m_session->files()->files_put_file({QStringLiteral("dbsett"), created});
        emit m_session->files()->files_put_file({QStringLiteral("dbsett"), created});
        QCOMPARE(m_link->json().size(), 2);
        QCOMPARE(m_link->json().last(),
                 (QJsonObject{{"function_name", "FE_PageCurrent_Write"}, {"pagenumber", created}}));

        // An operation left armed when the key goes away frees the window again.
        press(RecordEditorForm::Edit);
        m_page->cancelOperation();
        QCOMPARE(m_page->state(), RecordEditorPage::State::Idle);
        QCOMPARE(openControls(), 6);
        QCOMPARE(operations(), (QList<bool>{false, true, true}));
    }

    // Low Moment never above High Moment, whichever was typed last.
    void momentRangeOrder()
    {
        typeInto(RecordParameter::RangeHigh, QStringLiteral("120"));
        typeInto(RecordParameter::RangeLow, QStringLiteral("150"));
        QCOMPARE(par(RecordParameter::RangeLow)->value(), 120.0);
        QCOMPARE(par(RecordParameter::RangeHigh)->value(), 120.0);
        typeInto(RecordParameter::RangeHigh, QStringLiteral("100"));
        QCOMPARE(par(RecordParameter::RangeHigh)->value(), 120.0);
        typeInto(RecordParameter::RangeLow, QStringLiteral("90"));
        typeInto(RecordParameter::StartMom, QStringLiteral("500"));
        QCOMPARE(m_page->collectHeader().rangeLow, 90.0f);
        QCOMPARE(m_page->collectHeader().rangeHigh, 120.0f);
    }

    // Code 9 renames the captions and takes the low angle to 0..10 with a decimal; leaving
    // it brings 1..900 back.
    void algorithmNine()
    {
        ModesVisibility modes;
        QByteArray table(ModesVisibility::FileSize, char(1));
        table[51 + 9 * 8 + 5] = 0; // code 9 has no pitch step
        QVERIFY(modes.load(table));
        m_session->templateLists()->setModes(modes);

        QComboBox *algorithm = f().cbAlgorithm;
        QTest::keyClick(algorithm, Qt::Key_End);
        QCOMPARE(algorithm->currentText(), QStringLiteral("Dependence on the angle of the moment"));
        cParameter *angleLow = par(RecordParameter::AngleLow);
        QCOMPARE((QList<double>{angleLow->minimum(), angleLow->maximum(), double(angleLow->precision())}),
                 (QList<double>{0, 10, 1}));
        QCOMPARE(angleLow->value(), 10.0); // node 0's low angle of 10 fits the new range
        QCOMPARE((QStringList{par(RecordParameter::RangeLow)->caption(), par(RecordParameter::RangeHigh)->caption(),
                              angleLow->caption(), par(RecordParameter::AngleHigh)->caption(),
                              par(RecordParameter::Angle)->caption()}),
                 (QStringList{"Low Moment", "Limit Moment", "Start Angle", "Limit Angle", "Angle Increment"}));
        QCOMPARE(par(RecordParameter::Angle)->button()->toolTip(), QStringLiteral("Step angle increment"));
        QVERIFY(par(RecordParameter::PitchStep)->button()->isHidden());
        typeInto(RecordParameter::AngleLow, QStringLiteral("0.5"));
        QCOMPARE(angleLow->text(), QStringLiteral("0.5"));
        QCOMPARE(m_page->collectHeader().angleLow, 0.5f);

        QTest::keyClick(algorithm, Qt::Key_Home);
        QCOMPARE(m_page->currentAlgorithm(), 0);
        QCOMPARE((QList<double>{angleLow->minimum(), angleLow->maximum(), double(angleLow->precision())}),
                 (QList<double>{1, 900, 0}));
        QCOMPARE(angleLow->value(), 1.0); // 0.5 is outside 1..900
        QCOMPARE(angleLow->caption(), QStringLiteral("Low Angle"));
        QCOMPARE(par(RecordParameter::RangeHigh)->caption(), QStringLiteral("High Moment"));
        QVERIFY(!par(RecordParameter::PitchStep)->button()->isHidden());

        // Off the records page code 9 keeps 1..900; coming back shows the stored 0.5 again.
        const QString name = RecordName::make(0, 0, QStringLiteral("DEP0000009"), 0);
        RecordHeader h = header(0, 0, QStringLiteral("DEP0000009"), 0, 9);
        h.angleLow = 0.5f;
        putRecord(name, h);
        m_pageShown = false;
        m_records->rebuild();
        QCOMPARE(m_page->recordName(), name);
        QCOMPARE(angleLow->maximum(), 900.0);
        m_pageShown = true;
        m_page->refreshForRecordsPage();
        QCOMPARE(angleLow->maximum(), 10.0);
        QCOMPARE(angleLow->text(), QStringLiteral("0.5"));
    }

    // A switched-off template entry shows in red with its reason; it cannot be picked for a
    // new record, but a record that uses it still shows it.
    void disabledTemplateCaptions()
    {
        const QString off = RecordName::make(2, 0, QStringLiteral("0000000001"), 3);
        const QString fine = RecordName::make(1, 0, QStringLiteral("0000000001"), 4);
        putRecord(off, header(2, 0, QStringLiteral("0000000001"), 3));
        putRecord(fine, header(1, 0, QStringLiteral("0000000001"), 4));
        m_records->rebuild(); // shows the last record, the one on switched-off entries
        QCOMPARE(m_page->recordName(), off);
        QCOMPARE(f().cbUzel->currentIndex(), 3);
        const QString red = QStringLiteral("rgb(255, 0, 0)");
        const QString why = QStringLiteral("Current record consist not enabled template");
        QVERIFY(f().lbUzel->styleSheet().contains(red) && f().lbFio->styleSheet().contains(red));
        QCOMPARE((QStringList{f().lbFio->toolTip(), f().lbWheel->toolTip(), f().lbUzel->toolTip()}),
                 (QStringList{why, QString(), why}));
        QVERIFY(!f().lbWheel->styleSheet().contains(red));

        QTest::keyClick(f().cbPageNumber, Qt::Key_Home);
        QCOMPARE(m_page->recordName(), fine);
        QVERIFY(!f().lbUzel->styleSheet().contains(red) && !f().lbFio->styleSheet().contains(red));
        QCOMPARE(f().lbUzel->toolTip(), QString());

        // Stepping through the node combo skips the switched-off entry 3.
        f().cbUzel->setCurrentIndex(2);
        QTest::keyClick(f().cbUzel, Qt::Key_Down);
        QCOMPARE(f().cbUzel->currentIndex(), 4);
        QCOMPARE(m_page->recordName(), fine);
    }

    // A record write that no link took arms nothing: the next record confirmed is left alone.
    void unsentRecordDisarmsTheUpdateHook()
    {
        typeOperation(QStringLiteral("LOST000001"));
        m_link->refuse = true;
        press(RecordEditorForm::Create);
        yes(RecordEditorForm::Create);
        QVERIFY(QFile::exists(mirror(m_page->recordName())));
        m_link->refuse = false;
        const QString other = RecordName::make(1, 4, QStringLiteral("OTHER00001"), 7);
        emit m_session->files()->files_put_file({QStringLiteral("dbsett"), other});
        QVERIFY(m_link->json().isEmpty());

        // Armed by a write that left, it waits for that record, not for another one.
        typeOperation(QStringLiteral("SENT000001"));
        const QString sent = m_page->recordName();
        press(RecordEditorForm::Create);
        yes(RecordEditorForm::Create);
        QCOMPARE(m_link->writes(), QStringList{QStringLiteral("/dbsett/") + sent});
        emit m_session->files()->files_put_file({QStringLiteral("dbsett"), other});
        QVERIFY(m_link->json().isEmpty());
        emit m_session->files()->files_put_file({QStringLiteral("dbsett"), sent});
        QCOMPARE(m_link->json(), (QList<QJsonObject>{
                                     QJsonObject{{"function_name", "FE_PageCurrent_Write"}, {"pagenumber", sent}}}));
    }

    // A record file that cannot be written is told, nothing goes to the key, and the editor
    // shows what the mirror really holds.
    void unwritableRecord()
    {
        QVERIFY(writeBytes(Paths::downloadDir(QStringLiteral("dbsett")), "a file where the folder belongs"));
        QSignalSpy messages(m_page, SIGNAL(messageRequested(QString, QString)));
        typeOperation(QStringLiteral("NEW0000001"));
        press(RecordEditorForm::Create);
        yes(RecordEditorForm::Create);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0][0].toString().startsWith(QStringLiteral("Warning! Record can't be saved!")));
        QCOMPARE(messages[0][1].toString(), QStringLiteral("red"));
        QVERIFY(m_link->bodies.isEmpty());
        QVERIFY(!m_page->recordExists());
        QCOMPARE(operations(), (QList<bool>{true, false, false}));
        QCOMPARE(m_page->statusText(), kMissing);
        QCOMPARE(openControls(), 6);
    }

    // Mirror files cut short: what is there is shown, nothing is invented.
    void shortMirrorFiles()
    {
        const QString name = RecordName::make(0, 2, QStringLiteral("SHORT00001"), 1);
        RecordFile r;
        r.header = header(0, 2, QStringLiteral("SHORT00001"), 1);
        r.entries = {entry(45), entry(46)};
        QByteArray bytes = r.toBytes();
        bytes[22] = 5; // count_con promises five
        QVERIFY(writeBytes(mirror(name), bytes));
        m_records->rebuild();
        QCOMPARE(m_page->recordName(), name);
        QCOMPARE(f().table->rowCount(), 2);
        QCOMPARE(par(RecordParameter::CountCon)->value(), 2.0);

        const QString stub = RecordName::make(0, 2, QStringLiteral("STUB000001"), 1);
        QVERIFY(writeBytes(mirror(stub), QByteArray(30, '\x11')));
        typeOperation(QStringLiteral("STUB000001"));
        QCOMPARE(m_page->recordName(), stub);
        QCOMPARE(operations(), (QList<bool>{false, true, true}));
        QCOMPARE(f().table->rowCount(), 0);

        // An incomplete operation number names no record: nothing can be done with it.
        f().leOperation->setText(QStringLiteral("AB"));
        m_page->slot_GetRecordStatus();
        QCOMPARE(operations(), (QList<bool>{false, false, false}));
        QVERIFY(m_page->recordName().isEmpty());
    }

    // Colours against the record's range, angles only for the angle algorithms, dates only
    // when the key keeps them.
    void measureTableCells()
    {
        RecordMeasureTable t;
        t.showEntries({entry(50, 0, 33.3f), entry(61, 70), entry(39, 20), entry(-45, -0.00001f)}, 2, 40, 60, true);
        QCOMPARE(t.rowCount(), 4);
        QCOMPARE((QStringList{t.item(0, 0)->text(), t.item(0, 1)->text(), t.item(0, 2)->text(), t.item(0, 3)->text(),
                              t.item(0, 4)->text()}),
                 (QStringList{"1", "50.00", "-", "33.3", "09.03.24 07:05:01"}));
        const auto colours = [&t](int row, int column) {
            return QList<QColor>{t.item(row, column)->foreground().color(), t.item(row, column)->background().color()};
        };
        const QColor grey(200, 200, 200);
        QCOMPARE(colours(0, 1), (QList<QColor>{Qt::black, Qt::white}));
        QCOMPARE(colours(1, 2), (QList<QColor>{Qt::red, grey}));        // defect above high
        QCOMPARE(colours(2, 1), (QList<QColor>{Qt::darkYellow, grey})); // moment below low
        QCOMPARE(t.item(3, 1)->text(), QStringLiteral("45.00"));
        QCOMPARE(colours(3, 1), (QList<QColor>{Qt::blue, Qt::white}));  // negative, within range
        QCOMPARE(colours(3, 2), (QList<QColor>{Qt::black, Qt::white})); // no defect

        t.showEntries({entry(50, 0, 33.3f)}, 9, 40, 60, true);
        QCOMPARE(t.rowCount(), 1);
        QCOMPARE(t.item(0, 3)->text(), QStringLiteral("-"));
        QCOMPARE(t.item(0, 4)->text(), QStringLiteral(" "));
        t.showEntries({entry(50)}, 0, 40, 60, false);
        QCOMPARE(t.item(0, 4)->text(), QStringLiteral(" "));
    }

    void recordsFolder()
    {
        auto *frame = new QFrame(m_window);
        new QVBoxLayout(frame);
        RecordsFolderPanel panel(frame, m_session->files(), m_session->protocol());
        panel.setPopups(m_popups);
        QSignalSpy messages(&panel, SIGNAL(messageRequested(QString, QString)));
        QString chosen;
        panel.setFolderChooser([&chosen](const QString &, const QString &) { return chosen; });

        // Save: every mirror file; an older copy in the folder is replaced.
        const QString a = RecordName::make(0, 0, QStringLiteral("SAVE000001"), 0);
        const QString b = RecordName::make(0, 0, QStringLiteral("SAVE000002"), 0);
        putRecord(a, header(0, 0, QStringLiteral("SAVE000001"), 0), {entry(44)});
        putRecord(b, header(0, 0, QStringLiteral("SAVE000002"), 0));
        QTemporaryDir out;
        QVERIFY(writeBytes(out.filePath(a), "stale"));
        chosen = out.path();
        click(panel.saveButton());
        QCOMPARE(readAll(out.filePath(a)), readAll(mirror(a)));
        QCOMPARE(readAll(out.filePath(b)), readAll(mirror(b)));

        // Copy from an empty folder: told, nothing sent. A cancelled dialog: nothing at all.
        QTemporaryDir empty;
        chosen = empty.path();
        click(panel.copyButton());
        chosen.clear();
        click(panel.copyButton());
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0][0].toString(), QStringLiteral("Warning! Folder is empty!"));
        QVERIFY(m_link->bodies.isEmpty());

        // Copy: record files go to the key's records folder, anything else stays behind, and
        // the folder is fetched back once they are written.
        QVERIFY(writeBytes(out.filePath(QStringLiteral("notes.txt")), QByteArray(100, 'x')));
        chosen = out.path();
        click(panel.copyButton());
        QStringList sent = m_link->writes();
        sent.sort();
        QCOMPARE(sent, (QStringList{QStringLiteral("/dbsett/") + a, QStringLiteral("/dbsett/") + b}));
        QCOMPARE(m_session->files()->writeDirs(), QStringList{QStringLiteral("dbsett")});

        // Erase all: asked first; "No" erases nothing.
        m_link->bodies.clear();
        click(panel.eraseButton());
        PopupQ *question = m_popups->question();
        QVERIFY(question->isVisible());
        click(question->noButton());
        QVERIFY(m_link->bodies.isEmpty());
        QSignalSpy closing(m_popups, SIGNAL(closeRequested()));
        click(panel.eraseButton());
        click(question->yesButton());
        QCOMPARE(m_link->json(),
                 (QList<QJsonObject>{{{"function_name", "FE_Page_Delete"}, {"pagenumber", ""}, {"all", 1}}}));
        PopupMsg *message = m_popups->message();
        QVERIFY(message->isVisible());
        bool told = false;
        for (QLabel *label : message->findChildren<QLabel *>())
            told = told || label->text().contains(QStringLiteral("Warning! Records will be erased from key."));
        QVERIFY(told);
        // Its Close (or its countdown) ends the program.
        click(message->findChild<QPushButton *>());
        QCOMPARE(closing.size(), 1);
    }
};

QTEST_MAIN(TestRecordEditor)
#include "tst_recordeditor.moc"
