// How a finished download takes its place in the mirror: whole, in one step, with the
// permissions any new file gets, nothing left beside it, and a place that cannot take it
// left as it was.
#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "protocol/FileCmdHeader.h"
#include "protocol/FileExchange.h"
#include "protocol/KeySender.h"
#include "protocol/KeyTransport.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

class NullTransport : public KeyTransport
{
public:
    bool queueCommand(quint8, quint8, const QByteArray &, quint8, int) override { return true; }
    void ackReply(const QString &) override {}
};

QByteArray bytes(int size, char seed)
{
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        b[i] = char(seed + i * 7);
    return b;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TestDownloadCommit : public QObject
{
    Q_OBJECT

    QTemporaryDir *root = nullptr;
    cGlobalData global;
    NullTransport usb;
    KeySender *sender = nullptr;
    FileExchange *files = nullptr;

    // The key's answer to a read of /folder/name: the file in parts of 512 bytes.
    void answer(const QString &folder, const QString &name, const QByteArray &content)
    {
        for (int seek = 0;; seek += FileCmdHeader::MaxData) {
            const QByteArray part = content.mid(seek, FileCmdHeader::MaxData);
            FileCmdHeader h;
            h.setFileName(QLatin1Char('/') + folder + QLatin1Char('/') + name);
            h.command = FileCmdHeader::FA_READ;
            h.seek = seek;
            const bool more = seek + part.size() < content.size();
            h.status = more ? FileCmdHeader::StatusMore : FileCmdHeader::StatusFinished;
            const QByteArray payload = h.toBytes(part);
            files->HandleFileCommand(reinterpret_cast<const uchar *>(payload.constData()), payload.size(), QString());
            if (!more)
                return;
        }
    }

    QStringList entries(const QString &folder) const
    {
        return QDir(Paths::downloadDir(folder))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    }

private slots:
    void init()
    {
        root = new QTemporaryDir;
        Paths::setDataRoot(root->path());
        sender = new KeySender(&global);
        sender->setModeSource([] { return LinkMode::Usb; });
        sender->setUsbTransport(&usb);
        files = new FileExchange(sender, nullptr, 0, 0);
    }
    void cleanup()
    {
        delete files;
        delete sender;
        Paths::setDataRoot(QString());
        delete root;
    }

    void downloadReplacesTheCopyWholeAndLeavesNothingBeside()
    {
        // Into a folder that does not exist yet, then over a longer copy.
        QVERIFY(files->GetFromKey(QStringLiteral("dbsett"), QStringLiteral("r1")));
        answer(QStringLiteral("dbsett"), QStringLiteral("r1"), bytes(3000, 1));
        QCOMPARE(readFile(FileExchange::localPath("dbsett", "r1")), bytes(3000, 1));
        QVERIFY(files->GetFromKey(QStringLiteral("dbsett"), QStringLiteral("r1")));
        answer(QStringLiteral("dbsett"), QStringLiteral("r1"), bytes(612, 2));
        QCOMPARE(readFile(FileExchange::localPath("dbsett", "r1")), bytes(612, 2));
        QCOMPARE(entries(QStringLiteral("dbsett")), QStringList{QStringLiteral("r1")});
        QVERIFY(files->pendingList().isEmpty());

        // A new file is readable like any other the program makes, not private to it.
        QFile plain(Paths::downloadDir(QStringLiteral("dbsett")) + QStringLiteral("/plain"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QCOMPARE(QFile::permissions(FileExchange::localPath("dbsett", "r1")), plain.permissions());

        // The folder removed between two downloads (by the user, or a reset of the mirror):
        // the next file makes it again instead of being lost.
        QVERIFY(QDir(Paths::downloadDir(QStringLiteral("dbsett"))).removeRecursively());
        QVERIFY(files->GetFromKey(QStringLiteral("dbsett"), QStringLiteral("r2")));
        answer(QStringLiteral("dbsett"), QStringLiteral("r2"), bytes(700, 4));
        QCOMPARE(readFile(FileExchange::localPath("dbsett", "r2")), bytes(700, 4));
        QCOMPARE(entries(QStringLiteral("dbsett")), QStringList{QStringLiteral("r2")});
    }

    void placeThatCannotTakeTheFileIsLeftAsItWas()
    {
        // A folder of the user's stands where the key's file would go.
        const QString blocked = FileExchange::localPath("templates", "FioTypes");
        QVERIFY(QDir().mkpath(blocked));
        QFile inside(blocked + QStringLiteral("/mine"));
        QVERIFY(inside.open(QIODevice::WriteOnly));
        inside.write("mine");
        inside.close();
        QSignalSpy done(files, SIGNAL(slot_files_got_dir(QString)));

        QVERIFY(files->GetFromKey(QStringLiteral("templates"), QStringLiteral("FioTypes")));
        answer(QStringLiteral("templates"), QStringLiteral("FioTypes"), bytes(1300, 3));

        QVERIFY(QFileInfo(blocked).isDir());
        QCOMPARE(readFile(blocked + QStringLiteral("/mine")), QByteArray("mine"));
        QCOMPARE(entries(QStringLiteral("templates")), QStringList{QStringLiteral("FioTypes")});
        // The transfer is over all the same: nothing waits for a file that cannot be kept.
        QVERIFY(files->pendingList().isEmpty());
        QCOMPARE(done.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDownloadCommit)
#include "tst_downloadcommit.moc"
