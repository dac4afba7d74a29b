#include "ui/settings/KeyMessagePanel.h"

#include "base/Log.h"
#include "protocol/KeyProtocol.h"

#include <QBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

KeyMessagePanel::KeyMessagePanel(const Widgets &widgets, KeyProtocol *protocol, QObject *parent)
    : QObject(parent)
    , m_protocol(protocol)
    , m_text(widgets.text)
    , m_lock(widgets.lock)
    , m_unlock(widgets.unlock)
    , m_send(widgets.send)
{
    if (!m_text || !m_lock || !m_unlock || !m_send) {
        td::log(QStringLiteral("Message panel: widgets of the main form not given"));
        m_text = nullptr;
        return;
    }
    for (QPushButton *b : {m_lock, m_unlock, m_send})
        connect(b, &QPushButton::clicked, this, &KeyMessagePanel::iBtnSendMessage_Click);

    // The show/hide button sits just before the field, in the field's own row.
    QWidget *row = m_text->parentWidget();
    auto *box = row ? qobject_cast<QBoxLayout *>(row->layout()) : nullptr;
    m_view = new QPushButton(row);
    m_view->setObjectName(QStringLiteral("pbMessageView"));
    m_view->setIcon(QIcon(QStringLiteral(":resource/images/message1.png")));
    m_view->setFixedSize(56, 56);
    m_view->setIconSize(QSize(40, 40));
    // A toggle: pressed in while the panel shows, so it does not read as a second send.
    m_view->setCheckable(true);
    m_view->setChecked(true);
    if (box)
        box->insertWidget(box->indexOf(m_text), m_view);
    // Its state shows the panel, however it changed (a screen reader toggles without a click).
    connect(m_view, &QPushButton::toggled, this, &KeyMessagePanel::showPanel);
    retranslate();
}

bool KeyMessagePanel::isPanelVisible() const { return m_text && !m_text->isHidden(); }

void KeyMessagePanel::iBtnSendMessage_Click()
{
    if (!m_text || !m_protocol)
        return;
    const QString text = m_text->text();
    if (text.isEmpty())
        return;
    QObject *from = sender();
    const int type = from == m_lock ? Lock : from == m_unlock ? Unlock : Text;
    m_protocol->FE_Message_Write(text, type);
}

void KeyMessagePanel::iBtnMessageView_Click()
{
    if (m_view)
        m_view->setChecked(!isPanelVisible());
    else
        showPanel(!isPanelVisible());
}

void KeyMessagePanel::showPanel(bool show)
{
    if (!m_text)
        return;
    for (QWidget *w : {static_cast<QWidget *>(m_text), static_cast<QWidget *>(m_lock),
                       static_cast<QWidget *>(m_unlock), static_cast<QWidget *>(m_send)})
        w->setVisible(show);
    if (m_view)
        m_view->setChecked(show);
    if (show)
        m_text->setFocus(Qt::OtherFocusReason);
}

void KeyMessagePanel::retranslate()
{
    if (!m_view)
        return;
    m_view->setToolTip(tr("Send message to key"));
    m_view->setAccessibleName(tr("Send message to key"));
}
