#pragma once

// The two ends of an end-to-end run: the real keysim binary on a pseudo-terminal of its own
// with a temporary key folder tree, and the PC's real USB link and protocol session on a
// temporary data root. Nothing is faked between them.

#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "link/RxDataBuffer.h"
#include "link/UsbLink.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyConnection.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySession.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace e2e {

inline QString keysimBinary()
{
    return qEnvironmentVariable("TD_BUILD_DIR", QStringLiteral(".")) + QStringLiteral("/keysim");
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Bytes that put every framing hazard on the line: SLIP END and ESC, NUL, line feed and
// carriage return (the listing terminators) among random ones.
inline QByteArray pattern(int size, quint32 seed)
{
    static const char hazards[] = {char(0xC0), char(0xDB), char(0xDC), char(0xDD), '\0', '\n', '\r'};
    QRandomGenerator rng(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        out[i] = rng.bounded(4) == 0 ? hazards[rng.bounded(int(sizeof hazards))] : char(rng.bounded(256));
    return out;
}

// The plain files directly in dir, name -> content (sub-folders are not entered).
inline QMap<QString, QByteArray> folderFiles(const QString &dir)
{
    QMap<QString, QByteArray> out;
    const QDir d(dir);
    for (const QString &name : d.entryList(QDir::Files | QDir::Hidden | QDir::System))
        out.insert(name, readFile(d.filePath(name)));
    return out;
}

// Every file below dir, relative path -> content.
inline QMap<QString, QByteArray> treeFiles(const QString &dir)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out.insert(QDir(dir).relativeFilePath(path), readFile(path));
    }
    return out;
}

// Empty when both sides hold the same names with the same bytes; otherwise the first few
// differences, for the failure message.
inline QString differences(const QMap<QString, QByteArray> &pc, const QMap<QString, QByteArray> &key)
{
    QStringList out;
    for (auto it = key.cbegin(); it != key.cend(); ++it) {
        if (!pc.contains(it.key()))
            out << QStringLiteral("missing on the PC: ") + it.key();
        else if (pc.value(it.key()) != it.value())
            out << QStringLiteral("differs: %1 (PC %2 bytes, key %3 bytes)")
                       .arg(it.key())
                       .arg(pc.value(it.key()).size())
                       .arg(it.value().size());
    }
    for (auto it = pc.cbegin(); it != pc.cend(); ++it) {
        if (!key.contains(it.key()))
            out << QStringLiteral("only on the PC: ") + it.key();
    }
    if (out.size() > 8)
        out = out.mid(0, 8) << QStringLiteral("... %1 in all").arg(out.size());
    return out.join(QStringLiteral("; "));
}

// One keysim process with its own key folder tree, request log and error output.
class Keysim
{
public:
    Keysim()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("key"));
    }
    ~Keysim() { stop(); }
    Keysim(const Keysim &) = delete;
    Keysim &operator=(const Keysim &) = delete;

    QString root() const { return m_root.isEmpty() ? m_dir.filePath(QStringLiteral("key")) : m_root; }
    // Serve another key folder tree (a second key process on the same files).
    void setRoot(const QString &root) { m_root = root; }
    QString folder(const QString &name) const { return root() + QLatin1Char('/') + name; }
    QString device() const { return m_device; }
    QProcess &process() { return m_process; }

    bool makeKey(int records, int measures, int seed)
    {
        QProcess make;
        make.start(keysimBinary(), {QStringLiteral("make-key"), QStringLiteral("--root"), root(),
                                    QStringLiteral("--records"), QString::number(records),
                                    QStringLiteral("--measures"), QString::number(measures),
                                    QStringLiteral("--seed"), QString::number(seed)});
        if (!make.waitForFinished(60000) || make.exitStatus() != QProcess::NormalExit || make.exitCode() != 0) {
            qWarning().noquote() << "keysim make-key failed:" << make.readAllStandardError();
            return false;
        }
        return true;
    }

    // Starts the key and waits for the device path it prints. --log and --control are
    // always on: tests read the requests the key saw and may order notifications.
    bool start(const QStringList &extra = {})
    {
        m_process.setStandardErrorFile(m_dir.filePath(QStringLiteral("keysim.err")), QIODevice::Append);
        m_process.start(keysimBinary(), QStringList{QStringLiteral("--root"), root(), QStringLiteral("--log"),
                                                    logPath(), QStringLiteral("--control")}
                                            + extra);
        if (!m_process.waitForStarted(20000))
            return false;
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(20000))
                return false;
        }
        m_device = QString::fromUtf8(m_process.readLine()).trimmed();
        return m_device.startsWith(QLatin1String("/dev/"));
    }

    // Every request the key received so far, one line each ("FE_KeyName_Read",
    // "FA_READ dbsett/NAME seek=512", ...), without the 1.5 s status exchange that the PC runs
    // alongside everything else once a key is connected (statusRequests() counts those).
    QStringList requests() const
    {
        QStringList lines = allRequests();
        lines.removeAll(QStringLiteral("FE_JsonNotification_Status"));
        return lines;
    }
    int statusRequests() const { return allRequests().count(QStringLiteral("FE_JsonNotification_Status")); }
    QStringList allRequests() const
    {
        return QString::fromUtf8(readFile(logPath())).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Makes the key report a change of dirname/filename, names passed as they are.
    bool notifyChange(int changetype, const QString &dirname, const QString &filename)
    {
        QJsonObject o;
        o.insert(QStringLiteral("changetype"), changetype);
        o.insert(QStringLiteral("dirname"), dirname);
        o.insert(QStringLiteral("filename"), filename);
        const QByteArray line = QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
        return m_process.write(line) == line.size() && m_process.waitForBytesWritten(5000);
    }

    QByteArray errorOutput() const { return readFile(m_dir.filePath(QStringLiteral("keysim.err"))); }

    // Ends the process. False when the key's own sanitizers reported a fault: it shows only
    // in the key's error output.
    bool stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(10000))
                m_process.kill();
            m_process.waitForFinished(10000);
        }
        const QByteArray err = errorOutput();
        if (err.contains("Sanitizer") || err.contains("runtime error")) {
            qWarning().noquote() << err.right(4000);
            return false;
        }
        return true;
    }

private:
    QString logPath() const { return m_dir.filePath(QStringLiteral("requests.log")); }

    QTemporaryDir m_dir;
    QString m_root;
    QProcess m_process;
    QString m_device;
};

// The PC: the key connection as the main window builds it, opening the key's port by --port,
// on a data root inside a temporary folder (so the folder around the data root is ours too
// and can hold sentinel files).
class PcSide
{
public:
    static KeyConnection::Options options(int replyTimeoutMs, int scanRearmMs)
    {
        KeyConnection::Options o;
        o.replyTimeoutMs = replyTimeoutMs;
        o.scanRearmMs = scanRearmMs;
        return o;
    }

    explicit PcSide(const QString &device, int replyTimeoutMs = td::timing::queueReplyTimeout,
                    int scanRearmMs = 100)
        : connection(&global, options(replyTimeoutMs, scanRearmMs))
        , usb(*connection.usb())
        , session(*connection.session())
        , gotDir(session.files(), SIGNAL(slot_files_got_dir(QString)))
        , gotFile(session.files(), SIGNAL(slot_files_got_file(QStringList)))
        , putFile(session.files(), SIGNAL(files_put_file(QStringList)))
        , rebuilds(session.files(), SIGNAL(recordsRebuildRequested()))
    {
        QDir(m_base.path()).mkpath(QStringLiteral("root"));
        Paths::setDataRoot(dataRoot());
        global.portOverride = device;
    }
    ~PcSide() { Paths::setDataRoot(QString()); }

    QString base() const { return m_base.path(); }
    QString dataRoot() const { return m_base.filePath(QStringLiteral("root")); }
    QString mirror(const QString &folder) const { return Paths::downloadDir(folder); }
    FileExchange *files() { return session.files(); }
    KeyProtocol *protocol() { return session.protocol(); }

    // How many times the folder ("/" + name) was reported complete so far.
    int folderDone(const QString &keyDir) const
    {
        int n = 0;
        for (const QList<QVariant> &args : gotDir)
            n += args.value(0).toString() == keyDir ? 1 : 0;
        return n;
    }

    // Waits until the folder has been reported complete `times` times in all and the
    // exchange has nothing left pending.
    bool waitForFolder(const QString &keyDir, int times, int timeoutMs)
    {
        QElapsedTimer t;
        t.start();
        while (folderDone(keyDir) < times || session.files()->isBusy()) {
            if (t.elapsed() > timeoutMs)
                return false;
            QTest::qWait(20); // the event loop carries the frames; this only paces the check
        }
        return true;
    }

    // One scan: the port opens and the read-out starts, as after plugging the key in.
    bool connectAndReadOut(int timeoutMs)
    {
        const int before = folderDone(QStringLiteral("/dbsett"));
        usb.TmrCheckSerialPorts();
        if (!usb.isConnected() || connection.mode() != KeyConnection::Mode::Usb)
            return false;
        return waitForFolder(QStringLiteral("/dbsett"), before + 1, timeoutMs);
    }

    cGlobalData global;
    KeyConnection connection;
    UsbLink &usb;
    KeySession &session;
    QSignalSpy gotDir;
    QSignalSpy gotFile;
    QSignalSpy putFile;
    QSignalSpy rebuilds;

private:
    QTemporaryDir m_base;
};

} // namespace e2e
