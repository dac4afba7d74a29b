#pragma once

// A data root for firmware tests: a temporary folder whose name holds a space and a quote,
// with the stand-in DFU tool copied into its dfu/ folder from the build tree.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

struct DfuRoot
{
    QTemporaryDir tmp{QDir::tempPath() + QStringLiteral("/fw root's $(x) XXXXXX")};
    QString dfuDir() const { return tmp.path() + QStringLiteral("/dfu"); }
    QString tool() const { return dfuDir() + QStringLiteral("/DfuSeCommand.exe"); }
    QString image() const { return dfuDir() + QStringLiteral("/vx.txt"); }

    bool install()
    {
        const QString source = qEnvironmentVariable("TD_BUILD_DIR") + QStringLiteral("/dfu/DfuSeCommand.exe");
        return tmp.isValid() && QDir().mkpath(dfuDir()) && QFile::copy(source, tool())
               && QFile::setPermissions(tool(), QFile::permissions(source));
    }

    // The stand-in's behaviour, through the file beside it (the environment may carry another).
    void setMode(const QByteArray &mode)
    {
        QFile file(dfuDir() + QStringLiteral("/DfuSeCommand.mode"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(mode + '\n');
    }
};
