#pragma once

// The PC's Wi-Fi side as the main window builds it (the key connection and the window's
// controller), with short intervals and ports of its own, plus a hand-driven key on a loopback
// socket and the real keysim as a process.

#include "base/Paths.h"
#include "ui/frame/WifiController.h"
#include "ui/frame/WifiKeyCombo.h"
#include "base/cGlobalData.h"
#include "link/MemoryKeyPort.h"
#include "link/UsbLink.h"
#include "link/cWifi.h"
#include "protocol/ConnectionSupervisor.h"
#include "protocol/KeyConnection.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySession.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <memory>
#include <vector>

namespace wifitest {

// Ports for the rigs come from below the system's ephemeral range (32768.. on Linux): a socket
// bound to port 0 anywhere, in another test or for an outgoing connection, is never given one
// of them, so only another pick made here could take one, and each pick is held bound until
// the moment its user binds it.
class PortHold
{
public:
    // Binds a random free port (UDP on the loopback, or a TCP listener) and keeps it.
    explicit PortHold(bool tcp)
    {
        for (int attempt = 0; attempt < 200 && m_port == 0; ++attempt) {
            const quint16 port = quint16(20000 + QRandomGenerator::global()->bounded(12000));
            if (tcp) {
                auto server = std::make_unique<QTcpServer>();
                if (server->listen(QHostAddress::Any, port)) {
                    m_tcp = std::move(server);
                    m_port = port;
                }
            } else {
                auto socket = std::make_unique<QUdpSocket>();
                if (socket->bind(QHostAddress::LocalHost, port, QUdpSocket::DontShareAddress)) {
                    m_udp = std::move(socket);
                    m_port = port;
                }
            }
        }
    }
    quint16 port() const { return m_port; }
    // Frees the port for its real user, who binds it next.
    void release()
    {
        m_udp.reset();
        m_tcp.reset();
    }

private:
    std::unique_ptr<QUdpSocket> m_udp;
    std::unique_ptr<QTcpServer> m_tcp;
    quint16 m_port = 0;
};

inline quint16 freeUdpPort()
{
    return PortHold(false).port();
}

inline quint16 freeTcpPort()
{
    return PortHold(true).port();
}

// A base port B such that B .. B+2n-1 are free for UDP on the loopback, held until release.
struct PortRange
{
    quint16 base = 0;
    std::vector<std::unique_ptr<QUdpSocket>> held;
    explicit PortRange(int n)
    {
        for (int attempt = 0; attempt < 50 && base == 0; ++attempt) {
            const quint16 b = quint16(20000 + 2 * QRandomGenerator::global()->bounded(5900));
            held.clear();
            bool ok = true;
            for (int i = 0; i < 2 * n && ok; ++i) {
                held.push_back(std::make_unique<QUdpSocket>());
                ok = held.back()->bind(QHostAddress::LocalHost, quint16(b + i), QUdpSocket::DontShareAddress);
            }
            if (ok)
                base = b;
        }
        if (base == 0)
            held.clear();
    }
    void release() { held.clear(); }
};

inline QByteArray jsonBody(const QJsonObject &o)
{
    return QByteArray("\x30\x01", 2) + QJsonDocument(o).toJson(QJsonDocument::Compact) + '\0';
}

inline QJsonObject bodyJson(const QByteArray &body)
{
    if (body.size() < 3 || body.at(0) != 0x30)
        return {};
    const QByteArray text = body.mid(2);
    return QJsonDocument::fromJson(text.left(text.indexOf('\0'))).object();
}

inline QJsonObject announcement(const QString &mac, const QString &name, quint16 keyPort,
                                quint16 pcPort)
{
    return {{"function_name", "FE_WiFi_I_Am_Here"}, {"TestConnectCounter", 10},
            {"MAC", mac},       {"KeyName", name},
            {"OperatorName", "Petrov"}, {"LocalPort", int(keyPort)},
            {"RemotePort", int(pcPort)}};
}

// A key played by the test on its own loopback socket: announces, sends what the test
// gives it and records what the PC sends it.
struct HandKey
{
    QUdpSocket socket;
    QString mac;
    quint16 pcPort = 0; // the PC-side port it names
    QList<QByteArray> received;

    HandKey(const QString &id, const QHostAddress &address = QHostAddress(QHostAddress::LocalHost))
        : mac(id)
    {
        socket.bind(address, 0);
        pcPort = freeUdpPort();
        QObject::connect(&socket, &QUdpSocket::readyRead, [this] {
            while (socket.hasPendingDatagrams()) {
                QByteArray d(int(socket.pendingDatagramSize()), Qt::Uninitialized);
                socket.readDatagram(d.data(), d.size());
                received.append(d);
            }
        });
    }
    void announce(quint16 announcePort, const QString &name = QStringLiteral("Hand key"))
    {
        sendTo(jsonBody(announcement(mac, name, socket.localPort(), pcPort)), announcePort);
    }
    void sendTo(const QByteArray &body, quint16 port)
    {
        socket.writeDatagram(body, QHostAddress(QHostAddress::LocalHost), port);
    }
    // To the PC's socket for this key.
    void send(const QByteArray &body) { sendTo(body, pcPort); }
    int countReceived(const QString &functionName) const
    {
        int n = 0;
        for (const QByteArray &b : received)
            n += bodyJson(b).value("function_name").toString() == functionName;
        return n;
    }
};

struct PcTiming
{
    int scanMs = 50;
    int tickMs = 200;        // status exchange
    int wifiReadyMs = 200;
    int sweepMs = 100;       // silent-key sweep
    int replyMs = 1000;      // queue reply time-out
    int aliveTickMs = 1000;  // queue alive countdown step (10 steps)
};

struct DataRoot
{
    QTemporaryDir dir;
    DataRoot() { Paths::setDataRoot(dir.path()); }
    ~DataRoot() { Paths::setDataRoot(QString()); }
};

// The PC: no USB key is ever found, so the scan runs until the Wi-Fi link is ready.
struct WifiPc
{
    DataRoot root;
    cGlobalData data;
    MemoryKeyPort port;
    PortHold announceHold{false};
    PortHold tcpHold{true};
    quint16 announcePort;
    quint16 tcpPort;
    KeyConnection connection;
    KeySession &session;
    UsbLink &usb;
    ConnectionSupervisor &supervisor;
    cWifi &wifi;
    WifiController controller;

    static KeyConnection::Options options(const PcTiming &t, MemoryKeyPort *port, quint16 announce,
                                          quint16 tcp)
    {
        KeyConnection::Options o;
        o.port = port;
        o.pcAddress = QStringLiteral("127.0.0.1");
        o.announcePort = announce;
        o.tcpPort = tcp;
        o.scanRearmMs = t.scanMs;
        o.statusTickMs = t.tickMs;
        o.wifiReadyMs = t.wifiReadyMs;
        o.rescanDelayMs = 50;
        o.wifiSweepMs = t.sweepMs;
        o.wifiPortRetryMs = 100;
        o.replyTimeoutMs = t.replyMs;
        o.aliveTickMs = t.aliveTickMs;
        o.fileListTickMs = 20;
        o.progressTickMs = 200;
        return o;
    }

    explicit WifiPc(const PcTiming &t = PcTiming(),
                    const WifiController::Widgets &widgets = WifiController::Widgets())
        : announcePort(announceHold.port())
        , tcpPort(tcpHold.port())
        , connection(&data, options(t, &port, announcePort, tcpPort))
        , session(*connection.session())
        , usb(*connection.usb())
        , supervisor(*connection.supervisor())
        , wifi(*connection.wifi())
        , controller(&connection, nullptr, widgets, nullptr, 3600 * 1000)
    {
        usb.setPortLister([] { return QList<UsbLink::PortEntry>(); });
    }
    WifiKeyCombo *combo() const { return controller.keyCombo(); }
    // scan: run the port scan as the window does (it switches to Wi-Fi once ready).
    bool start(bool scan = true)
    {
        announceHold.release();
        tcpHold.release();
        if (!wifi.start())
            return false;
        if (scan)
            usb.TmrCheckSerialPorts();
        return true;
    }
    QStringList ids() const
    {
        QStringList out;
        for (const KeyAddr &k : wifi.keys())
            out << k.identifier;
        return out;
    }
};

// Files of a folder, name -> bytes.
inline QMap<QString, QByteArray> folderFiles(const QString &path)
{
    QMap<QString, QByteArray> out;
    const QDir dir(path);
    for (const QString &name : dir.entryList(QDir::Files)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            out.insert(name, f.readAll());
    }
    return out;
}

// The keysim executable serving keys over Wi-Fi.
struct KeysimWifi
{
    struct Key
    {
        int index = 0;
        QString mac;
        quint16 localPort = 0;
        quint16 remotePort = 0;
        QString root;
    };

    QTemporaryDir dir;
    QProcess process;
    QList<Key> keys;

    static QString binary()
    {
        return qEnvironmentVariable("TD_BUILD_DIR", QStringLiteral(".")) + QStringLiteral("/keysim");
    }
    QString keyRoot(int i, int n) const
    {
        return n == 1 ? dir.path() : dir.path() + QStringLiteral("/key%1").arg(i);
    }
    // Sample keys with different record counts, then the emulator on them.
    bool start(int n, const WifiPc &pc, const QStringList &extra)
    {
        for (int i = 1; i <= n; ++i) {
            QProcess make;
            make.start(binary(), {"make-key", "--root", keyRoot(i, n), "--records", QString::number(1 + i),
                                  "--measures", "2", "--seed", QString::number(7 * i)});
            if (!make.waitForFinished(30000) || make.exitCode() != 0)
                return false;
        }
        PortRange range(n);
        const quint16 base = range.base;
        range.release();
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(binary(), QStringList{"--root", dir.path(), "--wifi", "--keys", QString::number(n),
                                            "--pc-port", QString::number(pc.announcePort), "--tcp-port",
                                            QString::number(pc.tcpPort), "--key-port", QString::number(base),
                                            "--log", dir.path() + "/requests"}
                                    + extra);
        if (!process.waitForStarted(10000))
            return false;
        while (keys.size() < n) {
            while (!process.canReadLine()) {
                if (!process.waitForReadyRead(10000))
                    return false;
            }
            const QStringList f = QString::fromUtf8(process.readLine()).trimmed().split(' ');
            if (f.size() != 7 || f[0] != "wifi")
                return false;
            keys.append({f[2].toInt(), f[3], quint16(f[4].toUInt()), quint16(f[5].toUInt()), f[6]});
        }
        return true;
    }
    // The requests key i received, one per line.
    QStringList requests(int i) const
    {
        QFile f(dir.path() + (keys.size() == 1 ? QStringLiteral("/requests") : QStringLiteral("/requests.key%1").arg(i)));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    void stop()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
        errors += process.readAllStandardError();
    }
    // Stops the emulator; true when it reported no sanitizer fault of its own.
    bool stoppedClean()
    {
        stop();
        return !errors.contains("AddressSanitizer") && !errors.contains("runtime error");
    }
    QByteArray errors;
    ~KeysimWifi() { stop(); }
};

} // namespace wifitest
