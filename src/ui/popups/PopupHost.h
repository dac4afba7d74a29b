#pragma once

#include "base/Timing.h"
#include "ui/popups/PopupQ.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

class PopupA;
class PopupMsg;
class PopupWait;
class cParameter;

// Owns the four popups of the main window and opens them. The main window's popup slots
// forward here; pages may also connect to these slots directly.
class PopupHost : public QObject
{
    Q_OBJECT
public:
    // mainWindow (may be null) parents the popups, is the point they are centred on and is
    // what question callbacks receive.
    explicit PopupHost(QWidget *mainWindow,
                       int countdownTickMs = td::timing::messageCountdownTick,
                       int keypadSelectDelayMs = td::timing::keypadSelectDelay);
    ~PopupHost() override;

    PopupA *keypad() const;
    PopupMsg *message() const;
    PopupQ *question() const;
    PopupWait *waiting() const;

    // The question with the main window's buttons "OK" and "Close".
    void PopupQuestionWindow(cParameter *aPar, iFuncWhenYes aFunc, iFuncWhenYes aFuncNo);
    // The same with other button captions for this one question ("Open" / "Cancel").
    void PopupQuestionWindow(cParameter *aPar, const QString &yesText, const QString &noText,
                             iFuncWhenYes aFunc, iFuncWhenYes aFuncNo);

    // Top-left corner that puts a popup of `size` centred on `centre`, moved inside `screen`
    // where it would stick out (a keypad over a window near the edge of a 1024x768 screen).
    static QPoint placedAt(const QSize &size, const QPoint &centre, const QRect &screen);

signals:
    // The not-USB message was dismissed or ran out: the program is to close.
    void closeRequested();

public slots:
    void PopupMessageWindow(cParameter *aPar);
    void PopupMessageWindowFormat(cParameter *aPar);
    void PopupMessageWindowNotUSB(cParameter *aPar);
    // A message that stays until the user presses its button: no count-down, and closeMessage()
    // (the key found or lost) leaves it. A message shown over it brings it back when it goes.
    void PopupMessageWindowUntilAcknowledged(cParameter *aPar);
    void PopupWaitWindow();
    void showKeypad(cParameter *aPar);
    // Closes the message window, unless a message waits for its acknowledgement: that one is
    // shown (again) instead.
    void closeMessage();
    void closeWait();

public:
    // The text waiting for the user's acknowledgement; empty when none.
    QString unacknowledgedMessage() const { return m_unacknowledged; }

private slots:
    void messageDismissed();

private:
    void openMessage(cParameter *aPar, const QString &caption, bool enabled, quint8 count,
                     bool closesProgram);
    void showCentred(QWidget *popup, bool onDesktop);
    void showUnacknowledged();

    QWidget *m_mainWindow = nullptr;
    QPointer<PopupA> m_keypad;
    QPointer<PopupMsg> m_message;
    QPointer<PopupQ> m_question;
    QPointer<PopupWait> m_wait;
    bool m_closeOnDismiss = false;
    QString m_unacknowledged;
    bool m_unacknowledgedShown = false; // the window shows m_unacknowledged right now
};
