// torquedesk-cli: the program without a window. It runs with no display and no platform plugin,
// on the same core as the window, so a nightly job reads a key exactly as a fitter's station does.
#include "base/DataRoot.h"
#include "base/LogOutput.h"
#include "cli/CliCommand.h"
#include "base/cGlobalData.h"
#include "station/Station.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <memory>

std::vector<CliCommand> &cliCommands()
{
    static std::vector<CliCommand> commands;
    return commands;
}

namespace {
void dropLogLine(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg || type == QtCriticalMsg)
        QTextStream(stderr) << message << '\n';
}

void printHelp(QTextStream &out)
{
    out << "Usage: torquedesk-cli [--verbose | --log FILE] <command> [options]\n\n"
        << QCoreApplication::translate("cli", "Commands:") << '\n';
    auto commands = cliCommands();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand &a, const CliCommand &b) { return a.name < b.name; });
    for (const CliCommand &c : commands) {
        out << "  " << c.name << ' ' << c.synopsis << '\n'
            << "      " << QCoreApplication::translate("cli", c.summary) << '\n';
    }
    out << '\n' << QCoreApplication::translate("cli", "--verbose writes the debug log to stderr, --log FILE appends it to FILE.") << '\n'
        << QCoreApplication::translate("cli", "'torquedesk-cli <command> --help' describes a command's options.") << "\n\n"
        << DataRoot::ruleText() << "\n\n"
        << DataRoot::describe(DataRoot::peek(QString())) << '\n';
}

// Whether the command named on the command line draws; decided before the application object
// exists because that object's kind depends on it.
bool commandPaints(int argc, char *argv[])
{
    int i = 1;
    while (i < argc && (qstrcmp(argv[i], "--verbose") == 0 || qstrcmp(argv[i], "--log") == 0))
        i += qstrcmp(argv[i], "--log") == 0 ? 2 : 1;
    if (i >= argc)
        return false;
    const QString name = QString::fromLocal8Bit(argv[i]);
    for (const CliCommand &c : cliCommands()) {
        if (c.name == name)
            return c.paints;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // Quiet until the arguments say otherwise: even the application object's construction may
    // log (a GUI application's missing runtime folder).
    qInstallMessageHandler(dropLogLine);
    std::unique_ptr<QCoreApplication> application;
    if (commandPaints(argc, argv)) {
        // Fonts need a GUI application; a command-line program never opens a window.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication &app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("torquedesk-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TORQUEDESK_VERSION));
    QStringList args = app.arguments();
    args.removeFirst();
    // stderr belongs to the progress and the one failure line; the debug log goes there only
    // when asked, or to a file, so a script's output stays readable.
    while (!args.isEmpty() && (args.first() == QLatin1String("--verbose") || args.first() == QLatin1String("--log"))) {
        if (args.takeFirst() == QLatin1String("--verbose")) {
            td::installBufferedLogOutput(stderr);
        } else {
            const QString path = args.isEmpty() ? QString() : args.takeFirst();
            std::FILE *file = td::openLogFile(path);
            if (!file) {
                QTextStream(stderr) << "torquedesk-cli: " << QCoreApplication::translate("cli", "cannot write the log file '%1'").arg(path) << '\n';
                return CliExit::Usage;
            }
            td::installBufferedLogOutput(file);
        }
    }
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
    cGlobalData options;
    Station station(&options);
    for (const CliCommand &c : cliCommands()) {
        if (c.name == name)
            return c.run(station, args);
    }
    QTextStream err(stderr);
    err << "torquedesk-cli: " << QCoreApplication::translate("cli", "unknown command '%1'").arg(name) << '\n';
    printHelp(err);
    return CliExit::Usage;
}
