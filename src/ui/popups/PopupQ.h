#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

// What a question runs on "yes" or "no"; it is given the main window. An empty one is skipped.
using iFuncWhenYes = std::function<void(QWidget *mainWindow)>;

// The yes/no window: a help picture, "Attention!" over the question, and two buttons.
class PopupQ : public QWidget
{
    Q_OBJECT
public:
    PopupQ(const QString &yesText, const QString &noText, QWidget *parent = nullptr);

    void setQuestion(const QString &message, iFuncWhenYes yes, iFuncWhenYes no,
                     QWidget *argument);
    void setButtonTexts(const QString &yesText, const QString &noText);

    QString text() const;
    QPushButton *yesButton() const { return m_yes; }
    QPushButton *noButton() const { return m_no; }

public slots:
    void iButton_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_picture = nullptr;
    QLabel *m_text = nullptr;
    QPushButton *m_yes = nullptr;
    QPushButton *m_no = nullptr;
    iFuncWhenYes m_funcYes;
    iFuncWhenYes m_funcNo;
    QPointer<QWidget> m_argument;
};
