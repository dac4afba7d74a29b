#include "base/LogOutput.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QMutex>
#include <QString>

#include <QFile>

#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace td {

namespace {

constexpr int kFlushAt = 16 * 1024;

QMutex g_mutex;
QByteArray g_buffer;
bool g_installed = false;
std::FILE *g_target = stderr;

void writeOut(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), g_target);
    std::fflush(g_target);
}

void output(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    QByteArray out;
    {
        QMutexLocker lock(&g_mutex);
        g_buffer += qFormatLogMessage(type, context, message).toLocal8Bit();
        g_buffer += '\n';
        if (type == QtDebugMsg || type == QtInfoMsg) {
            if (g_buffer.size() < kFlushAt)
                return;
        }
        out.swap(g_buffer);
        // Written under the lock so two threads' flushes cannot overtake one another.
        writeOut(out);
    }
}

void flushAtExit()
{
    flushLogOutput();
}

} // namespace

std::FILE *openLogFile(const QString &path)
{
    if (path.isEmpty())
        return nullptr;
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return nullptr;
    std::FILE *file = ::fdopen(fd, "a");
    if (!file)
        ::close(fd);
    return file;
#else
    return std::fopen(QFile::encodeName(path).constData(), "a");
#endif
}

void flushLogOutput()
{
    QMutexLocker lock(&g_mutex);
    QByteArray out;
    out.swap(g_buffer);
    writeOut(out);
}

void installBufferedLogOutput(std::FILE *target)
{
    if (g_installed)
        return;
    g_installed = true;
    g_target = target ? target : stderr;
    qInstallMessageHandler(output);
    std::atexit(flushAtExit);
    qAddPostRoutine(flushAtExit);
    if (auto *dispatcher = QAbstractEventDispatcher::instance())
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher, &flushLogOutput);
}

} // namespace td
