// The whole read-out (names, settings, calibration, menu levels, templates, records) over a
// lossy line: keysim on a pseudo-terminal dropping one reply in 8 and sending one in 11 with
// a wrong CRC, the program's own link and session at their real time-outs. Prints how long
// the read-out took, how many requests the queue gave up and asked again, and whether the
// mirror came out identical to the key.
//
//   bench_lossy [--records N] [--measures M] [--drop-every N] [--corrupt-every N] [--repeat N]
#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "link/ComSlip.h"
#include "link/MyQueueTX.h"
#include "link/UsbLink.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyConnection.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

int g_askedAgain = 0;

void countingLog(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (msg.contains(QLatin1String("asking again")))
        ++g_askedAgain;
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

QString keysimBinary()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../keysim");
}

bool sameFolder(const QString &a, const QString &b, QString *why)
{
    const QStringList names = QDir(b).entryList(QDir::Files);
    if (QDir(a).entryList(QDir::Files) != names) {
        *why = QStringLiteral("file lists differ in ") + QDir(b).dirName();
        return false;
    }
    for (const QString &n : names) {
        QFile fa(a + QLatin1Char('/') + n);
        QFile fb(b + QLatin1Char('/') + n);
        if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.readAll() != fb.readAll()) {
            *why = n + QStringLiteral(" differs");
            return false;
        }
    }
    return true;
}

struct Result
{
    bool complete = false;
    bool identical = false;
    double seconds = 0;
    quint64 transmissions = 0;
    int askedAgain = 0;
    int dropped = 0;
    int spoiled = 0;
    QString why;
};

Result readOut(const QString &keyRoot, const QStringList &faults, int timeoutS)
{
    Result r;
    QProcess sim;
    QByteArray simErr;
    sim.setProcessChannelMode(QProcess::SeparateChannels);
    sim.start(keysimBinary(), QStringList{QStringLiteral("--root"), keyRoot} + faults);
    if (!sim.waitForStarted(20000)) {
        r.why = QStringLiteral("keysim did not start");
        return r;
    }
    while (!sim.canReadLine()) {
        if (!sim.waitForReadyRead(20000)) {
            r.why = QStringLiteral("keysim named no device");
            return r;
        }
    }
    const QString device = QString::fromUtf8(sim.readLine()).trimmed();

    QTemporaryDir data;
    Paths::setDataRoot(data.path());
    g_askedAgain = 0;
    {
        cGlobalData global;
        global.portOverride = device;
        // The program's own key connection: its scan opens the port, decides the mode and
        // starts the read-out. The status exchange stays quiet, so the figures count the
        // read-out's requests alone.
        KeyConnection::Options options;
        options.statusTickMs = 3600 * 1000;
        KeyConnection connection(&global, options);
        UsbLink &usb = *connection.usb();
        KeySession &session = *connection.session();
        QEventLoop loop;
        QStringList done;
        QObject::connect(session.files(), &FileExchange::slot_files_got_dir, &loop, [&](const QString &dir) {
            done << dir;
            if (done.contains(QLatin1String("/templates")) && done.contains(QLatin1String("/dbsett")))
                loop.quit();
        });
        QTimer::singleShot(timeoutS * 1000, &loop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        connection.startScanning();
        if (!usb.isConnected()) {
            r.why = QStringLiteral("the key's port did not open");
            Paths::setDataRoot(QString());
            return r;
        }
        loop.exec();
        r.seconds = t.nsecsElapsed() / 1e9;
        r.complete = done.size() >= 2 && !session.files()->isBusy();
        r.transmissions = usb.comSlip() ? usb.comSlip()->queue()->transmissions() : 0;
    }
    r.askedAgain = g_askedAgain;
    QString why;
    r.identical = r.complete
                  && sameFolder(Paths::downloadDir(QStringLiteral("templates")), keyRoot + QStringLiteral("/templates"), &why)
                  && sameFolder(Paths::downloadDir(QStringLiteral("dbsett")), keyRoot + QStringLiteral("/dbsett"), &why);
    r.why = r.complete ? why : QStringLiteral("not complete after %1 s").arg(timeoutS);
    Paths::setDataRoot(QString());

    sim.terminate();
    if (!sim.waitForFinished(5000))
        sim.kill();
    sim.waitForFinished(5000);
    simErr = sim.readAllStandardError();
    r.dropped = simErr.count("dropped");
    r.spoiled = simErr.count("wrong CRC");
    return r;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(countingLog);
    const QStringList args = app.arguments();
    auto intArg = [&](const char *name, int fallback) {
        const int i = args.indexOf(QLatin1String(name));
        return i >= 0 && i + 1 < args.size() ? args.at(i + 1).toInt() : fallback;
    };
    const int records = intArg("--records", 40);
    const int measures = intArg("--measures", 20);
    const int dropEvery = intArg("--drop-every", 8);
    const int corruptEvery = intArg("--corrupt-every", 11);
    const int repeat = qMax(1, intArg("--repeat", 1));
    const double goalS = 150;

    QTemporaryDir key;
    QProcess make;
    make.start(keysimBinary(), {QStringLiteral("make-key"), QStringLiteral("--root"), key.path(),
                                QStringLiteral("--records"), QString::number(records), QStringLiteral("--measures"),
                                QString::number(measures), QStringLiteral("--seed"), QStringLiteral("7")});
    if (!make.waitForFinished(120000) || make.exitCode() != 0) {
        std::fprintf(stderr, "keysim make-key failed\n");
        return 1;
    }
    qint64 bytes = 0;
    int files = 0;
    for (const char *folder : {"templates", "dbsett"}) {
        for (const QFileInfo &fi : QDir(key.path() + QLatin1Char('/') + QLatin1String(folder)).entryInfoList(QDir::Files)) {
            bytes += fi.size();
            ++files;
        }
    }
    std::printf("Read-out over a lossy line: %d records of %d measures and the templates (%d files, %lld bytes),\n"
                "keysim dropping 1 reply in %d and spoiling 1 in %d, reply time-out %d ms\n",
                records, measures, files, bytes, dropEvery, corruptEvery, td::timing::queueReplyTimeout);
    std::fflush(stdout);

    bool allOk = true;
    for (int i = 0; i < repeat; ++i) {
        const Result r = readOut(key.path(),
                                 {QStringLiteral("--drop-every"), QString::number(dropEvery),
                                  QStringLiteral("--corrupt-every"), QString::number(corruptEvery)},
                                 600);
        const bool ok = r.complete && r.identical && r.seconds < goalS;
        allOk = allOk && ok;
        std::printf("  run %d: %s in %.1f s (goal < %.0f s): %llu transmissions, %d replies dropped, %d spoiled, "
                    "%d requests asked again after the queue gave them up; mirror %s%s\n",
                    i + 1, r.complete ? "complete" : "INCOMPLETE", r.seconds, goalS,
                    static_cast<unsigned long long>(r.transmissions), r.dropped, r.spoiled, r.askedAgain,
                    r.identical ? "identical to the key" : "DIFFERS: ", r.identical ? "" : qPrintable(r.why));
        // Each lost or spoiled reply costs its own reply time-out; that is the floor of any
        // stop-and-wait exchange over this line, the rest is the exchange's own doing.
        const double floorS = (r.dropped + r.spoiled) * td::timing::queueReplyTimeout / 1000.0;
        std::printf("         the lost replies' own time-outs: %.1f s; beyond them: %.1f s\n", floorS,
                    r.seconds - floorS);
        std::fflush(stdout);
    }
    return allOk ? 0 : 1;
}
