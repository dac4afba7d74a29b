#pragma once

#include <QCommandLineParser>
#include <QString>

#include <cstdio>

class Job;

// What every command of torquedesk-cli shares: the common options, the one-line failure
// reason and the progress shown on stderr.
namespace cli {

// What --station means to a command: the station it archives and publishes as, or (for the
// commands that read the plant's history) which stations' measures it reads.
enum class StationUse { Identity, Filter };

// Adds --data-dir, --station and --help to a command's parser.
void addCommonOptions(QCommandLineParser &parser, StationUse station = StationUse::Identity);
// Parses args (the words after the command's name) with parser; on a parse error prints the
// reason and returns false. --help prints the command's help and exits 0.
bool parseArguments(QCommandLineParser &parser, const QString &command, const QStringList &args);
// Decides the data root (DataRoot::apply: --data-dir, else by where the program lies), loads
// the data root's translation, as the window does; --station names this station unless it is
// a filter.
void applyDataDir(const QCommandLineParser &parser, StationUse station = StationUse::Identity);

// The one line a failing command leaves on stderr: "torquedesk-cli: <reason>".
void fail(const QString &reason);
// A line for the user on stdout (the summary).
void say(const QString &line);

// Progress on stderr: a redrawn bar when stderr is a terminal, otherwise a plain line whenever
// the shown percentage moves by ten or more, so a log file stays short.
class Progress
{
public:
    explicit Progress(QString label);
    ~Progress();
    // done/total in the command's unit; text is an optional detail (a file name, bytes).
    void update(qint64 done, qint64 total, const QString &text = QString());
    void finish(const QString &text = QString());

private:
    QString m_label;
    bool m_tty;
    int m_lastShown = -1;
    bool m_open = false;
};

// Runs job on its own thread with its progress and status on a Progress bar named label, and
// waits for its end in an event loop of its own. True when it succeeded; otherwise *error gets
// its reason. The job deletes itself.
bool runJob(Job *job, const QString &label, QString *error);

} // namespace cli
