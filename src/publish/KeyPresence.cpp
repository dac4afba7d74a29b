#include "publish/KeyPresence.h"

QString KeyPresence::statusText(int link)
{
    switch (link) {
    case Usb:
        return QStringLiteral("usb");
    case Wifi:
        return QStringLiteral("wifi");
    default:
        return QStringLiteral("gone");
    }
}

void KeyPresence::keyIdentified(const QString &serial, int link, const QString &wifiId)
{
    if (serial.trimmed().isEmpty() || (link != Usb && link != Wifi))
        return;
    // One USB port: another serial on it means the previous key was unplugged. The same
    // holds for one Wi-Fi identifier.
    const QStringList others = m_keys.keys();
    for (const QString &other : others) {
        const Entry &e = m_keys.value(other);
        if (other != serial && e.link == link && (link == Usb || e.wifiId == wifiId))
            setGone(other);
    }
    Entry entry;
    entry.link = link;
    entry.wifiId = link == Wifi ? wifiId : QString();
    m_keys.insert(serial, entry);
    const QString status = statusText(link);
    if (m_lastStatus.value(serial) != status) {
        m_lastStatus.insert(serial, status);
        emit statusChanged(serial, status);
    }
}

void KeyPresence::usbLost()
{
    const QStringList serials = m_keys.keys();
    for (const QString &serial : serials)
        if (m_keys.value(serial).link == Usb)
            setGone(serial);
}

void KeyPresence::wifiKeyRemoved(const QString &wifiId)
{
    const QStringList serials = m_keys.keys();
    for (const QString &serial : serials) {
        const Entry e = m_keys.value(serial);
        if (e.link == Wifi && e.wifiId == wifiId)
            setGone(serial);
    }
}

QString KeyPresence::statusOf(const QString &serial) const
{
    return m_lastStatus.value(serial);
}

void KeyPresence::setGone(const QString &serial)
{
    m_keys.remove(serial);
    if (m_lastStatus.value(serial) == QLatin1String("gone"))
        return;
    m_lastStatus.insert(serial, QStringLiteral("gone"));
    emit statusChanged(serial, QStringLiteral("gone"));
}
