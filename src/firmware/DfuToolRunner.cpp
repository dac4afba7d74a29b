#include "firmware/DfuToolRunner.h"

#include "base/Log.h"
#include "firmware/DfuOutput.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <signal.h>
#include <unistd.h>
#endif

namespace {

// The interpreter leads its own process group, so a kill reaches the tool and whatever the
// tool started, not only the shell in front of them.
class ToolProcess : public QProcess
{
public:
    using QProcess::QProcess;

protected:
    void setupChildProcess() override
    {
#ifdef Q_OS_UNIX
        ::setpgid(0, 0);
#endif
    }
};

} // namespace

DfuToolRunner::DfuToolRunner(const Options &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
{
    if (m_options.interpreter.isEmpty())
        m_options.interpreter = DfuCommand::interpreter(m_options.shell);
    m_silence.setSingleShot(true);
    m_silence.setInterval(m_options.silenceTimeoutMs);
    connect(&m_silence, &QTimer::timeout, this, [this] {
        kill(QStringLiteral("no output for %1 s").arg(m_options.silenceTimeoutMs / 1000.0));
    });
}

DfuToolRunner::~DfuToolRunner()
{
    if (m_process) {
        m_process->disconnect(this);
        kill(QStringLiteral("program closing"));
        m_process->waitForFinished(1000);
        delete m_process;
    }
}

bool DfuToolRunner::start(Job job)
{
    if (m_process) {
        td::log(QStringLiteral("DFU tool already running, new run refused"));
        return false;
    }
    m_job = job;
    m_output.clear();
    m_killed = false;

    const QFileInfo tool(DfuCommand::toolPath(m_options.dfuDir));
    if (!tool.isFile() || !tool.isExecutable()) {
        // The interpreter would start and only complain in its output; say it plainly instead.
        fail(QStringLiteral("DFU tool missing or not executable: ") + tool.filePath());
        return true;
    }

    m_process = new ToolProcess(this);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setWorkingDirectory(m_options.dfuDir);
    connect(m_process, &QProcess::readyRead, this, &DfuToolRunner::process_readyRead);
    connect(m_process, &QProcess::started, this, &DfuToolRunner::onStarted);
    connect(m_process, &QProcess::errorOccurred, this, &DfuToolRunner::onError);
    connect(m_process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [this](int code, QProcess::ExitStatus status) {
                // A crashed interpreter has no exit code to trust.
                onFinished(status == QProcess::NormalExit ? code : -1);
            });
    m_process->start(m_options.interpreter, QStringList(), QIODevice::ReadWrite);
    return true;
}

void DfuToolRunner::onStarted()
{
    td::log(QStringLiteral("external program running"));
    const QString line = m_job == Job::Search ? DfuCommand::searchLine(m_options.dfuDir, m_options.shell)
                                              : DfuCommand::flashLine(m_options.dfuDir, m_options.shell);
    td::log(QStringLiteral("DFU command: ") + line);
    QByteArray input = line.toLocal8Bit() + '\n';
    // /bin/sh ends with the last command's status; cmd.exe reading a pipe is told to, so the
    // tool's exit code reaches finished() on both.
    if (m_options.shell == DfuCommand::Shell::Cmd)
        input += "exit %ERRORLEVEL%\r\n";
    m_process->write(input);
    m_process->closeWriteChannel();
    m_silence.start();
    emit started(true);
}

void DfuToolRunner::onError(QProcess::ProcessError error)
{
    if (error == QProcess::FailedToStart && m_process) {
        QProcess *process = m_process;
        m_process = nullptr;
        process->disconnect(this);
        process->deleteLater();
        fail(QStringLiteral("Error starting external program: ") + process->errorString());
    }
}

void DfuToolRunner::fail(const QString &why)
{
    td::log(why);
    emit started(false);
}

void DfuToolRunner::process_readyRead()
{
    if (!m_process)
        return;
    const QString text = DfuOutput::chunkText(m_process->readAll());
    m_silence.start();
    if (text.isEmpty())
        return;
    td::log(QStringLiteral("DFU: ") + text.trimmed());
    m_output += text;
    emit outputText(text);
    const int value = DfuOutput::lastPercent(text);
    if (value >= 0)
        emit percent(value);
}

void DfuToolRunner::kill(const QString &why)
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return;
    td::log(QStringLiteral("DFU tool killed: ") + why);
    m_killed = true;
#ifdef Q_OS_UNIX
    const qint64 pid = m_process->processId();
    if (pid > 0)
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
#endif
    m_process->kill();
}

void DfuToolRunner::killAndWait(const QString &why, int timeoutMs)
{
    QPointer<QProcess> process = m_process;
    kill(why);
    if (process)
        process->waitForFinished(timeoutMs);
}

void DfuToolRunner::onFinished(int exitCode)
{
    if (!m_process)
        return;
    process_readyRead();
    m_silence.stop();
    td::log(QStringLiteral("process exited with code %1").arg(exitCode));
    m_process->disconnect(this);
    m_process->deleteLater();
    m_process = nullptr;
    emit finished(exitCode, m_killed);
}
