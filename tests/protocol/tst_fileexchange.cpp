// The file exchange driven through whole transfers against an in-memory key, and fed with
// crafted replies for everything a broken or hostile key could send.

#include "FakeKeyFiles.h"
#include "ProtocolTestSupport.h"

#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySender.h"
#include "records/MenuLevels.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

QByteArray pattern(int size, char seed = 'a')
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(seed + (i * 7 + i / 13) % 26);
    return b;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

// Every file below dir, relative to it.
QStringList allFiles(const QString &dir)
{
    QStringList out;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(dir).relativeFilePath(it.next());
    out.sort();
    return out;
}

} // namespace

class TestFileExchange : public QObject
{
    Q_OBJECT

    QTemporaryDir *sandbox = nullptr; // root of the data root, so escapes are visible
    QString root;
    std::unique_ptr<ProtocolStack> rig;
    FakeKeyFiles key;
    int answered = 0;

    // Answers every command sent so far, in order, as the transmit queue would pace them,
    // including the ones the answers cause. Returns how many were answered.
    int pump(int limit = 10000)
    {
        int n = 0;
        while (answered < rig->usb.sent.size() && n < limit) {
            const SentCommand c = rig->usb.sent.at(answered++);
            ++n;
            if (c.packetClass != 0x31)
                continue;
            const QByteArray reply = key.answer(c);
            if (!reply.isEmpty())
                rig->protocol.iReceiveUart_Click(fileFrame(reply));
        }
        return n;
    }

    void feed(const QByteArray &reply) { rig->protocol.iReceiveUart_Click(fileFrame(reply)); }

    QList<FileCmdHeader> sentHeaders(int from = 0) const
    {
        QList<FileCmdHeader> out;
        for (int i = from; i < rig->usb.sent.size(); ++i)
            if (rig->usb.sent[i].packetClass == 0x31)
                out << rig->usb.sent[i].fileHeader();
        return out;
    }

    QString local(const QString &folder, const QString &file) const
    {
        return FileExchange::localPath(folder, file);
    }

private slots:
    void init()
    {
        sandbox = new QTemporaryDir;
        QVERIFY(sandbox->isValid());
        root = sandbox->path() + QStringLiteral("/data/root");
        QVERIFY(QDir().mkpath(root));
        Paths::setDataRoot(root);
        rig = std::make_unique<ProtocolStack>();
        key = FakeKeyFiles();
        answered = 0;
    }
    void cleanup()
    {
        // Nothing may ever appear outside the data root.
        QCOMPARE(QDir(sandbox->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"data"});
        QCOMPARE(QDir(sandbox->path() + "/data").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"root"});
        rig.reset();
        Paths::setDataRoot(QString());
        delete sandbox;
    }

    void headerCodec()
    {
        FileCmdHeader h;
        QVERIFY(h.setFileName(QStringLiteral("/dbsett/0001ABC000000100")));
        h.command = FileCmdHeader::FA_WRITE;
        h.status = 0xFF;
        h.notify = 2;
        h.seek = 0x01020304;
        const QByteArray bytes = h.toBytes(QByteArray(3, 'x'));
        QCOMPARE(bytes.size(), 143);
        QCOMPARE(bytes.mid(128, 12), QByteArray::fromHex("02ff02000403020103000000"));
        FileCmdHeader back;
        QByteArray data;
        QVERIFY(FileCmdHeader::parse(reinterpret_cast<const uchar *>(bytes.constData()), bytes.size(), &back,
                                     &data, nullptr));
        QCOMPARE(back.fileName(), QStringLiteral("/dbsett/0001ABC000000100"));
        QCOMPARE(back.toBytes(), bytes.left(140));
        QCOMPARE(data, QByteArray(3, 'x'));

        QVERIFY(h.setFileName(QString(127, 'n')));
        QVERIFY(!h.setFileName(QString(128, 'n')));
        QVERIFY(!h.setFileName(QString(64, QChar(0x0436)))); // 128 UTF-8 bytes
        QCOMPARE(h.fileName(), QString(127, 'n'));
    }

    void headerRefusals_data()
    {
        QTest::addColumn<QByteArray>("payload");
        const QByteArray good = fileReply("/a/b", 1, 0, 0, "12345");
        QByteArray noNul = good;
        noNul.replace(0, 128, QByteArray(128, 'n'));
        QTest::newRow("short") << good.left(139);
        QTest::newRow("name without NUL") << noNul;
        QTest::newRow("length 513") << fileReply("/a/b", 1, 0, 0, QByteArray(600, 'x'), 0, 513);
        QTest::newRow("length beyond data") << fileReply("/a/b", 1, 0, 0, "12345", 0, 6);
        QTest::newRow("negative length") << fileReply("/a/b", 1, 0, 0, "12345", 0, -5);
        QTest::newRow("negative seek") << fileReply("/a/b", 1, 0, -512, "12345");
    }

    void headerRefusals()
    {
        QFETCH(QByteArray, payload);
        FileCmdHeader h;
        QByteArray data;
        QString why;
        QVERIFY(!FileCmdHeader::parse(reinterpret_cast<const uchar *>(payload.constData()), payload.size(), &h,
                                      &data, &why));
        QVERIFY(!why.isEmpty());
        QVERIFY(data.isEmpty());
    }

    void readsEveryChunkBoundary_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<int>>("seeks");
        QTest::newRow("0") << 0 << QList<int>{0};
        QTest::newRow("511") << 511 << QList<int>{0};
        QTest::newRow("512") << 512 << QList<int>{0, 512};
        QTest::newRow("513") << 513 << QList<int>{0, 512};
        QTest::newRow("1300") << 1300 << QList<int>{0, 512, 1024};
    }

    void readsEveryChunkBoundary()
    {
        QFETCH(int, size);
        QFETCH(QList<int>, seeks);
        const QByteArray content = pattern(size);
        key.folders["dbsett"]["0001ABC000000100"] = content;
        key.notifyPaths << "/dbsett/0001ABC000000100";
        QSignalSpy gotDir(&rig->files, SIGNAL(slot_files_got_dir(QString)));
        QSignalSpy gotFile(&rig->files, SIGNAL(slot_files_got_file(QStringList)));
        QSignalSpy status(&rig->files, SIGNAL(statusMessage(QString)));

        QVERIFY(rig->files.GetFromKey("dbsett", "0001ABC000000100"));
        QCOMPARE(rig->files.pendingList().size(), 1);
        pump();

        QCOMPARE(readFile(local("dbsett", "0001ABC000000100")), content);
        QList<int> asked;
        for (const FileCmdHeader &h : sentHeaders()) {
            QCOMPARE(h.command, FileCmdHeader::FA_READ);
            QCOMPARE(h.length, 0);
            asked << h.seek;
        }
        QCOMPARE(asked, seeks);
        QVERIFY(rig->files.pendingList().isEmpty());
        // A single file with no folder fetch running completes its own folder.
        QCOMPARE(gotDir.count(), 1);
        QCOMPARE(gotDir.first().at(0).toString(), QStringLiteral("/dbsett"));
        QCOMPARE(gotFile.count(), 1);
        QCOMPARE(gotFile.first().at(0).toStringList(), (QStringList{"dbsett", "0001ABC000000100"}));
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Got file ../dbsett/0001ABC000000100"));
        QCOMPARE(rig->usb.acks.size(), seeks.size());
    }

    void writesEveryChunkBoundary_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<int>>("parts");
        QTest::newRow("0") << 0 << QList<int>{0};
        QTest::newRow("511") << 511 << QList<int>{511};
        QTest::newRow("512") << 512 << QList<int>{512, 0};
        QTest::newRow("513") << 513 << QList<int>{512, 1};
        QTest::newRow("1300") << 1300 << QList<int>{512, 512, 276};
    }

    void writesEveryChunkBoundary()
    {
        QFETCH(int, size);
        QFETCH(QList<int>, parts);
        const QByteArray content = pattern(size, 'A');
        // Records are put from the local mirror; the entry keeps the root below the key path.
        const QString path = local("dbsett", "0001ABC000000100");
        writeFile(path, content);
        key.notifyPaths << "/dbsett/0001ABC000000100";
        QSignalSpy put(&rig->files, SIGNAL(files_put_file(QStringList)));

        QVERIFY(rig->files.PutToKey("/dbsett", path, "/dbsett", 5));
        QCOMPARE(rig->files.pendingList().size(), 1);
        const TransferEntry e = rig->files.pendingList().first();
        QCOMPARE(e.keyPath, QStringLiteral("/dbsett/0001ABC000000100"));
        QCOMPARE(e.fileText, path);
        QCOMPARE(e.pcRoot, root + "/download");
        QCOMPARE(e.flag, 5);
        pump();

        QCOMPARE(key.folders["dbsett"]["0001ABC000000100"], content);
        QList<int> sizes;
        int offset = 0;
        for (int i = 0; i < key.writes.size(); ++i) {
            QCOMPARE(key.writes[i].first, offset);
            offset += key.writes[i].second;
            sizes << key.writes[i].second;
            const bool last = i == key.writes.size() - 1;
            QCOMPARE(key.writeStatuses[i], last ? quint8(0) : quint8(0xFF));
        }
        QCOMPARE(sizes, parts);
        QVERIFY(rig->files.pendingList().isEmpty());
        QCOMPARE(put.count(), 1);
        QCOMPARE(put.first().at(0).toStringList(), (QStringList{"dbsett", "0001ABC000000100"}));
    }

    void wholeFoldersArriveAndCompleteTogether()
    {
        for (int i = 0; i < 60; ++i)
            key.folders["dbsett"][QStringLiteral("0001ABC0000001%1").arg(i, 2, 10, QChar('0'))] = pattern(88 + 28 * i);
        key.folders["templates"]["FioTypes"] = pattern(950);
        key.folders["templates"]["WheelTypes"] = pattern(5150);
        key.folders["templates"]["UzelTypes"] = pattern(16000);
        key.subfolders["dbsett"] = QStringList{"archive"};
        writeFile(local("dbsett", "stale_record"), "old");
        QVERIFY(QDir().mkpath(Paths::downloadDir("dbsett") + "/keep"));
        QSignalSpy gotDir(&rig->files, SIGNAL(slot_files_got_dir(QString)));
        QSignalSpy wait(&rig->files, SIGNAL(waitAnimationRequested(bool)));

        rig->files.GetFromKey("templates", "*");
        rig->files.GetFromKey("dbsett", "*");
        QVERIFY(!QFile::exists(local("dbsett", "stale_record")));
        pump();

        int listingParts = 0;
        for (const FileCmdHeader &h : sentHeaders())
            if (h.command == FileCmdHeader::FA_READ_DIR && h.fileName() == "/dbsett")
                ++listingParts;
        QVERIFY2(listingParts >= 3, "the dbsett listing should span several packets");
        for (const QString &folder : {QStringLiteral("dbsett"), QStringLiteral("templates")}) {
            const auto &keyFiles = key.folders[folder];
            QCOMPARE(QDir(Paths::downloadDir(folder)).entryList(QDir::Files), QStringList(keyFiles.keys()));
            for (auto it = keyFiles.begin(); it != keyFiles.end(); ++it)
                QCOMPARE(readFile(local(folder, it.key())), it.value());
        }
        QVERIFY(QDir(Paths::downloadDir("dbsett") + "/keep").exists());
        QCOMPARE(gotDir.count(), 2);
        QCOMPARE(gotDir[0].at(0).toString(), QStringLiteral("/templates"));
        QCOMPARE(gotDir[1].at(0).toString(), QStringLiteral("/dbsett"));
        QCOMPARE(wait.count(), 1);
        QCOMPARE(wait.first().at(0).toBool(), false);
        QVERIFY(rig->files.readDirs().isEmpty());
        QVERIFY(!rig->files.isBusy());
    }

    void emptyAndUnlistableFoldersStillComplete()
    {
        key.subfolders["templates"] = QStringList{"sub1", "sub2"};
        key.unlistable << "dbsett";
        QSignalSpy gotDir(&rig->files, SIGNAL(slot_files_got_dir(QString)));
        rig->files.GetFromKey("templates", "*");
        rig->files.GetFromKey("dbsett", "*");
        pump();
        for (const FileCmdHeader &h : sentHeaders())
            QCOMPARE(h.command, FileCmdHeader::FA_READ_DIR);
        QCOMPARE(gotDir.count(), 2);
        QVERIFY(!rig->files.isBusy());
    }

    void folderWaitsForTheOtherFoldersListing()
    {
        key.folders["dbsett"]["r1"] = "one";
        QSignalSpy gotDir(&rig->files, SIGNAL(slot_files_got_dir(QString)));
        rig->files.GetFromKey("templates", "*"); // empty on the key
        rig->files.GetFromKey("dbsett", "*");
        // Only the templates listing is answered: dbsett has not been listed yet.
        feed(key.answer(rig->usb.sent[0]));
        answered = 1;
        QCOMPARE(gotDir.count(), 0);
        pump();
        QCOMPARE(gotDir.count(), 2);
        QCOMPARE(readFile(local("dbsett", "r1")), QByteArray("one"));
    }

    void listingNamesAreCollectedPerPacket()
    {
        rig->files.GetFromKey("misc", "*");
        const QByteArray first = fileReply("/misc", 77, 0xFF, 0, "a\nsub\rbc");
        feed(first);
        // The unchanged header goes back to ask for the rest.
        QCOMPARE(rig->usb.sent.last().payload, first.left(140));
        feed(fileReply("/misc", 77, 0, 0, QByteArray("d\ne\n\0f\n", 7)));
        QStringList listed;
        for (const TransferEntry &e : rig->files.pendingList()) {
            listed << e.keyPath;
            QCOMPARE(e.group, QStringLiteral("/misc"));
            QCOMPARE(e.repeated, 1);
        }
        // "bc" ran out with its packet, "f" comes after the end mark.
        QCOMPARE(listed, (QStringList{"/misc/a", "/misc/d", "/misc/e"}));
        QStringList requested;
        for (const FileCmdHeader &h : sentHeaders())
            if (h.command == FileCmdHeader::FA_READ)
                requested << h.fileName();
        QCOMPARE(requested, listed);
    }

    void failedReadStaysPendingAndIsRepeatedByTheNextListing()
    {
        key.folders["dbsett"]["r1"] = "content";
        rig->files.GetFromKey("dbsett", "r1");
        feed(fileReply("/dbsett/r1", 1, FileCmdHeader::StatusError, 0, {}));
        answered = rig->usb.sent.size();
        QCOMPARE(rig->files.pendingList().size(), 1);
        QCOMPARE(rig->files.pendingList().first().repeated, 0);

        rig->files.GetFromKey("dbsett", "*");
        feed(key.answer(rig->usb.sent.last()));
        QCOMPARE(rig->files.pendingList().size(), 1);
        QCOMPARE(rig->files.pendingList().first().repeated, 1);
        QCOMPARE(rig->usb.sent.last().fileHeader().fileName(), QStringLiteral("/dbsett/r1"));
        answered = rig->usb.sent.size() - 1;
        pump();
        QCOMPARE(readFile(local("dbsett", "r1")), QByteArray("content"));
        QVERIFY(rig->files.pendingList().isEmpty());
    }

    void unansweredTransfersAreSentAgainThenGivenUp()
    {
        // Every transmission of a read and of a listing lost: the link's queue has dropped them.
        key.folders["dbsett"]["r1"] = "content";
        key.folders["templates"]["t1"] = QByteArray(700, 'x');
        rig->files.setStallTimeout(40);
        rig->files.GetFromKey("dbsett", "r1");
        rig->files.GetFromKey("templates", "*");
        const int firstRound = rig->usb.sent.size();
        QCOMPARE(firstRound, 2);

        rig->files.checkStalled(); // not yet: the time-out has not passed
        QCOMPARE(rig->usb.sent.size(), firstRound);
        QTest::qWait(60);
        rig->files.checkStalled();
        const QList<FileCmdHeader> again = sentHeaders(firstRound);
        QCOMPARE(again.size(), 2);
        QSet<QString> names;
        for (const FileCmdHeader &h : again)
            names.insert(h.fileName());
        QCOMPARE(names, (QSet<QString>{"/dbsett/r1", "/templates"}));
        QCOMPARE(rig->files.pendingList().size(), 1); // sent again, not listed twice

        // The key answers the repeats: everything completes as if nothing had been lost.
        QSignalSpy gotDir(&rig->files, SIGNAL(slot_files_got_dir(QString)));
        answered = firstRound;
        pump();
        QCOMPARE(readFile(local("dbsett", "r1")), QByteArray("content"));
        QCOMPARE(readFile(local("templates", "t1")), QByteArray(700, 'x'));
        QVERIFY(!rig->files.isBusy());
        QCOMPARE(gotDir.count(), 1);

        // A key that never answers: three more rounds, then the transfer is given up and said.
        QSignalSpy status(&rig->files, SIGNAL(statusMessage(QString)));
        rig->files.GetFromKey("dbsett", "r1");
        const int before = rig->usb.sent.size();
        for (int round = 0; round < 4; ++round) {
            QTest::qWait(60);
            rig->files.checkStalled();
        }
        QCOMPARE(rig->usb.sent.size() - before, 3);
        QVERIFY(!rig->files.isBusy());
        QVERIFY(!status.isEmpty());
        QTest::qWait(60);
        rig->files.checkStalled(); // nothing pending: nothing sent
        QCOMPARE(rig->usb.sent.size() - before, 3);
    }

    void repeatedRequestsAreListedOnce()
    {
        rig->files.GetFromKey("dbsett", "r1");
        rig->files.GetFromKey("dbsett", "r1");
        QCOMPARE(rig->files.pendingList().size(), 1);
        QCOMPARE(rig->usb.sent.size(), 2);
    }

    void hostileReplyNamesTouchNothing_data()
    {
        QTest::addColumn<QString>("keyPath");
        QTest::newRow("dot dot") << QStringLiteral("/dbsett/../../../escaped");
        QTest::newRow("dot dot folder") << QStringLiteral("/../escaped");
        QTest::newRow("double slash") << QStringLiteral("//escaped");
        QTest::newRow("empty file name") << QStringLiteral("/dbsett/");
        QTest::newRow("relative") << QStringLiteral("dbsett/escaped");
        QTest::newRow("backslash") << QStringLiteral("/dbsett/..\\..\\escaped");
        QTest::newRow("dot file") << QStringLiteral("/dbsett/..");
        QTest::newRow("drive") << QStringLiteral("/C:/escaped");
        // Names Windows would map elsewhere: the mirror must act the same on every system.
        QTest::newRow("trailing dot") << QStringLiteral("/dbsett/FioTypes.");
        QTest::newRow("trailing space") << QStringLiteral("/dbsett/FioTypes ");
        QTest::newRow("device") << QStringLiteral("/dbsett/CON");
        QTest::newRow("device with extension") << QStringLiteral("/dbsett/nul.txt");
        QTest::newRow("port") << QStringLiteral("/dbsett/COM1");
        QTest::newRow("wildcard") << QStringLiteral("/dbsett/r?");
        QTest::newRow("device folder") << QStringLiteral("/aux/escaped");
    }

    void hostileReplyNamesTouchNothing()
    {
        QFETCH(QString, keyPath);
        feed(fileReply(keyPath, FileCmdHeader::FA_READ, 0, 0, "pwned"));
        feed(fileReply(keyPath, FileCmdHeader::FA_READ, 0xFF, 0, "pwned"));
        QCOMPARE(allFiles(sandbox->path()), QStringList());
        QCOMPARE(rig->usb.sent.size(), 0);
        // A listing of such a folder makes no entries.
        feed(fileReply(keyPath, FileCmdHeader::FA_READ_DIR, 0, 0, "x\n"));
        QVERIFY(rig->files.pendingList().isEmpty());
        // The reply itself was still acknowledged, so the queue goes on.
        QCOMPARE(rig->usb.acks.size(), 3);
    }

    void hostileListingNamesAreSkipped()
    {
        rig->files.GetFromKey("misc", "*");
        const QByteArray longName(140, 'n');
        feed(fileReply("/misc", 77, 0, 0,
                       "..\n.\n\nok\n" + longName + "\nC:x\nFioTypes.\nCON\nlpt9.bin\na|b\nq?\n<x>\ns \n\"q\"\n"));
        QStringList listed;
        for (const TransferEntry &e : rig->files.pendingList())
            listed << e.keyPath;
        QCOMPARE(listed, QStringList{"/misc/ok"});
    }

    void hostileFolderNamesAreRefused_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("parent") << QStringLiteral("..");
        QTest::newRow("climb") << QStringLiteral("a/../../b");
        QTest::newRow("absolute") << QStringLiteral("/etc");
        QTest::newRow("empty") << QString();
        QTest::newRow("backslash") << QStringLiteral("..\\x");
        QTest::newRow("too long") << QString(130, 'f');
    }

    void hostileFolderNamesAreRefused()
    {
        QFETCH(QString, folder);
        QSignalSpy status(&rig->files, SIGNAL(statusMessage(QString)));
        QVERIFY(!rig->files.GetFromKey(folder, "*"));
        QVERIFY(!rig->files.GetFromKey(folder, "file"));
        writeFile(root + "/outbox/f", "x");
        QVERIFY(!rig->files.PutFileToFolder(folder, root + "/outbox/f", true));
        QVERIFY(rig->files.writeDirs().isEmpty());
        QCOMPARE(rig->usb.sent.size(), 0);
        QVERIFY(status.count() >= 2);

        QVERIFY(QFile::exists(root + "/outbox/f"));
    }

    void hostileChangeNotificationsAreRefused()
    {
        writeFile(root + "/outbox/f", "x");
        writeFile(local("dbsett", "f"), "y");
        for (const char *folder : {"..", "../outbox", "dbsett/../../outbox", "//outbox", "", "C:", "dbsett\\.."}) {
            for (int type : {1, 2, 5, 6, 9, 13})
                rig->files.HandleFileSystemStatus(QString::fromLatin1(folder), "f", type);
        }
        QCOMPARE(rig->usb.sent.size(), 0);
        QVERIFY(QFile::exists(root + "/outbox/f"));
        QVERIFY(QFile::exists(local("dbsett", "f")));
    }

    // The PC's own calibration archive lives beside the key's folders; nothing the key says
    // and nothing typed as a key folder may list, fetch, replace or delete it.
    void calibrationArchiveIsNeverTouched()
    {
        const QString archive = local("Calibrate", "DWK340_012_SN42.clb");
        writeFile(archive, "archived");
        writeFile(root + "/outbox/f", "x");
        for (const char *folder : {"Calibrate", "/Calibrate", "Calibrate/sub"}) {
            for (int type : {1, 2, 3, 4, 5, 6, 9, 10, 13, 14})
                rig->files.HandleFileSystemStatus(QString::fromLatin1(folder), "DWK340_012_SN42.clb", type);
        }
        QVERIFY(!rig->files.GetFromKey("Calibrate", "*"));
        QVERIFY(!rig->files.GetFromKey("Calibrate", "DWK340_012_SN42.clb"));
        QVERIFY(!rig->files.PutFileToFolder("Calibrate", root + "/outbox/f", true));
        QCOMPARE(rig->usb.sent.size(), 0);
        feed(fileReply("/Calibrate/DWK340_012_SN42.clb", FileCmdHeader::FA_READ, 0, 0, "overwritten"));
        feed(fileReply("/Calibrate", FileCmdHeader::FA_READ_DIR, 0, 0, "DWK340_012_SN42.clb\n"));
        QVERIFY(rig->files.pendingList().isEmpty());
        QCOMPARE(readFile(archive), QByteArray("archived"));
        QCOMPARE(allFiles(Paths::downloadDir("Calibrate")), QStringList{"DWK340_012_SN42.clb"});
    }

    // An upload sends the file as it was when it started, whatever happens to the local copy
    // meanwhile (a change notification refetches the folder and deletes it).
    void uploadKeepsTheContentItStartedWith()
    {
        const QString path = local("templates", "UzelTypes");
        writeFile(path, pattern(1300, 'u'));
        QVERIFY(rig->files.PutFileToFolder("templates", path, false));
        QVERIFY(QFile::remove(path));
        pump();
        QCOMPARE(key.folders["templates"]["UzelTypes"], pattern(1300, 'u'));
        QVERIFY(rig->files.pendingList().isEmpty());

        writeFile(path, pattern(1300, 'v'));
        QVERIFY(rig->files.PutFileToFolder("templates", path, false));
        pump(1);
        writeFile(path, pattern(1300, 'w'));
        pump();
        QCOMPARE(key.folders["templates"]["UzelTypes"], pattern(1300, 'v'));
    }

    // The link's queue gave a request up: the part it asked for is asked again at once, and a
    // stalled exchange goes on from the parts already received.
    void lostRequestsAreAskedAgainWhereTheyStood()
    {
        key.folders["dbsett"]["r1"] = pattern(1300);
        rig->files.setStallTimeout(40);
        rig->files.GetFromKey("dbsett", "r1");
        pump(1);
        QCOMPARE(rig->usb.sent.size(), 2);
        const SentCommand lost = rig->usb.sent.last();
        QCOMPARE(lost.fileHeader().seek, 512);
        answered = 2; // its every transmission went unanswered

        // An old request that was overtaken is not sent again.
        rig->files.requestGivenUp(rig->usb.sent.first().payload);
        QCOMPARE(rig->usb.sent.size(), 2);
        rig->files.requestGivenUp(lost.payload);
        QCOMPARE(rig->usb.sent.size(), 3);
        QCOMPARE(rig->usb.sent.last().payload, lost.payload);

        // That one is lost as well, and no give-up reaches the exchange: a stall round.
        answered = 3;
        QTest::qWait(60);
        rig->files.checkStalled();
        const QList<FileCmdHeader> round = sentHeaders(3);
        QCOMPARE(round.size(), 1);
        QCOMPARE(round.first().fileName(), QStringLiteral("/dbsett/r1"));
        QCOMPARE(round.first().seek, 512);
        pump();
        QCOMPARE(readFile(local("dbsett", "r1")), pattern(1300));
        QVERIFY(!rig->files.isBusy());

        // Nothing pending: a late give-up sends nothing.
        const int before = rig->usb.sent.size();
        rig->files.requestGivenUp(lost.payload);
        QCOMPARE(rig->usb.sent.size(), before);
    }

    void badLengthsAndSeeksAreRefused()
    {
        rig->files.GetFromKey("dbsett", "r1");
        const int sentBefore = rig->usb.sent.size();
        feed(fileReply("/dbsett/r1", 1, 0xFF, 0, QByteArray(600, 'x'), 0, 600));
        feed(fileReply("/dbsett/r1", 1, 0xFF, 0, QByteArray(100, 'x'), 0, 300));
        feed(fileReply("/dbsett/r1", 1, 0, -4, "abc"));
        // A length that lies about the data: the frame ends before 512 data bytes.
        feed(fileReply("/dbsett/r1", 1, 0, 0, QByteArray(200, 'x'), 0, 512));
        QCOMPARE(rig->usb.sent.size(), sentBefore);
        QVERIFY(!QFile::exists(local("dbsett", "r1")));
        QCOMPARE(rig->files.pendingList().size(), 1);
        QCOMPARE(rig->usb.acks.size(), 4);

        // A part that would loop for ever (more to come, nothing in it) ends the transfer.
        feed(fileReply("/dbsett/r1", 1, 0xFF, 0, {}));
        QCOMPARE(rig->usb.sent.size(), sentBefore);
    }

    void frameEndBoundsTheData()
    {
        // 140 + 512 data bytes fit a frame; with the CRC taken off, the last data byte is
        // missing and the reply is refused rather than read past what arrived.
        rig->files.GetFromKey("dbsett", "r1");
        const QByteArray reply = fileReply("/dbsett/r1", 1, 0, 0, QByteArray(512, 'x'));
        RxDataBuffer rx = fileFrame(reply);
        rx.length -= 1;
        rig->protocol.iReceiveUart_Click(rx);
        QVERIFY(!QFile::exists(local("dbsett", "r1")));
        rig->protocol.iReceiveUart_Click(fileFrame(reply));
        QCOMPARE(readFile(local("dbsett", "r1")), QByteArray(512, 'x'));
    }

    void downloadsReplaceTheLocalCopyOnlyWhenComplete()
    {
        const QString path = local("dbsett", "r1");
        writeFile(path, QByteArray(1300, 'X'));

        // Shorter on the key now: no stale tail.
        key.folders["dbsett"]["r1"] = "short";
        rig->files.GetFromKey("dbsett", "r1");
        pump();
        QCOMPARE(readFile(path), QByteArray("short"));

        // Interrupted: the first part arrives, the key goes away.
        key.folders["dbsett"]["r1"] = pattern(1300);
        rig->files.GetFromKey("dbsett", "r1");
        pump(1);
        QCOMPARE(readFile(path), QByteArray("short"));
        rig->files.clearTransfers();
        answered = rig->usb.sent.size();
        QCOMPARE(readFile(path), QByteArray("short"));

        // A new file interrupted leaves nothing at all.
        key.folders["dbsett"]["r2"] = pattern(1300);
        rig->files.GetFromKey("dbsett", "r2");
        pump(2);
        QVERIFY(!QFile::exists(local("dbsett", "r2")));
        QCOMPARE(QDir(Paths::downloadDir("dbsett")).entryList(QDir::Files | QDir::Hidden), QStringList{"r1"});
    }

    void partsThatDoNotFollowAreDropped()
    {
        key.folders["dbsett"]["r1"] = pattern(1300);
        rig->files.GetFromKey("dbsett", "r1");
        answered = rig->usb.sent.size();
        QSignalSpy gotFile(&rig->files, SIGNAL(statusMessage(QString)));
        // A middle part with nothing before it.
        feed(fileReply("/dbsett/r1", 1, 0xFF, 512, pattern(512)));
        feed(fileReply("/dbsett/r1", 1, 0, 1024, pattern(276)));
        QCOMPARE(rig->usb.sent.size(), answered);
        QVERIFY(!QFile::exists(local("dbsett", "r1")));

        // The whole file, then its last part once more (a late duplicate).
        answered = rig->usb.sent.size();
        rig->files.GetFromKey("dbsett", "r1");
        pump();
        const QByteArray good = readFile(local("dbsett", "r1"));
        QCOMPARE(good, pattern(1300));
        const int messages = gotFile.count();
        feed(fileReply("/dbsett/r1", 1, 0, 1024, key.folders["dbsett"]["r1"].mid(1024)));
        QCOMPARE(readFile(local("dbsett", "r1")), good);
        QCOMPARE(gotFile.count(), messages);
    }

    void fileSystemStatusChangeTypes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("sent");    // "READ", "DIR" or ""
        QTest::addColumn<bool>("removesFile");
        QTest::addColumn<bool>("removesAll");
        QTest::addColumn<bool>("rebuilds");
        for (int t : {1, 3, 4, 14, 9, 10})
            QTest::addRow("type %d", t) << t << "READ" << false << false << false;
        QTest::newRow("type 2") << 2 << "" << true << false << true;
        for (int t : {5, 13})
            QTest::addRow("type %d", t) << t << "DIR" << true << true << false;
        QTest::newRow("type 6") << 6 << "" << true << true << true;
        for (int t : {7, 8, 11, 12, 0, 15, -1})
            QTest::addRow("type %d", t) << t << "" << false << false << false;
    }

    void fileSystemStatusChangeTypes()
    {
        QFETCH(int, type);
        QFETCH(QString, sent);
        QFETCH(bool, removesFile);
        QFETCH(bool, removesAll);
        QFETCH(bool, rebuilds);
        writeFile(local("dbsett", "r1"), "one");
        writeFile(local("dbsett", "r2"), "two");
        QSignalSpy rebuild(&rig->files, SIGNAL(recordsRebuildRequested()));

        rig->protocol.iReceiveUart_Click(jsonFrame(
            QStringLiteral(R"({"function_name":"FE_FileSystem_Status","changetype":%1,"filename":"r1","dirname":"dbsett"})")
                .arg(type).toUtf8()));

        if (sent.isEmpty()) {
            QCOMPARE(rig->usb.sent.size(), 0);
        } else {
            QCOMPARE(rig->usb.sent.size(), 1);
            const FileCmdHeader h = rig->usb.sent[0].fileHeader();
            QCOMPARE(h.command, sent == "READ" ? FileCmdHeader::FA_READ : FileCmdHeader::FA_READ_DIR);
            QCOMPARE(h.fileName(), sent == "READ" ? QStringLiteral("/dbsett/r1") : QStringLiteral("/dbsett"));
        }
        QCOMPARE(QFile::exists(local("dbsett", "r1")), !removesFile);
        QCOMPARE(QFile::exists(local("dbsett", "r2")), !removesAll);
        QCOMPARE(rebuild.count(), rebuilds ? 1 : 0);
    }

    void fileSystemStatusNeedsARealFileName()
    {
        writeFile(local("dbsett", "r1"), "one");
        for (const char *name : {"*", "..", "a/b", ""}) {
            for (int type : {1, 2, 9})
                rig->files.HandleFileSystemStatus("dbsett", QString::fromLatin1(name), type);
        }
        QCOMPARE(rig->usb.sent.size(), 0);
        QVERIFY(QFile::exists(local("dbsett", "r1")));
        // A leading slash on the folder is tolerated.
        rig->files.HandleFileSystemStatus("/dbsett", "r1", 2);
        QVERIFY(!QFile::exists(local("dbsett", "r1")));
    }

    void rememberedFolderIsFetchedBackAfterItsLastWrite()
    {
        writeFile(root + "/outbox/a", pattern(700));
        writeFile(root + "/outbox/b", pattern(20));
        QVERIFY(rig->files.PutFileToFolder("misc", root + "/outbox/a", true));
        QVERIFY(rig->files.PutFileToFolder("misc", root + "/outbox/b", true));
        QCOMPARE(rig->files.writeDirs(), QStringList{"misc"});
        pump();
        int listings = 0;
        for (const FileCmdHeader &h : sentHeaders())
            listings += h.command == FileCmdHeader::FA_READ_DIR && h.fileName() == "/misc";
        QCOMPARE(listings, 1);
        QVERIFY(rig->files.writeDirs().isEmpty());
        QCOMPARE(readFile(local("misc", "a")), pattern(700));
        QCOMPARE(readFile(local("misc", "b")), pattern(20));

        // Not remembered: no fetch back; unreadable file: nothing sent, nothing remembered.
        rig->usb.sent.clear();
        answered = 0;
        QVERIFY(rig->files.PutFileToFolder("misc", root + "/outbox/b", false));
        QVERIFY(!rig->files.PutFileToFolder("other", root + "/outbox/missing", true));
        QVERIFY(rig->files.writeDirs().isEmpty());
        pump();
        for (const FileCmdHeader &h : sentHeaders())
            QCOMPARE(h.command, FileCmdHeader::FA_WRITE);
    }

    void theNewestFileUnderOneKeyPathIsTheOneSent()
    {
        writeFile(root + "/old/r1", QByteArray(1300, 'o'));
        writeFile(root + "/new/r1", QByteArray(1300, 'n'));
        QVERIFY(rig->files.PutToKey("/dbsett", root + "/old/r1", "/dbsett", 0));
        QVERIFY(rig->files.PutToKey("/dbsett", root + "/new/r1", "/dbsett", 0));
        QCOMPARE(rig->files.pendingList().size(), 1);
        pump();
        QCOMPARE(key.folders["dbsett"]["r1"], QByteArray(1300, 'n'));
    }

    void writeErrorKeepsTheEntry()
    {
        writeFile(root + "/outbox/r1", "abc");
        QVERIFY(rig->files.PutToKey("/dbsett", root + "/outbox/r1", "/dbsett", 0));
        feed(fileReply("/dbsett/r1", 2, FileCmdHeader::StatusError, 0, {}));
        QCOMPARE(rig->files.pendingList().size(), 1);
        // The key asking for a part of a file nobody is writing gets nothing.
        feed(fileReply("/dbsett/other", 2, 0xFF, 0, {}));
        QCOMPARE(rig->usb.sent.size(), 1);
    }

    void onlyTheKeyInUseMayMoveFiles()
    {
        rig->setMode(KeyConnection::Mode::Wifi);
        rig->wifi.keys = {{"K1", QString(), true}, {"K2", QString(), false}};
        const QByteArray reply = fileReply("/dbsett/r1", 1, 0, 0, "data");
        rig->protocol.iReceiveUart_Click(makeFrame(0x31, 0, reply, "K2", QHostAddress("10.0.0.2"), 32000));
        QVERIFY(!QFile::exists(local("dbsett", "r1")));
        QVERIFY(rig->wifi.acks.isEmpty());
        rig->protocol.iReceiveUart_Click(makeFrame(0x31, 0, reply, "K1", QHostAddress("10.0.0.1"), 32000));
        QCOMPARE(readFile(local("dbsett", "r1")), QByteArray("data"));
        QCOMPARE(rig->wifi.acks, QStringList{"K1"});
    }

    void progressIsReportedWhileBusy()
    {
        rig = std::make_unique<ProtocolStack>(5, 5);
        QSignalSpy active(&rig->files, SIGNAL(transfersActiveChanged(bool)));
        QSignalSpy progress(&rig->files, SIGNAL(progressChanged(ExchangeProgress)));

        writeFile(root + "/outbox/w", pattern(1300));
        key.folders["dbsett"]["r1"] = pattern(600);
        rig->files.GetFromKey("dbsett", "r1");
        QVERIFY(rig->files.PutToKey("/dbsett", root + "/outbox/w", "/dbsett", 0));
        ExchangeProgress p = rig->files.progress();
        QCOMPARE(p.filesDone, 0);
        QCOMPARE(p.filesTotal, 2);
        QCOMPARE(p.bytesDone, qint64(512));
        QCOMPARE(p.bytesTotal, qint64(1300));
        QVERIFY(active.wait(2000));
        QCOMPARE(active.last().at(0).toBool(), true);

        pump(1); // the first part of r1
        p = rig->files.progress();
        QCOMPARE(p.currentFile, QStringLiteral("/dbsett/r1"));
        QCOMPARE(p.bytesDone, qint64(1024));
        pump();
        p = rig->files.progress();
        QCOMPARE(p.filesDone, 2);
        QCOMPARE(p.filesTotal, 2);
        QCOMPARE(p.bytesDone, qint64(1900));
        QCOMPARE(p.bytesTotal, qint64(1900));
        QVERIFY(active.wait(2000));
        QCOMPARE(active.last().at(0).toBool(), false);
        QVERIFY(progress.count() >= 1);

        // The next batch starts from zero.
        rig->files.GetFromKey("dbsett", "r1");
        QCOMPARE(rig->files.progress().filesDone, 0);
        QCOMPARE(rig->files.progress().filesTotal, 1);
    }
};

QTEST_GUILESS_MAIN(TestFileExchange)
#include "tst_fileexchange.moc"
