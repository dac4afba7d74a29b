#include "base/CommandLine.h"

#include "base/DataRoot.h"
#include "base/Paths.h"
#include "base/cGlobalData.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdlib>

CommandLineOptions CommandLine::parse(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "TorqueDesk, the desktop companion of the dynamometric key."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption dataDir(QStringLiteral("data-dir"),
                               QCoreApplication::translate("main", "Keep settings, mirrors and reports in DIR (default: see below)."),
                               QStringLiteral("DIR"));
    QCommandLineOption port(QStringLiteral("port"),
                            QCoreApplication::translate("main", "Open DEVICE as the key's serial port instead of searching for the key."),
                            QStringLiteral("DEVICE"));
    QCommandLineOption firmware(QStringLiteral("firmware-server"),
                                QCoreApplication::translate("main", "Base address of the firmware download server."),
                                QStringLiteral("URL"));
    QCommandLineOption history(QStringLiteral("history-db"),
                               QCoreApplication::translate("main", "Keep the tightening history in URL (postgresql://user@host:port/dbname) instead of the local file."),
                               QStringLiteral("URL"));
    QCommandLineOption mqtt(QStringLiteral("mqtt"),
                            QCoreApplication::translate("main", "Publish results to the broker at URL (mqtt://host:port/prefix or mqtts://...)."),
                            QStringLiteral("URL"));
    QCommandLineOption historyWindow(QStringLiteral("history"),
                                     QCoreApplication::translate("main", "Open the tightening history's window at start."));
    QCommandLineOption station(QStringLiteral("station"),
                               QCoreApplication::translate("main", "Archive and publish as the station NAME (default: the history settings' name, else the host name)."),
                               QStringLiteral("NAME"));
    parser.addOptions({dataDir, port, firmware, history, mqtt, station, historyWindow});
    // Not QCommandLineParser::process: --help also names the data folder, and help and version
    // are answered even beside an option only a GUI application knows (-platform).
    const bool parsed = parser.parse(app.arguments());
    if (parser.isSet(QStringLiteral("version"))) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << '\n';
        std::exit(EXIT_SUCCESS);
    }
    if (parser.isSet(QStringLiteral("help-all")))
        parser.process(app); // Qt's own options are listed by the parser alone; it exits
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << parser.helpText() << '\n'
                            << DataRoot::ruleText() << "\n\n"
                            << DataRoot::describe(DataRoot::peek(parser.value(dataDir))) << '\n';
        std::exit(EXIT_SUCCESS);
    }
    if (!parsed) {
        QTextStream(stderr) << QCoreApplication::applicationName() << ": " << parser.errorText() << '\n';
        std::exit(EXIT_FAILURE);
    }

    CommandLineOptions options;
    options.dataDir = parser.value(dataDir);
    options.port = parser.value(port);
    options.firmwareServer = parser.value(firmware);
    options.historyDb = parser.value(history);
    options.mqttUrl = parser.value(mqtt);
    options.station = parser.value(station);
    options.openHistory = parser.isSet(historyWindow);
    return options;
}

void CommandLine::answerWithoutDisplay(int argc, char *argv[])
{
    static const char *const infoOptions[] = {"--help", "-h", "-?", "--help-all", "--version", "-v"};
    for (int i = 1; i < argc; ++i) {
        for (const char *option : infoOptions) {
            if (qstrcmp(argv[i], option) == 0) {
                QCoreApplication app(argc, argv);
                parse(app);
            }
        }
    }
}

void CommandLine::apply(const CommandLineOptions &options, cGlobalData *data)
{
    if (!options.dataDir.isEmpty())
        Paths::setDataRoot(options.dataDir);
    data->portOverride = options.port;
    data->firmwareServer = options.firmwareServer;
    data->historyDb = options.historyDb;
    data->mqttUrl = options.mqttUrl;
    data->station = options.station;
    data->openHistory = options.openHistory;
}
