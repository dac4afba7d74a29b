#include "protocol/FileExchange.h"

#include "base/AtomicFile.h"
#include "base/Log.h"
#include "base/Paths.h"
#include "protocol/KeySender.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>
#include <system_error>

namespace {

constexpr quint8 kClassFile = 0x31;
constexpr quint8 kSubCodeFile = 0x00;
constexpr int kNotifyPage = 2;
// The flag of a read whose arrival announces nothing (FetchOne).
constexpr int kQuietRead = -1;

bool fitsNameField(const QString &keyPath)
{
    return keyPath.toUtf8().size() <= FileCmdHeader::MaxNameBytes;
}

// "/folder" as key folders travel; the folder must stay below the download folder.
bool splitKeyDir(const QString &keyDir, QString *folder)
{
    if (!keyDir.startsWith(QLatin1Char('/')) || !fitsNameField(keyDir))
        return false;
    const QString f = keyDir.mid(1);
    if (!Paths::isSafeRelativePath(f) || Paths::isPcOwnedFolder(f))
        return false;
    *folder = f;
    return true;
}

} // namespace

FileExchange::FileExchange(KeySender *sender, QObject *parent, int listTickMs, int progressTickMs)
    : QObject(parent), m_sender(sender)
{
    qRegisterMetaType<ExchangeProgress>("ExchangeProgress");
    connect(&m_listTimer, &QTimer::timeout, this, &FileExchange::slot_iTmrFileReadWriteList);
    connect(&m_progressTimer, &QTimer::timeout, this, &FileExchange::slot_iTmrProgressExchange);
    if (listTickMs > 0)
        m_listTimer.start(listTickMs);
    if (progressTickMs > 0)
        m_progressTimer.start(progressTickMs);
}

QString FileExchange::localPath(const QString &folder, const QString &file)
{
    return Paths::downloadDir(folder) + QLatin1Char('/') + file;
}

bool FileExchange::splitKeyPath(const QString &keyPath, QString *folder, QString *file)
{
    if (!keyPath.startsWith(QLatin1Char('/')) || !fitsNameField(keyPath))
        return false;
    const int slash = keyPath.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0)
        return false;
    const QString f = keyPath.mid(1, slash - 1);
    const QString n = keyPath.mid(slash + 1);
    if (!Paths::isSafeRelativePath(f) || Paths::isPcOwnedFolder(f) || !Paths::isSafeName(n))
        return false;
    *folder = f;
    *file = n;
    return true;
}

bool FileExchange::isBusy() const
{
    return !m_pending.isEmpty() || !m_listingsOpen.isEmpty();
}

void FileExchange::startBatchIfIdle()
{
    if (isBusy())
        return;
    m_batchFilesDone = 0;
    m_batchBytesDone = 0;
    m_currentFile.clear();
}

ExchangeProgress FileExchange::progress() const
{
    ExchangeProgress p;
    p.active = isBusy();
    p.filesDone = m_batchFilesDone;
    p.filesTotal = m_batchFilesDone + m_pending.size();
    p.bytesDone = m_batchBytesDone;
    p.bytesTotal = m_batchBytesDone;
    for (const TransferEntry &e : m_pending) {
        p.bytesDone += e.bytesDone;
        p.bytesTotal += qMax(e.size, e.bytesDone);
    }
    p.currentFile = m_currentFile;
    return p;
}

bool FileExchange::sendCommand(const FileCmdHeader &header, const QByteArray &data)
{
    if (!m_sender)
        return false;
    if (!m_sinceTraffic.isValid())
        m_sinceTraffic.start();
    return m_sender->send(kClassFile, kSubCodeFile, header.toBytes(data), 0);
}

int FileExchange::findEntry(const QString &keyPath, int command) const
{
    for (int i = 0; i < m_pending.size(); ++i) {
        if (m_pending.at(i).command == command && m_pending.at(i).keyPath == keyPath)
            return i;
    }
    return -1;
}

bool FileExchange::addEntry(const TransferEntry &e)
{
    if (findEntry(e.keyPath, e.command) >= 0) {
        td::log(QStringLiteral("TRY REPEAT ADD PATH=") + e.keyPath);
        return false;
    }
    startBatchIfIdle();
    TransferEntry added = e;
    added.state = 0;
    m_pending.append(added);
    td::log(QStringLiteral("OK ADD PATH=") + e.keyPath);
    return true;
}

void FileExchange::finishEntry(int index)
{
    const TransferEntry &e = m_pending.at(index);
    m_batchFilesDone += 1;
    m_batchBytesDone += qMax(e.bytesDone, qMax<qint64>(e.size, 0));
    m_pending.removeAt(index);
}

void FileExchange::removeLocalFiles(const QString &folder)
{
    QDir dir(Paths::downloadDir(folder));
    if (!dir.exists())
        return;
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &f : files) {
        if (!dir.remove(f))
            td::log(QStringLiteral("Can't delete local file ") + dir.filePath(f));
    }
}

bool FileExchange::GetFromKey(const QString &folder, const QString &name)
{
    const QString keyDir = QLatin1Char('/') + folder;
    QString checked;
    if (!splitKeyDir(keyDir, &checked)) {
        td::log(QStringLiteral("GetFromKey: folder refused: ") + folder);
        emit statusMessage(tr("Folder name not allowed: ") + folder);
        return false;
    }
    if (name == QLatin1String("*")) {
        removeLocalFiles(folder);
        startBatchIfIdle();
        if (!m_readDirs.contains(keyDir))
            m_readDirs.append(keyDir);
        sendReadDir(keyDir);
        return true;
    }
    const QString keyPath = keyDir + QLatin1Char('/') + name;
    if (!Paths::isSafeName(name) || !fitsNameField(keyPath)) {
        td::log(QStringLiteral("GetFromKey: file name refused: ") + keyPath);
        return false;
    }
    issueRead(keyDir, name, keyDir, 1);
    return true;
}

bool FileExchange::FetchOne(const QString &folder, const QString &name)
{
    const QString keyDir = QLatin1Char('/') + folder;
    QString checked;
    const QString keyPath = keyDir + QLatin1Char('/') + name;
    if (!splitKeyDir(keyDir, &checked) || !Paths::isSafeName(name) || !fitsNameField(keyPath)) {
        td::log(QStringLiteral("FetchOne: key path refused: ") + keyPath);
        return false;
    }
    issueRead(keyDir, name, QString(), kQuietRead);
    return true;
}

void FileExchange::issueRead(const QString &keyDir, const QString &file, const QString &group,
                             int flag)
{
    TransferEntry e;
    e.keyPath = keyDir + QLatin1Char('/') + file;
    e.fileText = file;
    e.keyDir = keyDir;
    e.group = group;
    e.command = FileCmdHeader::FA_READ;
    e.flag = flag;
    addEntry(e);

    FileCmdHeader h;
    h.setFileName(e.keyPath);
    h.command = FileCmdHeader::FA_READ;
    sendCommand(h);
}

void FileExchange::sendReadDir(const QString &keyDir)
{
    m_listingsOpen.insert(keyDir);
    FileCmdHeader h;
    h.setFileName(keyDir);
    h.command = FileCmdHeader::FA_READ_DIR;
    sendCommand(h);
}

bool FileExchange::PutToKey(const QString &keyFolder, const QString &localPath,
                            const QString &group, int flag)
{
    QString folder;
    const QString fileName = QFileInfo(localPath).fileName();
    const QString keyPath = keyFolder + QLatin1Char('/') + fileName;
    if (!splitKeyDir(keyFolder, &folder) || !Paths::isSafeName(fileName) || !fitsNameField(keyPath)) {
        td::log(QStringLiteral("PutToKey: key path refused: ") + keyPath);
        emit statusMessage(tr("Folder name not allowed: ") + keyFolder.mid(1));
        return false;
    }

    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly)) {
        td::log(QStringLiteral("PutToKey: can't open ") + localPath);
        emit statusMessage(tr("Can't read file: ") + localPath);
        return false;
    }
    const QByteArray content = file.read(MaxDownloadBytes + 1);
    if (content.size() > MaxDownloadBytes || file.error() != QFileDevice::NoError) {
        td::log(QStringLiteral("PutToKey: can't read ") + localPath + QStringLiteral(" whole"));
        emit statusMessage(tr("Can't read file: ") + localPath);
        return false;
    }
    return putContent(keyFolder, localPath, content, group, flag);
}

bool FileExchange::putContent(const QString &keyFolder, const QString &localPath,
                              const QByteArray &content, const QString &group, int flag)
{
    const QString keyPath = keyFolder + QLatin1Char('/') + QFileInfo(localPath).fileName();
    const QByteArray first = content.left(FileCmdHeader::MaxData);

    TransferEntry e;
    e.keyPath = keyPath;
    e.fileText = localPath;
    e.keyDir = keyFolder;
    e.pcRoot = QString(localPath).remove(keyPath);
    e.group = group;
    e.command = FileCmdHeader::FA_WRITE;
    e.flag = flag;
    e.content = content;
    e.size = content.size();
    e.bytesDone = first.size();
    const bool added = addEntry(e);
    if (!added) {
        // The key will now receive this file from offset 0; the parts it asks for next
        // must come from the same file, not from an earlier one put under the same name.
        TransferEntry &listed = m_pending[findEntry(keyPath, FileCmdHeader::FA_WRITE)];
        listed.fileText = e.fileText;
        listed.pcRoot = e.pcRoot;
        listed.content = e.content;
        listed.size = e.size;
        listed.bytesDone = e.bytesDone;
    }

    FileCmdHeader h;
    h.setFileName(keyPath);
    h.command = FileCmdHeader::FA_WRITE;
    h.status = first.size() == FileCmdHeader::MaxData ? FileCmdHeader::StatusMore
                                                      : FileCmdHeader::StatusFinished;
    m_currentFile = keyPath;
    if (sendCommand(h, first))
        return true;
    td::log(QStringLiteral("PutToKey: no link took ") + keyPath);
    // Nothing will ever answer a write that never left.
    if (added)
        m_pending.removeAt(findEntry(keyPath, FileCmdHeader::FA_WRITE));
    return false;
}

bool FileExchange::PutFileToFolder(const QString &folder, const QString &localPath, bool remember)
{
    QString checked;
    if (!splitKeyDir(QLatin1Char('/') + folder, &checked)) {
        td::log(QStringLiteral("PutFileToFolder: folder refused: ") + folder);
        emit statusMessage(tr("Folder name not allowed: ") + folder);
        return false;
    }
    const bool added = remember && !m_writeDirs.contains(folder);
    if (added)
        m_writeDirs.append(folder);
    const QString keyDir = QLatin1Char('/') + folder;
    if (PutToKey(keyDir, localPath, keyDir, 0))
        return true;
    // Nothing went out, so nothing will finish and fetch the folder back.
    if (added)
        m_writeDirs.removeAll(folder);
    return false;
}

void FileExchange::HandleFileCommand(const uchar *payload, int available,
                                     const QString &interfaceName)
{
    if (m_sender)
        m_sender->AckReply(interfaceName);

    FileCmdHeader h;
    QByteArray data;
    QString why;
    if (!FileCmdHeader::parse(payload, available, &h, &data, &why)) {
        td::log(QStringLiteral("*** ERROR *** CMD_READ_WRITE_FILE refused: ") + why);
        return;
    }
    m_sinceTraffic.restart();
    m_stallRounds = 0;
    switch (h.command) {
    case FileCmdHeader::FA_READ:
        handleReadReply(h, data);
        break;
    case FileCmdHeader::FA_WRITE:
        handleWriteReply(h);
        break;
    case FileCmdHeader::FA_READ_DIR:
        handleDirReply(h, data);
        break;
    default:
        td::log(QStringLiteral("*** ERROR *** CMD_READ_WRITE_FILE UNKNOWN COMMAND"));
    }
}

void FileExchange::handleReadReply(const FileCmdHeader &h, const QByteArray &data)
{
    const QString name = h.fileName();
    if (h.status == FileCmdHeader::StatusError) {
        td::log(QStringLiteral("CMD_READ_WRITE_FILE: READ Filename:") + name
                + QStringLiteral(" ERROR"));
        m_downloads.remove(name);
        reportFailure(name, tr("the key could not read it"));
        return;
    }
    if (h.status != FileCmdHeader::StatusMore && h.status != FileCmdHeader::StatusFinished) {
        td::log(QStringLiteral("CMD_READ_WRITE_FILE: READ Filename BAD !!!!!!!!!!!"));
        return;
    }
    QString folder, file;
    if (!splitKeyPath(name, &folder, &file)) {
        td::log(QStringLiteral("CMD_READ_WRITE_FILE: READ Filename refused: ") + name);
        return;
    }

    // Parts are collected in memory and the local file is replaced in one step when the
    // last one arrives: an interrupted transfer leaves the old copy, never a half file, and
    // a shorter new version leaves no stale tail.
    if (h.seek == 0) {
        m_downloads.insert(name, data);
    } else {
        auto it = m_downloads.find(name);
        if (it == m_downloads.end() || h.seek > it->size()) {
            td::log(QStringLiteral("CMD_READ_WRITE_FILE: READ Filename:") + name
                    + QStringLiteral(" part at seek=%1 does not follow the data received, dropped")
                          .arg(h.seek));
            return;
        }
        it->truncate(h.seek);
        it->append(data);
    }
    const qint64 received = m_downloads.value(name).size();
    if (received > MaxDownloadBytes) {
        td::log(QStringLiteral("CMD_READ_WRITE_FILE: READ Filename:") + name
                + QStringLiteral(" larger than %1 bytes, dropped").arg(MaxDownloadBytes));
        m_downloads.remove(name);
        return;
    }
    const int index = findEntry(name, FileCmdHeader::FA_READ);
    if (index >= 0)
        m_pending[index].bytesDone = received;
    m_currentFile = name;

    if (h.status == FileCmdHeader::StatusMore) {
        const qint64 next = qint64(h.seek) + h.length;
        if (h.length == 0 || next > std::numeric_limits<qint32>::max()) {
            // Asking again at the same offset would loop for ever.
            td::log(QStringLiteral("CMD_READ_WRITE_FILE: READ Filename:") + name
                    + QStringLiteral(" part without progress at seek=%1, dropped").arg(h.seek));
            m_downloads.remove(name);
            return;
        }
        FileCmdHeader ask;
        ask.nameField = h.nameField;
        ask.command = FileCmdHeader::FA_READ;
        ask.seek = qint32(next);
        sendCommand(ask);
        td::log(QStringLiteral("CMD_READ_WRITE_FILE: READ Filename:") + name
                + QStringLiteral("seek=%1").arg(next));
        return;
    }

    td::log(QStringLiteral("CMD_READ_WRITE_FILE: READ Filename:") + name + QStringLiteral(" FINISH")
            + QStringLiteral(" seek=%1").arg(h.seek));
    const QByteArray content = m_downloads.take(name);
    const QString target = localPath(folder, file);
    // The folder is made once, not tried again for each of the thousand files of a read-out;
    // should someone remove it meanwhile, the failed write makes it again.
    const QString dir = Paths::downloadDir(folder);
    if (!m_madeDirs.contains(dir) && QDir().mkpath(dir))
        m_madeDirs.insert(dir);
    QString why;
    bool written = AtomicFile::write(target, content, &why, AtomicFile::Durability::RenameOnly);
    if (!written && !QFileInfo(dir).isDir() && QDir().mkpath(dir))
        written = AtomicFile::write(target, content, &why, AtomicFile::Durability::RenameOnly);
    if (!written)
        td::log(QStringLiteral("CMD_READ_WRITE_FILE: READ Filename:") + name
                + QStringLiteral(" local file not written: ") + why);
    FileReceived(name, h.notify);
    if (written)
        emit fileFetched(folder, file);
    else
        emit transferFailed(folder, file, why);
}

void FileExchange::handleWriteReply(const FileCmdHeader &h)
{
    const QString name = h.fileName();
    if (h.status == FileCmdHeader::StatusError) {
        td::log(QStringLiteral("CMD_READ_WRITE_FILE: WRITE Filename:") + name
                + QStringLiteral(" ERROR"));
        reportFailure(name, tr("the key refused to write it"));
        return;
    }
    if (h.status == FileCmdHeader::StatusMore) {
        const int index = findEntry(name, FileCmdHeader::FA_WRITE);
        if (index < 0) {
            td::log(QStringLiteral("CMD_READ_WRITE_FILE: WRITE Filename:") + name
                    + QStringLiteral(" not pending, nothing sent"));
            return;
        }
        const QByteArray &content = m_pending.at(index).content;
        if (h.seek > content.size()) {
            td::log(QStringLiteral("CMD_READ_WRITE_FILE: WRITE Filename:") + name
                    + QStringLiteral(" seek=%1 beyond the file, nothing sent").arg(h.seek));
            return;
        }
        const QByteArray part = content.mid(h.seek, FileCmdHeader::MaxData);
        FileCmdHeader answer = h;
        answer.status = part.size() == FileCmdHeader::MaxData ? FileCmdHeader::StatusMore
                                                              : FileCmdHeader::StatusFinished;
        TransferEntry &e = m_pending[index];
        e.bytesDone = qMax(e.bytesDone, qint64(h.seek) + part.size());
        m_currentFile = name;
        sendCommand(answer, part);
        td::log(QStringLiteral("CMD_READ_WRITE_FILE: WRITE Filename:") + name
                + QStringLiteral(" seek=%1").arg(h.seek));
        return;
    }
    td::log(QStringLiteral("CMD_READ_WRITE_FILE: WRITE Filename:") + name + QStringLiteral(" FINISH")
            + QStringLiteral(" seek=%1").arg(h.seek));
    FileWritten(name, h.notify);
}

void FileExchange::handleDirReply(const FileCmdHeader &h, const QByteArray &data)
{
    const QString keyDir = h.fileName();
    QString folder;
    const bool folderOk = splitKeyDir(keyDir, &folder);
    if (h.status == FileCmdHeader::StatusError) {
        td::log(QStringLiteral("CMD_READ_WRITE_FILE DIR LIST ERROR"));
        // A folder the key cannot list is finished as an empty one, so it does not hold
        // back the completion of the other folders being fetched.
        if (folderOk && m_listingsOpen.remove(keyDir))
            checkReadFoldersComplete();
        return;
    }
    if (!folderOk) {
        td::log(QStringLiteral("CMD_READ_WRITE_FILE DIR LIST refused: ") + keyDir);
        return;
    }
    td::log(QStringLiteral("CMD_READ_WRITE_FILE DIR LIST:"));
    QByteArray current;
    for (const char c : data) {
        if (c == '\0')
            break;
        if (c != '\n' && c != '\r') {
            current += c;
            continue;
        }
        const QString entryName = QString::fromUtf8(current);
        current.clear();
        if (c == '\r') {
            td::log(QStringLiteral("DIR=") + entryName);
            continue;
        }
        td::log(QStringLiteral("FILE=") + entryName);
        const QString keyPath = keyDir + QLatin1Char('/') + entryName;
        if (!Paths::isSafeName(entryName) || !fitsNameField(keyPath)) {
            td::log(QStringLiteral("CMD_READ_WRITE_FILE DIR LIST name refused: ") + entryName);
            continue;
        }
        TransferEntry e;
        e.keyPath = keyPath;
        e.fileText = entryName;
        e.keyDir = keyDir;
        e.group = keyDir;
        e.command = FileCmdHeader::FA_READ;
        addEntry(e);
    }

    if (h.status == FileCmdHeader::StatusMore) {
        // The header goes back exactly as it came; the key reads from it where to go on.
        if (m_sender)
            m_sender->send(kClassFile, kSubCodeFile, h.toBytes(), 0);
        return;
    }
    td::log(QStringLiteral("CMD_READ_WRITE_FILE DIR LIST FINISH"));
    FolderListed(keyDir);
}

void FileExchange::FolderListed(const QString &keyDir)
{
    emit statusMessage(tr("Got dir ../") + keyDir.mid(1));
    const QList<TransferEntry> snapshot = m_pending;
    for (const TransferEntry &e : snapshot) {
        if (e.keyDir != keyDir)
            continue;
        const int index = findEntry(e.keyPath, e.command);
        if (index < 0)
            continue;
        m_pending[index].repeated = 1;
        if (e.command == FileCmdHeader::FA_READ) {
            td::log(QStringLiteral("REPEAT File_ReadWriteDir: FA_READ Dir=") + keyDir
                    + QStringLiteral(" File=") + e.fileText);
            issueRead(e.keyDir, e.fileText, e.group, e.flag);
        } else {
            td::log(QStringLiteral("REPEAT File_ReadWriteDir: FA_WRITE Dir=") + keyDir
                    + QStringLiteral(" File=") + e.fileText);
            putContent(e.keyDir, e.fileText, e.content, e.group, e.flag);
        }
    }
    // An empty folder brings no file whose arrival would finish it.
    if (m_listingsOpen.remove(keyDir))
        checkReadFoldersComplete();
}

void FileExchange::checkReadFoldersComplete()
{
    if (m_readDirs.isEmpty())
        return;
    for (const TransferEntry &e : qAsConst(m_pending)) {
        if (m_readDirs.contains(e.group))
            return;
    }
    for (const QString &d : qAsConst(m_readDirs)) {
        if (m_listingsOpen.contains(d))
            return;
    }
    td::log(QStringLiteral("DirReadAllFilesNotification: count=%1").arg(m_readDirs.size()));
    // Emptied first: a page reacting to the notification may start the next fetch.
    const QStringList done = m_readDirs;
    m_readDirs.clear();
    for (const QString &d : done) {
        td::log(QStringLiteral("RX DIR: ") + d);
        emit slot_files_got_dir(d);
        if (d == QLatin1String("/dbsett"))
            emit waitAnimationRequested(false);
    }
}

void FileExchange::FileReceived(const QString &keyPath, int notify)
{
    QString folder, file;
    if (!splitKeyPath(keyPath, &folder, &file))
        return;
    const int index = findEntry(keyPath, FileCmdHeader::FA_READ);
    const bool quiet = index >= 0 && m_pending.at(index).flag == kQuietRead;
    if (index >= 0) {
        td::log(QStringLiteral("DELETE PATH=") + keyPath);
        td::log(QStringLiteral("COUNT RD=%1 ").arg(m_pending.size()) + QStringLiteral("Got file ..")
                + QLatin1Char('/') + folder + QLatin1Char('/') + file);
        finishEntry(index);
    }
    if (m_readDirs.isEmpty() && !quiet)
        m_readDirs.append(QLatin1Char('/') + folder);
    checkReadFoldersComplete();
    emit statusMessage(tr("Got file ../") + folder + QLatin1Char('/') + file);
    if (notify == kNotifyPage)
        emit slot_files_got_file(QStringList{folder, file});
}

void FileExchange::FileWritten(const QString &keyPath, int notify)
{
    QString folder, file;
    if (!splitKeyPath(keyPath, &folder, &file)) {
        td::log(QStringLiteral("CMD_READ_WRITE_FILE: WRITE Filename refused: ") + keyPath);
        return;
    }
    const int index = findEntry(keyPath, FileCmdHeader::FA_WRITE);
    if (index >= 0) {
        td::log(QStringLiteral("DELETE PATH=") + keyPath);
        td::log(QStringLiteral("COUNT WR=%1 ").arg(m_pending.size()) + QStringLiteral("Put file ..")
                + QLatin1Char('/') + folder + QLatin1Char('/')
                + QFileInfo(m_pending.at(index).fileText).fileName());
        finishEntry(index);
    }

    bool folderBusy = false;
    for (const TransferEntry &e : qAsConst(m_pending)) {
        for (const QString &w : qAsConst(m_writeDirs)) {
            if (e.group == QLatin1Char('/') + w)
                folderBusy = true;
        }
    }
    if (!folderBusy && !m_writeDirs.isEmpty()) {
        td::log(QStringLiteral("DirWriteAllFilesNotification: count=%1").arg(m_writeDirs.size()));
        const QStringList done = m_writeDirs;
        m_writeDirs.clear();
        for (const QString &w : done) {
            td::log(QStringLiteral("  DirWriteAllFilesNotification DIR=") + w);
            GetFromKey(w, QStringLiteral("*"));
        }
    }
    emit statusMessage(tr("Put file ../") + folder + QLatin1Char('/') + file);
    emit fileStored(folder, file);
    if (notify == kNotifyPage) {
        td::log(QStringLiteral("FileWriteNotification ") + keyPath);
        emit files_put_file(QStringList{folder, file});
    }
}

void FileExchange::HandleFileSystemStatus(const QString &dirname, const QString &filename,
                                          int changetype)
{
    const QString folder = dirname.startsWith(QLatin1Char('/')) ? dirname.mid(1) : dirname;
    if (!Paths::isSafeRelativePath(folder) || Paths::isPcOwnedFolder(folder)) {
        td::log(QStringLiteral("FE_FileSystem_Status: folder refused: ") + dirname);
        return;
    }
    // Change types that name one file must name a real one: "*" would turn into a fetch
    // of the whole folder.
    const bool fileOk = Paths::isSafeName(filename) && filename != QLatin1String("*");
    auto refuseFile = [&]() {
        td::log(QStringLiteral("FE_FileSystem_Status: file name refused: ") + filename);
    };
    switch (changetype) {
    case 1:
    case 3:
    case 4:
    case 14:
        if (!fileOk)
            return refuseFile();
        GetFromKey(folder, filename);
        break;
    case 2:
        if (!fileOk)
            return refuseFile();
        QFile::remove(localPath(folder, filename));
        emit recordsRebuildRequested();
        break;
    case 5:
    case 13:
        GetFromKey(folder, QStringLiteral("*"));
        break;
    case 6:
        removeLocalFiles(folder);
        emit recordsRebuildRequested();
        td::log(QStringLiteral("JSON_CHNG_TYPE_ALL_RECORDS_DELETED"));
        break;
    case 7:
    case 8:
    case 11:
    case 12:
        td::log(QStringLiteral("Notification FE_FileSystem_Status: %1").arg(changetype));
        break;
    case 9:
    case 10:
        if (!fileOk)
            return refuseFile();
        GetFromKey(folder, filename);
        td::log(QStringLiteral("Notification FE_FileSystem_Status: %1").arg(changetype));
        break;
    default:
        break;
    }
}

void FileExchange::clearTransfers()
{
    m_pending.clear();
    m_readDirs.clear();
    m_writeDirs.clear();
    m_listingsOpen.clear();
    m_downloads.clear();
    m_batchFilesDone = 0;
    m_batchBytesDone = 0;
    m_currentFile.clear();
}

void FileExchange::checkStalled()
{
    if (!isBusy()) {
        m_sinceTraffic.invalidate();
        m_stallRounds = 0;
        return;
    }
    if (!m_sinceTraffic.isValid() || m_sinceTraffic.elapsed() < m_stallMs)
        return;
    constexpr int maxRounds = 3;
    if (++m_stallRounds > maxRounds) {
        td::log(QStringLiteral("File exchange: no answer from the key, %1 transfers given up")
                    .arg(m_pending.size() + m_listingsOpen.size()));
        const QList<TransferEntry> givenUp = m_pending;
        clearTransfers();
        for (const TransferEntry &e : givenUp)
            reportFailure(e.keyPath, tr("the key does not answer"));
        m_sinceTraffic.invalidate();
        m_stallRounds = 0;
        emit statusMessage(tr("The key does not answer: file exchange stopped"));
        emit waitAnimationRequested(false);
        return;
    }
    td::log(QStringLiteral("File exchange stalled: sending %1 transfers again")
                .arg(m_pending.size() + m_listingsOpen.size()));
    m_sinceTraffic.restart();
    const QStringList listings = m_listingsOpen.values();
    for (const QString &keyDir : listings)
        sendReadDir(keyDir);
    const QList<TransferEntry> snapshot = m_pending;
    for (const TransferEntry &e : snapshot) {
        // A read goes on from the parts already here: starting a long file again from its
        // first part would only give a lossy line more chances to stall it.
        if (e.command == FileCmdHeader::FA_READ)
            askRead(e.keyPath, qint32(m_downloads.value(e.keyPath).size()));
        else
            putContent(e.keyDir, e.fileText, e.content, e.group, e.flag);
    }
}

void FileExchange::reportFailure(const QString &keyPath, const QString &why)
{
    QString folder, file;
    if (splitKeyPath(keyPath, &folder, &file))
        emit transferFailed(folder, file, why);
}

void FileExchange::askRead(const QString &keyPath, qint32 seek)
{
    FileCmdHeader h;
    h.setFileName(keyPath);
    h.command = FileCmdHeader::FA_READ;
    h.seek = seek;
    sendCommand(h);
}

void FileExchange::requestGivenUp(const QByteArray &payload)
{
    if (payload.size() < FileCmdHeader::Size)
        return;
    // A listing goes on with the key's own header echoed, whose length names data that is
    // not sent along; only the header matters here.
    QByteArray header = payload.left(FileCmdHeader::Size);
    std::fill(header.begin() + 136, header.end(), '\0');
    FileCmdHeader h;
    if (!FileCmdHeader::parse(reinterpret_cast<const uchar *>(header.constData()), header.size(), &h,
                              nullptr, nullptr))
        return;
    const QString name = h.fileName();
    bool waited = false;
    switch (h.command) {
    case FileCmdHeader::FA_READ:
        // Only the part that would come next; an older request was overtaken meanwhile.
        waited = findEntry(name, FileCmdHeader::FA_READ) >= 0 && m_downloads.value(name).size() == h.seek;
        break;
    case FileCmdHeader::FA_WRITE:
        waited = findEntry(name, FileCmdHeader::FA_WRITE) >= 0;
        break;
    case FileCmdHeader::FA_READ_DIR:
        waited = m_listingsOpen.contains(name);
        break;
    default:
        break;
    }
    if (!waited || !m_sender)
        return;
    td::log(QStringLiteral("CMD_READ_WRITE_FILE: no answer for ") + name
            + QStringLiteral(" seek=%1, asking again").arg(h.seek));
    m_sender->send(kClassFile, kSubCodeFile, payload, 0);
}

void FileExchange::slot_iTmrFileReadWriteList()
{
    checkStalled();
    const bool active = isBusy();
    if (active == m_reportedActive)
        return;
    m_reportedActive = active;
    emit transfersActiveChanged(active);
}

void FileExchange::slot_iTmrProgressExchange()
{
    const ExchangeProgress p = progress();
    if (p == m_reportedProgress)
        return;
    m_reportedProgress = p;
    emit progressChanged(p);
}
