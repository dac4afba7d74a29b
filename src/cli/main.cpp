// torquedesk-cli: the program without a window. It runs with no display and no platform plugin,
// on the same core as the window, so a nightly job reads a key exactly as a fitter's station does.
#include "base/LogOutput.h"
#include "cli/CliCommand.h"

#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>

std::vector<CliCommand> &cliCommands()
{
    static std::vector<CliCommand> commands;
    return commands;
}

namespace {
void printHelp(QTextStream &out)
{
    out << "Usage: torquedesk-cli <command> [options]\n\n"
        << QCoreApplication::translate("cli", "Commands:") << '\n';
    auto commands = cliCommands();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand &a, const CliCommand &b) { return a.name < b.name; });
    for (const CliCommand &c : commands) {
        out << "  " << c.name << ' ' << c.synopsis << '\n'
            << "      " << c.summary << '\n';
    }
    out << '\n' << QCoreApplication::translate("cli", "'torquedesk-cli <command> --help' describes a command's options.") << '\n';
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("torquedesk-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TORQUEDESK_VERSION));
    td::installBufferedLogOutput();

    QStringList args = app.arguments();
    args.removeFirst();
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")
        || args.first() == QLatin1String("help")) {
        QTextStream out(args.isEmpty() ? stderr : stdout);
        printHelp(out);
        return args.isEmpty() ? CliExit::Usage : CliExit::Ok;
    }
    if (args.first() == QLatin1String("--version")) {
        QTextStream(stdout) << "torquedesk-cli " << QCoreApplication::applicationVersion() << '\n';
        return CliExit::Ok;
    }
    const QString name = args.takeFirst();
    for (const CliCommand &c : cliCommands()) {
        if (c.name == name)
            return c.run(args);
    }
    QTextStream err(stderr);
    err << "torquedesk-cli: " << QCoreApplication::translate("cli", "unknown command '%1'").arg(name) << '\n';
    printHelp(err);
    return CliExit::Usage;
}
