// Both programs as a package installs them: --help and --version answer with no display, an
// executable under <prefix>/bin with <prefix>/share/torquedesk keeps its data in the user's
// folder (filled from the package, the user's files kept), and the shell completion offers
// every option the commands take.

#include "../TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

QString buildDir()
{
    return QDir(qEnvironmentVariable("TD_BUILD_DIR", QStringLiteral("."))).absolutePath();
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// No display, no platform plugin named: what a package's post-install check or help2man sees.
Run run(const QString &program, const QStringList &args, const QString &home = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME"})
        env.remove(QString::fromLatin1(name));
    if (!home.isEmpty())
        env.insert(QStringLiteral("HOME"), home);
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished(5000);
        return r;
    }
    if (p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}


// The long options a command's --help lists, Qt's --help-all aside.
QSet<QString> optionsIn(const QByteArray &help)
{
    QSet<QString> options;
    QRegularExpressionMatchIterator it =
        QRegularExpression(QStringLiteral("^\\s+(?:-\\S, )?(--[a-z-]+)"), QRegularExpression::MultilineOption)
            .globalMatch(QString::fromUtf8(help));
    while (it.hasNext())
        options.insert(it.next().captured(1));
    options.remove(QStringLiteral("--help-all"));
    return options;
}

} // namespace

class TestCliInstall : public QObject
{
    Q_OBJECT

private slots:
    void helpAndVersionNeedNoDisplay()
    {
        const QString dir = buildDir();
        for (const QString &name : {QStringLiteral("torquedesk"), QStringLiteral("torquedesk-cli")}) {
            const QString program = dir + QLatin1Char('/') + name;
            Run r = run(program, {QStringLiteral("--version")});
            QVERIFY2(r.exitCode == 0, r.err.constData());
            QVERIFY2(QRegularExpression(QStringLiteral("^\\S+ \\d+\\.\\d+")).match(QString::fromUtf8(r.out)).hasMatch(),
                     r.out.constData());

            r = run(program, {QStringLiteral("--help")});
            QVERIFY2(r.exitCode == 0, r.err.constData());
            QVERIFY2(r.out.contains("Data folder: " + dir.toUtf8() + " (the program's own folder"), r.out.constData());
        }
        const QString window = dir + QStringLiteral("/torquedesk");
        // A Qt option beside --help, and the folder --data-dir names.
        const Run r = run(window, {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--data-dir"),
                                   QStringLiteral("/srv/station"), QStringLiteral("--help")});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QVERIFY2(r.out.contains("Data folder: /srv/station (given with --data-dir)"), r.out.constData());
        QVERIFY(r.out.contains("--firmware-server"));
        QCOMPARE(run(window, {QStringLiteral("--no-such-option"), QStringLiteral("--version")}).exitCode, 0);
    }

    void installedProgramKeepsItsDataInTheUsersFolder()
    {
        // Under the build tree so the programs can be hard-linked: /proc/self/exe then names
        // the link, as it names /usr/bin/torquedesk-cli after an install.
        QTemporaryDir tmp(buildDir() + QStringLiteral("/install-XXXXXX"));
        QVERIFY(tmp.isValid());
        const QString prefix = tmp.filePath(QStringLiteral("usr"));
        QVERIFY(QDir().mkpath(prefix + QStringLiteral("/bin")));
        for (const char *name : {"torquedesk", "torquedesk-cli"}) {
            const QByteArray from = (buildDir() + QLatin1Char('/') + QLatin1String(name)).toLocal8Bit();
            const QByteArray to = (prefix + QStringLiteral("/bin/") + QLatin1String(name)).toLocal8Bit();
            if (::link(from.constData(), to.constData()) != 0)
                QSKIP("the build tree's file system takes no hard links");
        }
        const QString share = prefix + QStringLiteral("/share/torquedesk");
        QVERIFY(writeFile(share + QStringLiteral("/settings/qrcodec.lrxml"), "package template"));
        QVERIFY(writeFile(share + QStringLiteral("/png/help_128.png"), "package picture"));
        const QString home = tmp.filePath(QStringLiteral("home"));
        const QString user = home + QStringLiteral("/.local/share/TorqueDesk");
        QVERIFY(writeFile(user + QStringLiteral("/settings/qrcodec.lrxml"), "the user's template"));

        const QString cli = prefix + QStringLiteral("/bin/torquedesk-cli");
        for (const QString &program : {cli, prefix + QStringLiteral("/bin/torquedesk")}) {
            const Run help = run(program, {QStringLiteral("--help")}, home);
            QCOMPARE(help.exitCode, 0);
            QVERIFY2(help.out.contains("Data folder: " + user.toUtf8() + " (installed program"), help.out.constData());
        }
        // Telling is not filling.
        QVERIFY(!QFile::exists(user + QStringLiteral("/png/help_128.png")));

        const Run r = run(cli, {QStringLiteral("--verbose"), QStringLiteral("history"), QStringLiteral("import")}, home);
        QVERIFY2(r.exitCode == 0, r.err.right(2000).constData());
        QCOMPARE(readFile(user + QStringLiteral("/png/help_128.png")), QByteArray("package picture"));
        QCOMPARE(readFile(user + QStringLiteral("/settings/qrcodec.lrxml")), QByteArray("the user's template"));
        QVERIFY(QFile::exists(user + QStringLiteral("/history/history.db3")));
        QVERIFY(!QFile::exists(prefix + QStringLiteral("/bin/history")));
        // The log says which rule applied before anything else happens in the data root.
        const QByteArray log = r.err.mid(r.err.indexOf(": Data root: copied"));
        QVERIFY2(log.contains("copied 1 files from " + share.toUtf8()), r.err.constData());
        const QList<QByteArray> lines = log.split('\n');
        QVERIFY2(lines.size() > 1 && lines.at(1).contains("Data folder: " + user.toUtf8() + " (installed program"),
                 r.err.constData());
    }

    void completionOffersEveryOption()
    {
        const QString script = QString::fromUtf8(
            readFile(qEnvironmentVariable("TD_SOURCE_DIR") + QStringLiteral("/packaging/torquedesk-cli.bash-completion")));
        const QString common = script.section(QStringLiteral("local common=\""), 1).section(QLatin1Char('"'), 0, 0);
        QVERIFY(!common.isEmpty());
        const QString cli = buildDir() + QStringLiteral("/torquedesk-cli");

        // The commands the program lists are the ones offered first.
        const Run help = run(cli, {QStringLiteral("--help")});
        // The first case without a command yet: the top level.
        const QString offered = QRegularExpression(QStringLiteral("\"\"\\)\\s*COMPREPLY=\\(\\$\\(compgen -W \"([^\"]*)\""))
                                    .match(script)
                                    .captured(1);
        QVERIFY(offered.contains(QStringLiteral("--version")));
        QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("^  ([a-z]+) "), QRegularExpression::MultilineOption)
                                                 .globalMatch(QString::fromUtf8(help.out));
        int commands = 0;
        while (it.hasNext()) {
            const QString name = it.next().captured(1);
            QVERIFY2(offered.split(QLatin1Char(' ')).contains(name), qPrintable(name));
            ++commands;
        }
        QVERIFY(commands >= 5);

        for (const QString &command : {QStringLiteral("mirror"), QStringLiteral("pull"), QStringLiteral("publish"),
                                       QStringLiteral("report"), QStringLiteral("history import"),
                                       QStringLiteral("history export"), QStringLiteral("history stats")}) {
            const QString last = command.section(QLatin1Char(' '), -1);
            // Each command's case ends at its own opts="..." line.
            const QRegularExpressionMatch m =
                QRegularExpression(QStringLiteral("\\n\\s*%1\\)[^\\n]*?(?:\\n[^\\n]*?){0,6}opts=\"\\$common ([^\"]*)\"").arg(last))
                    .match(script);
            QVERIFY2(m.hasMatch(), qPrintable(command));
            const QStringList completed = (common + QLatin1Char(' ') + m.captured(1)).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            const Run r = run(cli, command.split(QLatin1Char(' ')) + QStringList{QStringLiteral("--help")});
            QCOMPARE(r.exitCode, 0);
            const QSet<QString> taken = optionsIn(r.out);
            QVERIFY(taken.size() >= 3);
            for (const QString &option : taken)
                QVERIFY2(completed.contains(option), qPrintable(command + QStringLiteral(": ") + option));
        }
    }
};

QTEST_GUILESS_MAIN(TestCliInstall)
#include "../TestFiles.h"
#include "tst_cli_install.moc"
