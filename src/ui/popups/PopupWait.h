#pragma once

#include <QWidget>

class QLabel;
class QMovie;

// The small busy window shown while the key works on something the user waits for.
class PopupWait : public QWidget
{
    Q_OBJECT
public:
    explicit PopupWait(QWidget *parent = nullptr);

    // False when the animation could not be loaded; the window then shows an empty square.
    bool hasAnimation() const { return m_movie != nullptr; }
    QMovie *movie() const { return m_movie; }

signals:
    void button();
    void timeout();

public slots:
    // Both end the wait; which one fired tells the owner why.
    void iButton_Click();
    void slot_iTimerTick();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QLabel *m_picture = nullptr;
    QMovie *m_movie = nullptr;
};
