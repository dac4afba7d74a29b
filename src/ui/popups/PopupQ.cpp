#include "ui/popups/PopupQ.h"

#include "base/Paths.h"
#include "ui/popups/PopupLook.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int popupWidth = 600;
constexpr int popupHeight = 320;
constexpr int buttonWidth = 240;
constexpr int buttonHeight = 56;
constexpr int buttonPoints = 18;

QPushButton *makeButton(const QString &text, const QString &name, const QString &style,
                        QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setFixedSize(buttonWidth, buttonHeight);
    button->setStyleSheet(style);
    button->setAccessibleName(text);
    QFont font = button->font();
    font.setPointSize(buttonPoints);
    button->setFont(font);
    return button;
}
} // namespace

PopupQ::PopupQ(const QString &yesText, const QString &noText, QWidget *parent)
    : QWidget(parent)
{
    const td::popup::Frame frame =
        td::popup::makeFrame(this, QStringLiteral("PopupQ"), popupWidth, popupHeight);
    QGridLayout *grid = frame.grid;
    QVBoxLayout *info = frame.info;
    m_picture = frame.picture;
    td::popup::loadPicture(m_picture, Paths::pngFile(QStringLiteral("help_128.png")));

    m_text = td::popup::makeMessageLabel(this);
    info->addWidget(m_text);

    m_yes = makeButton(yesText, QStringLiteral("pbYes"),
                       QStringLiteral("QPushButton {background-color: rgb(100, 180, 100); color: "
                                      "rgb(255, 255, 255); border-width: 2px; border-radius: 5px; "
                                      "}             QPushButton:pressed {background-color: "
                                      "rgb(150, 200, 150);}"),
                       this);
    m_no = makeButton(noText, QStringLiteral("pbNo"),
                      QStringLiteral("QPushButton {background-color: rgb(180, 100, 100); color: "
                                     "rgb(255, 255, 255); border-width: 2px; border-radius: 5px; "
                                     "}             QPushButton:pressed {background-color: "
                                     "rgb(200, 150, 150);}"),
                      this);
    connect(m_yes, &QPushButton::clicked, this, &PopupQ::iButton_Click);
    connect(m_no, &QPushButton::clicked, this, &PopupQ::iButton_Click);

    // The answers take the popup's whole width under the picture and the text: beside the
    // picture, two answer buttons are wider than the popup and the right one was cut off.
    auto *answers = new QHBoxLayout;
    answers->addStretch(1);
    answers->addWidget(m_yes);
    answers->addStretch(1);
    answers->addWidget(m_no);
    answers->addStretch(1);
    grid->addWidget(m_picture, 0, 0);
    grid->addLayout(info, 0, 1);
    grid->addLayout(answers, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);
}

void PopupQ::setQuestion(const QString &message, iFuncWhenYes yes, iFuncWhenYes no,
                         QWidget *argument)
{
    m_funcYes = std::move(yes);
    m_funcNo = std::move(no);
    m_argument = argument;
    m_text->setText(tr("Attention!") + QLatin1Char('\n') + message);
    td::popup::fitMessage(m_text);
}

void PopupQ::setButtonTexts(const QString &yesText, const QString &noText)
{
    m_yes->setText(yesText);
    m_yes->setAccessibleName(yesText);
    m_no->setText(noText);
    m_no->setAccessibleName(noText);
}

QString PopupQ::text() const
{
    return m_text->text();
}

void PopupQ::iButton_Click()
{
    iFuncWhenYes chosen;
    if (sender() == m_yes)
        chosen = m_funcYes;
    else if (sender() == m_no)
        chosen = m_funcNo;
    // The callback runs on copies after the window is closed: it may ask the next question,
    // which replaces the stored callbacks and must not be closed by this answer.
    QWidget *argument = m_argument.data();
    close();
    if (chosen)
        chosen(argument);
}

void PopupQ::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    td::popup::fitMessage(m_text);
}
