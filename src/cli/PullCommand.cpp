// torquedesk-cli pull: the nightly job in one command, the key mirrored and its measures kept
// in the history, so a key can be erased the next morning without losing a tightening.
#include "base/Paths.h"
#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/HistoryCommand.h"
#include "cli/MirrorJob.h"
#include "measures/RecordEraser.h"
#include "protocol/KeyConnection.h"
#include "records/RecordMirror.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>

namespace {

// Every text of the command-line program is in one translation context.
struct Cli
{
    Q_DECLARE_TR_FUNCTIONS(cli)
};

// Empties on the key every record of the mirror whose measures the history holds: each is read
// from the key again right before, so what was tightened since the mirror is kept first.
int eraseKept(KeyConnection &connection, HistoryArchiver &archiver)
{
    RecordEraser::Keeper keeper;
    keeper.keep = [&archiver](const QString &name, const RecordFile &fromKey, int keyCount, QString *why) {
        return archiver.keepBeforeErase(name, fromKey, keyCount, why);
    };
    keeper.erased = [&archiver](const QString &name) {
        QString why;
        if (!archiver.noteErased(name, &why))
            cli::say(Cli::tr("Record %1 was erased, but the history did not note it: %2").arg(name, why));
    };
    RecordEraser eraser(connection.files(), keeper);
    QEventLoop loop;
    QStringList erased, refused;
    bool lost = false;
    QObject::connect(&eraser, &RecordEraser::recordErased, &loop,
                     [](const QString &name) { cli::say(Cli::tr("Erased %1").arg(name)); });
    QObject::connect(&eraser, &RecordEraser::recordRefused, &loop, [](const QString &name, const QString &why) {
        cli::say(Cli::tr("Refused %1: %2").arg(name, why));
    });
    QObject::connect(&eraser, &RecordEraser::finished, &loop, [&](const QStringList &e, const QStringList &r) {
        erased = e;
        refused = r;
        loop.quit();
    });
    QObject::connect(&connection, &KeyConnection::noKey, &loop, [&] {
        lost = true;
        loop.quit();
    });
    const QStringList names = QDir(RecordMirror::folder()).entryList(QDir::Files, QDir::Name);
    eraser.start(names, true);
    loop.exec();
    if (lost) {
        cli::fail(Cli::tr("the key was lost while erasing; %1 records were erased").arg(erased.size()));
        return CliExit::Failed;
    }
    cli::say(Cli::tr("%1 records erased on the key, %2 refused").arg(erased.size()).arg(refused.size()));
    if (!refused.isEmpty()) {
        cli::fail(Cli::tr("%1 records were not erased: %2").arg(refused.size()).arg(refused.join(QStringLiteral(", "))));
        return CliExit::Failed;
    }
    return CliExit::Ok;
}

int runPull(Station &station, const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate("cli", "Mirror the key into DIR/download and archive its measures in the history."));
    cli::addCommonOptions(parser);
    const QCommandLineOption port(QStringLiteral("port"),
                                  QCoreApplication::translate("cli", "Use serial device DEVICE as the key's port (default: the USB serial-number search)."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QCoreApplication::translate("cli", "Give up when no key is found within S seconds (default 15)."),
                                     QStringLiteral("S"), QStringLiteral("15"));
    const QCommandLineOption historyDb(QStringLiteral("history-db"),
                                       QCoreApplication::translate("cli", "The history database (see 'history --help')."), QStringLiteral("URL"));
    const QCommandLineOption erase(
        QStringLiteral("erase"),
        QCoreApplication::translate("cli", "Then empty on the key every record whose measures the history holds: each record is "
                                           "read from the key again and kept first; a record that cannot be vouched for stays "
                                           "on the key, is named, and the command exits 1."));
    parser.addOptions({port, timeout, historyDb, erase});
    if (!cli::parseArguments(parser, QStringLiteral("pull"), args))
        return CliExit::Usage;
    if (!parser.positionalArguments().isEmpty()) {
        cli::fail(QCoreApplication::translate("cli", "pull takes no arguments: %1").arg(parser.positionalArguments().join(QLatin1Char(' '))));
        return CliExit::Usage;
    }
    bool ok = false;
    const int seconds = parser.value(timeout).toInt(&ok);
    if (!ok || seconds < 0) {
        cli::fail(QCoreApplication::translate("cli", "--timeout wants a whole number of seconds, not '%1'").arg(parser.value(timeout)));
        return CliExit::Usage;
    }
    cli::applyDataDir(parser);

    cli::MirrorOptions options;
    options.port = parser.value(port);
    options.timeoutSeconds = seconds;
    const QString db = parser.value(historyDb);
    const bool erasing = parser.isSet(erase);
    cli::Progress bar(QCoreApplication::translate("cli", "mirror"));
    // The measures belong to the key just read, whatever key the window saw last.
    auto archive = [db, &station](const HistoryArchiver::Context &identity, KeyConnection *connection) {
        QString error;
        if (!identity.save(&error))
            cli::say(error);
        std::function<int(HistoryArchiver &)> then;
        if (connection)
            then = [connection](HistoryArchiver &archiver) { return eraseKept(*connection, archiver); };
        return archiveMirrorToHistory(station, db, &identity, then);
    };
    auto withKey = [&](KeyConnection &connection, const cli::MirrorResult &mirrored) {
        bar.finish(QCoreApplication::translate("cli", "%1 files").arg(mirrored.files));
        cli::say(QCoreApplication::translate("cli", "Mirrored %1 files of key \"%2\" into %3")
                     .arg(mirrored.files)
                     .arg(mirrored.keyName, QDir::toNativeSeparators(Paths::downloadRoot())));
        return archive(mirrored.identity, erasing ? &connection : nullptr);
    };
    const cli::MirrorResult r = cli::runMirror(
        station, options,
        [&bar](const ExchangeProgress &p) {
            bar.update(p.filesDone, p.filesTotal,
                       QCoreApplication::translate("cli", "%1/%2 files").arg(p.filesDone).arg(p.filesTotal));
        },
        withKey);
    if (r.exitCode != CliExit::Ok && !r.reason.isEmpty()) {
        cli::fail(r.reason);
        // Whatever arrived before the failure is archived all the same: it is on the PC now;
        // but only under the key it came from.
        if (!r.identity.keySerial.isEmpty())
            archive(r.identity, nullptr);
    }
    return r.exitCode;
}

const CliCommandRegistrar registrar(CliCommand{
    QStringLiteral("pull"), QStringLiteral("[--data-dir DIR] [--station NAME] [--port DEVICE] [--timeout S] [--history-db URL] [--erase]"),
    QT_TRANSLATE_NOOP("cli", "Mirror the key and archive its measures in the history (one command for a nightly job)."),
    runPull});

} // namespace
