#include "history/HistoryStore.h"

#include "base/Log.h"
#include "base/Paths.h"
#include "history/StationName.h"

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

bool HistoryStore::open(const QString &url, QString *error, const QString &queuePath, Mode mode)
{
    close();
    if (!HistoryLocation::parse(url, &m_location, error))
        return false;
    m_mode = mode;
    m_primary.setStation(m_station.isEmpty() ? StationName::current() : m_station);
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
    if (queueOnly()) {
        if (!ensureQueue(error))
            return false;
        td::log(QStringLiteral("History measures for %1 are written to the local queue %2")
                    .arg(m_location.display(), m_queuePath));
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
    if (queueOnly())
        return false;
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
    m_queue->setStation(m_primary.station());
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
    if (!queueOnly() && !m_primary.isOpen() && (!m_sinceAttempt.isValid() || m_sinceAttempt.elapsed() >= RetryMs)) {
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
        QVector<HistoryDatabase::RefusedMeasure> refused;
        int added = 0;
        if (appendSorting(measures, &added, &refused, &r.error)) {
            r.added = added;
            r.ok = refused.isEmpty();
            if (refused.isEmpty())
                return r;
            r.setAside = refused.size();
            QString keepError;
            if (!keepRefused(refused, &keepError)) {
                r.error = keepError;
                return r;
            }
            r.error = QCoreApplication::translate("HistoryStore",
                                                  "The history server refused measures (%1): %2. They are kept in the "
                                                  "table set_aside of %3.")
                          .arg(refused.size())
                          .arg(refused.first().reason, m_queuePath);
            return r;
        }
        // What went in before the server vanished is skipped by its unique key when the
        // queue moves over; what it refused is sorted out again then.
        td::log(QStringLiteral("History server not reached with %1 measures (%2), queueing them")
                    .arg(measures.size())
                    .arg(r.error));
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

bool HistoryStore::existingQueue()
{
    if (!m_location.isServer())
        return false;
    if (m_queue)
        return true;
    // A queue left by an earlier run still counts.
    if (!QFileInfo::exists(m_queuePath))
        return false;
    QString e;
    return ensureQueue(&e);
}

qint64 HistoryStore::queuedCount()
{
    return existingQueue() ? m_queue->countAfter(HistoryPosition()) : 0;
}

int HistoryStore::drainQueue(QString *error)
{
    if (!m_location.isServer())
        return 0;
    if (queueOnly()) {
        *error = QCoreApplication::translate("HistoryStore", "This part of the history only writes the local queue");
        return -1;
    }
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
        QVector<HistoryDatabase::RefusedMeasure> refused;
        int added = 0;
        if (!appendSorting(rows, &added, &refused, error)) {
            td::log(QStringLiteral("History queue not drained: %1").arg(*error));
            m_primary.close();
            return -1;
        }
        if (!refused.isEmpty() && !keepRefused(refused, error))
            return -1;
        if (!m_queue->removeUpTo(rows.last().id)) {
            *error = m_queue->lastError();
            return -1;
        }
        moved += rows.size() - refused.size();
    }
    if (moved > 0)
        td::log(QStringLiteral("History queue drained: %1 measures sent to %2").arg(moved).arg(m_location.display()));
    return moved;
}

bool HistoryStore::appendSorting(const QVector<HistoryMeasure> &rows, int *added,
                                 QVector<HistoryDatabase::RefusedMeasure> *refused, QString *error)
{
    HistoryDatabase::Refusal why = HistoryDatabase::Refusal::None;
    QString e;
    const int n = m_primary.append(rows, &e, &why);
    if (n >= 0) {
        *added += n;
        return true;
    }
    if (why != HistoryDatabase::Refusal::Data) {
        *error = e;
        return false;
    }
    if (rows.size() == 1) {
        td::log(QStringLiteral("History server refused the measure %1 of %2 (key %3): %4")
                    .arg(rows.first().connectionIndex)
                    .arg(rows.first().recordName, rows.first().keySerial, e));
        refused->append({rows.first(), e});
        return true;
    }
    const int half = rows.size() / 2;
    return appendSorting(rows.mid(0, half), added, refused, error)
           && appendSorting(rows.mid(half), added, refused, error);
}

bool HistoryStore::keepRefused(const QVector<HistoryDatabase::RefusedMeasure> &refused, QString *error)
{
    if (!ensureQueue(error))
        return false;
    if (!m_queue->setAside(refused, error)) {
        td::log(QStringLiteral("History: %1 refused measures could not be set aside in %2: %3")
                    .arg(refused.size())
                    .arg(m_queuePath, *error));
        return false;
    }
    td::log(QStringLiteral("History: %1 measures the server refused are set aside in %2 (table set_aside)")
                .arg(refused.size())
                .arg(m_queuePath));
    return true;
}

qint64 HistoryStore::setAsideCount()
{
    return existingQueue() ? m_queue->setAsideCount() : 0;
}
