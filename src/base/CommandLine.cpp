#include "base/CommandLine.h"

#include "base/Paths.h"
#include "base/cGlobalData.h"

#include <QCommandLineParser>
#include <QCoreApplication>

CommandLineOptions CommandLine::parse(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "TorqueDesk, the desktop companion of the dynamometric key."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption dataDir(QStringLiteral("data-dir"),
                               QCoreApplication::translate("main", "Keep settings, mirrors and reports in DIR instead of the program's folder."),
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
    parser.addOptions({dataDir, port, firmware, history, mqtt, historyWindow});
    parser.process(app);

    CommandLineOptions options;
    options.dataDir = parser.value(dataDir);
    options.port = parser.value(port);
    options.firmwareServer = parser.value(firmware);
    options.historyDb = parser.value(history);
    options.mqttUrl = parser.value(mqtt);
    options.openHistory = parser.isSet(historyWindow);
    return options;
}

void CommandLine::apply(const CommandLineOptions &options, cGlobalData *data)
{
    if (!options.dataDir.isEmpty())
        Paths::setDataRoot(options.dataDir);
    data->portOverride = options.port;
    data->firmwareServer = options.firmwareServer;
    data->historyDb = options.historyDb;
    data->mqttUrl = options.mqttUrl;
    data->openHistory = options.openHistory;
}
