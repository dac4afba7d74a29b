#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QtGlobal>

// Captures every Qt debug-stream line for the lifetime of the object (one at a time), so
// tests can count what the link logged. Lines are kept out of the test output.
class LogCapture
{
public:
    LogCapture()
    {
        s_instance = this;
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        s_instance = nullptr;
    }

    int count(const QString &needle) const
    {
        QMutexLocker lock(&m_mutex);
        int n = 0;
        for (const QString &line : m_lines)
            if (line.contains(needle))
                ++n;
        return n;
    }
    int total() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines.size();
    }
    QStringList lines() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_lines.clear();
    }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &msg)
    {
        if (type == QtDebugMsg && s_instance) {
            QMutexLocker lock(&s_instance->m_mutex);
            s_instance->m_lines.append(msg);
            return;
        }
        if (s_instance && s_instance->m_previous)
            s_instance->m_previous(type, context, msg);
    }

    mutable QMutex m_mutex;
    QStringList m_lines;
    QtMessageHandler m_previous = nullptr;
    static inline LogCapture *s_instance = nullptr;
};
