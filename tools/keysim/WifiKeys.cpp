#include "WifiKeys.h"

#include "SimulatedKey.h"
#include "WifiTransport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <memory>
#include <vector>

namespace keysim {

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "keysim: %s\n", qPrintable(message));
    return 2;
}

bool portOption(const QCommandLineParser &p, const QString &name, quint16 *out)
{
    if (!p.isSet(name))
        return true;
    bool ok = false;
    const int v = p.value(name).toInt(&ok);
    if (!ok || v < 1 || v > 65535) {
        fail(QStringLiteral("--%1 wants a port 1..65535").arg(name));
        return false;
    }
    *out = quint16(v);
    return true;
}

} // namespace

QString wifiKeyMac(int index)
{
    return QStringLiteral("2C:F4:32:29:07:%1").arg(index, 2, 16, QLatin1Char('0')).toUpper();
}

quint16 wifiKeyLocalPort(quint16 basePort, int index)
{
    return quint16(basePort + 2 * (index - 1));
}

quint16 wifiKeyRemotePort(quint16 basePort, int index)
{
    return quint16(basePort + 2 * (index - 1) + 1);
}

void addWifiOptions(QCommandLineParser &p)
{
    p.addOptions({
        {QStringLiteral("wifi"), QStringLiteral("Serve the key over Wi-Fi on 127.0.0.1 instead of a pseudo-terminal.")},
        {QStringLiteral("tcp"), QStringLiteral("With --wifi: send frames to the PC over TCP instead of UDP.")},
        {QStringLiteral("keys"), QStringLiteral("With --wifi: run N keys at once, key I in ROOT/keyI."), QStringLiteral("N")},
        {QStringLiteral("pc-port"), QStringLiteral("With --wifi: the PC's announcement port (32555)."), QStringLiteral("P")},
        {QStringLiteral("tcp-port"), QStringLiteral("With --wifi: the PC's TCP port (33333)."), QStringLiteral("P")},
        {QStringLiteral("key-port"),
         QStringLiteral("With --wifi: key I listens on B+2(I-1) and names B+2(I-1)+1 as the PC's port (40000)."),
         QStringLiteral("B")},
        {QStringLiteral("announce"), QStringLiteral("With --wifi: announce every S seconds (1)."), QStringLiteral("S")},
        {QStringLiteral("silent-key"), QStringLiteral("With --wifi: --silent-after applies to key I only."), QStringLiteral("I")},
    });
}

int runWifiKeys(const QCommandLineParser &p, const QString &root, const FaultSettings &faults, int liveMs)
{
    int count = 1;
    if (p.isSet(QStringLiteral("keys"))) {
        bool ok = false;
        count = p.value(QStringLiteral("keys")).toInt(&ok);
        if (!ok || count < 1 || count > 16)
            return fail(QStringLiteral("--keys wants a number 1..16"));
    }
    quint16 pcPort = 32555;
    quint16 tcpPort = 33333;
    quint16 keyPort = 40000;
    if (!portOption(p, QStringLiteral("pc-port"), &pcPort) || !portOption(p, QStringLiteral("tcp-port"), &tcpPort)
        || !portOption(p, QStringLiteral("key-port"), &keyPort))
        return 2;
    if (int(keyPort) + 2 * count > 65535)
        return fail(QStringLiteral("--key-port leaves no room for %1 keys").arg(count));
    int announceMs = 1000;
    if (p.isSet(QStringLiteral("announce"))) {
        bool ok = false;
        const double s = p.value(QStringLiteral("announce")).toDouble(&ok);
        if (!ok || s < 0.01 || s > 3600)
            return fail(QStringLiteral("--announce wants seconds 0.01..3600"));
        announceMs = int(s * 1000 + 0.5);
    }
    int silentKey = 0;
    if (p.isSet(QStringLiteral("silent-key"))) {
        bool ok = false;
        silentKey = p.value(QStringLiteral("silent-key")).toInt(&ok);
        if (!ok || silentKey < 1 || silentKey > count)
            return fail(QStringLiteral("--silent-key wants a key number 1..%1").arg(count));
    }

    std::vector<std::unique_ptr<SimulatedKey>> keys;
    std::vector<std::unique_ptr<WifiTransport>> transports;
    for (int i = 1; i <= count; ++i) {
        const QString keyRoot = count == 1 ? root : QDir(root).absoluteFilePath(QStringLiteral("key%1").arg(i));
        auto key = std::make_unique<SimulatedKey>(keyRoot);
        const bool fresh = !QFile::exists(key->statePath());
        QString error;
        if (!key->start(&error))
            return fail(error);
        if (fresh) {
            // Keys without a state of their own still tell themselves apart.
            key->state().KeyName = QStringLiteral("Key 2907-%1").arg(i);
            key->state().device.SerialNo = QStringLiteral("2907K%1").arg(i, 6, 10, QLatin1Char('0'));
        }
        if (p.isSet(QStringLiteral("log"))) {
            const QString log = p.value(QStringLiteral("log")) + (count == 1 ? QString() : QStringLiteral(".key%1").arg(i));
            if (!key->setRequestLog(log, &error))
                return fail(error);
        }

        WifiKeyConfig config;
        config.mac = wifiKeyMac(i);
        config.localPort = wifiKeyLocalPort(keyPort, i);
        config.remotePort = wifiKeyRemotePort(keyPort, i);
        config.pcPort = pcPort;
        config.tcpPort = tcpPort;
        config.useTcp = p.isSet(QStringLiteral("tcp"));
        config.announceIntervalMs = announceMs;
        FaultSettings keyFaults = faults;
        if (silentKey != 0 && silentKey != i)
            keyFaults.silentAfterMs = -1;
        auto transport = std::make_unique<WifiTransport>(&key->engine(), config, keyFaults);
        if (!transport->open(&error))
            return fail(error);
        key->setLiveInterval(liveMs);
        std::printf("wifi key %d %s %u %u %s\n", i, qPrintable(config.mac), unsigned(config.localPort),
                    unsigned(config.remotePort), qPrintable(QDir(keyRoot).absolutePath()));
        keys.push_back(std::move(key));
        transports.push_back(std::move(transport));
    }
    std::fflush(stdout);
    const int rc = QCoreApplication::exec();
    transports.clear();
    keys.clear();
    return rc;
}

} // namespace keysim
