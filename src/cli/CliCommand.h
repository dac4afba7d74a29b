#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class Station;

// One command of torquedesk-cli ("mirror", "history", "publish", ...). Each command lives in a
// file of its own and registers itself with a static CliCommandRegistrar, so adding a command
// touches no shared table.
struct CliCommand
{
    QString name;     // first argument that selects it
    QString synopsis; // one line for --help: the arguments it takes
    const char *summary; // one line for --help: what it does (translated when shown; "cli" context)
    // Runs the command with the arguments after its name on the program's one station;
    // returns the process exit code.
    std::function<int(Station &station, const QStringList &args)> run;
    // The command draws (a PDF report needs fonts): it runs on a GUI application with the
    // offscreen platform, never on a display.
    bool paints = false;
};

// Exit codes shared by every command, so a nightly job can tell the reasons apart.
namespace CliExit {
constexpr int Ok = 0;
constexpr int Failed = 1;      // the work was attempted and did not complete
constexpr int Usage = 2;       // bad arguments
constexpr int NoKey = 3;       // no key within the time-out
}

std::vector<CliCommand> &cliCommands();

struct CliCommandRegistrar
{
    explicit CliCommandRegistrar(CliCommand command) { cliCommands().push_back(std::move(command)); }
};
