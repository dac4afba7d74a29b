#pragma once

#include <QString>

// Where a program keeps its data, decided once at start by the window and torquedesk-cli alike.
//  - --data-dir DIR: DIR.
//  - An installed program (its folder is not a build tree, i.e. holds no CMakeCache.txt, and
//    ../share/torquedesk lies beside it, as with /usr/bin and /usr/share/torquedesk): the
//    user's data folder, filled from share/torquedesk (see fill()).
//  - Otherwise (a build tree, a portable folder): the executable's own folder.
namespace DataRoot {

enum class Rule { Given, ProgramFolder, Installed };

struct Choice
{
    Rule rule = Rule::ProgramFolder;
    QString root;
    QString seedFrom; // Installed only: the package's copy the root is filled from
};

// share/torquedesk of an installed program whose executable lies in programDir; empty when
// the program is not installed.
QString installedShareDir(const QString &programDir);

// The user's data folder: the window's QStandardPaths::AppDataLocation (~/.local/share/TorqueDesk
// on Linux), named the same for torquedesk-cli, whose application name differs.
QString userDataDir();

Choice choose(const QString &given, const QString &programDir, const QString &userDir);

// Copies every file below from that root lacks, keeping its permissions (the DFU tool stays
// executable). A template or database already in root is the user's and is never replaced;
// the program's own files (translations, pictures, the DFU tool) are replaced when the
// package's differ, so an upgrade brings its texts. Returns how many were copied; on a
// failure *error names the file and the copy goes on with the others.
int fill(const QString &from, const QString &root, QString *error);

// Chooses for the running program (given: --data-dir, empty when absent), fills an installed
// program's root, makes it Paths' data root and logs what applied.
Choice apply(const QString &given);

// The choice for the running program without touching the disk, for --help.
Choice peek(const QString &given);

// "Data folder: <root> (<why>)", in the user's language.
QString describe(const Choice &choice);
// The rule itself, a few lines for --help.
QString ruleText();

} // namespace DataRoot
