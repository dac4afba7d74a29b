#include "cli/MirrorJob.h"

#include "base/cGlobalData.h"
#include "cli/CliCommand.h"
#include "history/KeyContext.h"
#include "link/UsbLink.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyConnection.h"
#include "protocol/KeyModel.h"
#include "protocol/KeySession.h"
#include "station/Station.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QSet>
#include <QTimer>

#include "base/Paths.h"

namespace cli {

namespace {

// Every text of the command-line program is in one translation context.
struct Cli
{
    Q_DECLARE_TR_FUNCTIONS(cli)
};

const QStringList kFolders{QStringLiteral("/templates"), QStringLiteral("/dbsett")};


// Files and bytes the mirror holds now, for the summary.
void countMirror(int *files, qint64 *bytes)
{
    *files = 0;
    *bytes = 0;
    for (const QString &keyDir : kFolders) {
        QDirIterator it(Paths::downloadDir(keyDir.mid(1)), QDir::Files);
        while (it.hasNext()) {
            it.next();
            ++*files;
            *bytes += it.fileInfo().size();
        }
    }
}

} // namespace

MirrorResult runMirror(Station &station, const MirrorOptions &options, const MirrorProgressSink &progress, const WithKey &withKey)
{
    MirrorResult result;
    station.options()->portOverride = options.port;
    KeyConnection &connection = *station.connection();
    FileExchange *files = connection.files();

    QEventLoop loop;
    bool started = false;
    bool finished = false;
    QSet<QString> done;
    auto finish = [&](int code, const QString &reason) {
        if (finished)
            return;
        finished = true;
        result.exitCode = code;
        result.reason = reason;
        loop.quit();
    };

    QObject::connect(&connection, &KeyConnection::keyInUse, &loop, [&] { started = true; });
    QObject::connect(&connection, &KeyConnection::noKey, &loop, [&] {
        // Before a key was found this is only the scan going round.
        if (started)
            finish(CliExit::Failed, Cli::tr("the key was lost before the mirror was complete"));
    });
    // The identity comes in replies queued before the folders, so it is normally complete by
    // the time they are; a key that never tells it gets a short grace, then the mirror ends.
    KeyModel *key = connection.session()->model();
    bool gotSettings = false, gotNames = false, gotCalibration = false;
    QTimer identityGrace;
    identityGrace.setSingleShot(true);
    identityGrace.setInterval(5000);
    auto mirrored = [&] { return done.size() == kFolders.size() && !files->isBusy(); };
    auto finishWhenComplete = [&] {
        if (!mirrored())
            return;
        if (gotSettings && gotNames && gotCalibration)
            finish(CliExit::Ok, QString());
        else if (!identityGrace.isActive())
            identityGrace.start();
    };
    QObject::connect(&identityGrace, &QTimer::timeout, &loop, [&] {
        if (keyContext(*key).keySerial.isEmpty())
            finish(CliExit::Failed, Cli::tr("the key did not tell its serial number"));
        else
            finish(CliExit::Ok, QString());
    });
    QObject::connect(key, &KeyModel::deviceSettingsChanged, &loop, [&] {
        gotSettings = true;
        finishWhenComplete();
    });
    QObject::connect(key, &KeyModel::namesChanged, &loop, [&] {
        gotNames = true;
        finishWhenComplete();
    });
    QObject::connect(key, &KeyModel::calibrationChanged, &loop, [&] {
        gotCalibration = true;
        finishWhenComplete();
    });
    QObject::connect(files, &FileExchange::slot_files_got_dir, &loop, [&](const QString &keyDir) {
        if (kFolders.contains(keyDir))
            done.insert(keyDir);
        finishWhenComplete();
    });
    QObject::connect(files, &FileExchange::transfersActiveChanged, &loop, [&](bool active) {
        // Idle again with a folder missing: the exchange gave its transfers up.
        if (started && !active && done.size() < kFolders.size())
            finish(CliExit::Failed, Cli::tr("the key stopped answering; transfers given up"));
    });
    if (progress)
        QObject::connect(files, &FileExchange::progressChanged, &loop, progress);

    QTimer noKey;
    noKey.setSingleShot(true);
    QObject::connect(&noKey, &QTimer::timeout, &loop, [&] {
        if (started)
            return;
        QString why = Cli::tr("no port with the key's USB serial number");
        if (!options.port.isEmpty() && QFileInfo::exists(options.port))
            why = Cli::tr("%1 did not open as the key's port").arg(options.port);
        else if (!options.port.isEmpty())
            why = Cli::tr("%1 does not exist").arg(options.port);
        finish(CliExit::NoKey, Cli::tr("no key within %1 s: %2").arg(options.timeoutSeconds).arg(why));
    });
    noKey.start(qMax(0, options.timeoutSeconds) * 1000);

    QElapsedTimer clock;
    clock.start();
    connection.startScanning();
    if (!finished)
        loop.exec();
    result.seconds = clock.elapsed() / 1000.0;
    result.keyName = key->names().keyName;
    result.identity = keyContext(*key);
    if (result.exitCode == CliExit::Ok) {
        countMirror(&result.files, &result.bytes);
        if (withKey)
            result.exitCode = withKey(connection, result);
    }
    return result;
}

} // namespace cli
