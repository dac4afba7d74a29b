// The record editor through its real widgets: the page built into frames as the records page
// has them, the real keypad, the real file exchange and protocol, with a recorder in place of
// the USB link so every body that would go to the key can be read back.
#include "app/Paths.h"
#include "app/cGlobalData.h"
#include "app/popups/PopupA.h"
#include "app/popups/PopupHost.h"
#include "app/popups/PopupMsg.h"
#include "app/popups/PopupQ.h"
#include "app/widgets/cParameter.h"
#include "protocol/FileCmdHeader.h"
#include "protocol/FileExchange.h"
#include "protocol/KeySender.h"
#include "protocol/KeySession.h"
#include "protocol/KeyTransport.h"
#include "records/MeasureAlgorithms.h"
#include "records/ModesVisibility.h"
#include "records/RecordEditorPage.h"
#include "records/RecordFile.h"
#include "records/RecordList.h"
#include "records/RecordMeasureTable.h"
#include "records/RecordName.h"
#include "records/RecordsFolderPanel.h"
#include "records/TemplateListsModel.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

namespace {

// Stands where the USB link would: keeps every body the protocol hands over.
class Recorder : public KeyTransport
{
public:
    QList<QByteArray> bodies;
    bool queueCommand(quint8 packetClass, quint8 subCode, const QByteArray &payload, quint8, int) override
    {
        QByteArray body;
        body.append(char(packetClass));
        body.append(char(subCode));
        body.append(payload);
        bodies.append(body);
        return true;
    }
    void ackReply(const QString &) override {}

    QList<QJsonObject> json() const
    {
        QList<QJsonObject> out;
        for (const QByteArray &b : bodies) {
            if (uchar(b.at(0)) == 0x30)
                out << QJsonDocument::fromJson(b.mid(2, b.indexOf('\0', 2) - 2)).object();
        }
        return out;
    }
    // Key paths of the FA_WRITE commands that start a file (offset 0).
    QStringList writes() const
    {
        QStringList out;
        for (const QByteArray &b : bodies) {
            if (uchar(b.at(0)) != 0x31)
                continue;
            FileCmdHeader h;
            QByteArray data;
            QString why;
            const QByteArray payload = b.mid(2);
            if (FileCmdHeader::parse(reinterpret_cast<const uchar *>(payload.constData()), payload.size(), &h, &data,
                                     &why)
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
    h.angleHigh = 45;
    h.startMom = 5;
    h.pitchStep = 1.25f;
    h.angle = 30;
    h.headMm = 17;
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

TemplateLists templates()
{
    TemplateLists t;
    for (int i = 0; i < FioTemplate::Count; ++i)
        t.fio[size_t(i)].text1 = QStringLiteral("fio%1").arg(i);
    for (int i = 0; i < WheelTemplate::Count; ++i)
        t.wheel[size_t(i)].text = QStringLiteral("wheel%1").arg(i);
    for (int i = 0; i < UzelTemplate::Count; ++i) {
        UzelTemplate &u = t.uzel[size_t(i)];
        u.text1 = QStringLiteral("node%1").arg(i);
        u.algorithm = 2;
        u.lowMoment = 70;
        u.highMoment = 80;
        u.countBolts = 6;
        u.lowAngle = 10;
        u.highAngle = 90;
        u.startMoment = 12;
        u.angle = 45;
        u.pitchStep = 1.5f;
        u.headMm = 19;
    }
    t.uzel[3].enabled = false;
    t.fio[2].enabled = false;
    return t;
}

} // namespace

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

    void putRecord(const QString &name, const RecordHeader &h, const QVector<MeasureEntry> &entries = {})
    {
        RecordFile r;
        r.header = h;
        r.entries = entries;
        QVERIFY(writeBytes(mirror(name), r.toBytes()));
    }

    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }

    // The keypad as a person uses it: open it from the field, type, OK.
    void typeInto(RecordParameter p, const QString &keys)
    {
        click(m_page->parameter(p)->button());
        PopupA *pad = m_popups->keypad();
        QVERIFY(pad->isVisible());
        for (const QChar c : keys)
            click(pad->findChild<QPushButton *>(c == '.' ? QStringLiteral("pbDot") : QStringLiteral("pb") + c));
        click(pad->findChild<QPushButton *>(QStringLiteral("pbOK")));
    }

    void typeOperation(const QString &text)
    {
        QLineEdit *le = f().leOperation;
        // The mask keeps all ten places filled: typing overwrites from the start.
        le->setFocus();
        le->setCursorPosition(0);
        QTest::keyClicks(le, text);
        QCOMPARE(le->text(), text);
        QTest::keyClick(le, Qt::Key_Return);
    }

    bool pairShown(int op) const
    {
        return !m_page->form().pbYes[size_t(op)]->isHidden() && !m_page->form().pbNo[size_t(op)]->isHidden();
    }
    QList<bool> operationsEnabled()
    {
        return {f().pbOperation[0]->isEnabled(), f().pbOperation[1]->isEnabled(), f().pbOperation[2]->isEnabled()};
    }
    bool selectionEnabled()
    {
        return m_nav->isEnabled() && f().cbPageNumber->isEnabled() && f().cbFio->isEnabled()
               && f().cbWheel->isEnabled() && f().leOperation->isEnabled() && f().cbUzel->isEnabled();
    }
    bool selectionLocked()
    {
        return !m_nav->isEnabled() && !f().cbPageNumber->isEnabled() && !f().cbFio->isEnabled()
               && !f().cbWheel->isEnabled() && !f().leOperation->isEnabled() && !f().cbUzel->isEnabled();
    }

private slots:
    void init()
    {
        m_root = new QTemporaryDir;
        Paths::setDataRoot(m_root->path());
        m_global = new cGlobalData;
        m_global->currentInterface = 1;
        m_session = new KeySession(m_global);
        m_link = new Recorder;
        m_session->sender()->setUsbTransport(m_link);
        m_session->templateLists()->setLists(templates());

        m_window = new QWidget;
        m_window->resize(1000, 700);
        auto *layout = new QVBoxLayout(m_window);
        RecordEditorPage::Widgets w;
        QWidget **places[] = {&w.containers.textFields, &w.containers.ranges, &w.containers.newRecord,
                             &w.containers.memory};
        for (QWidget **slot : places) {
            auto *frame = new QFrame(m_window);
            new QVBoxLayout(frame);
            layout->addWidget(frame);
            *slot = frame;
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
        QVERIFY(m_page->recordExists());
        QCOMPARE(operationsEnabled(), (QList<bool>{false, true, true}));
        QCOMPARE(m_page->statusText(), QStringLiteral("Record is exist. You can edit this record."));
        QCOMPARE(f().lbRecordCount->text(), QStringLiteral("Record Number (1 pcs)"));
        QCOMPARE(f().table->rowCount(), 3);

        // Edit, then No.
        click(f().pbOperation[RecordEditorForm::Edit]);
        QCOMPARE(m_page->state(), RecordEditorPage::State::ArmedEdit);
        QCOMPARE(m_page->statusText(),
                 QStringLiteral("Attention! After edition record, count of measured moments will be erased!"));
        QVERIFY(pairShown(RecordEditorForm::Edit));
        QVERIFY(!pairShown(RecordEditorForm::Delete));
        QCOMPARE(operationsEnabled(), (QList<bool>{false, false, false}));
        QVERIFY(selectionLocked());
        // A rebuild of the list while armed keeps the record the operation was armed for.
        m_records->rebuild();
        QCOMPARE(m_page->state(), RecordEditorPage::State::ArmedEdit);
        QVERIFY(pairShown(RecordEditorForm::Edit));
        click(f().pbNo[RecordEditorForm::Edit]);
        QCOMPARE(m_page->state(), RecordEditorPage::State::Idle);
        QVERIFY(!pairShown(RecordEditorForm::Edit));
        QCOMPARE(operationsEnabled(), (QList<bool>{false, true, true}));
        QCOMPARE(m_page->statusText(), QStringLiteral("Record is exist. You can edit this record."));
        QVERIFY(selectionEnabled());

        // Delete, then No, then Delete and Yes: the key is asked, the file stays until it says so.
        click(f().pbOperation[RecordEditorForm::Delete]);
        QCOMPARE(m_page->statusText(), QStringLiteral("Attention! Current record will be deleted!"));
        QVERIFY(pairShown(RecordEditorForm::Delete));
        QVERIFY(selectionLocked());
        click(f().pbNo[RecordEditorForm::Delete]);
        QCOMPARE(operationsEnabled(), (QList<bool>{false, true, true}));
        QCOMPARE(m_page->statusText(), QStringLiteral("Record is exist. You can edit this record."));
        QVERIFY(m_link->json().isEmpty());
        click(f().pbOperation[RecordEditorForm::Delete]);
        click(f().pbYes[RecordEditorForm::Delete]);
        QVERIFY(!pairShown(RecordEditorForm::Delete));
        QVERIFY(!f().pbOperation[RecordEditorForm::Delete]->isEnabled());
        QVERIFY(selectionEnabled());
        QCOMPARE(m_link->json().size(), 1);
        const QJsonObject del = m_link->json().first();
        QCOMPARE(del.value("function_name").toString(), QStringLiteral("FE_Page_Delete"));
        QCOMPARE(del.value("pagenumber").toString(), existing);
        QCOMPARE(del.value("all").toInt(), 0);
        QVERIFY(QFile::exists(mirror(existing)));

        // A new name from the inputs: Create, No, Create, Yes.
        typeOperation(QStringLiteral("XYZ0000042"));
        const QString created = RecordName::make(1, 4, QStringLiteral("XYZ0000042"), 7);
        QCOMPARE(m_page->recordName(), created);
        QVERIFY(!m_page->recordExists());
        QCOMPARE(operationsEnabled(), (QList<bool>{true, false, false}));
        QCOMPARE(m_page->statusText(), QStringLiteral("Record don't exist. You can create NEW record."));
        QCOMPARE(f().table->rowCount(), 0);
        click(f().pbOperation[RecordEditorForm::Create]);
        QCOMPARE(m_page->state(), RecordEditorPage::State::ArmedCreate);
        QVERIFY(pairShown(RecordEditorForm::Create));
        QVERIFY(selectionLocked());
        click(f().pbNo[RecordEditorForm::Create]);
        QCOMPARE(operationsEnabled(), (QList<bool>{true, false, false}));
        QCOMPARE(m_page->statusText(), QStringLiteral("Record don't exist. You can create NEW record."));
        QVERIFY(!QFile::exists(mirror(created)));

        click(f().pbOperation[RecordEditorForm::Create]);
        click(f().pbYes[RecordEditorForm::Create]);
        QCOMPARE(m_page->state(), RecordEditorPage::State::Idle);
        const QByteArray bytes = readAll(mirror(created));
        QCOMPARE(bytes.size(), RecordFile::EmptySize);
        const RecordFile::ReadResult r = RecordFile::read(bytes);
        QVERIFY(r.headerCrcOk);
        QCOMPARE(r.record.header.countCon, quint16(0));
        QCOMPARE(r.record.header.status, quint16(0));
        QCOMPARE(r.record.header.operationNumber(), QStringLiteral("XYZ0000042"));
        QCOMPARE(r.record.header.fioIndex, quint8(1));
        QCOMPARE(r.record.header.wheelIndex, quint8(4));
        QCOMPARE(r.record.header.uzelIndex, quint8(7));
        // Node 7's values stood in for the new record.
        QCOMPARE(r.record.header.algorithm, quint8(2));
        QCOMPARE(r.record.header.rangeLow, 70.0f);
        QCOMPARE(r.record.header.rangeHigh, 80.0f);
        QCOMPARE(r.record.header.countTotal, quint16(6));
        QCOMPARE(r.record.header.headMm, 19.0f);
        QCOMPARE(m_link->writes(), QStringList{QStringLiteral("/dbsett/") + created});
        QCOMPARE(m_page->statusText(), QStringLiteral("Record is exist. You can edit this record."));
        QCOMPARE(operationsEnabled(), (QList<bool>{false, true, true}));
        QCOMPARE(f().lbRecordCount->text(), QStringLiteral("Record Number (2 pcs)"));
        QCOMPARE(f().cbPageNumber->currentText(), created);

        // The key confirms the write: once, for the record, it is told to show it.
        emit m_session->files()->files_put_file({QStringLiteral("templates"), QStringLiteral("FioTypes")});
        QCOMPARE(m_link->json().size(), 1);
        emit m_session->files()->files_put_file({QStringLiteral("dbsett"), created});
        emit m_session->files()->files_put_file({QStringLiteral("dbsett"), created});
        QCOMPARE(m_link->json().size(), 2);
        QCOMPARE(m_link->json().last().value("function_name").toString(), QStringLiteral("FE_PageCurrent_Write"));
        QCOMPARE(m_link->json().last().value("pagenumber").toString(), created);
    }

    // Editing a record with measures writes it back with none, under the name it is shown by.
    void editDropsMeasures()
    {
        const QString name = RecordName::make(0, 1, QStringLiteral("0000000009"), 2);
        putRecord(name, header(0, 1, QStringLiteral("0000000009"), 2, 4),
                  {entry(41), entry(42), entry(43), entry(44), entry(45)});
        m_records->rebuild();
        QCOMPARE(m_page->parameter(RecordParameter::CountCon)->value(), 5.0);
        QCOMPARE(m_page->parameter(RecordParameter::AngleLow)->value(), 15.0);
        typeInto(RecordParameter::HeadMm, QStringLiteral("24"));
        click(f().pbOperation[RecordEditorForm::Edit]);
        click(f().pbYes[RecordEditorForm::Edit]);
        const QByteArray bytes = readAll(mirror(name));
        QCOMPARE(bytes.size(), 88);
        const RecordHeader h = RecordFile::read(bytes).record.header;
        QCOMPARE(h.countCon, quint16(0));
        QCOMPARE(h.algorithm, quint8(4));
        QCOMPARE(h.headMm, 24.0f);
        QCOMPARE(h.angleLow, 15.0f);
        QCOMPARE(h.pitchStep, 1.25f);
        QCOMPARE(m_page->parameter(RecordParameter::CountCon)->value(), 0.0);
        QCOMPARE(f().table->rowCount(), 0);
        QCOMPARE(m_link->writes(), QStringList{QStringLiteral("/dbsett/") + name});
    }

    // Low Moment never above High Moment, whichever was typed last.
    void momentRangeOrder()
    {
        typeInto(RecordParameter::RangeHigh, QStringLiteral("120"));
        typeInto(RecordParameter::RangeLow, QStringLiteral("150"));
        QCOMPARE(m_page->parameter(RecordParameter::RangeLow)->value(), 120.0);
        QCOMPARE(m_page->parameter(RecordParameter::RangeHigh)->value(), 120.0);
        typeInto(RecordParameter::RangeHigh, QStringLiteral("100"));
        QCOMPARE(m_page->parameter(RecordParameter::RangeHigh)->value(), 120.0);
        typeInto(RecordParameter::RangeLow, QStringLiteral("90"));
        typeInto(RecordParameter::RangeHigh, QStringLiteral("95.5"));
        QCOMPARE(m_page->parameter(RecordParameter::RangeLow)->value(), 90.0);
        QCOMPARE(m_page->parameter(RecordParameter::RangeHigh)->value(), 95.5);
        // Other fields leave the range alone.
        typeInto(RecordParameter::StartMom, QStringLiteral("500"));
        QCOMPARE(m_page->parameter(RecordParameter::RangeLow)->value(), 90.0);
        QCOMPARE(m_page->collectHeader().rangeLow, 90.0f);
        QCOMPARE(m_page->collectHeader().rangeHigh, 95.5f);
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
        QCOMPARE(m_page->currentAlgorithm(), 9);
        cParameter *angleLow = m_page->parameter(RecordParameter::AngleLow);
        QCOMPARE(angleLow->minimum(), 0.0);
        QCOMPARE(angleLow->maximum(), 10.0);
        QCOMPARE(angleLow->precision(), 1);
        QCOMPARE(angleLow->value(), 10.0); // node 0's low angle of 10 fits the new range
        QCOMPARE(m_page->parameter(RecordParameter::RangeHigh)->caption(), QStringLiteral("Limit Moment"));
        QCOMPARE(angleLow->caption(), QStringLiteral("Start Angle"));
        QCOMPARE(m_page->parameter(RecordParameter::AngleHigh)->caption(), QStringLiteral("Limit Angle"));
        QCOMPARE(m_page->parameter(RecordParameter::Angle)->caption(), QStringLiteral("Angle Increment"));
        QCOMPARE(m_page->parameter(RecordParameter::Angle)->button()->toolTip(), QStringLiteral("Step angle increment"));
        QCOMPARE(m_page->parameter(RecordParameter::RangeLow)->caption(), QStringLiteral("Low Moment"));
        QVERIFY(m_page->parameter(RecordParameter::PitchStep)->button()->isHidden());
        typeInto(RecordParameter::AngleLow, QStringLiteral("0.5"));
        QCOMPARE(angleLow->text(), QStringLiteral("0.5"));
        QCOMPARE(m_page->collectHeader().angleLow, 0.5f);

        QTest::keyClick(algorithm, Qt::Key_Home);
        QCOMPARE(m_page->currentAlgorithm(), 0);
        QCOMPARE(angleLow->minimum(), 1.0);
        QCOMPARE(angleLow->maximum(), 900.0);
        QCOMPARE(angleLow->precision(), 0);
        QCOMPARE(angleLow->value(), 1.0); // 0.5 is outside 1..900
        QCOMPARE(angleLow->caption(), QStringLiteral("Low Angle"));
        QCOMPARE(m_page->parameter(RecordParameter::RangeHigh)->caption(), QStringLiteral("High Moment"));
        QVERIFY(!m_page->parameter(RecordParameter::PitchStep)->button()->isHidden());

        // Off the records page code 9 keeps 1..900; coming back shows the stored 0.5 again.
        const QString name = RecordName::make(0, 0, QStringLiteral("DEP0000009"), 0);
        RecordHeader h = header(0, 0, QStringLiteral("DEP0000009"), 0, 9);
        h.angleLow = 0.5f;
        putRecord(name, h);
        m_pageShown = false;
        m_records->rebuild();
        QCOMPARE(m_page->recordName(), name);
        QCOMPARE(angleLow->maximum(), 900.0);
        QCOMPARE(angleLow->caption(), QStringLiteral("Start Angle"));
        m_pageShown = true;
        m_page->refreshForRecordsPage();
        QCOMPARE(angleLow->maximum(), 10.0);
        QCOMPARE(angleLow->text(), QStringLiteral("0.5"));
    }

    // A template entry that is switched off shows in red with its reason; it cannot be picked
    // for a new record, but a record that uses it still shows it.
    void disabledTemplateCaptions()
    {
        const QString name = RecordName::make(2, 0, QStringLiteral("0000000001"), 3);
        putRecord(name, header(2, 0, QStringLiteral("0000000001"), 3));
        const QString fine = RecordName::make(1, 0, QStringLiteral("0000000001"), 4);
        putRecord(fine, header(1, 0, QStringLiteral("0000000001"), 4));
        m_records->rebuild();
        // The last record of the list is the one that uses switched-off entries.
        QCOMPARE(m_page->recordName(), name);
        QCOMPARE(f().cbUzel->currentIndex(), 3);
        QCOMPARE(f().cbFio->currentIndex(), 2);
        for (QLabel *caption : {f().lbUzel, f().lbFio}) {
            QVERIFY(caption->styleSheet().contains(QStringLiteral("rgb(255, 0, 0)")));
            QCOMPARE(caption->toolTip(), QStringLiteral("Current record consist not enabled template"));
        }
        QVERIFY(f().lbWheel->styleSheet().contains(QStringLiteral("rgb(0, 0, 0)")));
        QCOMPARE(f().lbWheel->toolTip(), QString());

        QTest::keyClick(f().cbPageNumber, Qt::Key_Home);
        QCOMPARE(m_page->recordName(), fine);
        for (QLabel *caption : {f().lbUzel, f().lbFio}) {
            QVERIFY(caption->styleSheet().contains(QStringLiteral("rgb(0, 0, 0)")));
            QCOMPARE(caption->toolTip(), QString());
        }

        // Stepping through the node combo skips the switched-off entry 3.
        f().cbUzel->setCurrentIndex(2);
        QTest::keyClick(f().cbUzel, Qt::Key_Down);
        QCOMPARE(f().cbUzel->currentIndex(), 4);
        QCOMPARE(m_page->recordName(), fine);
        QVERIFY(m_page->recordExists());
    }

    // A record file that cannot be written is told, nothing goes to the key, and the editor
    // shows what the mirror really holds.
    void unwritableRecord()
    {
        QDir().mkpath(Paths::downloadRoot());
        QVERIFY(writeBytes(Paths::downloadDir(QStringLiteral("dbsett")), "not a folder"));
        QSignalSpy messages(m_page, SIGNAL(messageRequested(QString, QString)));
        typeOperation(QStringLiteral("NEW0000001"));
        QVERIFY(!m_page->recordExists());
        click(f().pbOperation[RecordEditorForm::Create]);
        click(f().pbYes[RecordEditorForm::Create]);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0][0].toString().startsWith(QStringLiteral("Warning! Record can't be saved!")));
        QCOMPARE(messages[0][1].toString(), QStringLiteral("red"));
        QVERIFY(m_link->bodies.isEmpty());
        QCOMPARE(m_page->state(), RecordEditorPage::State::Idle);
        QVERIFY(!m_page->recordExists());
        QCOMPARE(operationsEnabled(), (QList<bool>{true, false, false}));
        QCOMPARE(m_page->statusText(), QStringLiteral("Record don't exist. You can create NEW record."));
        QVERIFY(selectionEnabled());
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
        QVERIFY(m_page->recordExists());
        QCOMPARE(f().table->rowCount(), 2);
        QCOMPARE(m_page->parameter(RecordParameter::CountCon)->value(), 2.0);

        const QString stub = RecordName::make(0, 2, QStringLiteral("STUB000001"), 1);
        QVERIFY(writeBytes(mirror(stub), QByteArray(30, '\x11')));
        typeOperation(QStringLiteral("STUB000001"));
        QCOMPARE(m_page->recordName(), stub);
        QVERIFY(m_page->recordExists());
        QCOMPARE(operationsEnabled(), (QList<bool>{false, true, true}));
        QCOMPARE(f().table->rowCount(), 0);

        // An incomplete operation number names no record: nothing can be done with it.
        f().leOperation->setText(QStringLiteral("AB"));
        m_page->slot_GetRecordStatus();
        QCOMPARE(operationsEnabled(), (QList<bool>{false, false, false}));
        QVERIFY(m_page->recordName().isEmpty());
    }

    // The measure table's cells: colours against the record's range, angles only for the
    // angle algorithms, dates only when the key keeps them.
    void measureTableCells()
    {
        RecordMeasureTable table;
        table.showEntries({entry(50, 0, 33.3f), entry(61, 70), entry(39, 20), entry(-45, -0.00001f)}, 2, 40, 60, true);
        QCOMPARE(table.rowCount(), 4);
        QCOMPARE(table.item(0, 0)->text(), QStringLiteral("1"));
        QCOMPARE(table.item(0, 1)->text(), QStringLiteral("50.00"));
        QCOMPARE(table.item(0, 1)->foreground().color(), QColor(Qt::black));
        QCOMPARE(table.item(0, 2)->text(), QStringLiteral("-"));
        QCOMPARE(table.item(0, 3)->text(), QStringLiteral("33.3"));
        QCOMPARE(table.item(0, 4)->text(), QStringLiteral("09.03.24 07:05:01"));
        QCOMPARE(table.item(1, 1)->foreground().color(), QColor(Qt::red));
        QCOMPARE(table.item(1, 1)->background().color(), QColor(200, 200, 200));
        QCOMPARE(table.item(1, 2)->text(), QStringLiteral("70.00"));
        QCOMPARE(table.item(1, 2)->foreground().color(), QColor(Qt::red));
        QCOMPARE(table.item(2, 1)->foreground().color(), QColor(Qt::darkYellow));
        QCOMPARE(table.item(2, 2)->foreground().color(), QColor(Qt::darkYellow));
        QCOMPARE(table.item(3, 1)->text(), QStringLiteral("45.00"));
        QCOMPARE(table.item(3, 1)->foreground().color(), QColor(Qt::blue));
        QCOMPARE(table.item(3, 2)->foreground().color(), QColor(Qt::black));

        table.showEntries({entry(50, 0, 33.3f)}, 9, 40, 60, true);
        QCOMPARE(table.rowCount(), 1);
        QCOMPARE(table.item(0, 3)->text(), QStringLiteral("-"));
        QCOMPARE(table.item(0, 4)->text(), QStringLiteral(" "));
        table.showEntries({entry(50)}, 0, 40, 60, false);
        QCOMPARE(table.item(0, 4)->text(), QStringLiteral(" "));
    }

    // Leaving an armed operation behind (the key went away) frees the window again.
    void cancelledWhenTabsReset()
    {
        typeOperation(QStringLiteral("CAN0000001"));
        click(f().pbOperation[RecordEditorForm::Create]);
        QVERIFY(selectionLocked());
        m_page->cancelOperation();
        QCOMPARE(m_page->state(), RecordEditorPage::State::Idle);
        QVERIFY(selectionEnabled());
        QVERIFY(!pairShown(RecordEditorForm::Create));
        QCOMPARE(operationsEnabled(), (QList<bool>{true, false, false}));
    }

    // The three records-folder operations.
    void recordsFolder()
    {
        auto *frame = new QFrame(m_window);
        new QVBoxLayout(frame);
        RecordsFolderPanel panel(frame, m_session->files(), m_session->protocol());
        panel.setPopups(m_popups);
        QSignalSpy messages(&panel, SIGNAL(messageRequested(QString, QString)));
        QString chosen;
        panel.setFolderChooser([&chosen](const QString &, const QString &) { return chosen; });

        // Save: every mirror file, an older copy in the folder replaced.
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
        QVERIFY(messages.isEmpty());

        // Copy from an empty folder: told, nothing sent. Cancelled dialog: nothing at all.
        QTemporaryDir empty;
        chosen = empty.path();
        click(panel.copyButton());
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0][0].toString(), QStringLiteral("Warning! Folder is empty!"));
        chosen.clear();
        click(panel.copyButton());
        QCOMPARE(messages.size(), 1);
        QVERIFY(m_link->bodies.isEmpty());

        // Copy: record files go to the key's records folder, anything else stays behind.
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
        QCOMPARE(m_link->json().size(), 1);
        const QJsonObject del = m_link->json().first();
        QCOMPARE(del.value("function_name").toString(), QStringLiteral("FE_Page_Delete"));
        QCOMPARE(del.value("pagenumber").toString(), QString());
        QCOMPARE(del.value("all").toInt(), 1);
        PopupMsg *message = m_popups->message();
        QVERIFY(message->isVisible());
        bool told = false;
        for (QLabel *label : message->findChildren<QLabel *>())
            told = told || label->text().contains(QStringLiteral("Warning! Records will be erased from key."));
        QVERIFY(told);
        // Its Close (or its countdown) ends the program.
        QPushButton *close = message->findChild<QPushButton *>();
        QVERIFY(close);
        click(close);
        QCOMPARE(closing.size(), 1);
    }
};

QTEST_MAIN(TestRecordEditor)
#include "tst_recordeditor.moc"
