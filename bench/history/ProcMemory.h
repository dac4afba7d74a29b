#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>

// This process's memory as the kernel counts it, for benchmarks that print a peak.

// A field of /proc/self/status in kB ("VmHWM:", "VmRSS:"); -1 when it cannot be read.
inline long statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// The high-water mark back to the memory in use now, so the next peak is the next step's own.
inline void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}
