#pragma once

#include "history/HistoryArchiver.h"
#include "history/HistoryStore.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

// The window's history: the store, the archiver that feeds it from the dbsett mirror, and the
// retry that sends a server's local queue once the server answers again.
class QTcpSocket;

class HistoryService : public QObject
{
    Q_OBJECT
public:
    explicit HistoryService(QObject *parent = nullptr);

    // url: empty for the local file. False with *error when nothing can be written; the
    // previous history then stays closed and erasing measures is refused.
    bool openDatabase(const QString &url, QString *error);
    HistoryStore *store() { return &m_store; }
    QString url() const { return m_url; }
    HistoryArchiver *archiver() { return &m_archiver; }

    // One record file of the mirror; a file that arrived from the key.
    void archiveRecord(const QString &name);
    // The whole mirror, as at start-up (a crash between a file's arrival and its archiving
    // loses nothing).
    HistoryArchiver::MirrorResult archiveMirror();

    // Sends a server's local queue when the server answers; the timer calls it every retry
    // period. Returns at once: whether the server is there is asked without blocking.
    void retryQueue();
    bool isProbing() const { return !m_probe.isNull(); }

signals:
    void historyChanged();
    // Something could not be kept; text for the user.
    void problem(const QString &text);

private:
    void reconnectAndDrain();

    HistoryStore m_store;
    HistoryArchiver m_archiver;
    QTimer m_retry;
    QString m_url;
    // Reaching a TCP server is asked without blocking first: a server that is away would
    // otherwise hold the window for the whole connection time-out at every retry.
    QPointer<QTcpSocket> m_probe;
};
