#include "protocol/KeySender.h"

#include "base/Log.h"
#include "base/cGlobalData.h"
#include "protocol/KeyTransport.h"

KeySender::KeySender(cGlobalData *globalData) : m_global(globalData) {}

bool KeySender::isUsbName(const QString &interfaceName)
{
    return interfaceName.isEmpty() || interfaceName == QLatin1String("USB");
}

bool KeySender::send(quint8 packetClass, quint8 subCode, const QByteArray &payload, int noReply)
{
    const LinkMode inUse = mode();
    const QString selected = m_wifi ? m_wifi->selectedKey() : QString();

    bool sent = false;
    if (inUse == LinkMode::Wifi && !selected.isEmpty())
        sent = m_wifi->queueCommandTo(selected, packetClass, subCode, payload, AttemptsFocusedWifi,
                                      noReply);
    else if (inUse == LinkMode::Usb && m_usb)
        sent = m_usb->queueCommand(packetClass, subCode, payload, AttemptsUsb, noReply);
    if (!sent)
        td::log(QStringLiteral("No key link in use: command 0x%1 not sent")
                    .arg(packetClass, 2, 16, QLatin1Char('0')));
    return sent;
}

bool KeySender::sendTo(const QString &id, quint8 packetClass, quint8 subCode,
                       const QByteArray &payload, int noReply)
{
    if (!m_wifi || id.isEmpty() || !m_wifi->hasKey(id)) {
        td::log(QStringLiteral("No Wi-Fi key ") + id + QStringLiteral(": command not sent"));
        return false;
    }
    return m_wifi->queueCommandTo(id, packetClass, subCode, payload, AttemptsNamedKey, noReply);
}

void KeySender::AckReply(const QString &interfaceName)
{
    if (!isUsbName(interfaceName)) {
        if (m_wifi)
            m_wifi->ackReply(interfaceName);
        return;
    }
    if (m_usb)
        m_usb->ackReply(interfaceName);
}

bool KeySender::isAcceptedSender(const QString &interfaceName) const
{
    if (isUsbName(interfaceName))
        return true;
    return m_wifi && m_wifi->hasKey(interfaceName) && m_wifi->selectedKey() == interfaceName;
}
