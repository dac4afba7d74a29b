// Link figures: SLIP encode and byte-by-byte receive throughput, and command round trips per
// second through MyQueueTX + ComSlip over a pseudo-terminal whose far end echoes at once.
#include "PtyPair.h"
#include "base/cGlobalData.h"
#include "link/ComSlip.h"
#include "link/MyQueueTX.h"
#include "link/SlipCodec.h"
#include "link/UsbLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

QByteArray randomBytes(int n, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray out(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        out[i] = char(rng.bounded(256));
    return out;
}

void benchEncode()
{
    const QByteArray payload = randomBytes(512, 1);
    const auto *p = reinterpret_cast<const uchar *>(payload.constData());
    qint64 payloadBytes = 0;
    qint64 wireBytes = 0;
    QElapsedTimer t;
    t.start();
    int rounds = 0;
    while (t.elapsed() < 1000) {
        for (int i = 0; i < 1000; ++i) {
            const QByteArray w = SlipCodec::encode(0x31, 0x00, p, payload.size());
            wireBytes += w.size();
        }
        payloadBytes += 1000LL * payload.size();
        rounds += 1000;
    }
    const double s = t.nsecsElapsed() / 1e9;
    std::printf("encode: %d frames of 512 random payload bytes in %.2f s: %.1f MB/s payload, "
                "%.1f MB/s on the wire\n",
                rounds, s, payloadBytes / s / 1e6, wireBytes / s / 1e6);
}

void benchFeed()
{
    QByteArray stream;
    for (int k = 0; stream.size() < 4 * 1024 * 1024; ++k)
        stream += SlipCodec::encode(0x31, 0x00, randomBytes(512, quint32(k)));
    int frames = 0;
    SlipReceiver receiver([&frames](const RxDataBuffer &) { ++frames; });
    const QString usb = QStringLiteral("USB");
    const QHostAddress none;
    QElapsedTimer t;
    t.start();
    int passes = 0;
    while (t.elapsed() < 1000) {
        for (char c : qAsConst(stream))
            receiver.feed(uchar(c), usb, none, 0);
        ++passes;
    }
    const double s = t.nsecsElapsed() / 1e9;
    std::printf("feed byte by byte: %.1f MB of wire bytes in %.2f s: %.1f MB/s (%d frames, "
                "%llu CRC errors)\n",
                double(stream.size()) * passes / 1e6, s, double(stream.size()) * passes / s / 1e6,
                frames, static_cast<unsigned long long>(receiver.crcErrors()));
}

int benchRoundTrips(int count)
{
    PtyPair pty;
    if (!pty.isValid()) {
        std::printf("round trips: no pseudo-terminal\n");
        return 1;
    }

    // The far end: every byte straight back.
    std::atomic<bool> stop{false};
    std::thread echo([&] {
        char buf[4096];
        while (!stop.load()) {
            pollfd p{pty.masterFd(), POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const ssize_t n = ::read(pty.masterFd(), buf, sizeof buf);
            if (n > 0)
                pty.write(QByteArray(buf, int(n)));
        }
    });

    cGlobalData data;
    data.portOverride = pty.slaveName();
    UsbLink link(&data, nullptr, nullptr);
    link.TmrCheckSerialPorts();
    if (!link.comSlip()) {
        stop = true;
        echo.join();
        std::printf("round trips: could not open %s\n", qPrintable(pty.slaveName()));
        return 1;
    }

    int replies = 0;
    QEventLoop loop;
    QObject::connect(&link, &UsbLink::frameReceived, &link, [&](const RxDataBuffer &frame) {
        link.comSlip()->queue()->replyReceived(frame.interfaceName);
        if (++replies == count)
            loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);

    const QByteArray json("{\"function_name\":\"FE_JsonNotification_Status\",\"KeyInFocus\":1}", 63);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < count; ++i)
        link.comSlip()->QueueCommand(0x30, 0x01, reinterpret_cast<const uchar *>(json.constData()),
                                     quint16(json.size() + 1), 3, 0);
    loop.exec();
    const double s = t.nsecsElapsed() / 1e9;
    const quint64 sent = link.comSlip()->queue()->transmissions();

    stop = true;
    echo.join();
    std::printf("round trips over a pseudo-terminal with an instant echo: %d of %d in %.2f s: "
                "%.0f per second (%llu transmissions)\n",
                replies, count, s, replies / s, static_cast<unsigned long long>(sent));
    return replies == count ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The link's debug lines would drown the figures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &msg) {
        if (type != QtDebugMsg)
            std::fprintf(stderr, "%s\n", qPrintable(msg));
    });
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 20000;
    benchEncode();
    benchFeed();
    return benchRoundTrips(count > 0 ? count : 20000);
}
