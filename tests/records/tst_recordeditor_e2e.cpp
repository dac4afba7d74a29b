// The whole program against the key emulator over a real pseudo-terminal: the main window
// reads the key out, the records page creates, edits and deletes records through its
// buttons and the keypad, and the key's records folder and the PC's mirror both follow.
#include "ui/frame/MainWindow.h"
#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "ui/popups/PopupA.h"
#include "ui/popups/PopupHost.h"
#include "ui/widgets/cParameter.h"
#include "ui/records/RecordEditorPage.h"
#include "records/RecordFile.h"
#include "records/RecordList.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

static QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class TestRecordEditorE2e : public QObject
{
    Q_OBJECT

    QTemporaryDir m_key;
    QTemporaryDir m_pc;
    QProcess m_sim;
    cGlobalData m_data;
    MainWindow *m_window = nullptr;
    RecordEditorPage *m_page = nullptr;

    QString keyFile(const QString &name) const { return m_key.filePath(QStringLiteral("dbsett/")) + name; }
    QString mirrorFile(const QString &name) const { return Paths::downloadDir(QStringLiteral("dbsett/")) + name; }
    QString keyCurrentPage() const
    {
        const QByteArray state = readFile(m_key.filePath(QStringLiteral(".keystate.json")));
        return QJsonDocument::fromJson(state).object().value(QStringLiteral("currentPage")).toString();
    }
    RecordEditorForm &f() { return m_page->form(); }

    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }

    void typeInto(RecordParameter p, const QString &digits)
    {
        click(m_page->parameter(p)->button());
        PopupA *pad = m_window->popups()->keypad();
        QVERIFY(pad->isVisible());
        for (const QChar c : digits)
            click(pad->findChild<QPushButton *>(QStringLiteral("pb") + c));
        click(pad->findChild<QPushButton *>(QStringLiteral("pbOK")));
    }

    // Chooses a record in the record-name combo with the keyboard, as a person would.
    void chooseRecord(const QString &name)
    {
        QComboBox *combo = f().cbPageNumber;
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < combo->count() && combo->currentText() != name; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(m_page->recordName(), name);
    }

private slots:
    void initTestCase()
    {
        const QString keysim = qEnvironmentVariable("TD_BUILD_DIR", QStringLiteral(".")) + QStringLiteral("/keysim");
        QProcess make;
        make.start(keysim, {"make-key", "--root", m_key.path(), "--records", "6", "--measures", "3",
                                    "--seed", "21"});
        QVERIFY(make.waitForFinished(30000));
        QCOMPARE(make.exitCode(), 0);
        m_sim.start(keysim, {"--root", m_key.path()});
        QVERIFY(m_sim.waitForStarted(10000));
        while (!m_sim.canReadLine())
            QVERIFY(m_sim.waitForReadyRead(10000));
        const QString device = QString::fromUtf8(m_sim.readLine()).trimmed();
        QVERIFY(device.startsWith("/dev/"));

        Paths::setDataRoot(m_pc.path());
        m_data.portOverride = device;
        m_window = new MainWindow(nullptr, &m_data);
        m_window->show();
        // InitGraphics, the port scan and the whole read-out of the key.
        QTRY_VERIFY_WITH_TIMEOUT(m_window->recordList()->count() == 6, 30000);
        m_page = m_window->findChild<RecordEditorPage *>(QStringLiteral("recordEditorPage"));
        QVERIFY(m_page);
        QCOMPARE(f().lbRecordCount->text(), QStringLiteral("Record Number (6 pcs)"));

        // The service code opens the records page with its controls unlocked.
        m_window->findChild<QLineEdit *>(QStringLiteral("leKeyMessage"))->setText(QStringLiteral("5729"));
        click(m_window->findChild<QPushButton *>(QStringLiteral("pbSettings")));
        QCOMPARE(m_window->findChild<QStackedWidget *>(QStringLiteral("stMainPages"))->currentIndex(), 1);
        QVERIFY(f().pbOperation[RecordEditorForm::Edit]->isEnabled());
        QVERIFY(m_window->findChild<QFrame *>(QStringLiteral("frNewRecord"))->isEnabled());
    }

    void cleanupTestCase()
    {
        delete m_window;
        if (m_sim.state() != QProcess::NotRunning) {
            m_sim.terminate();
            if (!m_sim.waitForFinished(5000))
                m_sim.kill();
            m_sim.waitForFinished(5000);
        }
        Paths::setDataRoot(QString());
    }

    void createEditDelete()
    {
        QPushButton *back = m_window->findChild<QPushButton *>(QStringLiteral("pbSettings"));
        QFrame *menu = m_window->findChild<QFrame *>(QStringLiteral("frLeftMenu"));

        // Create a record named from the inputs.
        QLineEdit *operation = f().leOperation;
        operation->setFocus();
        operation->setCursorPosition(0);
        QTest::keyClicks(operation, QStringLiteral("E2E0000001"));
        QTest::keyClick(operation, Qt::Key_Return);
        const QString name = m_page->recordName();
        QVERIFY(name.contains(QStringLiteral("E2E0000001")));
        QVERIFY(!m_page->recordExists());
        QVERIFY(!QFile::exists(keyFile(name)));
        click(f().pbOperation[RecordEditorForm::Create]);
        QVERIFY(!back->isEnabled());
        QVERIFY(!menu->isEnabled());
        click(f().pbYes[RecordEditorForm::Create]);
        QVERIFY(back->isEnabled());
        QVERIFY(menu->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(readFile(keyFile(name)).size(), RecordFile::EmptySize, 15000);
        QCOMPARE(readFile(keyFile(name)), readFile(mirrorFile(name)));
        // Once the key has the file it is made the key's current record.
        QTRY_COMPARE_WITH_TIMEOUT(keyCurrentPage(), name, 15000);
        QCOMPARE(f().lbRecordCount->text(), QStringLiteral("Record Number (7 pcs)"));

        // Edit it: a new high moment reaches the key.
        typeInto(RecordParameter::RangeHigh, QStringLiteral("300"));
        click(f().pbOperation[RecordEditorForm::Edit]);
        click(f().pbYes[RecordEditorForm::Edit]);
        QTRY_COMPARE_WITH_TIMEOUT(RecordFile::read(readFile(keyFile(name))).record.header.rangeHigh, 300.0f, 15000);
        QCOMPARE(readFile(keyFile(name)), readFile(mirrorFile(name)));

        // Edit a record the key has measured: it comes back without its measures.
        const QString measured = m_window->recordList()->names().first();
        QVERIFY(RecordFile::read(readFile(keyFile(measured))).record.header.countCon > 0);
        chooseRecord(measured);
        QVERIFY(m_page->parameter(RecordParameter::CountCon)->value() > 0);
        click(f().pbOperation[RecordEditorForm::Edit]);
        click(f().pbYes[RecordEditorForm::Edit]);
        QTRY_COMPARE_WITH_TIMEOUT(readFile(keyFile(measured)).size(), RecordFile::EmptySize, 15000);
        QCOMPARE(RecordFile::read(readFile(keyFile(measured))).record.header.countCon, quint16(0));
        QCOMPARE(readFile(keyFile(measured)), readFile(mirrorFile(measured)));

        // Delete the new record: the key removes it, says so, and the mirror and list follow.
        chooseRecord(name);
        click(f().pbOperation[RecordEditorForm::Delete]);
        click(f().pbYes[RecordEditorForm::Delete]);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(keyFile(name)), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(mirrorFile(name)), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(f().lbRecordCount->text(), QStringLiteral("Record Number (6 pcs)"), 15000);
        QCOMPARE(f().cbPageNumber->findText(name), -1);
        QVERIFY(m_page->recordName() != name);
        QCOMPARE(QDir(m_key.filePath(QStringLiteral("dbsett"))).entryList(QDir::Files),
                 QDir(Paths::downloadDir(QStringLiteral("dbsett"))).entryList(QDir::Files));
    }
};

QTEST_MAIN(TestRecordEditorE2e)
#include "tst_recordeditor_e2e.moc"
