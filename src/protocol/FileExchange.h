#pragma once

#include "base/Timing.h"
#include "protocol/ExchangeProgress.h"
#include "protocol/FileCmdHeader.h"
#include "protocol/TransferEntry.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QElapsedTimer>
#include <QTimer>

class KeySender;
struct RxDataBuffer;

// Moves files between the key's folders and the PC's mirror of them (download folder +
// key folder) with the file command, keeps the list of pending transfers, and tells the
// pages when a folder they show is complete.
//
// Everything that comes back from the key is checked before it touches the disk: names
// and folders stay inside the download folder, lengths and offsets stay inside the frame,
// and a downloaded file replaces the local copy only once its last part has arrived.
class FileExchange : public QObject
{
    Q_OBJECT
public:
    // No file the key keeps comes near this; a transfer that grows past it is dropped.
    static constexpr qint64 MaxDownloadBytes = 16 * 1024 * 1024;

    explicit FileExchange(KeySender *sender, QObject *parent = nullptr,
                          int listTickMs = td::timing::fileListTick,
                          int progressTickMs = td::timing::exchangeProgressTick);

    // How long pending transfers may go without a single file reply before they are sent
    // again. A request whose every transmission went unanswered is dropped by the link's
    // queue; without this its file would stay pending for good and its folder never finish.
    void setStallTimeout(int ms) { m_stallMs = ms; }
    // Re-sends every pending transfer when the exchange has stalled; after a few fruitless
    // rounds the transfers are given up and reported. Run by the list timer.
    void checkStalled();

    // Fetches one file, or with name "*" the whole folder (the local files of that folder
    // are removed first). False when the folder or name was refused.
    bool GetFromKey(const QString &folder, const QString &name);
    // Fetches one file of folder for a caller that waits for fileFetched (or transferFailed)
    // itself: its arrival does not announce the folder as read, so the pages do not reload
    // the whole folder for each record an erase reads again.
    bool FetchOne(const QString &folder, const QString &name);
    // Puts one local file into key folder keyFolder ("/" + folder). False when the file
    // cannot be read, its key path was refused or no link took the command.
    bool PutToKey(const QString &keyFolder, const QString &localPath, const QString &group,
                  int flag);
    // A file command the link's queue gave up after its every transmission went unanswered.
    // A request the exchange still waits for is sent again at once, for the same part, so a
    // lossy line costs one more request, never the file's earlier parts.
    void requestGivenUp(const QByteArray &payload);
    // PutToKey into folder; with remember, the whole folder is fetched again once every
    // write into it has finished, so the mirror matches the key.
    bool PutFileToFolder(const QString &folder, const QString &localPath, bool remember);

    // A received file command. available: payload bytes (from byte 2 of the body) that
    // really arrived. The caller has already decided the frame comes from the key in use.
    void HandleFileCommand(const uchar *payload, int available, const QString &interfaceName);
    // The key reports a change in its folder dirname.
    void HandleFileSystemStatus(const QString &dirname, const QString &filename, int changetype);

    // Forgets every pending transfer, folder list and partial download.
    void clearTransfers();

    const QList<TransferEntry> &pendingList() const { return m_pending; }
    const QStringList &readDirs() const { return m_readDirs; }
    const QStringList &writeDirs() const { return m_writeDirs; }
    bool isBusy() const;
    ExchangeProgress progress() const;

    // Local mirror path of key file folder/file.
    static QString localPath(const QString &folder, const QString &file);
    // Splits "/folder/file" into its parts; false unless both parts are safe local names
    // and the path fits the file command's name field.
    static bool splitKeyPath(const QString &keyPath, QString *folder, QString *file);

public slots:
    // 200 ms: reports when the exchange turns busy or idle.
    void slot_iTmrFileReadWriteList();
    // 200 ms: reports progress when it moved.
    void slot_iTmrProgressExchange();

signals:
    // A whole fetched folder ("/" + folder) is complete in the mirror.
    void slot_files_got_dir(const QString &folder);
    // A single file (folder, file) the key asked to be handed to its page at once.
    void slot_files_got_file(const QStringList &folderAndFile);
    // A written file (folder, file) the key marked for its page.
    void files_put_file(const QStringList &folderAndFile);
    // A file fetched on its own (GetFromKey with a name) or as part of a folder has replaced
    // its mirror copy.
    void fileFetched(const QString &folder, const QString &file);
    // The key has taken the last part of a file put into it.
    void fileStored(const QString &folder, const QString &file);
    // A read or write ended without the file: the key refused it, the mirror copy could not
    // be written, or the exchange gave up on a key that stopped answering.
    void transferFailed(const QString &folder, const QString &file, const QString &why);
    // A record file was removed from the mirror; the records view rebuilds from local files.
    void recordsRebuildRequested();
    // false once the records folder has arrived.
    void waitAnimationRequested(bool show);
    // Exchange status-line text.
    void statusMessage(const QString &text);
    void transfersActiveChanged(bool active);
    void progressChanged(const ExchangeProgress &progress);

private:
    bool sendCommand(const FileCmdHeader &header, const QByteArray &data = QByteArray());
    void issueRead(const QString &keyDir, const QString &file, const QString &group, int flag);
    void sendReadDir(const QString &keyDir);
    // Asks for the part of keyPath that starts at seek.
    void askRead(const QString &keyPath, qint32 seek);
    // Lists and sends the first part of an upload whose content is already taken. False
    // when no link took it; a transfer listed only for this is dropped again then.
    bool putContent(const QString &keyFolder, const QString &localPath, const QByteArray &content,
                    const QString &group, int flag);
    // Adds e unless an entry with its key path and command is listed; true when added.
    bool addEntry(const TransferEntry &e);
    int findEntry(const QString &keyPath, int command) const;
    void finishEntry(int index);
    void removeLocalFiles(const QString &folder);
    void reportFailure(const QString &keyPath, const QString &why);

    void handleReadReply(const FileCmdHeader &h, const QByteArray &data);
    void handleWriteReply(const FileCmdHeader &h);
    void handleDirReply(const FileCmdHeader &h, const QByteArray &data);
    void FileReceived(const QString &keyPath, int notify);
    void FileWritten(const QString &keyPath, int notify);
    void FolderListed(const QString &keyDir);
    void checkReadFoldersComplete();
    void startBatchIfIdle();

    KeySender *m_sender;
    QList<TransferEntry> m_pending;
    QStringList m_readDirs;
    QStringList m_writeDirs;
    QSet<QString> m_listingsOpen;          // "/" + folder whose listing has not finished
    QHash<QString, QByteArray> m_downloads; // key path -> bytes received so far
    QSet<QString> m_madeDirs;               // download folders made (or found) this run

    int m_batchFilesDone = 0;
    qint64 m_batchBytesDone = 0;
    QString m_currentFile;
    bool m_reportedActive = false;
    ExchangeProgress m_reportedProgress;
    QTimer m_listTimer;
    QTimer m_progressTimer;
    QElapsedTimer m_sinceTraffic; // since the last file reply (or the batch's first request)
    int m_stallMs = 10 * td::timing::queueReplyTimeout; // longer than a key's whole resend run
    int m_stallRounds = 0;
};
