// torquedesk-cli pull: the nightly job in one command, the key mirrored and its measures kept
// in the history, so a key can be erased the next morning without losing a tightening.
#include "base/Paths.h"
#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/HistoryCommand.h"
#include "cli/MirrorJob.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace {

int runPull(const QStringList &args)
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
    parser.addOptions({port, timeout, historyDb});
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
    cli::Progress bar(QCoreApplication::translate("cli", "mirror"));
    const cli::MirrorResult r = cli::runMirror(options, [&bar](const ExchangeProgress &p) {
        bar.update(p.filesDone, p.filesTotal, QCoreApplication::translate("cli", "%1/%2 files").arg(p.filesDone).arg(p.filesTotal));
    });
    if (r.exitCode != CliExit::Ok) {
        // Whatever arrived before the failure is archived all the same: it is on the PC now.
        cli::fail(r.reason);
        archiveMirrorToHistory(parser.value(historyDb));
        return r.exitCode;
    }
    bar.finish(QCoreApplication::translate("cli", "%1 files").arg(r.files));
    cli::say(QCoreApplication::translate("cli", "Mirrored %1 files of key \"%2\" into %3")
                 .arg(r.files)
                 .arg(r.keyName, QDir::toNativeSeparators(Paths::downloadRoot())));
    return archiveMirrorToHistory(parser.value(historyDb));
}

const CliCommandRegistrar registrar(CliCommand{
    QStringLiteral("pull"), QStringLiteral("[--data-dir DIR] [--port DEVICE] [--timeout S] [--history-db URL]"),
    QT_TRANSLATE_NOOP("cli", "Mirror the key and archive its measures in the history (one command for a nightly job)."),
    runPull});

} // namespace
