// torquedesk-cli mirror: the key's "templates" and "dbsett" folders into DIR/download, read
// exactly as the window reads them when a key is connected.
#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/MirrorJob.h"

#include "base/Paths.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace {

// Every text of the command-line program is in one translation context.
struct Cli
{
    Q_DECLARE_TR_FUNCTIONS(cli)
};


QString bytesText(qint64 bytes)
{
    if (bytes < 10 * 1024)
        return Cli::tr("%1 bytes").arg(bytes);
    return Cli::tr("%1 KiB").arg(bytes / 1024);
}

int runMirrorCommand(Station &station, const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        Cli::tr("Mirror the key's \"templates\" and \"dbsett\" folders into DIR/download."));
    cli::addCommonOptions(parser);
    const QCommandLineOption port(
        QStringLiteral("port"),
        Cli::tr("Use serial device DEVICE as the key's port (default: the USB serial-number search)."),
        QStringLiteral("DEVICE"));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"), Cli::tr("Give up when no key is found within S seconds (default 15)."),
        QStringLiteral("S"), QStringLiteral("15"));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     Cli::tr("Write the debug log to stderr."));
    parser.addOption(port);
    parser.addOption(timeout);
    if (!cli::parseArguments(parser, QStringLiteral("mirror"), args))
        return CliExit::Usage;
    if (!parser.positionalArguments().isEmpty()) {
        cli::fail(Cli::tr("mirror takes no arguments: %1").arg(parser.positionalArguments().join(' ')));
        return CliExit::Usage;
    }
    bool ok = false;
    const int seconds = parser.value(timeout).toInt(&ok);
    if (!ok || seconds < 0) {
        cli::fail(Cli::tr("--timeout wants a whole number of seconds, not '%1'")
                      .arg(parser.value(timeout)));
        return CliExit::Usage;
    }
    cli::applyDataDir(parser);

    cli::MirrorOptions options;
    options.port = parser.value(port);
    options.timeoutSeconds = seconds;
    cli::Progress bar(Cli::tr("mirror"));
    const cli::MirrorResult r = cli::runMirror(station, options, [&bar](const ExchangeProgress &p) {
        bar.update(p.filesDone, p.filesTotal,
                   Cli::tr("%1/%2 files, %3")
                       .arg(p.filesDone)
                       .arg(p.filesTotal)
                       .arg(bytesText(p.bytesDone)));
    });

    if (r.exitCode != CliExit::Ok) {
        cli::fail(r.reason);
        return r.exitCode;
    }
    bar.finish(Cli::tr("%1 files, %2").arg(r.files).arg(bytesText(r.bytes)));
    cli::say(Cli::tr("Mirrored %1 files (%2 bytes) of key \"%3\" into %4 in %5 s")
                 .arg(r.files)
                 .arg(r.bytes)
                 .arg(r.keyName)
                 .arg(QDir::toNativeSeparators(Paths::downloadRoot()))
                 .arg(r.seconds, 0, 'f', 1));
    return CliExit::Ok;
}

const CliCommandRegistrar registrar(CliCommand{
    QStringLiteral("mirror"), QStringLiteral("[--data-dir DIR] [--port DEVICE] [--timeout S]"),
    QT_TRANSLATE_NOOP("cli", "Mirror the key's \"templates\" and \"dbsett\" folders into DIR/download."),
    runMirrorCommand});

} // namespace
