// The templates page against the key emulator over a real pseudo-terminal: the key's lists
// arrive in the rows, and "Save" puts a list on the key byte for byte.
#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "link/UsbLink.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyConnection.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySession.h"
#include "records/TemplateBinary.h"
#include "records/TemplateListsModel.h"
#include "ui/templates/TemplateTextRow.h"
#include "ui/templates/TemplatesPage.h"
#include "ui/templates/UzelTemplateRow.h"
#include "ui/widgets/cSwitcher.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

namespace {

QString keysimBinary()
{
    return qEnvironmentVariable("TD_BUILD_DIR", QStringLiteral(".")) + QStringLiteral("/keysim");
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestTemplatesE2e : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void keyListsShownAndSavedByteIdentical();

private:
    QTemporaryDir m_key;
    QTemporaryDir m_pc;
    QProcess m_sim;
    QString m_device;
};

void TestTemplatesE2e::initTestCase()
{
    QProcess make;
    make.start(keysimBinary(), {"make-key", "--root", m_key.path(), "--records", "20", "--measures", "2", "--seed",
                                "5"});
    QVERIFY(make.waitForFinished(30000));
    QCOMPARE(make.exitCode(), 0);
    m_sim.start(keysimBinary(), {"--root", m_key.path()});
    QVERIFY(m_sim.waitForStarted(10000));
    while (!m_sim.canReadLine())
        QVERIFY(m_sim.waitForReadyRead(10000));
    m_device = QString::fromUtf8(m_sim.readLine()).trimmed();
    QVERIFY(m_device.startsWith("/dev/"));
    Paths::setDataRoot(m_pc.path());
}

void TestTemplatesE2e::cleanupTestCase()
{
    if (m_sim.state() != QProcess::NotRunning) {
        m_sim.terminate();
        if (!m_sim.waitForFinished(5000))
            m_sim.kill();
        m_sim.waitForFinished(5000);
    }
}

void TestTemplatesE2e::keyListsShownAndSavedByteIdentical()
{
    cGlobalData global;
    global.portOverride = m_device;
    KeyConnection connection(&global);
    UsbLink &usb = *connection.usb();
    KeySession &session = *connection.session();
    QVERIFY(usb.OpenKeyPort());
    connection.setModeForTesting(KeyConnection::Mode::Usb); // opened by hand: no event, no read-out

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
    TemplatesPage page(w, session.templateLists(), session.files(), session.model());
    QSignalSpy messages(&page, SIGNAL(messageRequested(QString, QString)));
    window.resize(1000, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // The read-out brings the key's folder; the rows show the key's lists.
    QSignalSpy received(session.templateLists(), SIGNAL(receivedFromKey()));
    session.protocol()->ReadKeyOnConnect();
    QVERIFY(received.wait(90000));
    const QString keyUzel = m_key.filePath("templates/UzelTypes");
    const QByteArray before = readFile(keyUzel);
    QCOMPARE(before.size(), 16000);
    TemplateLists keyLists;
    TemplateBinary::apply(TemplateKind::Uzel, before, &keyLists);
    // The rows follow a few per turn of the event loop, not all in the read-out's turn.
    QTRY_COMPARE(page.uzelRow(99)->texts()->text(0), keyLists.uzel[99].text1);
    QCOMPARE(page.uzelRow(2)->texts()->text(0), keyLists.uzel[2].text1);
    QCOMPARE(page.uzelRow(2)->algorithm(), int(keyLists.uzel[2].algorithm));
    QVERIFY(!keyLists.uzel[2].text1.isEmpty());

    // Edit two node rows through the widgets and save the list.
    tabs->setCurrentIndex(2);
    QLineEdit *edit = page.uzelRow(2)->texts()->edit(1);
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, QStringLiteral(" rev.B"));
    const bool wasOn = page.uzelRow(6)->texts()->isOn();
    QTest::mouseClick(page.uzelRow(6)->texts()->switcher()->button(), Qt::LeftButton);
    QTest::mouseClick(save, Qt::LeftButton);

    const QByteArray mirror = readFile(Paths::downloadDir("templates") + "/UzelTypes");
    QCOMPARE(mirror.size(), 16000);
    QVERIFY(mirror != before);
    QTRY_VERIFY_WITH_TIMEOUT(readFile(keyUzel) == mirror, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!session.files()->isBusy(), 30000);

    // Only the two edited entries changed on the key.
    const QByteArray after = readFile(keyUzel);
    for (int i = 0; i < 100; ++i) {
        const bool same = after.mid(160 * i, 160) == before.mid(160 * i, 160);
        QVERIFY2(same == (i != 2 && i != 6), qPrintable(QString::number(i)));
    }
    TemplateLists back;
    TemplateBinary::apply(TemplateKind::Uzel, after, &back);
    QCOMPARE(back.uzel[2].text2, keyLists.uzel[2].text2 + QStringLiteral(" rev.B"));
    QCOMPARE(back.uzel[6].enabled, !wasOn);
    QCOMPARE(messages.count(), 0);
}

QTEST_MAIN(TestTemplatesE2e)
#include "tst_templates_e2e.moc"
