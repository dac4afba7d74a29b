#include "WifiTransport.h"

#include "KeyProtocolEngine.h"
#include "KeyState.h"

#include "base/Log.h"
#include "link/SlipCodec.h"

#include <QJsonObject>
#include <QTcpSocket>

namespace keysim {

WifiTransport::WifiTransport(KeyProtocolEngine *engine, const WifiKeyConfig &config,
                             const FaultSettings &faults, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_config(config)
    , m_settings(faults)
    , m_counter(faults)
{
    connect(m_engine, &KeyProtocolEngine::frameOut, this, &WifiTransport::sendFrame);
    connect(&m_udp, &QUdpSocket::readyRead, this, &WifiTransport::onDatagram);
    m_announceTimer.setInterval(qMax(10, m_config.announceIntervalMs));
    connect(&m_announceTimer, &QTimer::timeout, this, &WifiTransport::announce);
}

WifiTransport::~WifiTransport()
{
    if (m_tcp)
        m_tcp->abort();
}

bool WifiTransport::open(QString *error)
{
    if (!m_udp.bind(m_config.address, m_config.localPort, QUdpSocket::DontShareAddress)) {
        if (error)
            *error = QStringLiteral("cannot bind %1 port %2: %3")
                         .arg(m_config.address.toString())
                         .arg(m_config.localPort)
                         .arg(m_udp.errorString());
        return false;
    }
    td::log(QStringLiteral("keysim: Wi-Fi key %1 on %2:%3, announcing to %4:%5")
                .arg(m_config.mac, m_config.address.toString())
                .arg(m_config.localPort)
                .arg(m_config.pcAddress.toString())
                .arg(m_config.pcPort));
    if (m_settings.silentAfterMs >= 0)
        QTimer::singleShot(m_settings.silentAfterMs, this, &WifiTransport::fallSilent);
    announce();
    m_announceTimer.start();
    return true;
}

QByteArray WifiTransport::announcementBody() const
{
    const KeyState *state = m_engine->state();
    QJsonObject o;
    o.insert(QStringLiteral("function_name"), QStringLiteral("FE_WiFi_I_Am_Here"));
    o.insert(QStringLiteral("TestConnectCounter"), 10);
    o.insert(QStringLiteral("MAC"), m_config.mac);
    o.insert(QStringLiteral("KeyName"), state ? state->KeyName : QString());
    o.insert(QStringLiteral("OperatorName"), state ? state->OperatorName : QString());
    o.insert(QStringLiteral("LocalPort"), int(m_config.localPort));
    o.insert(QStringLiteral("RemotePort"), int(m_config.remotePort));
    return KeyProtocolEngine::jsonBody(o);
}

void WifiTransport::announce()
{
    if (m_silent)
        return;
    const QByteArray body = announcementBody();
    if (m_udp.writeDatagram(body, m_config.pcAddress, m_config.pcPort) == body.size())
        ++m_announcements;
    else
        td::log(QStringLiteral("keysim: announcement of %1 not sent: %2").arg(m_config.mac, m_udp.errorString()));
}

void WifiTransport::fallSilent()
{
    td::log(QStringLiteral("keysim: Wi-Fi key %1 falls silent").arg(m_config.mac));
    m_silent = true;
    m_announceTimer.stop();
    m_tcpPending.clear();
}

void WifiTransport::onDatagram()
{
    while (m_udp.hasPendingDatagrams()) {
        QByteArray datagram(int(qMax<qint64>(0, m_udp.pendingDatagramSize())), Qt::Uninitialized);
        QHostAddress from;
        quint16 fromPort = 0;
        const qint64 n = m_udp.readDatagram(datagram.data(), datagram.size(), &from, &fromPort);
        if (n < 0)
            return;
        datagram.truncate(int(n));
        if (datagram.size() < 2) {
            td::log(QStringLiteral("keysim: datagram of %1 bytes ignored").arg(datagram.size()));
            continue;
        }
        // Answers go back to whoever asked: the PC sends from the port it listens on.
        m_pcReplyAddress = from;
        m_pcReplyPort = fromPort;
        m_heardFromPc = true;
        emit frameReceived();
        if (m_silent) {
            m_engine->noteUnanswered(datagram);
            continue;
        }
        m_engine->handleBody(datagram);
    }
}

void WifiTransport::sendFrame(const QByteArray &body, bool isReply)
{
    if (m_silent || body.size() < 2)
        return;
    if (!isReply && !m_heardFromPc) {
        td::log(QStringLiteral("keysim: no PC yet, notification not sent"));
        return;
    }
    bool corrupt = false;
    if (isReply) {
        switch (m_counter.nextReply()) {
        case FaultCounter::Fate::Drop:
            td::log(QStringLiteral("keysim: reply %1 of %2 dropped").arg(m_counter.replies()).arg(m_config.mac));
            return;
        case FaultCounter::Fate::Corrupt:
            corrupt = true;
            break;
        case FaultCounter::Fate::Send:
            break;
        }
    }
    if (m_settings.latencyMs > 0) {
        // Equal delays keep the order of the frames.
        QTimer::singleShot(m_settings.latencyMs, this, [this, body, corrupt] { writeOut(body, corrupt); });
        return;
    }
    writeOut(body, corrupt);
}

void WifiTransport::writeOut(const QByteArray &body, bool corrupt)
{
    if (m_silent)
        return;
    if (m_config.useTcp) {
        QByteArray wire = SlipCodec::encode(uchar(body.at(0)), uchar(body.at(1)), body.mid(2));
        if (corrupt) {
            td::log(QStringLiteral("keysim: reply %1 of %2 sent with a wrong CRC").arg(m_counter.replies()).arg(m_config.mac));
            wire = corruptFrameCrc(wire);
        }
        writeTcp(wire);
        return;
    }
    if (corrupt)
        td::log(QStringLiteral("keysim: datagrams carry no CRC, reply of %1 sent unharmed").arg(m_config.mac));
    if (m_udp.writeDatagram(body, m_pcReplyAddress, m_pcReplyPort) != body.size())
        td::log(QStringLiteral("keysim: datagram of %1 not sent: %2").arg(m_config.mac, m_udp.errorString()));
}

void WifiTransport::writeTcp(const QByteArray &wire)
{
    if (m_tcp && m_tcp->state() == QAbstractSocket::ConnectedState) {
        m_tcp->write(wire);
        return;
    }
    if (m_tcpPending.size() + wire.size() > MaxPendingTcp) {
        td::log(QStringLiteral("keysim: no TCP connection, %1 bytes of output dropped").arg(m_tcpPending.size()));
        m_tcpPending.clear();
        return;
    }
    m_tcpPending.append(wire);
    if (m_tcp && m_tcp->state() != QAbstractSocket::UnconnectedState)
        return; // on its way up
    if (!m_tcp) {
        m_tcp = new QTcpSocket(this);
        connect(m_tcp, &QTcpSocket::connected, this, &WifiTransport::onTcpConnected);
        connect(m_tcp, &QTcpSocket::disconnected, this, [this] {
            td::log(QStringLiteral("keysim: TCP connection of %1 closed").arg(m_config.mac));
        });
        connect(m_tcp, QOverload<QAbstractSocket::SocketError>::of(&QAbstractSocket::errorOccurred), this,
                [this](QAbstractSocket::SocketError) {
                    td::log(QStringLiteral("keysim: TCP of %1: %2").arg(m_config.mac, m_tcp->errorString()));
                });
    }
    // Leave from the key's own address, so the PC sees the same host on both paths.
    m_tcp->bind(m_config.address, 0);
    m_tcp->connectToHost(m_config.pcAddress, m_config.tcpPort);
}

void WifiTransport::onTcpConnected()
{
    td::log(QStringLiteral("keysim: TCP connection of %1 up").arg(m_config.mac));
    // Several keys may share one address; the announcement names this connection's key.
    const QByteArray hello = announcementBody();
    m_tcp->write(SlipCodec::encode(uchar(hello.at(0)), uchar(hello.at(1)), hello.mid(2)));
    if (!m_tcpPending.isEmpty()) {
        m_tcp->write(m_tcpPending);
        m_tcpPending.clear();
    }
}

} // namespace keysim
