#pragma once

#include "history/HistoryArchiver.h"
#include "history/HistoryStore.h"

#include <QObject>
#include <QTimer>

// The window's history: the store, the archiver that feeds it from the dbsett mirror, and the
// retry that sends a server's local queue once the server answers again.
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

signals:
    void historyChanged();
    // Something could not be kept; text for the user.
    void problem(const QString &text);

private:
    void retryQueue();

    HistoryStore m_store;
    HistoryArchiver m_archiver;
    QTimer m_retry;
    QString m_url;
};
