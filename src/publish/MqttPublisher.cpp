#include "publish/MqttPublisher.h"

#include "base/Log.h"

#include <mosquitto.h>

#include <QMetaObject>

namespace {

constexpr int kKeepAliveSeconds = 30;
const QByteArray kOnline = "online";
const QByteArray kOffline = "offline";

void initLibrary()
{
    static const int once = mosquitto_lib_init();
    Q_UNUSED(once)
}

QString connackText(int rc)
{
    switch (rc) {
    case 4:
        return MqttPublisher::tr("the broker refused the user name or password");
    case 5:
        // Mosquitto 2 answers a wrong password with this code too.
        return MqttPublisher::tr("the broker refused the user name or password, or this station is not authorised");
    case 2:
        return MqttPublisher::tr("the broker refused this station's identity");
    default:
        return QString::fromUtf8(mosquitto_connack_string(rc));
    }
}

} // namespace

MqttPublisher::MqttPublisher(PublishSource *source, QObject *parent) : QObject(parent), m_source(source)
{
    initLibrary();
    qRegisterMetaType<MqttPublisher::State>();
}

MqttPublisher::~MqttPublisher()
{
    release();
}

QString MqttPublisher::topicFor(const QString &keySerial, const QString &leaf) const
{
    QStringList parts;
    if (!m_settings.prefix.isEmpty())
        parts << m_settings.prefix;
    parts << MqttSettings::topicPart(m_settings.station);
    if (!keySerial.isNull())
        parts << MqttSettings::topicPart(keySerial);
    parts << leaf;
    return parts.join(QLatin1Char('/'));
}

bool MqttPublisher::start(const MqttSettings &settings)
{
    release();
    m_settings = settings;
    if (!settings.isConfigured()) {
        setState(State::NotConfigured, QString());
        return false;
    }
    const QByteArray id = settings.clientIdentity.toUtf8();
    m_mosq = mosquitto_new(id.isEmpty() ? nullptr : id.constData(), true, this);
    if (!m_mosq) {
        setState(State::NotConfigured, tr("The MQTT client could not be created."));
        return false;
    }
    mosquitto_int_option(m_mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(m_mosq, &MqttPublisher::connectCallback);
    mosquitto_disconnect_callback_set(m_mosq, &MqttPublisher::disconnectCallback);
    mosquitto_publish_callback_set(m_mosq, &MqttPublisher::publishCallback);
    // The library's own limit stays above ours, so it never queues what we hand it.
    mosquitto_max_inflight_messages_set(m_mosq, unsigned(m_window) + 16);
    // Wrong credentials or a dead broker: retries back off to one a minute, never a storm.
    mosquitto_reconnect_delay_set(m_mosq, 1, 60, true);
    if (!settings.user.isEmpty())
        mosquitto_username_pw_set(m_mosq, settings.user.toUtf8().constData(),
                                  settings.password.isEmpty() ? nullptr : settings.password.toUtf8().constData());
    if (m_announceStation) {
        const QByteArray willTopic = topicFor(QString(), QStringLiteral("status")).toUtf8();
        mosquitto_will_set(m_mosq, willTopic.constData(), kOffline.size(), kOffline.constData(), 1, true);
    }
    if (settings.tls) {
        const int rc = mosquitto_tls_set(m_mosq, nullptr, "/etc/ssl/certs", nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            setState(State::NotConfigured, tr("TLS could not be set up: %1").arg(QString::fromUtf8(mosquitto_strerror(rc))));
            release();
            return false;
        }
    }
    mosquitto_log_callback_set(m_mosq, &MqttPublisher::logCallback);
    m_submitted = m_source->acknowledgedCursor();
    td::log(QStringLiteral("MQTT: connecting to %1 as %2").arg(settings.displayUrl(), settings.clientIdentity));
    setState(State::Connecting, QString());
    // The first connection looks the host name up, which can take as long as the name server
    // likes: it is made on a thread of its own, never on ours. The loop thread then retries a
    // failed first connection like a lost one.
    mosquitto *mosq = m_mosq;
    const QByteArray host = settings.host.toUtf8();
    const int port = settings.port;
    const quint64 session = m_session;
    m_starter = std::thread([this, mosq, host, port, session] {
        const int rc = mosquitto_connect_async(mosq, host.constData(), port, kKeepAliveSeconds);
        const int loop = mosquitto_loop_start(mosq);
        QMetaObject::invokeMethod(this, [this, session, rc, loop] { onStarted(session, rc, loop); },
                                  Qt::QueuedConnection);
    });
    reportWaiting(true);
    return true;
}

void MqttPublisher::onStarted(quint64 session, int rc, int loop)
{
    if (!m_mosq || session != m_session)
        return;
    if (loop != MOSQ_ERR_SUCCESS) {
        release();
        setState(State::NotConfigured, QString::fromUtf8(mosquitto_strerror(loop)));
        return;
    }
    if (rc != MOSQ_ERR_SUCCESS && m_state == State::Connecting)
        setState(State::Reconnecting, !m_libraryError.isEmpty() ? m_libraryError
                                                                : QString::fromUtf8(mosquitto_strerror(rc)));
}

void MqttPublisher::onLibraryError(quint64 session, const QString &text)
{
    if (!m_mosq || session != m_session || m_state == State::Connected)
        return;
    // TLS failures (an unknown certificate authority, a wrong host name) show only here.
    m_libraryError = text;
    if (m_refusal.isEmpty())
        setState(State::Reconnecting, tr("cannot connect: %1").arg(text));
}

void MqttPublisher::stop()
{
    release();
    setState(State::NotConfigured, QString());
}

void MqttPublisher::release()
{
    if (m_starter.joinable())
        m_starter.join();
    if (!m_mosq)
        return;
    if (m_state == State::Connected && m_announceStation) {
        // A graceful disconnect does not fire the will: say it ourselves.
        const QByteArray topic = topicFor(QString(), QStringLiteral("status")).toUtf8();
        mosquitto_publish(m_mosq, nullptr, topic.constData(), kOffline.size(), kOffline.constData(), 1, true);
    }
    mosquitto_disconnect(m_mosq);
    mosquitto_loop_stop(m_mosq, m_state != State::Connected);
    mosquitto_destroy(m_mosq);
    m_mosq = nullptr;
    m_source->sync();
    ++m_session;
    m_inFlight.clear();
    m_cursorOfMid.clear();
    {
        QMutexLocker lock(&m_ackMutex);
        m_acks.clear();
    }
    m_refusal.clear();
    m_libraryError.clear();
}

void MqttPublisher::poke()
{
    fill();
    reportWaiting(true);
}

void MqttPublisher::setKeyStatus(const QString &keySerial, const QString &status)
{
    m_keyStatus.insert(keySerial, status);
    if (m_state != State::Connected)
        return; // sent on (re)connection; retained, so the last one is all that counts
    const QByteArray topic = topicFor(keySerial, QStringLiteral("status")).toUtf8();
    const QByteArray payload = status.toUtf8();
    mosquitto_publish(m_mosq, nullptr, topic.constData(), payload.size(), payload.constData(), 1, true);
}

qint64 MqttPublisher::waiting()
{
    return m_source->waiting();
}

void MqttPublisher::setState(State state, const QString &reason)
{
    if (state == m_state && reason == m_reason)
        return;
    m_state = state;
    m_reason = reason;
    if (!reason.isEmpty())
        td::log(QStringLiteral("MQTT: ") + reason);
    emit stateChanged(state, reason);
}

void MqttPublisher::reportWaiting(bool force)
{
    // Counting what waits is a query on the history: a few times a second is plenty for a
    // status line, while acknowledgements arrive by the thousand.
    if (!force && !m_inFlight.isEmpty() && m_sinceReport.isValid() && m_sinceReport.elapsed() < 250)
        return;
    m_sinceReport.start();
    const qint64 n = waiting();
    if (n != m_lastWaiting) {
        m_lastWaiting = n;
        emit waitingChanged(n);
    }
    if (n == 0 && m_inFlight.isEmpty())
        emit drained();
}

void MqttPublisher::fill()
{
    if (!m_mosq || m_state != State::Connected)
        return;
    const int room = m_window - m_inFlight.size();
    // Topped up in batches: one query on the history per half window, not one per
    // acknowledgement.
    if (room <= 0 || (room < m_window / 2 && !m_inFlight.isEmpty()))
        return;
    if (!m_submitted)
        m_submitted = m_source->acknowledgedCursor();
    if (!m_submitted)
        return;
    const QVector<PublishSource::Item> items = m_source->itemsAfter(*m_submitted, room);
    for (const PublishSource::Item &item : items) {
        const QByteArray topic = topicFor(item.keySerial, QStringLiteral("result")).toUtf8();
        int mid = 0;
        const int rc = mosquitto_publish(m_mosq, &mid, topic.constData(), item.payload.size(),
                                         item.payload.constData(), 1, false);
        if (rc != MOSQ_ERR_SUCCESS) {
            // Not handed over: it goes again from the same place after the reconnection.
            td::log(QStringLiteral("MQTT: publish refused: ") + QString::fromUtf8(mosquitto_strerror(rc)));
            break;
        }
        m_cursorOfMid.insert(mid, item.cursor);
        m_inFlight.insert(item.cursor, false);
        m_submitted = item.cursor;
    }
}

void MqttPublisher::onConnect(quint64 session, int rc)
{
    if (!m_mosq || session != m_session)
        return;
    if (rc != 0) {
        m_refusal = connackText(rc);
        setState(State::Reconnecting, m_refusal);
        return;
    }
    m_refusal.clear();
    m_libraryError.clear();
    if (m_announceStation) {
        const QByteArray station = topicFor(QString(), QStringLiteral("status")).toUtf8();
        mosquitto_publish(m_mosq, nullptr, station.constData(), kOnline.size(), kOnline.constData(), 1, true);
    }
    setState(State::Connected, QString());
    for (auto it = m_keyStatus.constBegin(); it != m_keyStatus.constEnd(); ++it)
        setKeyStatus(it.key(), it.value());
    // What was in flight when the link went is sent again by the library itself (QoS 1).
    fill();
    reportWaiting(true);
}

void MqttPublisher::onDisconnect(quint64 session, int rc)
{
    if (!m_mosq || session != m_session || rc == 0)
        return;
    // The broker closes the socket right after refusing us: its reason is the one to show.
    setState(State::Reconnecting, !m_refusal.isEmpty()
                                      ? m_refusal
                                      : tr("connection lost (%1)").arg(QString::fromUtf8(mosquitto_strerror(rc))));
}

void MqttPublisher::onAcknowledgements()
{
    QVector<QPair<quint64, int>> acks;
    {
        QMutexLocker lock(&m_ackMutex);
        acks.swap(m_acks);
    }
    bool any = false;
    for (const auto &ack : qAsConst(acks)) {
        if (ack.first != m_session)
            continue; // the previous client's
        const auto found = m_cursorOfMid.constFind(ack.second);
        if (found == m_cursorOfMid.constEnd())
            continue; // a status message
        m_inFlight[found.value()] = true;
        m_cursorOfMid.erase(found);
        any = true;
    }
    if (!any)
        return;
    std::optional<PublishSource::Cursor> acknowledged;
    while (!m_inFlight.isEmpty() && m_inFlight.first()) {
        acknowledged = m_inFlight.firstKey();
        m_inFlight.erase(m_inFlight.begin());
    }
    if (acknowledged && !m_source->setAcknowledgedCursor(*acknowledged))
        td::log(QStringLiteral("MQTT: the publishing cursor could not be saved"));
    if (m_inFlight.isEmpty())
        m_source->sync();
    fill();
    if (acknowledged)
        reportWaiting(m_inFlight.isEmpty());
}

void MqttPublisher::logCallback(mosquitto *, void *self, int level, const char *text)
{
    if (!(level & MOSQ_LOG_ERR) || !text)
        return;
    auto *p = static_cast<MqttPublisher *>(self);
    const quint64 session = p->m_session;
    const QString message = QString::fromUtf8(text);
    QMetaObject::invokeMethod(p, [p, session, message] { p->onLibraryError(session, message); }, Qt::QueuedConnection);
}

void MqttPublisher::connectCallback(mosquitto *, void *self, int rc)
{
    auto *p = static_cast<MqttPublisher *>(self);
    const quint64 session = p->m_session;
    QMetaObject::invokeMethod(p, [p, session, rc] { p->onConnect(session, rc); }, Qt::QueuedConnection);
}

void MqttPublisher::disconnectCallback(mosquitto *, void *self, int rc)
{
    auto *p = static_cast<MqttPublisher *>(self);
    const quint64 session = p->m_session;
    QMetaObject::invokeMethod(p, [p, session, rc] { p->onDisconnect(session, rc); }, Qt::QueuedConnection);
}

void MqttPublisher::publishCallback(mosquitto *, void *self, int mid)
{
    auto *p = static_cast<MqttPublisher *>(self);
    // Acknowledgements come by the thousand a second: one wake-up of the publisher's thread
    // carries all that arrived meanwhile.
    bool first;
    {
        QMutexLocker lock(&p->m_ackMutex);
        first = p->m_acks.isEmpty();
        p->m_acks.append({p->m_session.load(), mid});
    }
    if (first)
        QMetaObject::invokeMethod(p, [p] { p->onAcknowledgements(); }, Qt::QueuedConnection);
}
