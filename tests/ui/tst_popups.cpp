#include "base/Paths.h"
#include "ui/popups/PopupA.h"
#include "ui/popups/PopupHost.h"
#include "ui/popups/PopupMsg.h"
#include "ui/popups/PopupQ.h"
#include "ui/popups/PopupWait.h"
#include "ui/widgets/cParameter.h"

#include <QApplication>
#include <QFile>
#include <QGridLayout>
#include <QLineEdit>
#include <QMovie>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {
constexpr int tickMs = 20;

QPushButton *key(QWidget *popup, const QString &name)
{
    auto *button = popup->findChild<QPushButton *>(name);
    if (!button)
        qFatal("no button %s", qPrintable(name));
    return button;
}

void click(QWidget *popup, const QString &name)
{
    QTest::mouseClick(key(popup, name), Qt::LeftButton);
}

// Presses the keypad's keys for each character: digits, '.' and '-' (the sign key).
void type(PopupA *pad, const QString &keys)
{
    for (const QChar c : keys) {
        if (c == QLatin1Char('.'))
            click(pad, QStringLiteral("pbDot"));
        else if (c == QLatin1Char('-'))
            click(pad, QStringLiteral("pbSign"));
        else
            click(pad, QStringLiteral("pb") + c);
    }
}

QWidget *lastYesWindow = nullptr;
int yesCalls = 0;
void onYes(QWidget *mainWindow)
{
    lastYesWindow = mainWindow;
    ++yesCalls;
}
} // namespace

class TestPopups : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void keypadDigitRules();
    void keypadOkOutOfRangeAndCancel();
    void keypadTextParameter();
    void keypadReachesWholeRange();
    void keypadSurvivesParameterGoing();
    void keypadHardwareKeysAndSelection();
    void placementStaysOnScreen();

    void messageCountdown();
    void refusalsShowInRed();
    void messageWithoutCountdown();
    void notUsbClosesOnlyItsOwnShowing();
    void questionCallbacks();
    void questionAskedFromItsOwnAnswer();
    void waitPopup();

private:
    QWidget *m_main = nullptr;
    PopupHost *m_host = nullptr;
};

void TestPopups::init()
{
    m_main = new QWidget;
    m_main->setGeometry(60, 40, 640, 480);
    m_main->show();
    m_host = new PopupHost(m_main, tickMs, 1);
    yesCalls = 0;
    lastYesWindow = nullptr;
}

void TestPopups::cleanup()
{
    delete m_main; // takes the host and the popups with it
    m_main = nullptr;
    m_host = nullptr;
}

void TestPopups::keypadDigitRules()
{
    cParameter par(QStringLiteral("Low Moment"), true, 1.0, QStringLiteral("green"), 1);
    par.setMinimum(0);
    par.setMaximum(2000);
    m_host->showKeypad(&par);
    PopupA *pad = m_host->keypad();
    QVERIFY(pad->isVisible());
    QCOMPARE(pad->lineText(), QStringLiteral("1.0"));
    QCOMPARE(pad->headerText(), QStringLiteral("Low Moment [0..2000]"));
    QVERIFY(key(pad, QStringLiteral("pbDot"))->isVisible());
    QVERIFY(!key(pad, QStringLiteral("pbSign"))->isVisible());

    const struct {
        const char *keys;
        const char *shown;
    } cases[] = {
        {"12345", "1234"},        // four whole digits at most
        {"07", "7"},              // a lone zero is replaced
        {"00", "0"},
        {"1.2345678", "1.234567"}, // with a point: up to eight characters
        {"1234.5678", "1234.567"},
        {"..5", ".5"},            // one point only
    };
    for (const auto &c : cases) {
        click(pad, QStringLiteral("pbDel"));
        type(pad, QString::fromLatin1(c.keys));
        QCOMPARE(pad->lineText(), QString::fromLatin1(c.shown));
    }
}

void TestPopups::keypadOkOutOfRangeAndCancel()
{
    cParameter par(QStringLiteral("Low Moment"), true, 1.0, QStringLiteral("green"), 1);
    par.setMinimum(0);
    par.setMaximum(2000);
    QSignalSpy changed(&par, &cParameter::changed_valueD);
    m_host->showKeypad(&par);
    PopupA *pad = m_host->keypad();

    click(pad, QStringLiteral("pbDel"));
    click(pad, QStringLiteral("pbOK")); // empty: nothing happens
    QVERIFY(pad->isVisible());
    QCOMPARE(changed.count(), 0);

    type(pad, QStringLiteral("2500"));
    click(pad, QStringLiteral("pbOK"));
    QVERIFY(pad->isVisible());
    QCOMPARE(pad->headerText(), QStringLiteral("2500 out of [0..2000]"));
    QCOMPARE(par.text(), QStringLiteral("1.0"));
    QCOMPARE(changed.count(), 0);
    type(pad, QStringLiteral("5")); // the refused entry is replaced, not extended
    QCOMPARE(pad->lineText(), QStringLiteral("5"));
    click(pad, QStringLiteral("pbOK"));
    QVERIFY(!pad->isVisible());
    QCOMPARE(par.text(), QStringLiteral("5.0"));
    QCOMPARE(changed.count(), 1);

    m_host->showKeypad(&par);
    type(pad, QStringLiteral("9"));
    click(pad, QStringLiteral("pbCancel"));
    QVERIFY(!pad->isVisible());
    QCOMPARE(par.text(), QStringLiteral("5.0"));
    QCOMPARE(changed.count(), 1);
    QVERIFY(!par.isChanged());
}

void TestPopups::keypadTextParameter()
{
    cParameter par(QStringLiteral("Metall Correction"), true, QStringLiteral("0"),
                   QStringLiteral("white"));
    QSignalSpy changed(&par, &cParameter::changed_valueS);
    m_host->showKeypad(&par);
    PopupA *pad = m_host->keypad();
    QCOMPARE(pad->headerText(), QStringLiteral("Metall Correction [0.00..9999.00]"));
    QVERIFY(!key(pad, QStringLiteral("pbDot"))->isVisible());

    // Cancel and OK take the whole bottom row between them.
    auto *grid = pad->findChild<QGridLayout *>(QStringLiteral("grKeyboard"));
    QVERIFY(grid);
    int row, column, rowSpan, columnSpan;
    grid->getItemPosition(grid->indexOf(key(pad, QStringLiteral("pbCancel"))), &row, &column,
                          &rowSpan, &columnSpan);
    QCOMPARE(column, 0);
    grid->getItemPosition(grid->indexOf(key(pad, QStringLiteral("pbOK"))), &row, &column, &rowSpan,
                          &columnSpan);
    QCOMPARE(column + columnSpan, 3);

    type(pad, QStringLiteral("25"));
    click(pad, QStringLiteral("pbOK"));
    QCOMPARE(par.text(), QStringLiteral("25"));
    QCOMPARE(changed.count(), 1);
}

void TestPopups::keypadReachesWholeRange()
{
    // Five-digit bounds: with four digits no valid port could ever be typed.
    cParameter port(QStringLiteral("PC Port:"), true, 0.0, QString(), 0);
    port.setMinimum(32000);
    port.setMaximum(32500);
    m_host->showKeypad(&port);
    PopupA *pad = m_host->keypad();
    type(pad, QStringLiteral("321009"));
    QCOMPARE(pad->lineText(), QStringLiteral("32100"));
    click(pad, QStringLiteral("pbOK"));
    QCOMPARE(port.value(), 32100.0);

    // A negative range gets the sign key.
    cParameter deviation(QStringLiteral("Angle Deviation"), true, QStringLiteral("0"), QString());
    deviation.setMinimum(-10);
    deviation.setMaximum(10);
    m_host->showKeypad(&deviation);
    QVERIFY(key(pad, QStringLiteral("pbSign"))->isVisible());
    QCOMPARE(pad->headerText(), QStringLiteral("Angle Deviation [-10.00..10.00]"));
    type(pad, QStringLiteral("-5"));
    QCOMPARE(pad->lineText(), QStringLiteral("-5"));
    click(pad, QStringLiteral("pbDel"));
    type(pad, QStringLiteral("-07"));
    QCOMPARE(pad->lineText(), QStringLiteral("-7"));
    type(pad, QStringLiteral("-"));
    QCOMPARE(pad->lineText(), QStringLiteral("7"));
    type(pad, QStringLiteral("-0"));
    click(pad, QStringLiteral("pbOK"));
    QVERIFY(pad->isVisible()); // -70 is out of range
    QCOMPARE(deviation.text(), QStringLiteral("0"));
    type(pad, QStringLiteral("-7"));
    click(pad, QStringLiteral("pbOK"));
    QVERIFY(!pad->isVisible());
    QCOMPARE(deviation.text(), QStringLiteral("-7"));
}

void TestPopups::keypadSurvivesParameterGoing()
{
    auto *par = new cParameter(QStringLiteral("Angle"), true, 3.0, QString(), 0);
    m_host->showKeypad(par);
    delete par;
    PopupA *pad = m_host->keypad();
    type(pad, QStringLiteral("5"));
    click(pad, QStringLiteral("pbOK"));
    QVERIFY(!pad->isVisible());

    m_host->showKeypad(nullptr);
    QVERIFY(!pad->isVisible());
}

void TestPopups::keypadHardwareKeysAndSelection()
{
    cParameter par(QStringLiteral("Angle"), true, 30.0, QString(), 0);
    par.setMinimum(1);
    par.setMaximum(900);
    m_host->showKeypad(&par);
    PopupA *pad = m_host->keypad();
    auto *edit = pad->findChild<QLineEdit *>();
    QVERIFY(edit);
    QTRY_VERIFY(edit->hasSelectedText());

    // Letters and the sign (no negative values here) are ignored; a comma is the point.
    QTest::keyClicks(edit, QStringLiteral("4a5-,"));
    QCOMPARE(pad->lineText(), QStringLiteral("45."));
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(!pad->isVisible());
    QCOMPARE(par.text(), QStringLiteral("45"));
}

void TestPopups::placementStaysOnScreen()
{
    const QRect screen(0, 0, 1024, 768);
    const QSize pad(348, 600);
    QCOMPARE(PopupHost::placedAt(pad, QPoint(512, 384), screen), QPoint(338, 84));
    QCOMPARE(PopupHost::placedAt(pad, QPoint(1000, 700), screen), QPoint(676, 168));
    QCOMPARE(PopupHost::placedAt(pad, QPoint(10, 10), screen), QPoint(0, 0));
    QCOMPARE(PopupHost::placedAt(QSize(2000, 1000), QPoint(512, 384), screen), QPoint(0, 0));

    cParameter par(QStringLiteral("Angle"), true, 30.0, QString(), 0);
    m_host->showKeypad(&par);
    const QRect area = m_main->screen()->availableGeometry();
    QVERIFY(area.contains(m_host->keypad()->frameGeometry()));
}

void TestPopups::messageCountdown()
{
    cParameter carrier(QStringLiteral("Record saved"), false, QString(), QStringLiteral("red"));
    m_host->PopupMessageWindow(&carrier);
    PopupMsg *msg = m_host->message();
    QVERIFY(msg->isVisible());
    QCOMPARE(msg->text(), QStringLiteral("Record saved"));
    QCOMPARE(msg->buttonText(), QStringLiteral("CLOSE (60)"));
    QVERIFY((msg->frameGeometry().center() - m_main->frameGeometry().center()).manhattanLength() <= 2);
    QSignalSpy pressed(msg, &PopupMsg::button);
    click(msg, QStringLiteral("pbButton"));
    QCOMPARE(pressed.count(), 1);
    QVERIFY(!msg->isVisible() && !msg->isCounting());

    // Ticks driven by hand so every step can be seen.
    QSignalSpy timeout(msg, &PopupMsg::timeout);
    msg->setMessage(QStringLiteral("three"), QStringLiteral("CLOSE"), true, 3);
    msg->show();
    QCOMPARE(msg->buttonText(), QStringLiteral("CLOSE (3)"));
    msg->slot_iTimerTick();
    QCOMPARE(msg->buttonText(), QStringLiteral("CLOSE (2)"));
    msg->slot_iTimerTick();
    QVERIFY(msg->isVisible());
    QCOMPARE(timeout.count(), 0);
    msg->slot_iTimerTick();
    QCOMPARE(timeout.count(), 1);
    QVERIFY(!msg->isVisible());

    // And by the timer: a count of 1 ends on the first tick.
    msg->setMessage(QStringLiteral("one"), QStringLiteral("CLOSE"), true, 1);
    msg->show();
    QVERIFY(timeout.wait());
    QCOMPARE(timeout.count(), 2);
    QVERIFY(!msg->isVisible());
    QCOMPARE(pressed.count(), 1);
}

void TestPopups::refusalsShowInRed()
{
    // Pixels of the message text drawn in red.
    auto redPixels = [this] {
        const QImage image = m_host->message()->findChild<QLabel *>(QStringLiteral("lbText"))->grab().toImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.red() > 120 && c.green() < 80 && c.blue() < 80;
            }
        return n;
    };
    cParameter refused(QStringLiteral("Measures not erased: R1"), false, QString(), QStringLiteral("red"));
    m_host->PopupMessageWindow(&refused);
    QVERIFY(redPixels() > 20);
    cParameter plain(QStringLiteral("Measures not erased: R1"), false, QString(), QStringLiteral("yellow"));
    m_host->PopupMessageWindow(&plain);
    QCOMPARE(redPixels(), 0);
}

void TestPopups::messageWithoutCountdown()
{
    cParameter carrier(QStringLiteral("Formatting"), false, QString(), QStringLiteral("red"));
    m_host->PopupMessageWindow(&carrier);
    PopupMsg *msg = m_host->message();
    QVERIFY(msg->isCounting());
    // Refilled while showing: the earlier countdown must not carry on.
    m_host->PopupMessageWindowFormat(&carrier);
    QCOMPARE(msg->buttonText(), QStringLiteral("Waiting"));
    QVERIFY(!key(msg, QStringLiteral("pbButton"))->isEnabled());
    QVERIFY(!msg->isCounting() && msg->isVisible());
    m_host->closeMessage();
    QVERIFY(!msg->isVisible());

    m_host->PopupMessageWindow(&carrier);
    msg->close(); // closed by code: the countdown goes with it
    QVERIFY(!msg->isCounting());

    m_host->PopupMessageWindow(nullptr);
    QVERIFY(!msg->isVisible());
}

void TestPopups::notUsbClosesOnlyItsOwnShowing()
{
    QSignalSpy closing(m_host, &PopupHost::closeRequested);
    cParameter carrier(QStringLiteral("Program will be closed"), false, QString(),
                       QStringLiteral("red"));
    m_host->PopupMessageWindowNotUSB(&carrier);
    PopupMsg *msg = m_host->message();
    QCOMPARE(msg->buttonText(), QStringLiteral("Close (10)"));
    click(msg, QStringLiteral("pbButton"));
    QCOMPARE(closing.count(), 1);

    // The popup is reused: an ordinary message afterwards must not close the program.
    m_host->PopupMessageWindow(&carrier);
    click(msg, QStringLiteral("pbButton"));
    QCOMPARE(closing.count(), 1);

    m_host->PopupMessageWindowNotUSB(&carrier);
    QVERIFY(closing.wait());
    QCOMPARE(closing.count(), 2);
    QVERIFY(!msg->isVisible());
}

void TestPopups::questionCallbacks()
{
    cParameter carrier(QStringLiteral("Delete record?"), false, QString(), QStringLiteral("red"));
    int noCalls = 0;
    m_host->PopupQuestionWindow(&carrier, onYes, [&noCalls](QWidget *) { ++noCalls; });
    PopupQ *q = m_host->question();
    QVERIFY(q->isVisible());
    QCOMPARE(q->text(), QStringLiteral("Attention!\nDelete record?"));
    QCOMPARE(key(q, QStringLiteral("pbNo"))->text(), QStringLiteral("Close"));
    // Both answers lie inside the popup: beside the picture the right one stuck out past its edge.
    for (const QString &name : {QStringLiteral("pbYes"), QStringLiteral("pbNo")}) {
        const QWidget *button = key(q, name);
        QVERIFY2(q->rect().contains(QRect(button->mapTo(q, QPoint(0, 0)), button->size())),
                 qPrintable(name));
    }
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY((q->frameGeometry().center() - desktop.center()).manhattanLength() <= 2);

    click(q, QStringLiteral("pbYes"));
    QCOMPARE(yesCalls, 1);
    QCOMPARE(lastYesWindow, m_main);
    QVERIFY(noCalls == 0 && !q->isVisible());

    m_host->PopupQuestionWindow(&carrier, QStringLiteral("Open"), QStringLiteral("Cancel"), onYes,
                                [&noCalls](QWidget *) { ++noCalls; });
    QCOMPARE(key(q, QStringLiteral("pbNo"))->text(), QStringLiteral("Cancel"));
    click(q, QStringLiteral("pbNo"));
    QVERIFY(noCalls == 1 && yesCalls == 1);

    void (*none)(QWidget *) = nullptr;
    m_host->PopupQuestionWindow(&carrier, onYes, none);
    QCOMPARE(key(q, QStringLiteral("pbYes"))->text(), QStringLiteral("OK"));
    click(q, QStringLiteral("pbNo"));
    QVERIFY(!q->isVisible());
    QCOMPARE(yesCalls, 1);
}

void TestPopups::questionAskedFromItsOwnAnswer()
{
    cParameter first(QStringLiteral("First?"), false, QString(), QString());
    cParameter second(QStringLiteral("Second?"), false, QString(), QString());
    PopupHost *host = m_host;
    m_host->PopupQuestionWindow(
        &first, [host, &second](QWidget *) { host->PopupQuestionWindow(&second, onYes, nullptr); },
        nullptr);
    PopupQ *q = m_host->question();
    click(q, QStringLiteral("pbYes"));
    QVERIFY(q->isVisible());
    QCOMPARE(q->text(), QStringLiteral("Attention!\nSecond?"));
    click(q, QStringLiteral("pbYes"));
    QCOMPARE(yesCalls, 1);
    QVERIFY(!q->isVisible());
}

void TestPopups::waitPopup()
{
    m_host->PopupWaitWindow();
    PopupWait *wait = m_host->waiting();
    QVERIFY(wait->isVisible());
    QCOMPARE(wait->hasAnimation(), QFile::exists(QStringLiteral(":resource/images/wait.gif")));
    if (wait->hasAnimation())
        QCOMPARE(wait->movie()->state(), QMovie::Running);

    QSignalSpy timeout(wait, &PopupWait::timeout);
    wait->slot_iTimerTick();
    QCOMPARE(timeout.count(), 1);
    QVERIFY(!wait->isVisible());
    if (wait->hasAnimation())
        QCOMPARE(wait->movie()->state(), QMovie::NotRunning);

    m_host->PopupWaitWindow();
    m_host->closeWait();
    QVERIFY(!wait->isVisible());
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(torquedesk);
    // The popup pictures live in the build tree's png/.
    Paths::setDataRoot(QString::fromLocal8Bit(qgetenv("TD_BUILD_DIR")));
    TestPopups test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_popups.moc"
