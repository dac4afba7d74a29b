#include "KeySample.h"
#include "PtyTransport.h"
#include "SimulatedKey.h"
#include "WifiKeys.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSocketNotifier>

#include "base/Log.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace keysim;

namespace {

int usageError(const QString &message)
{
    std::fprintf(stderr, "keysim: %s\n", qPrintable(message));
    return 2;
}

// Reads a whole number option; absent leaves *out as it is.
bool intOption(const QCommandLineParser &p, const QString &name, int lo, int hi, int *out)
{
    if (!p.isSet(name))
        return true;
    bool ok = false;
    const int v = p.value(name).toInt(&ok);
    if (!ok || v < lo || v > hi) {
        usageError(QStringLiteral("--%1 wants a whole number %2..%3").arg(name).arg(lo).arg(hi));
        return false;
    }
    *out = v;
    return true;
}

// Reads a time in seconds (fractions allowed) into milliseconds.
bool secondsOption(const QCommandLineParser &p, const QString &name, int *outMs)
{
    if (!p.isSet(name))
        return true;
    bool ok = false;
    const double s = p.value(name).toDouble(&ok);
    if (!ok || s < 0 || s > 86400) {
        usageError(QStringLiteral("--%1 wants seconds 0..86400").arg(name));
        return false;
    }
    *outMs = int(s * 1000 + 0.5);
    return true;
}

bool writePortFile(const QString &path, const QString &device)
{
    // Written whole or not at all: a script polling for the file never reads half a path.
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(device.toUtf8() + '\n') > 0 && f.commit();
}

// One line of test control. {"changetype":N,"dirname":D,"filename":F} makes the key send
// FE_FileSystem_Status with exactly these values; the names are not checked, so a test can
// also play a key that reports names outside its folders.
void runControlLine(KeyProtocolEngine *engine, const QByteArray &line)
{
    QJsonParseError err{};
    const QJsonObject o = QJsonDocument::fromJson(line, &err).object();
    if (err.error != QJsonParseError::NoError || !o.value(QStringLiteral("changetype")).isDouble()) {
        td::log(QStringLiteral("keysim: control line not understood: ") + QString::fromUtf8(line.left(200)));
        return;
    }
    engine->notifyFileSystemChange(o.value(QStringLiteral("dirname")).toString(),
                                   o.value(QStringLiteral("filename")).toString(),
                                   o.value(QStringLiteral("changetype")).toInt());
}

// Reads control lines from standard input while the key runs; end of input only ends the
// control, not the key.
void listenForControl(KeyProtocolEngine *engine, QObject *owner)
{
    constexpr int MaxLine = 64 * 1024;
    auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, owner);
    auto pending = std::make_shared<QByteArray>();
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [engine, notifier, pending] {
        char chunk[4096];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            return;
        if (n <= 0) {
            notifier->setEnabled(false);
            return;
        }
        pending->append(chunk, int(n));
        for (int nl = pending->indexOf('\n'); nl >= 0; nl = pending->indexOf('\n')) {
            const QByteArray line = pending->left(nl).trimmed();
            pending->remove(0, nl + 1);
            if (!line.isEmpty())
                runControlLine(engine, line);
        }
        if (pending->size() > MaxLine) {
            td::log(QStringLiteral("keysim: control line longer than %1 bytes dropped").arg(MaxLine));
            pending->clear();
        }
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("keysim"));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "The torque key at the far end of the USB cable: serves a key folder tree and answers\n"
        "the key protocol on a pseudo-terminal, whose device path is printed on stdout.\n\n"
        "  keysim --root DIR [options]\n"
        "  keysim make-key --root DIR --records N --measures M --seed S\n"
        "      writes a sample key: templates, N records with M tightenings each\n"
        "      (record files already in DIR/dbsett are replaced)."));
    p.addHelpOption();
    p.addPositionalArgument(QStringLiteral("command"), QStringLiteral("make-key, or nothing to run the key"));
    p.addOptions({
        {QStringLiteral("root"), QStringLiteral("Key folder tree (dbsett, templates, ...)."), QStringLiteral("DIR")},
        {QStringLiteral("port-file"), QStringLiteral("Also write the device path to this file."), QStringLiteral("PATH")},
        {QStringLiteral("latency"), QStringLiteral("Delay every frame sent by MS milliseconds."), QStringLiteral("MS")},
        {QStringLiteral("drop-every"), QStringLiteral("Never send every Nth reply."), QStringLiteral("N")},
        {QStringLiteral("corrupt-every"), QStringLiteral("Send every Nth reply with a wrong CRC."), QStringLiteral("N")},
        {QStringLiteral("silent-after"), QStringLiteral("Stop answering after S seconds."), QStringLiteral("S")},
        {QStringLiteral("unplug-after"), QStringLiteral("Close the port (and exit) after S seconds."), QStringLiteral("S")},
        {QStringLiteral("baud"), QStringLiteral("Pace output at B baud, 10 bits per byte."), QStringLiteral("B")},
        {QStringLiteral("live"), QStringLiteral("Add a tightening to the current record every S seconds."), QStringLiteral("S")},
        {QStringLiteral("tighten-on-second-read"),
         QStringLiteral("Add a tightening to each record right before its file is read for the second time\n"
                        "(between a read-out and the re-read that comes before an erase).")},
        {QStringLiteral("log"), QStringLiteral("Write one line per request received to FILE."), QStringLiteral("FILE")},
        {QStringLiteral("text-log"), QStringLiteral("Write the text of every JSON request received to FILE."),
         QStringLiteral("FILE")},
        {QStringLiteral("control"),
         QStringLiteral("Read test control lines from stdin: {\"changetype\":N,\"dirname\":D,\"filename\":F}\n"
                        "sends FE_FileSystem_Status with exactly these values.")},
        {QStringLiteral("hostile-names"),
         QStringLiteral("Misbehave: listings begin with names that leave their folder, refused reads get data.")},
        {QStringLiteral("records"), QStringLiteral("make-key: number of records."), QStringLiteral("N")},
        {QStringLiteral("measures"), QStringLiteral("make-key: tightenings in each record."), QStringLiteral("M")},
        {QStringLiteral("seed"), QStringLiteral("make-key: random seed."), QStringLiteral("S")},
    });
    addWifiOptions(p);
    p.process(app);

    const QStringList args = p.positionalArguments();
    const QString root = p.value(QStringLiteral("root"));
    if (root.isEmpty())
        return usageError(QStringLiteral("--root DIR is required"));

    if (!args.isEmpty()) {
        if (args.first() != QLatin1String("make-key") || args.size() > 1)
            return usageError(QStringLiteral("unknown command %1").arg(args.join(QLatin1Char(' '))));
        MakeKeyOptions o;
        o.root = root;
        int seed = 1;
        if (!intOption(p, QStringLiteral("records"), 0, 100000, &o.records)
            || !intOption(p, QStringLiteral("measures"), 0, 4096, &o.measures)
            || !intOption(p, QStringLiteral("seed"), 0, 2147483647, &seed))
            return 2;
        o.seed = quint32(seed);
        QString error;
        if (!makeKey(o, &error)) {
            std::fprintf(stderr, "keysim: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("keysim: wrote a key with %d records of %d tightenings to %s\n", o.records,
                    o.measures, qPrintable(root));
        return 0;
    }

    FaultSettings faults;
    int liveMs = 0;
    if (!intOption(p, QStringLiteral("latency"), 0, 600000, &faults.latencyMs)
        || !intOption(p, QStringLiteral("drop-every"), 0, 1000000, &faults.dropEvery)
        || !intOption(p, QStringLiteral("corrupt-every"), 0, 1000000, &faults.corruptEvery)
        || !intOption(p, QStringLiteral("baud"), 0, 100000000, &faults.baud)
        || !secondsOption(p, QStringLiteral("silent-after"), &faults.silentAfterMs)
        || !secondsOption(p, QStringLiteral("unplug-after"), &faults.unplugAfterMs)
        || !secondsOption(p, QStringLiteral("live"), &liveMs))
        return 2;
    if (p.isSet(QStringLiteral("live")) && liveMs <= 0)
        return usageError(QStringLiteral("--live wants a positive interval"));
    if (p.isSet(QStringLiteral("wifi")))
        return runWifiKeys(p, root, faults, liveMs);

    SimulatedKey key(root);
    QString error;
    if (!key.start(&error))
        return usageError(error);
    if (p.isSet(QStringLiteral("log")) && !key.setRequestLog(p.value(QStringLiteral("log")), &error))
        return usageError(error);
    if (p.isSet(QStringLiteral("text-log")) && !key.setTextLog(p.value(QStringLiteral("text-log")), &error))
        return usageError(error);

    PtyTransport pty(&key.engine(), faults);
    if (!pty.open(&error))
        return usageError(QStringLiteral("cannot make a pseudo-terminal: ") + error);
    std::printf("%s\n", qPrintable(pty.devicePath()));
    std::fflush(stdout);
    if (p.isSet(QStringLiteral("port-file")) && !writePortFile(p.value(QStringLiteral("port-file")), pty.devicePath()))
        return usageError(QStringLiteral("cannot write the port file ") + p.value(QStringLiteral("port-file")));

    key.engine().setHostileNames(p.isSet(QStringLiteral("hostile-names")));
    if (p.isSet(QStringLiteral("control")))
        listenForControl(&key.engine(), &app);

    QObject::connect(&pty, &PtyTransport::unplugged, &app, &QCoreApplication::quit);
    key.setLiveInterval(liveMs);
    key.setTightenOnSecondRead(p.isSet(QStringLiteral("tighten-on-second-read")));
    return app.exec();
}
