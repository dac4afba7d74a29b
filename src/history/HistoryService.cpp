#include "history/HistoryService.h"

#include "base/Log.h"

#include <QTcpSocket>

HistoryService::HistoryService(QObject *parent) : QObject(parent), m_archiver(&m_store)
{
    setObjectName(QStringLiteral("historyService"));
    m_retry.setInterval(HistoryStore::RetryMs);
    connect(&m_retry, &QTimer::timeout, this, &HistoryService::retryQueue);
}

bool HistoryService::openDatabase(const QString &url, QString *error)
{
    m_url = url;
    const bool ok = m_store.open(url, error);
    if (ok && m_store.isServer())
        m_retry.start();
    else
        m_retry.stop();
    emit historyChanged();
    return ok;
}

void HistoryService::archiveRecord(const QString &name)
{
    const HistoryStore::AppendResult r = m_archiver.archiveRecord(name);
    if (!r.ok)
        emit problem(tr("The measures of %1 are not in the history: %2").arg(name, r.error));
    else if (r.added > 0)
        emit historyChanged();
}

HistoryArchiver::MirrorResult HistoryService::archiveMirror()
{
    const HistoryArchiver::MirrorResult r = m_archiver.archiveMirror();
    td::log(QStringLiteral("History: mirror archived, %1 files, %2 measures, %3 new, %4 queued")
                .arg(r.files)
                .arg(r.measures)
                .arg(r.added)
                .arg(r.queued));
    if (!r.ok())
        emit problem(tr("The measures of %1 records are not in the history: %2").arg(r.failed.size()).arg(r.error));
    if (r.added > 0)
        emit historyChanged();
    return r;
}

void HistoryService::retryQueue()
{
    if (!m_store.isServer() || m_store.queuedCount() == 0 || m_probe)
        return;
    const HistoryLocation &where = m_store.location();
    // A socket folder is on this PC: failing there is immediate, no probe needed.
    if (where.host.isEmpty() || where.host.startsWith(QLatin1Char('/'))) {
        reconnectAndDrain();
        return;
    }
    auto *probe = new QTcpSocket(this);
    m_probe = probe;
    auto unreachable = [this, probe] {
        if (m_probe != probe)
            return;
        td::log(QStringLiteral("History server %1 not reached; the queue waits").arg(m_store.display()));
        m_store.noteServerUnreachable();
        m_probe = nullptr;
        probe->abort();
        probe->deleteLater();
    };
    connect(probe, &QTcpSocket::connected, this, [this, probe] {
        m_probe = nullptr;
        probe->abort();
        probe->deleteLater();
        reconnectAndDrain();
    });
    connect(probe, &QAbstractSocket::errorOccurred, this, unreachable);
    QTimer::singleShot(HistoryStore::ProbeMs, probe, unreachable);
    probe->connectToHost(where.host, quint16(where.port));
}

void HistoryService::reconnectAndDrain()
{
    QString error;
    if (!m_store.reconnect(&error))
        return;
    if (m_store.drainQueue(&error) > 0)
        emit historyChanged();
}
