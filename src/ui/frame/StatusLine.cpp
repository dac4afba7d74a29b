#include "ui/frame/StatusLine.h"

#include <QLabel>

StatusLine::StatusLine(QLabel *label, int holdMs, QObject *parent)
    : QObject(parent)
    , m_label(label)
{
    m_timer.setInterval(holdMs);
    connect(&m_timer, &QTimer::timeout, this, &StatusLine::slot_PrintLogger);
    QFont f = m_label->font();
    f.setPointSize(10);
    m_label->setFont(f);
    m_label->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
    // A long message is cut at the window's edge; it never widens the window.
    m_label->setSizePolicy(QSizePolicy::Ignored, m_label->sizePolicy().verticalPolicy());
}

void StatusLine::showMessage(const QString &text)
{
    m_label->setText(text);
    m_timer.start();
}

void StatusLine::setStandingText(const QString &text)
{
    m_standing = text;
    if (!m_timer.isActive())
        slot_PrintLogger();
}

void StatusLine::slot_PrintLogger()
{
    m_label->setText(m_standing);
    m_label->setToolTip(m_standing);
    m_timer.stop();
}
