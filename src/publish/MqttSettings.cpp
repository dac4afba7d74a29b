#include "publish/MqttSettings.h"

#include <QCryptographicHash>
#include <QUrl>

bool MqttSettings::parseUrl(const QString &url, MqttSettings *out, QString *error)
{
    MqttSettings s = *out;
    s.host.clear();
    s.prefix.clear();
    if (url.trimmed().isEmpty()) {
        *out = s;
        return true;
    }
    const QUrl u(url.trimmed(), QUrl::StrictMode);
    const QString scheme = u.scheme().toLower();
    if (!u.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")) || u.host().isEmpty()) {
        if (error)
            *error = tr("Not a broker address: %1 (expected mqtt://host:port/prefix or mqtts://...)").arg(url);
        return false;
    }
    if (!u.userName().isEmpty() || !u.password().isEmpty()) {
        // A password in the address would end up in shell histories and process lists.
        if (error)
            *error = tr("Give the broker's user and password in the settings, not in the address.");
        return false;
    }
    s.tls = scheme == QLatin1String("mqtts");
    s.host = u.host();
    s.port = u.port(s.tls ? 8883 : 1883);
    if (s.port <= 0 || s.port > 65535) {
        if (error)
            *error = tr("Not a broker address: %1 (expected mqtt://host:port/prefix or mqtts://...)").arg(url);
        return false;
    }
    QString path = u.path();
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (u.hasFragment() || path.contains(QLatin1Char('#')) || path.contains(QLatin1Char('+'))) {
        if (error)
            *error = tr("The topic prefix may not contain # or +.");
        return false;
    }
    s.prefix = path;
    *out = s;
    return true;
}

QString MqttSettings::displayUrl() const
{
    if (!isConfigured())
        return QString();
    return QStringLiteral("%1://%2:%3/%4")
        .arg(tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"), host)
        .arg(port)
        .arg(prefix);
}

QString MqttSettings::clientId(const QString &hostName, const QString &dataRoot)
{
    const QByteArray digest = QCryptographicHash::hash(dataRoot.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    // MQTT 3.1.1 servers must accept 23 characters; most accept more, and the host name is
    // what a person looks for in the broker's log.
    return QStringLiteral("torquedesk-%1-%2").arg(topicPart(hostName).left(40), QString::fromLatin1(digest));
}

QString MqttSettings::topicPart(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('/') || c == QLatin1Char('+') || c == QLatin1Char('#') || c.unicode() < 0x20 || c.isSpace())
            out += QLatin1Char('_');
        else
            out += c;
    }
    return out.isEmpty() ? QStringLiteral("_") : out;
}
