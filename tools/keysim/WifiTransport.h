#pragma once

#include "KeyFaults.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUdpSocket>

class QTcpSocket;

namespace keysim {

class KeyProtocolEngine;

// Where one emulated key lives on the network and how it reaches the PC.
struct WifiKeyConfig
{
    QString mac;                 // the key's identity in its announcements
    quint16 localPort = 0;       // the key's own UDP port: the PC sends here
    quint16 remotePort = 0;      // the PC-side port the key names for itself
    QHostAddress address = QHostAddress(QHostAddress::LocalHost); // the key's own address
    QHostAddress pcAddress = QHostAddress(QHostAddress::LocalHost);
    quint16 pcPort = 32555;      // the PC's announcement port
    quint16 tcpPort = 33333;     // the PC's TCP port, with useTcp
    bool useTcp = false;         // frames to the PC go over TCP instead of UDP
    int announceIntervalMs = 1000;
};

// The key's Wi-Fi side: announces itself to the PC at a fixed interval, takes every datagram
// on its own port as one bare frame body for the engine, and sends the engine's answers
// back as bare datagrams (or, with useTcp, as SLIP frames on one TCP connection, which the
// key opens by naming itself in an announcement frame). Faults: dropped replies, corrupted
// CRCs (TCP only; datagrams carry none), latency, silence.
class WifiTransport : public QObject
{
    Q_OBJECT
public:
    // Output held while the TCP connection is not up; beyond this it is thrown away.
    static constexpr int MaxPendingTcp = 256 * 1024;

    WifiTransport(KeyProtocolEngine *engine, const WifiKeyConfig &config,
                  const FaultSettings &faults, QObject *parent = nullptr);
    ~WifiTransport() override;

    // Binds the key's port and starts announcing (the first announcement goes out at once).
    // False with a reason when the port cannot be bound.
    bool open(QString *error);

    const WifiKeyConfig &config() const { return m_config; }
    bool isSilent() const { return m_silent; }
    quint64 announcementsSent() const { return m_announcements; }
    const FaultCounter &faults() const { return m_counter; }
    // The FE_WiFi_I_Am_Here body with the key's present names.
    QByteArray announcementBody() const;

public slots:
    void announce();
    // From now on the key neither announces nor answers.
    void fallSilent();
    void sendFrame(const QByteArray &body, bool isReply);

signals:
    void frameReceived();

private slots:
    void onDatagram();
    void onTcpConnected();

private:
    void writeOut(const QByteArray &body, bool corrupt);
    void writeTcp(const QByteArray &wire);

    KeyProtocolEngine *m_engine;
    WifiKeyConfig m_config;
    FaultSettings m_settings;
    FaultCounter m_counter;
    QUdpSocket m_udp;
    QTcpSocket *m_tcp = nullptr;
    QByteArray m_tcpPending;
    QTimer m_announceTimer;
    bool m_silent = false;
    bool m_heardFromPc = false;
    QHostAddress m_pcReplyAddress;
    quint16 m_pcReplyPort = 0;
    quint64 m_announcements = 0;
};

} // namespace keysim
