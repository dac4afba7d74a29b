#pragma once

#include <QObject>

class KeyProtocol;
class QLineEdit;
class QPushButton;
class QWidget;

// The message panel of the main form: the text field (which doubles as the access-code
// field) and the lock, unlock and send buttons. A button sends the field's text with its
// type; Return sends nothing, so a code typed for the settings page never reaches the key.
class KeyMessagePanel : public QObject
{
    Q_OBJECT
public:
    enum Type { Unlock = 0, Lock = 1, Text = 2 };

    // The main form's field and buttons the panel drives.
    struct Widgets
    {
        QLineEdit *text = nullptr;
        QPushButton *lock = nullptr;
        QPushButton *unlock = nullptr;
        QPushButton *send = nullptr;
    };

    // Adds the button that shows and hides the panel beside the field.
    KeyMessagePanel(const Widgets &widgets, KeyProtocol *protocol, QObject *parent = nullptr);

    QPushButton *viewButton() const { return m_view; }
    bool isPanelVisible() const;

public slots:
    void iBtnSendMessage_Click();
    void iBtnMessageView_Click();
    // Shows or hides the message field and its three buttons.
    void showPanel(bool show);
    void retranslate();

private:
    KeyProtocol *m_protocol;
    QLineEdit *m_text = nullptr;
    QPushButton *m_lock = nullptr;
    QPushButton *m_unlock = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_view = nullptr;
};
