#include "ui/popups/PopupHost.h"

#include "base/Log.h"
#include "ui/popups/PopupA.h"
#include "ui/popups/PopupMsg.h"
#include "ui/popups/PopupWait.h"
#include "ui/widgets/cParameter.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {
constexpr quint8 messageCount = 60;
constexpr quint8 notUsbCount = 10;
} // namespace

PopupHost::PopupHost(QWidget *mainWindow, int countdownTickMs, int keypadSelectDelayMs)
    : QObject(mainWindow)
    , m_mainWindow(mainWindow)
{
    m_keypad = new PopupA(mainWindow, keypadSelectDelayMs);
    m_message = new PopupMsg(mainWindow, countdownTickMs);
    m_question = new PopupQ(tr("OK"), tr("Close"), mainWindow);
    m_wait = new PopupWait(mainWindow);
    connect(m_message, &PopupMsg::button, this, &PopupHost::messageDismissed);
    connect(m_message, &PopupMsg::timeout, this, &PopupHost::messageDismissed);
}

PopupHost::~PopupHost()
{
    // With a main window the popups go with it; without one they are ours.
    delete m_keypad.data();
    delete m_message.data();
    delete m_question.data();
    delete m_wait.data();
}

PopupA *PopupHost::keypad() const { return m_keypad; }
PopupMsg *PopupHost::message() const { return m_message; }
PopupQ *PopupHost::question() const { return m_question; }
PopupWait *PopupHost::waiting() const { return m_wait; }

QPoint PopupHost::placedAt(const QSize &size, const QPoint &centre, const QRect &screen)
{
    QPoint corner(centre.x() - size.width() / 2, centre.y() - size.height() / 2);
    if (!screen.isValid())
        return corner;
    if (corner.x() + size.width() > screen.right() + 1)
        corner.setX(screen.right() + 1 - size.width());
    if (corner.y() + size.height() > screen.bottom() + 1)
        corner.setY(screen.bottom() + 1 - size.height());
    // Left and top last: a popup larger than the screen keeps its top-left corner (and with it
    // the header) visible.
    corner.setX(std::max(corner.x(), screen.left()));
    corner.setY(std::max(corner.y(), screen.top()));
    return corner;
}

void PopupHost::showCentred(QWidget *popup, bool onDesktop)
{
    QScreen *screen = nullptr;
    if (!onDesktop && m_mainWindow)
        screen = m_mainWindow->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    QPoint centre;
    if (!onDesktop && m_mainWindow)
        centre = m_mainWindow->frameGeometry().center();
    else if (area.isValid())
        centre = area.center();
    else
        centre = popup->geometry().center();
    popup->move(placedAt(popup->frameGeometry().size(), centre, area));
    popup->show();
    popup->raise();
    popup->activateWindow();
}

void PopupHost::openMessage(cParameter *aPar, const QString &caption, bool enabled, quint8 count,
                            bool closesProgram)
{
    if (!aPar) {
        td::log(QStringLiteral("Message popup asked for without a message"));
        return;
    }
    m_closeOnDismiss = closesProgram;
    m_unacknowledgedShown = false;
    // Callers ask for "red" when something was refused or lost; that one colour reads well on
    // the popup's face, the others the value buttons use would not.
    m_message->setMessage(aPar->caption(), caption, enabled, count, aPar->style() == QLatin1String("red"));
    showCentred(m_message, false);
}

void PopupHost::PopupMessageWindowUntilAcknowledged(cParameter *aPar)
{
    if (!aPar) {
        td::log(QStringLiteral("Message popup asked for without a message"));
        return;
    }
    m_unacknowledged = aPar->caption();
    showUnacknowledged();
}

void PopupHost::showUnacknowledged()
{
    m_closeOnDismiss = false;
    m_unacknowledgedShown = true;
    m_message->setMessage(m_unacknowledged, tr("CLOSE"), true, 0);
    showCentred(m_message, false);
}

void PopupHost::PopupMessageWindow(cParameter *aPar)
{
    openMessage(aPar, tr("CLOSE"), true, messageCount, false);
}

void PopupHost::PopupMessageWindowFormat(cParameter *aPar)
{
    openMessage(aPar, tr("Waiting"), false, 0, false);
}

void PopupHost::PopupMessageWindowNotUSB(cParameter *aPar)
{
    openMessage(aPar, tr("Close"), true, notUsbCount, true);
}

void PopupHost::messageDismissed()
{
    if (m_unacknowledgedShown) {
        // The user has seen it and pressed its button.
        m_unacknowledgedShown = false;
        m_unacknowledged.clear();
        return;
    }
    if (!m_unacknowledged.isEmpty())
        showUnacknowledged();
    // Only the showing that was opened as "not USB" closes the program; the popup is reused,
    // so later messages must not inherit that.
    if (!m_closeOnDismiss)
        return;
    m_closeOnDismiss = false;
    emit closeRequested();
}

void PopupHost::PopupWaitWindow()
{
    showCentred(m_wait, false);
}

void PopupHost::PopupQuestionWindow(cParameter *aPar, iFuncWhenYes aFunc, iFuncWhenYes aFuncNo)
{
    PopupQuestionWindow(aPar, tr("OK"), tr("Close"), std::move(aFunc), std::move(aFuncNo));
}

void PopupHost::PopupQuestionWindow(cParameter *aPar, const QString &yesText,
                                    const QString &noText, iFuncWhenYes aFunc,
                                    iFuncWhenYes aFuncNo)
{
    if (!aPar) {
        td::log(QStringLiteral("Question popup asked for without a question"));
        return;
    }
    m_question->setButtonTexts(yesText, noText);
    m_question->setQuestion(aPar->caption(), std::move(aFunc), std::move(aFuncNo), m_mainWindow);
    showCentred(m_question, true);
}

void PopupHost::showKeypad(cParameter *aPar)
{
    if (m_keypad->setParameter(aPar))
        showCentred(m_keypad, false);
}

void PopupHost::closeMessage()
{
    m_closeOnDismiss = false;
    if (!m_unacknowledged.isEmpty()) {
        if (!m_unacknowledgedShown || !m_message->isVisible())
            showUnacknowledged();
        return;
    }
    m_message->close();
}

void PopupHost::closeWait()
{
    m_wait->close();
}
