#include "PtyTransport.h"

#include "KeyProtocolEngine.h"

#include "base/Log.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace keysim {

PtyTransport::PtyTransport(KeyProtocolEngine *engine, const FaultSettings &faults, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_settings(faults)
    , m_counter(faults)
{
    m_receiver.setFrameHandler([this](const RxDataBuffer &frame) {
        m_heardFromPc = true;
        // The body without its CRC byte, which the receiver has already checked.
        const QByteArray body(reinterpret_cast<const char *>(frame.bytes()), qMax(0, frame.length - 1));
        emit frameReceived();
        if (m_silent) {
            m_engine->noteUnanswered(body);
            return;
        }
        m_engine->handleBody(body);
    });
    connect(m_engine, &KeyProtocolEngine::frameOut, this, &PtyTransport::sendFrame);
    m_delayTimer.setSingleShot(true);
    connect(&m_delayTimer, &QTimer::timeout, this, &PtyTransport::releaseDelayed);
    m_paceTimer.setInterval(PaceTickMs);
    connect(&m_paceTimer, &QTimer::timeout, this, &PtyTransport::paceTick);
}

PtyTransport::~PtyTransport()
{
    closeFds();
}

bool PtyTransport::open(QString *error)
{
    auto fail = [&](const char *what) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
        closeFds();
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0)
        return fail("grantpt");
    if (::unlockpt(m_master) != 0)
        return fail("unlockpt");
    const char *name = ::ptsname(m_master);
    if (!name)
        return fail("ptsname");
    m_devicePath = QString::fromLocal8Bit(name);

    // Holding the slave side open ourselves keeps the master readable while no PC has the
    // port open (otherwise every read would fail with EIO and the notifier would spin).
    m_slaveKeepAlive = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slaveKeepAlive < 0)
        return fail("open slave");
    termios tio{};
    if (::tcgetattr(m_slaveKeepAlive, &tio) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B115200);
    ::cfsetospeed(&tio, B115200);
    if (::tcsetattr(m_slaveKeepAlive, TCSANOW, &tio) != 0)
        return fail("tcsetattr");
    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyTransport::onReadable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyTransport::onWritable);

    m_clock.start();
    if (m_settings.silentAfterMs >= 0)
        QTimer::singleShot(m_settings.silentAfterMs, this, &PtyTransport::fallSilent);
    if (m_settings.unplugAfterMs >= 0)
        QTimer::singleShot(m_settings.unplugAfterMs, this, &PtyTransport::unplug);
    td::log(QStringLiteral("keysim: serving the key on ") + m_devicePath);
    return true;
}

void PtyTransport::closeFds()
{
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    if (m_master >= 0)
        ::close(m_master);
    if (m_slaveKeepAlive >= 0)
        ::close(m_slaveKeepAlive);
    m_master = -1;
    m_slaveKeepAlive = -1;
}

void PtyTransport::unplug()
{
    if (m_master < 0)
        return;
    td::log(QStringLiteral("keysim: unplugged ") + m_devicePath);
    m_delayTimer.stop();
    m_paceTimer.stop();
    m_delayed.clear();
    m_pending.clear();
    closeFds();
    emit unplugged();
}

void PtyTransport::fallSilent()
{
    td::log(QStringLiteral("keysim: the key falls silent"));
    m_silent = true;
    m_delayTimer.stop();
    m_paceTimer.stop();
    m_delayed.clear();
    m_pending.clear();
}

void PtyTransport::onReadable()
{
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            m_receiver.feed(QByteArray::fromRawData(buf, int(n)), QStringLiteral("USB"), QHostAddress(), 0);
            if (m_master < 0)
                return; // a frame's handling unplugged us
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        // EIO (or end of file) means no slave side is open; pause the notifier briefly so a
        // hung-up line does not spin the event loop.
        if (m_readNotifier) {
            m_readNotifier->setEnabled(false);
            QTimer::singleShot(HangupBackoffMs, this, [this] {
                if (m_readNotifier)
                    m_readNotifier->setEnabled(true);
            });
        }
        return;
    }
}

void PtyTransport::sendFrame(const QByteArray &body, bool isReply)
{
    if (m_master < 0 || m_silent || body.size() < 2)
        return;
    if (!isReply && !m_heardFromPc) {
        // Nobody has talked to the key yet: a notification would only pile up in the
        // terminal's buffer and reach a PC that connects much later.
        td::log(QStringLiteral("keysim: no PC yet, notification not sent"));
        return;
    }
    QByteArray wire = SlipCodec::encode(uchar(body.at(0)), uchar(body.at(1)), body.mid(2));
    if (isReply) {
        switch (m_counter.nextReply()) {
        case FaultCounter::Fate::Drop:
            td::log(QStringLiteral("keysim: reply %1 dropped").arg(m_counter.replies()));
            return;
        case FaultCounter::Fate::Corrupt:
            td::log(QStringLiteral("keysim: reply %1 sent with a wrong CRC").arg(m_counter.replies()));
            wire = corruptFrameCrc(wire);
            break;
        case FaultCounter::Fate::Send:
            break;
        }
    }
    if (m_settings.latencyMs > 0) {
        m_delayed.append({m_clock.elapsed() + m_settings.latencyMs, wire});
        if (!m_delayTimer.isActive())
            m_delayTimer.start(m_settings.latencyMs);
        return;
    }
    queueWire(wire);
}

void PtyTransport::releaseDelayed()
{
    const qint64 now = m_clock.elapsed();
    while (!m_delayed.isEmpty() && m_delayed.first().due <= now)
        queueWire(m_delayed.takeFirst().wire);
    if (!m_delayed.isEmpty())
        m_delayTimer.start(int(qMax<qint64>(0, m_delayed.first().due - now)));
}

void PtyTransport::queueWire(const QByteArray &wire)
{
    if (m_master < 0)
        return;
    if (m_pending.size() + wire.size() > MaxPendingOutput) {
        td::log(QStringLiteral("keysim: nobody reads the port, %1 bytes of output dropped")
                    .arg(m_pending.size() + wire.size()));
        m_pending.clear();
        return;
    }
    m_pending.append(wire);
    if (m_settings.baud > 0) {
        if (!m_paceTimer.isActive()) {
            m_lastPace = m_clock.elapsed();
            m_credit = 0;
            m_paceTimer.start();
        }
        return;
    }
    writePending();
}

void PtyTransport::paceTick()
{
    const qint64 now = m_clock.elapsed();
    const double bytesPerMs = m_settings.baud / 10.0 / 1000.0;
    // Credit does not pile up while the terminal refuses bytes: the line rate is a ceiling,
    // never a burst.
    m_credit = qMin(m_credit + double(now - m_lastPace) * bytesPerMs, qMax(64.0, 20 * bytesPerMs));
    m_lastPace = now;
    int allowed = int(m_credit);
    if (allowed <= 0)
        return;
    allowed = qMin(allowed, m_pending.size());
    const ssize_t n = ::write(m_master, m_pending.constData(), size_t(allowed));
    if (n > 0) {
        m_pending.remove(0, int(n));
        m_credit -= double(n);
    } else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        td::log(QStringLiteral("keysim: write failed: ") + QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (m_pending.isEmpty())
        m_paceTimer.stop();
}

void PtyTransport::writePending()
{
    while (!m_pending.isEmpty() && m_master >= 0) {
        const ssize_t n = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (n > 0) {
            m_pending.remove(0, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (m_writeNotifier)
                m_writeNotifier->setEnabled(true);
            return;
        }
        td::log(QStringLiteral("keysim: write failed: ") + QString::fromLocal8Bit(std::strerror(errno)));
        m_pending.clear();
        return;
    }
}

void PtyTransport::onWritable()
{
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(false);
    if (m_settings.baud > 0) {
        if (!m_pending.isEmpty() && !m_paceTimer.isActive())
            m_paceTimer.start();
        return;
    }
    writePending();
}

} // namespace keysim
