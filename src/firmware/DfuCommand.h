#pragma once

#include <QString>
#include <QStringList>

// The two command lines the DFU tool is run with, written to the platform's command
// interpreter. Paths are quoted for that interpreter: a data root under "C:\Program Files"
// or with a shell character in its name must still name the tool and the image.
class DfuCommand
{
public:
    enum class Shell { Posix, Cmd };

    // The interpreter of this platform: cmd.exe on Windows, /bin/sh elsewhere.
    static Shell nativeShell();
    static QString interpreter(Shell shell);

    static QString toolName() { return QStringLiteral("DfuSeCommand.exe"); }
    static QString imageName() { return QStringLiteral("vx.txt"); }
    static QString toolPath(const QString &dfuDir);
    static QString imagePath(const QString &dfuDir);

    // One argument as the interpreter must see it to pass it on unchanged.
    static QString quote(const QString &path, Shell shell);

    static QString searchLine(const QString &dfuDir, Shell shell);
    static QString flashLine(const QString &dfuDir, Shell shell);
};
