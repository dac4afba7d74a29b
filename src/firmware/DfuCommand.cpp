#include "firmware/DfuCommand.h"

DfuCommand::Shell DfuCommand::nativeShell()
{
#ifdef Q_OS_WIN
    return Shell::Cmd;
#else
    return Shell::Posix;
#endif
}

QString DfuCommand::interpreter(Shell shell)
{
    return shell == Shell::Cmd ? QStringLiteral("cmd.exe") : QStringLiteral("/bin/sh");
}

QString DfuCommand::toolPath(const QString &dfuDir)
{
    return dfuDir + QLatin1Char('/') + toolName();
}

QString DfuCommand::imagePath(const QString &dfuDir)
{
    return dfuDir + QLatin1Char('/') + imageName();
}

QString DfuCommand::quote(const QString &path, Shell shell)
{
    if (shell == Shell::Cmd) {
        // A Windows path cannot hold a double quote, so quoting the whole is enough for spaces,
        // "&", "(" and the like.
        QString native = path;
        native.replace(QLatin1Char('/'), QLatin1Char('\\'));
        return QLatin1Char('"') + native + QLatin1Char('"');
    }
    // Inside single quotes /bin/sh takes everything literally; a quote itself is closed,
    // escaped and reopened.
    QString quoted = path;
    quoted.replace(QLatin1String("'"), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString DfuCommand::searchLine(const QString &dfuDir, Shell shell)
{
    return quote(toolPath(dfuDir), shell) + QStringLiteral(" -c --de 0");
}

QString DfuCommand::flashLine(const QString &dfuDir, Shell shell)
{
    return quote(toolPath(dfuDir), shell) + QStringLiteral(" -c --de 0 -d --v --fn ")
           + quote(imagePath(dfuDir), shell);
}
