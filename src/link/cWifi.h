#pragma once

#include "base/Timing.h"
#include "link/KeyAddr.h"
#include "link/QueueElement.h"
#include "link/RxDataBuffer.h"
#include "link/SlipCodec.h"
#include "link/WifiKeyDirectory.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <memory>
#include <vector>

class MyQueueTX;
class QTcpServer;
class QTcpSocket;
class QTimer;
class QUdpSocket;
class WifiKeyListModel;

// The Wi-Fi link: the announcement socket every key announces itself to, the TCP server keys
// may send their frames over, and per registered key a UDP socket (bound to the port the key
// sends to) and a transmit queue. Keeps the key list, and the list model the window's key
// combo box shows, and forgets a key whose queue has heard nothing for ten seconds.
//
// Which key a frame comes from is decided here, and decided conservatively: a frame that
// cannot be tied to exactly one registered key gets unregisteredName(), which the protocol
// layer never mistakes for the USB link or for a listed key, so from such a peer only an
// announcement is acted on.
//
// All of it lives in the GUI thread; the queues' threads reach it only through their queued
// resultReady signals.
class cWifi : public QObject, public WifiKeyDirectory
{
    Q_OBJECT
public:
    static constexpr quint16 DEFAULT_ANNOUNCE_PORT = 32555;
    static constexpr quint16 DEFAULT_TCP_PORT = 33333;
    // Every key costs a socket and a thread; a flood of made-up identities must not exhaust
    // either.
    static constexpr int MAX_KEYS = 32;
    static constexpr int MAX_TCP_CONNECTIONS = 32;
    static constexpr int MAX_IDENTIFIER_LENGTH = 64;

    // pcAddress: the PC's own address all UDP sockets are bound to (from settings.ini).
    // Nothing is bound before start().
    explicit cWifi(const QString &pcAddress, QObject *parent = nullptr,
                   quint16 announcePort = DEFAULT_ANNOUNCE_PORT,
                   quint16 tcpPort = DEFAULT_TCP_PORT,
                   int oneSecondTickMs = td::timing::wifiOneSecondTick,
                   int replyTimeoutMs = td::timing::queueReplyTimeout,
                   int aliveTickMs = td::timing::queueAliveTick);
    ~cWifi() override;

    // Binds the announcement socket and starts the TCP server (what is not bound yet). A
    // failure is logged with its port and reported once through bindFailed(); false when
    // anything failed. Ports another program holds are tried again every retry interval
    // until they free; portsBusyChanged() says when that begins and ends.
    bool start();
    void setPortRetryInterval(int ms);
    // The announcement or TCP port is held by another program (another TorqueDesk).
    bool portsBusy() const { return m_portsBusy; }

    // The interface name of a frame from a peer that is not a registered key.
    static QString unregisteredName(const QHostAddress &address, quint16 port);
    static bool isUnregisteredName(const QString &name);
    // Identifiers the link registers: not empty, not "USB", at most MAX_IDENTIFIER_LENGTH
    // characters, no control characters, and never of the unregistered-peer form.
    static bool isAcceptableIdentifier(const QString &identifier);

    // Adds a key (focus rule, list row, socket, queue). False when a key with that
    // identifier is listed already ("ERROR: AddMAC not added!") or the key is refused.
    bool AddMAC(const KeyAddr &key);
    // Removes the key at index: queue stopped, socket closed, list entry and its row gone.
    // Emits combobox_empty() when it was the last.
    void removeKey(int index);
    // Gives the focus to the key at index; every other key loses it and has its queue
    // cleared. False (nothing changes) when index is outside the list or already focused.
    bool selectKey(int index);

    int findKey(const QString &identifier) const;
    // Identifier of the first registered key with that address, or empty.
    QString findKeyByAddress(const QHostAddress &address) const;

    // Queues one body for that key (to its address and key-side port). False when no key
    // with that identifier is listed, or the payload does not fit: nothing is sent.
    bool QueueCommand(const KeyAddr &key, uchar packetClass, uchar subCode, const uchar *payload,
                      quint16 length, uchar attempts, int noReply);
    // Elements waiting in the selected key's queue (0 when none is selected).
    int selectedPendingCount() const;
    // Clears and stops every queue; the keys stay listed. The destructor does this too.
    void shutdown();

    int keyCount() const { return int(m_keys.size()); }
    KeyAddr key(int index) const;
    QList<KeyAddr> keys() const;
    MyQueueTX *queue(int index) const;
    QUdpSocket *keySocket(int index) const;
    // One row per listed key, in list order, named as the key names itself.
    WifiKeyListModel *keyList() const { return m_keyList; }
    QUdpSocket *announcementSocket() const { return m_announce; }
    QTcpServer *tcpServer() const { return m_tcpServer; }
    int tcpConnectionCount() const { return int(m_tcpPeers.size()); }
    QString pcAddress() const { return m_pcAddress; }

    // WifiKeyDirectory: the protocol layer's view.
    QString selectedKey() const override;
    bool hasKey(const QString &id) const override;
    bool queueCommandTo(const QString &id, quint8 packetClass, quint8 subCode,
                        const QByteArray &payload, quint8 attempts, int noReply) override;
    void ackReply(const QString &id) override;
    // Adds the announced key (or refreshes the names of a listed one announcing from its
    // own address) and emits interface_changed(2). Refused identifiers change nothing.
    void registerKey(const WifiAnnouncement &announcement) override;
    void renameKey(const QString &id, const QString &name) override;

signals:
    void interface_changed(int aInterface);
    void rx_data(RxDataBuffer aRxDataBuffer);
    // Declared for the window's iNewDeviceWiFi_Click; registration runs without it.
    void find_new_device(KeyAddr aKeyAddr);
    void combobox_empty();
    void combobox_added();
    // A socket could not be bound (port in use, address not on this PC): a short text for
    // the status line, once per port.
    void bindFailed(const QString &message);
    void portsBusyChanged(bool busy);
    void keyRemoved(const QString &identifier);
    // A key's queue gave a command up unanswered after every attempt (class byte, payload).
    void commandGivenUp(const QString &identifier, quint8 packetClass, const QByteArray &payload);

public slots:
    // Sends one element as a datagram to its key.
    void SendCommandToUART_QueueElement(QueueElement aElement);
    void readPendingDatagramsCMD();     // a per-key socket
    void readPendingDatagramsCMD_TCP(); // a TCP connection
    void readPendingDatagramsCMD_TST(); // the announcement socket
    void onNewConnection();
    void onSocketStateChanged(QAbstractSocket::SocketState socketState);
    // Forgets every key whose queue's alive countdown has run out.
    void slot_iTmrOneSec();
    // Registers the key, then names its row after the key.
    void iNewDeviceWiFi_Click(KeyAddr aKeyAddr);

private:
    struct KeyEntry
    {
        KeyAddr addr;
        QUdpSocket *socket = nullptr;
        MyQueueTX *queue = nullptr;
    };
    struct TcpPeer
    {
        QTcpSocket *socket = nullptr;
        QHostAddress address;
        quint16 port = 0;
        // The identity this connection announced itself with, if any.
        QString claimedId;
        SlipReceiver receiver;
    };

    void readDatagrams(QUdpSocket *socket);
    void deliverDatagram(const QByteArray &datagram, const QHostAddress &sender, quint16 senderPort);
    void onTcpFrame(TcpPeer *peer, const RxDataBuffer &frame);
    QString identifySender(const QHostAddress &address, quint16 port) const;
    QString identifyTcpPeer(const TcpPeer *peer) const;
    TcpPeer *findPeer(const QTcpSocket *socket) const;
    void dropPeer(QTcpSocket *socket);
    void buryRetiredPeers();
    void reportBindFailure(quint16 port, const QString &what, const QString &error);
    void reportBound(quint16 port);
    QString comboText(const KeyAddr &key) const;

    std::vector<KeyEntry> m_keys;
    QTimer *m_oneSecTimer = nullptr;
    WifiKeyListModel *m_keyList = nullptr;
    QString m_pcAddress;
    QUdpSocket *m_announce = nullptr;
    QTcpServer *m_tcpServer = nullptr;
    std::vector<std::unique_ptr<TcpPeer>> m_tcpPeers;
    // Dropped connections whose receiver may still be on the call stack (a frame handler
    // closed the connection): kept until control is back in the event loop.
    std::vector<std::unique_ptr<TcpPeer>> m_retiredPeers;
    const quint16 m_announcePort;
    const quint16 m_tcpPort;
    const int m_replyTimeoutMs;
    const int m_aliveTickMs;
    QSet<quint16> m_reportedPorts;
    QTimer *m_portRetry = nullptr;
    bool m_portsBusy = false;
};
