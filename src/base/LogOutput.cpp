#include "base/LogOutput.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QMutex>
#include <QString>

#include <cstdio>
#include <cstdlib>

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
