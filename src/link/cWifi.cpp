#include "link/cWifi.h"

#include "base/Log.h"
#include "base/SecretRedaction.h"
#include "link/MyQueueTX.h"
#include "link/WifiKeyListModel.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>

#include <cstring>

namespace {

// Nothing a key may call itself starts like this: the question mark is refused in
// identifiers, so the name can never collide with a listed key.
const QLatin1String kUnregisteredPrefix("?peer ");
const QLatin1String kIAmHere("FE_WiFi_I_Am_Here");
constexpr qint64 kMaxDatagram = 65536;

bool sameHost(const QHostAddress &a, const QHostAddress &b)
{
    return !a.isNull() && a.isEqual(b, QHostAddress::TolerantConversion);
}

// The body text of a JSON frame (class 0x30) up to its NUL, or empty.
QByteArray jsonText(const RxDataBuffer &rx)
{
    if (rx.length < 3 || rx.data[0] != 0x30)
        return {};
    const uchar *text = rx.bytes() + 2;
    const int available = rx.length - 2;
    const void *nul = std::memchr(text, 0, size_t(available));
    const int n = nul ? int(static_cast<const uchar *>(nul) - text) : available;
    return QByteArray(reinterpret_cast<const char *>(text), n);
}

} // namespace

cWifi::cWifi(const QString &pcAddress, QObject *parent, quint16 announcePort, quint16 tcpPort,
             int oneSecondTickMs, int replyTimeoutMs, int aliveTickMs)
    : QObject(parent)
    , m_pcAddress(pcAddress)
    , m_announcePort(announcePort)
    , m_tcpPort(tcpPort)
    , m_replyTimeoutMs(replyTimeoutMs)
    , m_aliveTickMs(aliveTickMs)
{
    td::registerRxDataBufferType();
    td::registerQueueElementType();
    qRegisterMetaType<KeyAddr>("KeyAddr");

    m_oneSecTimer = new QTimer(this);
    m_oneSecTimer->setInterval(oneSecondTickMs);
    connect(m_oneSecTimer, &QTimer::timeout, this, &cWifi::slot_iTmrOneSec);
    m_oneSecTimer->start();

    m_keyList = new WifiKeyListModel(this);

    m_announce = new QUdpSocket(this);
    connect(m_announce, &QUdpSocket::readyRead, this, &cWifi::readPendingDatagramsCMD_TST);
    m_tcpServer = new QTcpServer(this);
    connect(m_tcpServer, &QTcpServer::newConnection, this, &cWifi::onNewConnection);
}

cWifi::~cWifi()
{
    m_oneSecTimer->stop();
    shutdown();
    for (KeyEntry &e : m_keys) {
        delete e.queue;
        e.queue = nullptr;
    }
    for (auto &peer : m_tcpPeers) {
        if (peer->socket) {
            disconnect(peer->socket, nullptr, this, nullptr);
            peer->socket->abort();
        }
    }
}

bool cWifi::start()
{
    bool ok = true;
    const QHostAddress address(m_pcAddress);
    if (address.isNull()) {
        reportBindFailure(m_announcePort, QStringLiteral("announcement"),
                          QStringLiteral("PC address \"%1\" is not an address").arg(m_pcAddress));
        ok = false;
    } else if (!m_announce->bind(address, m_announcePort, QUdpSocket::DontShareAddress)) {
        reportBindFailure(m_announcePort, QStringLiteral("announcement"), m_announce->errorString());
        ok = false;
    }
    if (!m_tcpServer->listen(QHostAddress::Any, m_tcpPort)) {
        reportBindFailure(m_tcpPort, QStringLiteral("TCP"), m_tcpServer->errorString());
        ok = false;
    }
    return ok;
}

void cWifi::reportBindFailure(quint16 port, const QString &what, const QString &error)
{
    td::log(QStringLiteral("Wi-Fi %1 socket not bound to %2 port %3: %4")
                .arg(what, m_pcAddress)
                .arg(port)
                .arg(error));
    if (m_reportedPorts.contains(port))
        return;
    m_reportedPorts.insert(port);
    emit bindFailed(tr("Wi-Fi port %1 cannot be opened on %2").arg(port).arg(m_pcAddress));
}

QString cWifi::unregisteredName(const QHostAddress &address, quint16 port)
{
    return kUnregisteredPrefix + address.toString() + QLatin1Char(':') + QString::number(port);
}

bool cWifi::isUnregisteredName(const QString &name)
{
    return name.startsWith(kUnregisteredPrefix);
}

bool cWifi::isAcceptableIdentifier(const QString &identifier)
{
    if (identifier.isEmpty() || identifier == QLatin1String("USB")
        || identifier.size() > MAX_IDENTIFIER_LENGTH || identifier.contains(QLatin1Char('?')))
        return false;
    for (const QChar c : identifier) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return false;
    }
    return true;
}

// ---- key list

int cWifi::findKey(const QString &identifier) const
{
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i].addr.identifier == identifier)
            return int(i);
    }
    return -1;
}

QString cWifi::findKeyByAddress(const QHostAddress &address) const
{
    for (const KeyEntry &e : m_keys) {
        if (sameHost(e.addr.hostAddress, address))
            return e.addr.identifier;
    }
    return QString();
}

KeyAddr cWifi::key(int index) const
{
    return (index >= 0 && index < keyCount()) ? m_keys[size_t(index)].addr : KeyAddr();
}

QList<KeyAddr> cWifi::keys() const
{
    QList<KeyAddr> out;
    for (const KeyEntry &e : m_keys)
        out.append(e.addr);
    return out;
}

MyQueueTX *cWifi::queue(int index) const
{
    return (index >= 0 && index < keyCount()) ? m_keys[size_t(index)].queue : nullptr;
}

QUdpSocket *cWifi::keySocket(int index) const
{
    return (index >= 0 && index < keyCount()) ? m_keys[size_t(index)].socket : nullptr;
}

QString cWifi::comboText(const KeyAddr &key) const
{
    // A key without a name would leave an empty, unchoosable-looking row.
    return key.name.trimmed().isEmpty() ? key.identifier : key.name;
}

bool cWifi::AddMAC(const KeyAddr &key)
{
    if (findKey(key.identifier) >= 0) {
        td::log(QStringLiteral("ERROR: AddMAC not added!"));
        return false;
    }
    if (!isAcceptableIdentifier(key.identifier)) {
        td::log(QStringLiteral("Wi-Fi key with an unusable identifier refused: ")
                + key.identifier.left(MAX_IDENTIFIER_LENGTH));
        return false;
    }
    if (keyCount() >= MAX_KEYS) {
        td::log(QStringLiteral("Wi-Fi key %1 refused: already %2 keys listed")
                    .arg(key.identifier)
                    .arg(MAX_KEYS));
        return false;
    }

    KeyEntry entry;
    entry.addr = key;
    bool focused = false;
    for (const KeyEntry &e : m_keys)
        focused = focused || e.addr.focus;
    entry.addr.focus = focused ? 0 : 1;

    // The socket and queue come first so that a selection triggered by the new row already
    // finds them.
    entry.socket = new QUdpSocket(this);
    const QHostAddress address(m_pcAddress);
    if (address.isNull()
        || !entry.socket->bind(address, key.localPort, QUdpSocket::DontShareAddress)) {
        reportBindFailure(key.localPort, QStringLiteral("key ") + key.identifier,
                          address.isNull() ? QStringLiteral("no PC address")
                                           : entry.socket->errorString());
    }
    connect(entry.socket, &QUdpSocket::readyRead, this, &cWifi::readPendingDatagramsCMD);
    td::log(QStringLiteral("NewUdpSocket ID %1 IP %2 PORT %3")
                .arg(key.identifier, m_pcAddress)
                .arg(key.localPort));

    entry.queue = new MyQueueTX(key.identifier, m_replyTimeoutMs, m_aliveTickMs);
    connect(entry.queue, &MyQueueTX::resultReady, this, &cWifi::SendCommandToUART_QueueElement,
            Qt::QueuedConnection);
    const QString id = key.identifier;
    connect(entry.queue, &MyQueueTX::commandGivenUp, this,
            [this, id](const QueueElement &e) {
                emit commandGivenUp(id, e.packetClass,
                                    QByteArray(reinterpret_cast<const char *>(e.payloadData()), e.length));
            },
            Qt::QueuedConnection);

    m_keys.push_back(entry);
    if (m_keyList->rowCount() == 0)
        emit combobox_added();
    m_keyList->append(key.identifier, key.identifier);
    return true;
}

void cWifi::iNewDeviceWiFi_Click(KeyAddr aKeyAddr)
{
    const int existing = findKey(aKeyAddr.identifier);
    if (existing >= 0) {
        KeyAddr &listed = m_keys[size_t(existing)].addr;
        // Only the key itself may refresh its entry; an announcement of a listed identity
        // from elsewhere changes nothing (its address and ports stay as first registered).
        if (!sameHost(listed.hostAddress, aKeyAddr.hostAddress))
            return;
        listed.name = aKeyAddr.name;
        listed.operatorName = aKeyAddr.operatorName;
    } else if (!AddMAC(aKeyAddr)) {
        return;
    }
    const int index = findKey(aKeyAddr.identifier);
    if (index >= 0)
        m_keyList->setText(index, comboText(m_keys[size_t(index)].addr));
}

void cWifi::registerKey(const WifiAnnouncement &a)
{
    if (!isAcceptableIdentifier(a.mac)) {
        td::log(QStringLiteral("FE_WiFi_I_Am_Here with an unusable MAC ignored"));
        return;
    }
    KeyAddr key;
    key.hostAddress = a.address;
    key.port = a.port;
    key.identifier = a.mac;
    key.name = a.keyName;
    key.operatorName = a.operatorName;
    key.localPort = a.remotePort;
    key.remotePort = a.localPort;
    iNewDeviceWiFi_Click(key);
    if (findKey(a.mac) >= 0)
        emit interface_changed(2);
}

void cWifi::renameKey(const QString &id, const QString &name)
{
    const int index = findKey(id);
    if (index < 0)
        return;
    m_keys[size_t(index)].addr.name = name;
    m_keyList->setText(index, comboText(m_keys[size_t(index)].addr));
}

void cWifi::removeKey(int index)
{
    if (index < 0 || index >= keyCount())
        return;
    KeyEntry entry = m_keys[size_t(index)];
    const QString id = entry.addr.identifier;
    td::log(QStringLiteral("DeleteUdpSocket ID ") + id);

    disconnect(entry.queue, nullptr, this, nullptr);
    entry.queue->shutdown();
    delete entry.queue;
    disconnect(entry.socket, nullptr, this, nullptr);
    entry.socket->close();
    // We may be inside one of its own signals.
    entry.socket->deleteLater();

    // The key list shrinks before the row: removing the row may move a view's current index,
    // and the selection that follows must find the lists in step.
    m_keys.erase(m_keys.begin() + index);
    m_keyList->remove(index);
    emit keyRemoved(id);
    if (m_keys.empty())
        emit combobox_empty();
}

bool cWifi::selectKey(int index)
{
    if (index < 0 || index >= keyCount() || m_keys[size_t(index)].addr.focus)
        return false;
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (int(i) == index) {
            m_keys[i].addr.focus = 1;
        } else {
            m_keys[i].addr.focus = 0;
            m_keys[i].queue->clear();
        }
    }
    return true;
}

void cWifi::slot_iTmrOneSec()
{
    // Decide first, remove after: a removal shifts the list (and may run a selection), so
    // walking it while removing would skip the entry behind each removed one.
    QStringList silent;
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i].queue->aliveCountdown() <= 0) {
            td::log(QStringLiteral("Unconnected Device %1").arg(i));
            silent.append(m_keys[i].addr.identifier);
        }
    }
    for (const QString &id : silent)
        removeKey(findKey(id));
}

// ---- sending

QString cWifi::selectedKey() const
{
    for (const KeyEntry &e : m_keys) {
        if (e.addr.focus)
            return e.addr.identifier;
    }
    return QString();
}

bool cWifi::hasKey(const QString &id) const
{
    return findKey(id) >= 0;
}

int cWifi::selectedPendingCount() const
{
    const int index = findKey(selectedKey());
    return index >= 0 ? m_keys[size_t(index)].queue->pendingCount() : 0;
}

bool cWifi::QueueCommand(const KeyAddr &key, uchar packetClass, uchar subCode,
                         const uchar *payload, quint16 length, uchar attempts, int noReply)
{
    const int index = findKey(key.identifier);
    if (index < 0) {
        td::log(QStringLiteral("ERROR: SendDataToWiFi no key ") + key.identifier);
        return false;
    }
    const KeyAddr &listed = m_keys[size_t(index)].addr;
    if (!QueueElement::acceptsPayload(length))
        return false;
    QueueElement element;
    element.hostAddress = listed.hostAddress;
    element.port = listed.remotePort;
    element.interfaceName = listed.identifier;
    element.packetClass = packetClass;
    element.subCode = subCode;
    element.setPayload(payload, length);
    element.attempts = attempts;
    element.noReply = noReply;
    m_keys[size_t(index)].queue->enqueue(element);
    return true;
}

bool cWifi::queueCommandTo(const QString &id, quint8 packetClass, quint8 subCode,
                           const QByteArray &payload, quint8 attempts, int noReply)
{
    // Checked before the narrowing to the queue's 16-bit length can hide the size.
    if (!QueueElement::acceptsPayload(payload.size()))
        return false;
    KeyAddr key;
    key.identifier = id;
    return QueueCommand(key, packetClass, subCode,
                        reinterpret_cast<const uchar *>(payload.constData()),
                        quint16(payload.size()), attempts, noReply);
}

void cWifi::ackReply(const QString &id)
{
    const int index = findKey(id);
    if (index >= 0)
        m_keys[size_t(index)].queue->replyReceived(id);
}

void cWifi::SendCommandToUART_QueueElement(QueueElement aElement)
{
    const int length = qBound(0, int(aElement.length), SlipCodec::MAX_PAYLOAD);
    QByteArray body;
    body.reserve(2 + length);
    body.append(char(aElement.packetClass));
    body.append(char(aElement.subCode));
    body.append(reinterpret_cast<const char *>(aElement.payloadData()), length);

    // By identity, not by address: several keys may share one address (behind one host).
    const int index = findKey(aElement.interfaceName);
    if (index < 0 || !sameHost(m_keys[size_t(index)].addr.hostAddress, aElement.hostAddress)) {
        td::log(QStringLiteral("ERROR: SendDataToWiFi ") + aElement.interfaceName);
        return;
    }
    KeyEntry &entry = m_keys[size_t(index)];
    if (aElement.noReply != 1)
        entry.queue->startReplyTimer();
    if (entry.socket->writeDatagram(body, aElement.hostAddress, aElement.port) != body.size())
        td::log(QStringLiteral("cWifi: datagram to %1 port %2 not sent: %3")
                    .arg(aElement.hostAddress.toString())
                    .arg(aElement.port)
                    .arg(entry.socket->errorString()));

    const int nul = body.indexOf('\0');
    td::log(QStringLiteral(">>>> SEND: %1 data %2")
                .arg(index)
                .arg(QString::fromUtf8(td::redactSecrets(nul >= 0 ? body.left(nul) : body))));
}

void cWifi::shutdown()
{
    for (KeyEntry &e : m_keys) {
        if (e.queue)
            e.queue->shutdown();
    }
}

// ---- receiving

QString cWifi::identifySender(const QHostAddress &address, quint16 port) const
{
    QList<int> matches;
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (sameHost(m_keys[i].addr.hostAddress, address))
            matches.append(int(i));
    }
    if (matches.size() == 1)
        return m_keys[size_t(matches.first())].addr.identifier;
    // Several keys behind one address: only the port a key announced from, or listens on,
    // tells them apart. Whatever socket the datagram came in on says nothing of its sender.
    for (int i : matches) {
        const KeyAddr &k = m_keys[size_t(i)].addr;
        if (port != 0 && (port == k.remotePort || port == k.port))
            return k.identifier;
    }
    return unregisteredName(address, port);
}

void cWifi::readPendingDatagramsCMD_TST()
{
    readDatagrams(m_announce);
}

void cWifi::readPendingDatagramsCMD()
{
    readDatagrams(qobject_cast<QUdpSocket *>(sender()));
}

void cWifi::readDatagrams(QUdpSocket *socket)
{
    QPointer<QUdpSocket> guard(socket);
    while (guard && guard->hasPendingDatagrams()) {
        const qint64 size = guard->pendingDatagramSize();
        QByteArray datagram(int(qBound<qint64>(0, size, kMaxDatagram)), Qt::Uninitialized);
        QHostAddress senderAddress;
        quint16 senderPort = 0;
        const qint64 n = guard->readDatagram(datagram.data(), datagram.size(), &senderAddress,
                                             &senderPort);
        if (n < 0) {
            td::log(QStringLiteral("cWifi: datagram not read: ") + guard->errorString());
            return;
        }
        datagram.truncate(int(n));
        deliverDatagram(datagram, senderAddress, senderPort);
    }
}

void cWifi::deliverDatagram(const QByteArray &datagram, const QHostAddress &sender,
                            quint16 senderPort)
{
    RxDataBuffer rx;
    const int n = qMin(datagram.size(), RxDataBuffer::PACKET_LENGTH_UPPER_LIMIT);
    std::memcpy(rx.bytes(), datagram.constData(), size_t(n));
    rx.length = n;
    rx.interfaceName = identifySender(sender, senderPort);
    rx.hostAddress = sender;
    rx.port = senderPort;
    emit rx_data(rx);
}

void cWifi::onNewConnection()
{
    while (m_tcpServer->hasPendingConnections()) {
        QTcpSocket *socket = m_tcpServer->nextPendingConnection();
        if (!socket)
            return;
        if (tcpConnectionCount() >= MAX_TCP_CONNECTIONS) {
            td::log(QStringLiteral("TCP connection from %1 refused: already %2 connections")
                        .arg(socket->peerAddress().toString())
                        .arg(MAX_TCP_CONNECTIONS));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);

        auto peer = std::make_unique<TcpPeer>();
        peer->socket = socket;
        peer->address = socket->peerAddress();
        peer->port = socket->peerPort();
        // Each connection has its own receiver: interleaved streams must not mix frames.
        TcpPeer *raw = peer.get();
        peer->receiver.setFrameHandler([this, raw](const RxDataBuffer &frame) { onTcpFrame(raw, frame); });
        m_tcpPeers.push_back(std::move(peer));

        connect(socket, &QTcpSocket::readyRead, this, &cWifi::readPendingDatagramsCMD_TCP);
        connect(socket, &QTcpSocket::stateChanged, this, &cWifi::onSocketStateChanged);
        td::log(QStringLiteral("Connected ") + raw->address.toString() + QLatin1Char(':')
                + QString::number(raw->port));
    }
}

cWifi::TcpPeer *cWifi::findPeer(const QTcpSocket *socket) const
{
    for (const auto &peer : m_tcpPeers) {
        if (peer->socket == socket)
            return peer.get();
    }
    return nullptr;
}

void cWifi::dropPeer(QTcpSocket *socket)
{
    for (auto it = m_tcpPeers.begin(); it != m_tcpPeers.end(); ++it) {
        if ((*it)->socket == socket) {
            // The peer's receiver may be the caller (its frame handler led here), and it
            // writes its own state after the handler returns: free it only later.
            (*it)->socket = nullptr;
            if (m_retiredPeers.empty())
                QMetaObject::invokeMethod(this, &cWifi::buryRetiredPeers, Qt::QueuedConnection);
            m_retiredPeers.push_back(std::move(*it));
            m_tcpPeers.erase(it);
            break;
        }
    }
    if (socket) {
        disconnect(socket, nullptr, this, nullptr);
        socket->deleteLater();
    }
}

void cWifi::buryRetiredPeers()
{
    m_retiredPeers.clear();
}

void cWifi::readPendingDatagramsCMD_TCP()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    TcpPeer *peer = findPeer(socket);
    if (!peer)
        return;
    const QByteArray bytes = socket->readAll();
    for (const char c : bytes) {
        // The identity is decided per frame when it completes, see onTcpFrame.
        if (peer->receiver.feed(uchar(c), QString(), peer->address, peer->port)
            && findPeer(socket) != peer)
            return; // the connection went away while its frame was handled
    }
}

void cWifi::onTcpFrame(TcpPeer *peer, const RxDataBuffer &frame)
{
    RxDataBuffer rx = frame;
    // The CRC is checked; the protocol layer gets the bare body, as from a datagram.
    if (rx.length > 0) {
        rx.data[size_t(rx.length - 1)] = 0;
        --rx.length;
    }
    const QByteArray text = jsonText(rx);
    if (!text.isEmpty()) {
        const QJsonObject o = QJsonDocument::fromJson(text).object();
        const QString mac = o.value(QStringLiteral("MAC")).toString();
        if (o.value(QStringLiteral("function_name")).toString() == kIAmHere
            && isAcceptableIdentifier(mac))
            peer->claimedId = mac;
    }
    rx.interfaceName = identifyTcpPeer(peer);
    rx.hostAddress = peer->address;
    rx.port = peer->port;
    emit rx_data(rx);
}

QString cWifi::identifyTcpPeer(const TcpPeer *peer) const
{
    // A connection that named itself belongs to that key only, and only while the key is
    // listed under this same address.
    if (!peer->claimedId.isEmpty()) {
        const int index = findKey(peer->claimedId);
        if (index >= 0 && sameHost(m_keys[size_t(index)].addr.hostAddress, peer->address))
            return peer->claimedId;
        return unregisteredName(peer->address, peer->port);
    }
    // The source port of a TCP connection says nothing; only an address that belongs to
    // exactly one key does.
    QString found;
    for (const KeyEntry &e : m_keys) {
        if (!sameHost(e.addr.hostAddress, peer->address))
            continue;
        if (!found.isEmpty())
            return unregisteredName(peer->address, peer->port);
        found = e.addr.identifier;
    }
    return found.isEmpty() ? unregisteredName(peer->address, peer->port) : found;
}

void cWifi::onSocketStateChanged(QAbstractSocket::SocketState socketState)
{
    td::log(QStringLiteral("onSocketStateChanged"));
    if (socketState != QAbstractSocket::UnconnectedState)
        return;
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    if (TcpPeer *peer = findPeer(socket))
        td::log(QStringLiteral("UnConnected ") + peer->address.toString() + QLatin1Char(':')
                + QString::number(peer->port));
    dropPeer(socket);
}
