#include "history/HistoryStore.h"

#include "base/Log.h"
#include "base/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
constexpr int kDrainBatch = 1000;
}

HistoryStore::HistoryStore() = default;

HistoryStore::~HistoryStore()
{
    close();
}

bool HistoryStore::open(const QString &url, QString *error, const QString &queuePath)
{
    close();
    if (!HistoryLocation::parse(url, &m_location, error))
        return false;
    m_queuePath = queuePath.isEmpty() ? QDir(Paths::dataRoot()).filePath(QStringLiteral("history/queue.db3")) : queuePath;
    if (!m_location.isServer()) {
        if (!m_primary.open(m_location, error)) {
            td::log(QStringLiteral("History not opened (%1): %2").arg(m_location.display(), *error));
            return false;
        }
        td::log(QStringLiteral("History opened: %1").arg(m_location.display()));
        m_opened = true;
        return true;
    }
    QString serverError;
    if (!tryServer(&serverError)) {
        // Measures keep arriving while the server is away; the queue holds them.
        if (!ensureQueue(error))
            return false;
        td::log(QStringLiteral("History server %1 not reached, queueing locally: %2")
                    .arg(m_location.display(), serverError));
    } else {
        QString drainError;
        drainQueue(&drainError);
    }
    m_opened = true;
    return true;
}

void HistoryStore::close()
{
    m_primary.close();
    if (m_queue)
        m_queue->close();
    m_queue.reset();
    m_opened = false;
}

bool HistoryStore::isOpen() const
{
    return m_opened;
}

bool HistoryStore::tryServer(QString *error)
{
    m_sinceAttempt.start();
    if (m_primary.open(m_location, error)) {
        td::log(QStringLiteral("History server connected: %1").arg(m_location.display()));
        return true;
    }
    return false;
}

bool HistoryStore::reconnect(QString *error)
{
    if (!m_location.isServer())
        return m_primary.isOpen();
    if (m_primary.isOpen() && m_primary.ping())
        return true;
    m_primary.close();
    return tryServer(error);
}

bool HistoryStore::ensureQueue(QString *error)
{
    if (m_queue && m_queue->isOpen())
        return true;
    m_queue = std::make_unique<HistoryDatabase>();
    HistoryLocation local;
    local.path = m_queuePath;
    if (!m_queue->open(local, error)) {
        td::log(QStringLiteral("History queue %1 not opened: %2").arg(m_queuePath, *error));
        m_queue.reset();
        return false;
    }
    return true;
}

HistoryStore::AppendResult HistoryStore::append(const QVector<HistoryMeasure> &measures)
{
    AppendResult r;
    if (!m_opened) {
        r.error = QCoreApplication::translate("HistoryStore", "The history is not open");
        return r;
    }
    if (!m_location.isServer()) {
        r.added = m_primary.append(measures, &r.error);
        r.ok = r.added >= 0;
        if (!r.ok)
            r.added = 0;
        return r;
    }
    if (!m_primary.isOpen() && (!m_sinceAttempt.isValid() || m_sinceAttempt.elapsed() >= RetryMs)) {
        QString e;
        tryServer(&e);
    }
    if (m_primary.isOpen()) {
        // Older measures go first, so the server sees them in the order they arrived.
        QString drainError;
        if (queuedCount() > 0 && drainQueue(&drainError) < 0)
            m_primary.close();
    }
    if (m_primary.isOpen()) {
        bool lost = false;
        const int added = m_primary.append(measures, &r.error, &lost);
        if (added >= 0) {
            r.added = added;
            r.ok = true;
            return r;
        }
        td::log(QStringLiteral("History server refused %1 measures (%2), queueing them")
                    .arg(measures.size())
                    .arg(r.error));
        if (lost)
            m_primary.close();
    }
    QString queueError;
    if (!ensureQueue(&queueError)) {
        r.error = queueError;
        return r;
    }
    const int queued = m_queue->append(measures, &queueError);
    if (queued < 0) {
        r.error = queueError;
        return r;
    }
    r.queued = queued;
    r.ok = true;
    return r;
}

qint64 HistoryStore::queuedCount()
{
    if (!m_location.isServer())
        return 0;
    if (!m_queue) {
        // A queue left by an earlier run still counts.
        if (!QFileInfo::exists(m_queuePath))
            return 0;
        QString e;
        if (!ensureQueue(&e))
            return 0;
    }
    return m_queue->countAfter(0);
}

int HistoryStore::drainQueue(QString *error)
{
    if (!m_location.isServer())
        return 0;
    if (queuedCount() <= 0)
        return 0;
    if (!m_primary.isOpen() && !tryServer(error))
        return -1;
    int moved = 0;
    for (;;) {
        const QVector<HistoryMeasure> rows = m_queue->oldest(kDrainBatch);
        if (rows.isEmpty())
            break;
        // On the server first, then out of the queue: a crash between the two leaves rows the
        // server's unique key turns away on the next drain.
        if (m_primary.append(rows, error) < 0) {
            td::log(QStringLiteral("History queue not drained: %1").arg(*error));
            return -1;
        }
        if (!m_queue->removeUpTo(rows.last().id)) {
            *error = m_queue->lastError();
            return -1;
        }
        moved += rows.size();
    }
    if (moved > 0)
        td::log(QStringLiteral("History queue drained: %1 measures sent to %2").arg(moved).arg(m_location.display()));
    return moved;
}
