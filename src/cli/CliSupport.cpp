#include "cli/CliSupport.h"

#include "base/DataRoot.h"
#include "base/Job.h"
#include "base/LogOutput.h"
#include "base/Paths.h"
#include "history/StationName.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTextStream>
#include <QTranslator>

#ifdef Q_OS_WIN
#include <io.h>
#define TD_ISATTY _isatty
#define TD_FILENO _fileno
#else
#include <unistd.h>
#define TD_ISATTY isatty
#define TD_FILENO fileno
#endif

namespace cli {

namespace {
const QCommandLineOption &dataDirOption()
{
    static const QCommandLineOption option(
        QStringLiteral("data-dir"),
        QCoreApplication::translate("cli", "Keep settings, mirrors, reports and databases in DIR (default: see below)."),
        QStringLiteral("DIR"));
    return option;
}

const QCommandLineOption &stationOption(StationUse use)
{
    static const QCommandLineOption identity(
        QStringLiteral("station"),
        QCoreApplication::translate("cli", "Archive and publish as the station NAME (default: the history settings' name, else the host name)."),
        QStringLiteral("NAME"));
    static const QCommandLineOption filter(
        QStringLiteral("station"),
        QCoreApplication::translate("cli", "Only the measures the station NAME archived; repeat it for several (default: every station)."),
        QStringLiteral("NAME"));
    return use == StationUse::Identity ? identity : filter;
}

void writeErr(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}
} // namespace

const QCommandLineOption &verboseOption()
{
    static const QCommandLineOption option(QStringLiteral("verbose"),
                                           QCoreApplication::translate("cli", "Write the debug log to stderr."));
    return option;
}

void addCommonOptions(QCommandLineParser &parser, StationUse station)
{
    parser.addHelpOption();
    parser.addOption(dataDirOption());
    parser.addOption(stationOption(station));
    parser.addOption(verboseOption());
}

bool parseArguments(QCommandLineParser &parser, const QString &command, const QStringList &args)
{
    QStringList full = args;
    full.prepend(QCoreApplication::applicationName() + QLatin1Char(' ') + command);
    if (!parser.parse(full)) {
        fail(parser.errorText());
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << parser.helpText() << '\n'
                            << DataRoot::ruleText() << "\n\n"
                            << DataRoot::describe(DataRoot::peek(parser.value(dataDirOption()))) << '\n';
        std::exit(0);
    }
    if (parser.isSet(verboseOption()))
        td::installBufferedLogOutput(stderr);
    return true;
}

void applyDataDir(const QCommandLineParser &parser, StationUse station)
{
    DataRoot::apply(parser.value(dataDirOption()));
    if (station == StationUse::Identity && parser.isSet(stationOption(station)))
        StationName::setOverride(parser.value(stationOption(station)));
    // The window's translation, so a report names its columns as the window's report does.
    static QTranslator translator;
    static bool installed = false;
    if (!installed && translator.load(Paths::translationFile()))
        installed = QCoreApplication::installTranslator(&translator);
}

void fail(const QString &reason)
{
    writeErr(QStringLiteral("torquedesk-cli: ") + reason + QLatin1Char('\n'));
}

void say(const QString &line)
{
    QTextStream(stdout) << line << '\n';
}

Progress::Progress(QString label)
    : m_label(std::move(label)), m_tty(TD_ISATTY(TD_FILENO(stderr)) != 0)
{
}

Progress::~Progress()
{
    if (m_open && m_tty)
        writeErr(QStringLiteral("\n"));
}

void Progress::update(qint64 done, qint64 total, const QString &text)
{
    const int percent = total > 0 ? int(qBound<qint64>(0, done * 100 / total, 100)) : 0;
    if (m_tty) {
        if (percent == m_lastShown && text.isEmpty())
            return;
        constexpr int width = 30;
        const int filled = percent * width / 100;
        const QString bar = QString(filled, QLatin1Char('#')) + QString(width - filled, QLatin1Char('.'));
        writeErr(QStringLiteral("\r%1 [%2] %3% %4\x1b[K").arg(m_label, bar).arg(percent).arg(text));
        m_open = true;
    } else if (m_lastShown < 0 || percent >= m_lastShown + 10 || (percent == 100 && m_lastShown != 100)) {
        writeErr(QStringLiteral("%1: %2% (%3/%4)%5\n")
                     .arg(m_label).arg(percent).arg(done).arg(total)
                     .arg(text.isEmpty() ? QString() : QStringLiteral(" ") + text));
    } else {
        return;
    }
    m_lastShown = percent;
}

void Progress::finish(const QString &text)
{
    if (m_tty && m_open) {
        writeErr(QStringLiteral("\r%1 [%2] 100% %3\x1b[K\n").arg(m_label, QString(30, QLatin1Char('#')), text));
        m_open = false;
    } else if (!m_tty && (m_lastShown != 100 || !text.isEmpty())) {
        writeErr(QStringLiteral("%1: 100%%2\n").arg(m_label, text.isEmpty() ? QString() : QStringLiteral(" ") + text));
    }
    m_lastShown = 100;
}

bool runJob(Job *job, const QString &label, QString *error)
{
    Progress bar(label);
    QEventLoop loop;
    QString status;
    bool ok = false;
    qint64 lastDone = 0, lastTotal = 0;
    QObject::connect(job, &Job::status, &loop, [&](const QString &text) {
        status = text;
        bar.update(lastDone, lastTotal, text);
    });
    QObject::connect(job, &Job::progress, &loop, [&](qint64 done, qint64 total) {
        lastDone = done;
        lastTotal = total;
        bar.update(done, total);
    });
    QObject::connect(job, &Job::finished, &loop, [&](bool success, const QString &why) {
        ok = success;
        if (!ok && error)
            *error = why;
        loop.quit();
    });
    startJob(job);
    loop.exec();
    if (ok)
        bar.finish(status);
    return ok;
}

} // namespace cli
