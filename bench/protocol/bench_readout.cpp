// Read-out figures against the real keysim over a pseudo-terminal: the program's mirror of
// the key's records folder (the key connection, exactly as the window runs it) next to
// a minimal stop-and-wait client that makes the same requests over the same kind of line,
// which is the most this protocol allows, and a client that makes them through the link's
// queue thread and semaphores alone, which is the most the program's hand-over allows; then
// the same mirror on a line paced at 115200 baud against the bound that the line rate sets.
//
//   bench_readout [--records N] [--measures M] [--paced-records N] [--skip-paced]
//                 [--skip-unpaced] [--only program|client|handover] [--repeat N]
//                 [--skip-syscalls] [--syscall-records N]
#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "link/ComSlip.h"
#include "link/KeyPort.h"
#include "link/MyQueueTX.h"
#include "link/SerialKeyPort.h"
#include "link/SlipCodec.h"
#include "link/UsbLink.h"
#include "protocol/FileCmdHeader.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyConnection.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySender.h"
#include "protocol/KeySession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <csignal>
#include <functional>
#include <unistd.h>

namespace {

QString keysimBinary()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../keysim");
}

// ru_maxrss right after the first mirror by the program, before the client ever ran.
long g_rssAfterFirstProgramKb = 0;

long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Swallows the debug log: the figures are about the exchange, not about a terminal
// scrolling thousands of lines. The lines are still formatted, as the program does.
void quietLog(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

class KeysimProcess
{
public:
    bool start(const QString &root, const QStringList &extra)
    {
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(keysimBinary(), QStringList{QStringLiteral("--root"), root} + extra);
        if (!m_process.waitForStarted(20000))
            return false;
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(20000))
                return false;
        }
        m_device = QString::fromUtf8(m_process.readLine()).trimmed();
        return m_device.startsWith(QLatin1String("/dev/"));
    }
    ~KeysimProcess()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    QString device() const { return m_device; }

private:
    QProcess m_process;
    QString m_device;
};

bool makeKey(const QString &root, int records, int measures)
{
    QProcess make;
    make.start(keysimBinary(), {QStringLiteral("make-key"), QStringLiteral("--root"), root, QStringLiteral("--records"),
                                QString::number(records), QStringLiteral("--measures"), QString::number(measures),
                                QStringLiteral("--seed"), QStringLiteral("7")});
    return make.waitForFinished(120000) && make.exitStatus() == QProcess::NormalExit && make.exitCode() == 0;
}

qint64 folderBytes(const QString &dir, int *files)
{
    qint64 bytes = 0;
    *files = 0;
    for (const QFileInfo &fi : QDir(dir).entryInfoList(QDir::Files)) {
        bytes += fi.size();
        ++*files;
    }
    return bytes;
}

bool sameFolder(const QString &a, const QString &b)
{
    const QStringList names = QDir(a).entryList(QDir::Files);
    if (names != QDir(b).entryList(QDir::Files))
        return false;
    for (const QString &n : names) {
        QFile fa(a + QLatin1Char('/') + n);
        QFile fb(b + QLatin1Char('/') + n);
        if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.readAll() != fb.readAll())
            return false;
    }
    return true;
}

// The serial port with a byte count each way, so the line-rate bound is computed from what
// really crossed the line.
class CountingPort : public KeyPort
{
public:
    CountingPort()
    {
        connect(&m_inner, &KeyPort::readyRead, this, &KeyPort::readyRead);
        connect(&m_inner, &KeyPort::errorOccurred, this, &KeyPort::errorOccurred);
    }
    void setPortName(const QString &name) override { m_inner.setPortName(name); }
    QString portName() const override { return m_inner.portName(); }
    bool setBaudRate(qint32 b) override { return m_inner.setBaudRate(b); }
    bool setDataBits(QSerialPort::DataBits d) override { return m_inner.setDataBits(d); }
    bool setParity(QSerialPort::Parity p) override { return m_inner.setParity(p); }
    bool setStopBits(QSerialPort::StopBits s) override { return m_inner.setStopBits(s); }
    bool setFlowControl(QSerialPort::FlowControl f) override { return m_inner.setFlowControl(f); }
    bool open(QIODevice::OpenMode mode) override { return m_inner.open(mode); }
    void close() override { m_inner.close(); }
    bool isOpen() const override { return m_inner.isOpen(); }
    QSerialPort::SerialPortError error() const override { return m_inner.error(); }
    void clearError() override { m_inner.clearError(); }
    QByteArray readAll() override
    {
        const QByteArray b = m_inner.readAll();
        bytesIn += b.size();
        if (!b.isEmpty())
            m_lastIn = m_clock.nsecsElapsed();
        return b;
    }
    qint64 write(const QByteArray &data) override
    {
        const qint64 now = m_clock.nsecsElapsed();
        if (m_lastOut >= 0 && m_lastIn > m_lastOut) {
            keyNs += m_lastIn - m_lastOut; // request handed over .. last reply bytes read
            pcNs += now - m_lastIn;        // reply read .. next request handed over
        }
        m_lastOut = now;
        const qint64 n = m_inner.write(data);
        if (n > 0)
            bytesOut += n;
        return n;
    }

    qint64 bytesIn = 0;
    qint64 bytesOut = 0;
    // Where a round trip's time goes, summed: on the far side of the line (the key and the
    // terminal), and on the PC from a reply to the next request.
    qint64 keyNs = 0;
    qint64 pcNs = 0;

private:
    SerialKeyPort m_inner;
    QElapsedTimer m_clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    qint64 m_lastIn = -1;
    qint64 m_lastOut = -1;
};

struct Run
{
    bool ok = false;
    double seconds = 0;
    quint64 roundTrips = 0;
    qint64 bytesOut = 0;
    qint64 bytesIn = 0;
    double keySeconds = 0; // waiting for replies
    double pcSeconds = 0;  // from a reply to the next request
    double cpuSeconds = 0; // user + system time of this process during the run
};

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The program: the key connection opens the key's port and fetches the records folder whole.
Run programMirror(const QString &device, const QString &dataRoot)
{
    Run run;
    Paths::setDataRoot(dataRoot);
    cGlobalData global;
    global.portOverride = device;
    CountingPort port;
    KeyConnection::Options options;
    options.port = &port;
    KeyConnection connection(&global, options);
    UsbLink &usb = *connection.usb();
    KeySession &session = *connection.session();
    QEventLoop loop;
    bool done = false;
    QObject::connect(session.files(), &FileExchange::slot_files_got_dir, &loop, [&](const QString &dir) {
        if (dir == QLatin1String("/dbsett")) {
            done = true;
            loop.quit();
        }
    });
    QTimer::singleShot(600000, &loop, &QEventLoop::quit);

    const double cpuBefore = cpuSeconds();
    QElapsedTimer t;
    t.start();
    // Only the records folder is measured: the port is opened without the scan, which would
    // start the whole read-out, so the link reports nothing and the mode is set by hand.
    if (!usb.OpenKeyPort())
        return run;
    connection.setModeForTesting(KeyConnection::Mode::Usb);
    session.files()->GetFromKey(QStringLiteral("dbsett"), QStringLiteral("*"));
    loop.exec();
    run.seconds = t.nsecsElapsed() / 1e9;
    run.ok = done && !session.files()->isBusy();
    run.roundTrips = usb.comSlip() ? usb.comSlip()->queue()->transmissions() : 0;
    run.bytesIn = port.bytesIn;
    run.bytesOut = port.bytesOut;
    run.keySeconds = port.keyNs / 1e9;
    run.pcSeconds = port.pcNs / 1e9;
    run.cpuSeconds = cpuSeconds() - cpuBefore;
    Paths::setDataRoot(QString());
    return run;
}

// The requests of a folder mirror, one reply at a time: list the folder, then fetch every
// file part by part into outDir. Shared by the clients below, so they ask exactly the same.
class MirrorWalk
{
public:
    enum Step { Next, Done, Failed };

    MirrorWalk(const QString &folder, const QString &outDir)
        : m_folder(folder)
        , m_outDir(outDir)
    {
        QDir().mkpath(outDir);
    }

    QByteArray firstRequest() const
    {
        FileCmdHeader h;
        h.setFileName(QLatin1Char('/') + m_folder);
        h.command = FileCmdHeader::FA_READ_DIR;
        return h.toBytes();
    }

    // The reply to the last request; on Next, *next is the request to send.
    Step take(const FileCmdHeader &r, const QByteArray &data, QByteArray *next)
    {
        if (r.status == FileCmdHeader::StatusError)
            return Failed;
        if (m_listing) {
            for (char c : data) {
                if (c == '\0')
                    break;
                if (c == '\n')
                    m_names.append(QString::fromUtf8(m_name));
                if (c == '\n' || c == '\r')
                    m_name.clear();
                else
                    m_name += c;
            }
            if (r.status == FileCmdHeader::StatusMore) {
                *next = r.toBytes(); // the header back as it came
                return Next;
            }
            m_listing = false;
            return startFile(next);
        }
        m_content.append(data);
        if (r.status == FileCmdHeader::StatusMore) {
            m_ask.seek = r.seek + r.length;
            *next = m_ask.toBytes();
            return Next;
        }
        QFile out(m_outDir + QLatin1Char('/') + m_names.at(m_file));
        if (!out.open(QIODevice::WriteOnly) || out.write(m_content) != m_content.size())
            return Failed;
        ++m_file;
        return startFile(next);
    }

private:
    Step startFile(QByteArray *next)
    {
        if (m_file >= m_names.size())
            return Done;
        m_content.clear();
        m_ask = FileCmdHeader();
        m_ask.setFileName(QLatin1Char('/') + m_folder + QLatin1Char('/') + m_names.at(m_file));
        m_ask.command = FileCmdHeader::FA_READ;
        *next = m_ask.toBytes();
        return Next;
    }

    QString m_folder;
    QString m_outDir;
    bool m_listing = true;
    QByteArray m_name;
    QStringList m_names;
    int m_file = 0;
    FileCmdHeader m_ask;
    QByteArray m_content;
};

// The limit: one request, wait for its reply, the next request; nothing else on the way.
class StopAndWaitClient
{
public:
    ~StopAndWaitClient()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool open(const QString &device)
    {
        m_fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        if (m_fd < 0)
            return false;
        termios tio{};
        if (tcgetattr(m_fd, &tio) != 0)
            return false;
        cfmakeraw(&tio);
        cfsetispeed(&tio, B115200);
        cfsetospeed(&tio, B115200);
        return tcsetattr(m_fd, TCSANOW, &tio) == 0;
    }

    // Sends one file command and waits for the key's answer.
    bool request(const QByteArray &payload, FileCmdHeader *reply, QByteArray *data)
    {
        const QByteArray frame = SlipCodec::encode(0x31, 0x00, payload);
        for (qsizetype done = 0; done < frame.size();) {
            const ssize_t n = ::write(m_fd, frame.constData() + done, size_t(frame.size() - done));
            if (n <= 0)
                return false;
            done += n;
        }
        const qint64 sent = m_clock.nsecsElapsed();
        if (m_lastReply >= 0)
            pcNs += sent - m_lastReply;
        bytesOut += frame.size();
        ++roundTrips;
        bool got = false;
        RxDataBuffer frameIn;
        m_rx.setFrameHandler([&](const RxDataBuffer &f) {
            frameIn = f;
            got = true;
        });
        char buf[4096];
        while (!got) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0)
                return false;
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n <= 0)
                return false;
            bytesIn += n;
            m_rx.feed(QByteArray::fromRawData(buf, int(n)), QStringLiteral("USB"), QHostAddress(), 0);
        }
        m_lastReply = m_clock.nsecsElapsed();
        keyNs += m_lastReply - sent;
        // Body: class, sub-code, payload, CRC.
        return frameIn.data[0] == 0x31
               && FileCmdHeader::parse(frameIn.bytes() + 2, frameIn.length - 3, reply, data, nullptr);
    }

    // Lists the folder, then fetches every file part by part into outDir.
    bool mirror(const QString &folder, const QString &outDir)
    {
        MirrorWalk walk(folder, outDir);
        QByteArray payload = walk.firstRequest();
        for (;;) {
            FileCmdHeader r;
            QByteArray data;
            if (!request(payload, &r, &data))
                return false;
            const MirrorWalk::Step step = walk.take(r, data, &payload);
            if (step != MirrorWalk::Next)
                return step == MirrorWalk::Done;
        }
    }

    quint64 roundTrips = 0;
    qint64 bytesOut = 0;
    qint64 bytesIn = 0;
    qint64 keyNs = 0;
    qint64 pcNs = 0;

private:
    int m_fd = -1;
    SlipReceiver m_rx;
    QElapsedTimer m_clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    qint64 m_lastReply = -1;
};

Run clientMirror(const QString &device, const QString &outDir)
{
    Run run;
    StopAndWaitClient client;
    if (!client.open(device))
        return run;
    const double cpuBefore = cpuSeconds();
    QElapsedTimer t;
    t.start();
    run.ok = client.mirror(QStringLiteral("dbsett"), outDir);
    run.seconds = t.nsecsElapsed() / 1e9;
    run.cpuSeconds = cpuSeconds() - cpuBefore;
    run.keySeconds = client.keyNs / 1e9;
    run.pcSeconds = client.pcNs / 1e9;
    run.roundTrips = client.roundTrips;
    run.bytesIn = client.bytesIn;
    run.bytesOut = client.bytesOut;
    return run;
}

// The same requests through the link as the program hands them over: the queue's thread
// releases each command, the GUI thread writes it to the serial port, the reply releases the
// queue's semaphore. No protocol, log or mirror bookkeeping on top: the program cannot beat
// this without giving up the queue thread and its semaphores.
Run handOverMirror(const QString &device, const QString &outDir)
{
    Run run;
    CountingPort port;
    port.setPortName(device);
    port.setBaudRate(115200);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadWrite))
        return run;
    ComSlip slip;
    slip.attachPort(&port);
    MirrorWalk walk(QStringLiteral("dbsett"), outDir);
    MirrorWalk::Step end = MirrorWalk::Next;
    QEventLoop loop;
    const auto send = [&slip](const QByteArray &payload) {
        slip.QueueCommand(0x31, 0x00, reinterpret_cast<const uchar *>(payload.constData()), quint16(payload.size()),
                          KeySender::AttemptsUsb, 0);
    };
    QObject::connect(&slip, &ComSlip::rx_data, &loop, [&](const RxDataBuffer &frame) {
        // Acknowledged before the reply is handled, as the program does.
        slip.queue()->replyReceived(QStringLiteral("USB"));
        FileCmdHeader r;
        QByteArray data;
        QByteArray next;
        end = frame.length > 3 && frame.data[0] == 0x31
                      && FileCmdHeader::parse(frame.bytes() + 2, frame.length - 3, &r, &data, nullptr)
                  ? walk.take(r, data, &next)
                  : MirrorWalk::Failed;
        if (end == MirrorWalk::Next)
            send(next);
        else
            loop.quit();
    });
    QTimer::singleShot(600000, &loop, &QEventLoop::quit);
    const double cpuBefore = cpuSeconds();
    QElapsedTimer t;
    t.start();
    send(walk.firstRequest());
    loop.exec();
    run.seconds = t.nsecsElapsed() / 1e9;
    run.cpuSeconds = cpuSeconds() - cpuBefore;
    run.ok = end == MirrorWalk::Done;
    run.roundTrips = slip.queue()->transmissions();
    run.bytesIn = port.bytesIn;
    run.bytesOut = port.bytesOut;
    run.keySeconds = port.keyNs / 1e9;
    run.pcSeconds = port.pcNs / 1e9;
    return run;
}

void printRun(const char *who, const Run &r)
{
    std::printf("  %-30s %s %8.3f s  %6llu round trips  %7.0f round trips/s  %8lld B out  %8lld B in\n", who,
                r.ok ? "ok    " : "FAILED", r.seconds, static_cast<unsigned long long>(r.roundTrips),
                r.seconds > 0 ? r.roundTrips / r.seconds : 0.0, static_cast<long long>(r.bytesOut),
                static_cast<long long>(r.bytesIn));
    const double n = r.roundTrips > 0 ? double(r.roundTrips) : 1.0;
    std::printf("  %-30s        per round trip: %6.1f us awaiting the reply, %6.1f us from reply to next "
                "request; CPU %.3f s\n",
                "", r.keySeconds / n * 1e6, r.pcSeconds / n * 1e6, r.cpuSeconds);
}

// System calls of this process (every thread) while fn runs, counted by strace attached from
// outside. total is -1 when strace is missing or could not attach.
struct SyscallCount
{
    qint64 total = -1;
    QList<QPair<qint64, QString>> top; // calls, name; most frequent first
};

SyscallCount countSyscalls(const std::function<void()> &fn)
{
    SyscallCount count;
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    QTemporaryDir dir;
    if (strace.isEmpty() || !dir.isValid()) {
        fn();
        return count;
    }
    const QString out = dir.filePath(QStringLiteral("strace.txt"));
    QProcess tracer;
    tracer.setProcessChannelMode(QProcess::MergedChannels);
    tracer.start(strace, {QStringLiteral("-c"), QStringLiteral("-f"), QStringLiteral("-p"),
                          QString::number(::getpid()), QStringLiteral("-o"), out});
    QByteArray said;
    // Attached once it names the threads it follows.
    while (tracer.waitForReadyRead(5000)) {
        said += tracer.readAll();
        if (said.contains("attached"))
            break;
    }
    const bool attached = said.contains("attached");
    fn();
    if (tracer.state() != QProcess::NotRunning) {
        ::kill(pid_t(tracer.processId()), SIGINT);
        tracer.waitForFinished(10000);
    }
    if (!attached)
        return count;
    QFile f(out);
    if (!f.open(QIODevice::ReadOnly))
        return count;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        const QStringList cols = line.simplified().split(QLatin1Char(' '));
        if (cols.size() < 5 || line.startsWith(QLatin1String("%")) || line.startsWith(QLatin1String("-")))
            continue;
        bool ok = false;
        const qint64 calls = cols.at(3).toLongLong(&ok);
        if (!ok)
            continue;
        if (cols.last() == QLatin1String("total"))
            count.total = calls;
        else
            count.top.append({calls, cols.last()});
    }
    std::sort(count.top.begin(), count.top.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    return count;
}

void printSyscalls(const char *who, const SyscallCount &c, quint64 roundTrips)
{
    if (c.total < 0 || roundTrips == 0) {
        std::printf("  %-30s system calls: not counted (strace missing or not allowed)\n", who);
        return;
    }
    QStringList top;
    for (int i = 0; i < c.top.size() && i < 6; ++i)
        top << QStringLiteral("%1 %2").arg(c.top.at(i).second).arg(double(c.top.at(i).first) / roundTrips, 0, 'f', 1);
    std::printf("  %-30s %.1f system calls per round trip (%s)\n", who, double(c.total) / roundTrips,
                qPrintable(top.join(QStringLiteral(", "))));
}

// One scenario: a key of `records` x `measures`, keysim started with `keysimArgs`; the
// program and the client take turns, each against a fresh keysim on the same key folder,
// `repeat` times. The machine is shared, so each side's best run is the figure compared.
bool scenario(const char *title, int records, int measures, const QStringList &keysimArgs, int repeat,
              Run *program, Run *client, Run *handOver, const QString &base = QDir::tempPath())
{
    QTemporaryDir dir(base + QStringLiteral("/bench_readout-XXXXXX"));
    const QString root = dir.filePath(QStringLiteral("key"));
    QDir().mkpath(root);
    if (!makeKey(root, records, measures)) {
        std::printf("%s: keysim make-key failed\n", title);
        return false;
    }
    int files = 0;
    const qint64 bytes = folderBytes(root + QStringLiteral("/dbsett"), &files);
    std::printf("%s: %d record files, %lld bytes (%.2f MB), keysim %s, best of %d\n", title, files,
                static_cast<long long>(bytes), bytes / 1e6, qPrintable(keysimArgs.join(QLatin1Char(' '))), repeat);
    std::fflush(stdout);
    // --only program|client runs one side (for a profiler); the comparison then fails.
    const QStringList args = QCoreApplication::arguments();
    const int only = args.indexOf(QLatin1String("--only"));
    const QString side = only >= 0 && only + 1 < args.size() ? args.at(only + 1) : QString();
    const QString keyRecords = root + QStringLiteral("/dbsett");
    bool allSame = true;
    // One side's run against a fresh keysim: its mirror is compared with the key's folder and
    // the best run kept. mirror writes into the folder given and returns where the copies are.
    using Mirror = std::function<Run(const QString &device, const QString &out, QString *copies)>;
    const auto runSide = [&](const char *name, const char *who, const char *differs, int i, const Mirror &mirror,
                             Run *best) {
        if (!best || !(side.isEmpty() || side == QLatin1String(name)))
            return true;
        KeysimProcess sim;
        if (!sim.start(root, keysimArgs))
            return false;
        const QString out = dir.filePath(QStringLiteral("%1%2").arg(QLatin1String(name)).arg(i));
        QString copies;
        const Run r = mirror(sim.device(), out, &copies);
        const bool same = sameFolder(copies, keyRecords);
        allSame = allSame && same && r.ok;
        printRun(same ? who : differs, r);
        if (i == 0 || r.seconds < best->seconds)
            *best = r;
        QDir(out).removeRecursively();
        return true;
    };
    const Mirror viaProgram = [](const QString &device, const QString &out, QString *copies) {
        const Run r = programMirror(device, out);
        if (g_rssAfterFirstProgramKb == 0)
            g_rssAfterFirstProgramKb = peakRssKb();
        *copies = out + QStringLiteral("/download/dbsett");
        return r;
    };
    const Mirror viaClient = [](const QString &device, const QString &out, QString *copies) {
        *copies = out;
        return clientMirror(device, out);
    };
    const Mirror viaHandOver = [](const QString &device, const QString &out, QString *copies) {
        *copies = out;
        return handOverMirror(device, out);
    };
    for (int i = 0; i < repeat; ++i) {
        if (!runSide("program", "program (KeyConnection)", "program: MIRROR DIFFERS", i, viaProgram, program)
            || !runSide("client", "stop-and-wait client", "client: MIRROR DIFFERS", i, viaClient, client)
            || !runSide("handover", "queue hand-over client", "hand-over: MIRROR DIFFERS", i, viaHandOver, handOver))
            return false;
        std::fflush(stdout);
    }
    std::printf("  mirrors identical to the key in every run: %s\n", allSame ? "yes" : "NO");
    return allSame;
}

// One more run of each side with strace attached, for the system calls a round trip costs
// (strace slows the run; its time is not a figure).
void syscallsPerRoundTrip(int records, int measures)
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("key"));
    QDir().mkpath(root);
    if (!makeKey(root, records, measures))
        return;
    std::printf("system calls (strace -c -f on this process, %d records x %d measures):\n", records, measures);
    {
        KeysimProcess sim;
        if (!sim.start(root, {}))
            return;
        Run r;
        const SyscallCount c = countSyscalls([&] { r = programMirror(sim.device(), dir.filePath(QStringLiteral("pc"))); });
        printSyscalls("program (KeyConnection)", c, r.ok ? r.roundTrips : 0);
    }
    {
        KeysimProcess sim;
        if (!sim.start(root, {}))
            return;
        Run r;
        const SyscallCount c = countSyscalls([&] { r = clientMirror(sim.device(), dir.filePath(QStringLiteral("client"))); });
        printSyscalls("stop-and-wait client", c, r.ok ? r.roundTrips : 0);
    }
    {
        KeysimProcess sim;
        if (!sim.start(root, {}))
            return;
        Run r;
        const SyscallCount c =
            countSyscalls([&] { r = handOverMirror(sim.device(), dir.filePath(QStringLiteral("handover"))); });
        printSyscalls("queue hand-over client", c, r.ok ? r.roundTrips : 0);
    }
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quietLog);
    const QStringList args = app.arguments();
    auto intArg = [&](const char *name, int fallback) {
        const int i = args.indexOf(QLatin1String(name));
        return i >= 0 && i + 1 < args.size() ? args.at(i + 1).toInt() : fallback;
    };
    const int records = intArg("--records", 1000);
    const int measures = intArg("--measures", 64);
    const int pacedRecords = intArg("--paced-records", 200);
    const int repeat = qMax(1, intArg("--repeat", 3));
    bool allOk = true;

    if (!args.contains(QLatin1String("--skip-unpaced"))) {
        // The mirror writes a file per record: once with the data root on disk, once on a RAM
        // disk, so the file system's share shows.
        QList<QPair<QString, QString>> places{{QStringLiteral("on disk"), QDir::tempPath()}};
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            places.append({QStringLiteral("on a RAM disk"), QStringLiteral("/dev/shm")});
        QStringList ratios;
        const long rssStart = peakRssKb();
        for (const auto &place : places) {
            Run program, client, handOver;
            const QByteArray title = QStringLiteral("unpaced, %1 (%2)").arg(place.first, place.second).toUtf8();
            allOk = scenario(title.constData(), records, measures, {}, repeat, &program, &client, &handOver,
                             place.second)
                    && allOk;
            const auto rate = [](const Run &r) { return r.seconds > 0 ? r.roundTrips / r.seconds : 0.0; };
            std::printf("  best: program %.3f s (%.0f round trips/s), client %.3f s (%.0f round trips/s), "
                        "hand-over client %.3f s (%.0f round trips/s)\n",
                        program.seconds, rate(program), client.seconds, rate(client), handOver.seconds,
                        rate(handOver));
            const auto over = [](const Run &a, const Run &b) { return b.seconds > 0 ? a.seconds / b.seconds : 0.0; };
            std::printf("  program / client time %s: %.2fx (goal 1.2x or less)\n", qPrintable(place.first),
                        over(program, client));
            // Split: what the queue thread and its semaphores cost by themselves, and what the
            // program adds on top of them.
            std::printf("  hand-over client / client: %.2fx; program / hand-over client: %.2fx\n\n",
                        over(handOver, client), over(program, handOver));
            ratios << QStringLiteral("%1 %2x (hand-over %3x, program over hand-over %4x)")
                          .arg(place.first)
                          .arg(over(program, client), 0, 'f', 2)
                          .arg(over(handOver, client), 0, 'f', 2)
                          .arg(over(program, handOver), 0, 'f', 2);
            std::fflush(stdout);
        }
        std::printf("program / client time: %s\n", qPrintable(ratios.join(QStringLiteral(", "))));
        std::printf("peak memory of this process (ru_maxrss): %ld kB at start, %ld kB after the program's "
                    "first mirror\n\n",
                    rssStart, g_rssAfterFirstProgramKb);
        std::fflush(stdout);
        if (!args.contains(QLatin1String("--skip-syscalls")))
            syscallsPerRoundTrip(qMin(records, intArg("--syscall-records", 200)), measures);
    }
    if (!args.contains(QLatin1String("--skip-paced"))) {
        Run program, client;
        allOk = scenario("paced 115200", pacedRecords, measures, {QStringLiteral("--baud"), QStringLiteral("115200")},
                         1, &program, &client, nullptr)
                && allOk;
        const double bound = double(program.bytesIn + program.bytesOut) * 10.0 / 115200.0;
        const double clientBound = double(client.bytesIn + client.bytesOut) * 10.0 / 115200.0;
        std::printf("  line-rate bound (all bytes both ways x 10 bits / 115200): program %.2f s, client %.2f s\n",
                    bound, clientBound);
        std::printf("  program / bound: %.3fx (goal 1.1x or less); client / bound: %.3fx\n",
                    bound > 0 ? program.seconds / bound : 0.0, clientBound > 0 ? client.seconds / clientBound : 0.0);
        // keysim paces only what it sends; the requests cross the terminal at once.
        const double replyBound = double(program.bytesIn) * 10.0 / 115200.0;
        std::printf("  key-to-PC bytes alone (the paced direction): %.2f s; program / that: %.3fx\n", replyBound,
                    replyBound > 0 ? program.seconds / replyBound : 0.0);
    }
    return allOk ? 0 : 1;
}
