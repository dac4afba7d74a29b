#pragma once

#include "base/Timing.h"

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

// The message window: a warning picture, "Information!", the message, and one button that may
// count down to closing on its own.
class PopupMsg : public QWidget
{
    Q_OBJECT
public:
    explicit PopupMsg(QWidget *parent = nullptr, int tickMs = td::timing::messageCountdownTick);

    // Refills the window. With a count the button reads "caption (count)" and the window closes
    // itself when the count runs out; count 0 keeps it open until the code closes it.
    // alarm: the text shows in red (something was refused or lost and a person must act).
    void setMessage(const QString &text, const QString &caption, bool buttonEnabled, quint8 count,
                    bool alarm = false);

    QString text() const;
    QString buttonText() const;
    quint8 count() const { return m_count; }
    bool isCounting() const;

signals:
    void button();
    void timeout();

public slots:
    void iButton_Click();
    void slot_iTimerTick();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showCount();
    void refit();

    QLabel *m_picture = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_text = nullptr;
    QPushButton *m_button = nullptr;
    QTimer *m_timer = nullptr;
    QString m_caption;
    quint8 m_count = 0;
};
