#include "history/StationName.h"

#include "history/HistorySettings.h"

#include <QMutex>
#include <QSysInfo>

namespace {
QMutex g_lock;
QString g_override;
} // namespace

void StationName::setOverride(const QString &name)
{
    QMutexLocker lock(&g_lock);
    g_override = normalized(name);
}

QString StationName::current()
{
    {
        QMutexLocker lock(&g_lock);
        if (!g_override.isEmpty())
            return g_override;
    }
    const QString saved = normalized(HistorySettings::load().station);
    return saved.isEmpty() ? hostDefault() : saved;
}

QString StationName::hostDefault()
{
    const QString host = normalized(QSysInfo::machineHostName());
    return host.isEmpty() ? QStringLiteral("station") : host;
}

QString StationName::normalized(const QString &name)
{
    QString out;
    for (const QChar c : name) {
        if (c.unicode() >= 0x20 && c.unicode() != 0x7f)
            out += c;
    }
    return out.trimmed().left(MaxLength).trimmed();
}
