#pragma once

#include "firmware/DfuCommand.h"
#include "firmware/FirmwareTiming.h"

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QTimer>

// Runs the DFU tool through the command interpreter, one process at a time: writes the command
// line to the interpreter's input, streams the output as text and keeps all of it so the outcome
// is judged on the whole run. A tool that stays silent too long is killed with everything it
// started.
class DfuToolRunner : public QObject
{
    Q_OBJECT
public:
    enum class Job { Search, Flash };

    struct Options
    {
        QString dfuDir;                        // the tool's folder (the image lies beside it)
        DfuCommand::Shell shell = DfuCommand::nativeShell();
        QString interpreter;                   // empty: the platform's own
        int silenceTimeoutMs = td::firmware::toolSilence;
    };

    explicit DfuToolRunner(const Options &options, QObject *parent = nullptr);
    ~DfuToolRunner() override;

    bool isRunning() const { return m_process != nullptr; }
    Job job() const { return m_job; }
    // Everything the current (or last) run printed, each chunk cut at its first NUL.
    const QString &output() const { return m_output; }

    // False when a tool process already runs; started(false) reports a tool that could not be
    // run (no interpreter, no tool file).
    bool start(Job job);
    // Kills the running process and everything it started; finished() follows.
    void kill(const QString &why);
    // The same, returning once finished() has been emitted (a killed process ends at once).
    void killAndWait(const QString &why, int timeoutMs = 3000);

signals:
    void started(bool ok);
    void outputText(const QString &text);
    void percent(int value);
    // The run ended; killed is true after kill() or the silence time-out.
    void finished(int exitCode, bool killed);

private slots:
    void process_readyRead();

private:
    void onStarted();
    void onFinished(int exitCode);
    void onError(QProcess::ProcessError error);
    void fail(const QString &why);

    Options m_options;
    QPointer<QProcess> m_process;
    Job m_job = Job::Search;
    QString m_output;
    QTimer m_silence;
    bool m_killed = false;
};
