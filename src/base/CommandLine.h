#pragma once

#include <QString>

class QCoreApplication;
class cGlobalData;

// Options besides Qt's own: --data-dir DIR, --port DEVICE, --firmware-server URL, --history-db URL,
// --mqtt URL.
struct CommandLineOptions
{
    QString dataDir;
    QString port;
    QString firmwareServer;
    QString historyDb;
    QString mqttUrl;
    QString station;
    bool openHistory = false;
};

class CommandLine
{
public:
    // Parses the application's arguments; --help and --version print and exit.
    static CommandLineOptions parse(const QCoreApplication &app);
    // Answers --help and --version and exits when one is given; otherwise returns at once.
    // Called before the GUI application exists, which aborts when there is no display.
    static void answerWithoutDisplay(int argc, char *argv[]);
    // Applies the options: the data root to Paths, the rest to the shared state.
    static void apply(const CommandLineOptions &options, cGlobalData *data);
};
