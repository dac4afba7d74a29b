#include "ui/popups/PopupMsg.h"

#include "base/Paths.h"
#include "ui/popups/PopupLook.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int popupWidth = 600;
constexpr int popupHeight = 320;
constexpr int buttonHeight = 64;
constexpr int buttonPoints = 20;
constexpr int titlePoints = 18;
} // namespace

PopupMsg::PopupMsg(QWidget *parent, int tickMs)
    : QWidget(parent)
{
    const td::popup::Frame frame =
        td::popup::makeFrame(this, QStringLiteral("PopupMsg"), popupWidth, popupHeight);
    QGridLayout *grid = frame.grid;
    QVBoxLayout *info = frame.info;
    m_picture = frame.picture;
    td::popup::loadPicture(m_picture, Paths::pngFile(QStringLiteral("warning_128.png")));

    m_title = new QLabel(tr("Information!"), this);
    m_title->setObjectName(QStringLiteral("lbTitle"));
    QFont titleFont = m_title->font();
    titleFont.setPointSize(titlePoints);
    titleFont.setBold(true);
    m_title->setFont(titleFont);

    m_text = td::popup::makeMessageLabel(this);

    m_button = new QPushButton(this);
    m_button->setObjectName(QStringLiteral("pbButton"));
    m_button->setMinimumHeight(buttonHeight);
    QFont buttonFont = m_button->font();
    buttonFont.setPointSize(buttonPoints);
    m_button->setFont(buttonFont);
    connect(m_button, &QPushButton::clicked, this, &PopupMsg::iButton_Click);

    info->addWidget(m_title);
    info->addWidget(m_text, 1);
    grid->addWidget(m_picture, 0, 0);
    grid->addLayout(info, 0, 1);
    grid->addWidget(m_button, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(tickMs);
    connect(m_timer, &QTimer::timeout, this, &PopupMsg::slot_iTimerTick);
}

void PopupMsg::setMessage(const QString &text, const QString &caption, bool buttonEnabled,
                          quint8 count, bool alarm)
{
    m_timer->stop();
    m_text->setText(text);
    m_text->setStyleSheet(alarm ? QStringLiteral("color: rgb(190, 0, 0);") : QString());
    m_caption = caption;
    m_count = count;
    showCount();
    m_button->setEnabled(buttonEnabled);
    refit();
    if (m_count > 0)
        m_timer->start();
}

QString PopupMsg::text() const
{
    return m_text->text();
}

QString PopupMsg::buttonText() const
{
    return m_button->text();
}

bool PopupMsg::isCounting() const
{
    return m_timer->isActive();
}

void PopupMsg::showCount()
{
    const QString label = m_count > 0
        ? m_caption + QStringLiteral(" (") + QString::number(m_count) + QLatin1Char(')')
        : m_caption;
    m_button->setText(label);
    m_button->setAccessibleName(label);
}

void PopupMsg::refit()
{
    td::popup::fitMessage(m_text);
}

void PopupMsg::iButton_Click()
{
    // Closed before the signal goes out, so a receiver may open the window again at once.
    close();
    emit button();
}

void PopupMsg::slot_iTimerTick()
{
    if (m_count < 2) {
        m_count = 0;
        close();
        emit timeout();
        return;
    }
    --m_count;
    showCount();
    m_timer->start();
}

void PopupMsg::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refit();
}

void PopupMsg::hideEvent(QHideEvent *event)
{
    // A countdown must not outlive the window: its timeout may close the program. A hide that
    // comes from the window system (minimising) is not the end of the message.
    if (!event->spontaneous())
        m_timer->stop();
    QWidget::hideEvent(event);
}
