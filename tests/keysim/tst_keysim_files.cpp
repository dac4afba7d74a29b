// File commands answered by the emulated key: reads, writes and folder listings in 512-byte
// parts, and paths from a hostile far end.
#include "KeyHarness.h"

#include "KeyFileCommand.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

class TestKeysimFiles : public QObject
{
    Q_OBJECT
private slots:
    void writeThenReadRoundTrip_data();
    void writeThenReadRoundTrip();
    void repeatedChunksAfterLostReplies();
    void announcedFileIsMarkedForThePage();
    void listingSpansSeveralPackets_data();
    void listingSpansSeveralPackets();
    void listingOfRootAndEmptyFolder();
    void hostilePathsAreRefused();
    void malformedCommandsGetAnErrorReply();
    void randomBodiesNeverCrash();

private:
    // Puts bytes the way the PC does: first part at seek 0, then whatever the key asks for.
    static bool putFile(KeyHarness &k, const QString &keyPath, const QByteArray &bytes, int *packets,
                        FileCmdHeader *last);
    // Reads a file the way the PC does: ask at seek, append, ask at seek + length until done.
    static bool getFile(KeyHarness &k, const QString &keyPath, QByteArray *bytes, int *packets);
    static QByteArray randomBytes(int n, quint32 seed);
};

QByteArray TestKeysimFiles::randomBytes(int n, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char(rng.bounded(256));
    return b;
}

bool TestKeysimFiles::putFile(KeyHarness &k, const QString &keyPath, const QByteArray &bytes,
                              int *packets, FileCmdHeader *last)
{
    *packets = 0;
    qint32 seek = 0;
    for (int guard = 0; guard < 100; ++guard) {
        const QByteArray part = bytes.mid(seek, 512);
        FileCmdHeader h = KeyHarness::header(keyPath, FileCmdHeader::FA_WRITE, seek,
                                             part.size() == 512 ? FileCmdHeader::StatusMore
                                                                : FileCmdHeader::StatusFinished);
        k.sendFile(h, part);
        ++*packets;
        FileCmdHeader r;
        QByteArray data;
        if (!k.takeFileReply(&r, &data) || r.command != FileCmdHeader::FA_WRITE
            || r.fileName() != keyPath || !data.isEmpty())
            return false;
        if (r.status == FileCmdHeader::StatusError)
            return false;
        if (r.status != FileCmdHeader::StatusMore) {
            *last = r;
            return true;
        }
        seek = r.seek; // the key asks for the data at seek
    }
    return false;
}

bool TestKeysimFiles::getFile(KeyHarness &k, const QString &keyPath, QByteArray *bytes, int *packets)
{
    bytes->clear();
    *packets = 0;
    qint32 seek = 0;
    for (int guard = 0; guard < 100; ++guard) {
        k.sendFile(KeyHarness::header(keyPath, FileCmdHeader::FA_READ, seek));
        ++*packets;
        FileCmdHeader r;
        QByteArray data;
        if (!k.takeFileReply(&r, &data) || r.fileName() != keyPath || r.seek != seek)
            return false;
        if (r.status == FileCmdHeader::StatusError)
            return false;
        bytes->append(data);
        if (r.status == FileCmdHeader::StatusFinished)
            return true;
        if (r.status != FileCmdHeader::StatusMore || data.isEmpty())
            return false;
        seek = r.seek + r.length;
    }
    return false;
}

void TestKeysimFiles::writeThenReadRoundTrip_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("writePackets");
    QTest::addColumn<int>("readPackets");
    // Writing ends with a part shorter than 512 (an empty one after a multiple of 512);
    // reading ends with the part that reaches the end of the file.
    QTest::newRow("0") << 0 << 1 << 1;
    QTest::newRow("511") << 511 << 1 << 1;
    QTest::newRow("512") << 512 << 2 << 1;
    QTest::newRow("513") << 513 << 2 << 2;
    QTest::newRow("1300") << 1300 << 3 << 3;
}

void TestKeysimFiles::writeThenReadRoundTrip()
{
    QFETCH(int, size);
    QFETCH(int, writePackets);
    QFETCH(int, readPackets);
    KeyHarness k;
    const QByteArray bytes = randomBytes(size, quint32(size + 1));
    const QString keyPath = QStringLiteral("/dbsett/010A000000004203");

    // Over an older, longer file: the upload must not leave its tail behind.
    QFile old(k.dir.filePath("dbsett/010A000000004203"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(4000, 'x'));
    old.close();

    int packets = 0;
    FileCmdHeader last;
    QVERIFY(putFile(k, keyPath, bytes, &packets, &last));
    QCOMPARE(packets, writePackets);
    QCOMPARE(last.status, FileCmdHeader::StatusFinished);
    QCOMPARE(int(last.notify), 2); // a record goes to the PC's records page
    QFile f(k.dir.filePath("dbsett/010A000000004203"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), bytes);

    QByteArray back;
    QVERIFY(getFile(k, keyPath, &back, &packets));
    QCOMPARE(back, bytes);
    QCOMPARE(packets, readPackets);

    // Outside "dbsett" a finished write is not handed to a page; a new folder is made.
    QVERIFY(putFile(k, QStringLiteral("/backup/copy.bin"), bytes, &packets, &last));
    QCOMPARE(int(last.notify), 0);
    QVERIFY(QFile::exists(k.dir.filePath("backup/copy.bin")));
    QCOMPARE(k.requestLog.first(), QStringLiteral("FA_WRITE dbsett/010A000000004203"));
}

void TestKeysimFiles::repeatedChunksAfterLostReplies()
{
    KeyHarness k;
    const QByteArray bytes = randomBytes(1100, 7);
    const QString keyPath = QStringLiteral("/templates/UzelTypes");
    FileCmdHeader r;
    QByteArray data;

    auto part = [&](qint32 seek, bool more) {
        k.sendFile(KeyHarness::header(keyPath, FileCmdHeader::FA_WRITE, seek,
                                      more ? FileCmdHeader::StatusMore : FileCmdHeader::StatusFinished),
                   bytes.mid(seek, 512));
        return k.takeFileReply(&r, &data);
    };
    // The PC resends a part whose reply it never saw; the key answers the same again.
    QVERIFY(part(0, true));
    QCOMPARE(r.seek, 512);
    QVERIFY(part(0, true));
    QCOMPARE(r.seek, 512);
    QVERIFY(part(512, true));
    QCOMPARE(r.seek, 1024);
    QVERIFY(part(512, true));
    QVERIFY(part(1024, false));
    QCOMPARE(r.status, FileCmdHeader::StatusFinished);
    QVERIFY(part(1024, false)); // the final reply was lost too
    QCOMPARE(r.status, FileCmdHeader::StatusFinished);
    QFile f(k.dir.filePath("templates/UzelTypes"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), bytes);

    // The PC's file shrank between parts: its last part ends the file there, nothing of the
    // longer attempt stays behind.
    k.sendFile(KeyHarness::header(keyPath, FileCmdHeader::FA_WRITE, 512, FileCmdHeader::StatusFinished),
               QByteArray(10, 's'));
    QVERIFY(k.takeFileReply(&r, &data));
    QCOMPARE(r.status, FileCmdHeader::StatusFinished);
    QFile shrunk(k.dir.filePath("templates/UzelTypes"));
    QVERIFY(shrunk.open(QIODevice::ReadOnly));
    QCOMPARE(shrunk.readAll(), bytes.left(512) + QByteArray(10, 's'));

    // A part that does not join what arrived would leave a hole: refused, and the file on
    // the key stays whole.
    k.sendFile(KeyHarness::header(QStringLiteral("/templates/FioTypes"), FileCmdHeader::FA_WRITE, 1024,
                                  FileCmdHeader::StatusFinished),
               QByteArray(10, 'z'));
    QVERIFY(k.takeFileReply(&r, &data));
    QCOMPARE(r.status, FileCmdHeader::StatusError);
    QVERIFY(!QFile::exists(k.dir.filePath("templates/FioTypes")));
}

void TestKeysimFiles::announcedFileIsMarkedForThePage()
{
    KeyHarness k;
    QFile f(k.dir.filePath("dbsett/0000ABC000000100"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(randomBytes(700, 3));
    f.close();
    k.engine.notifyFileSystemChange("dbsett", "0000ABC000000100", 1);
    QCOMPARE(k.out.size(), 1);
    const QJsonObject n = KeyHarness::parseJson(k.out.takeFirst().body);
    QCOMPARE(n.value("changetype").toInt(), 1);
    QCOMPARE(n.value("filename").toString(), QStringLiteral("0000ABC000000100"));

    FileCmdHeader r;
    QByteArray data;
    k.sendFile(KeyHarness::header("/dbsett/0000ABC000000100", FileCmdHeader::FA_READ, 0));
    QVERIFY(k.takeFileReply(&r, &data));
    QCOMPARE(r.status, FileCmdHeader::StatusMore);
    QCOMPARE(int(r.notify), 0); // only the last part carries the mark
    k.sendFile(KeyHarness::header("/dbsett/0000ABC000000100", FileCmdHeader::FA_READ, 512));
    QVERIFY(k.takeFileReply(&r, &data));
    QCOMPARE(r.status, FileCmdHeader::StatusFinished);
    QCOMPARE(int(r.notify), 2);
    QCOMPARE(data.size(), 700 - 512);
    // Read again as part of a whole-folder fetch: no longer marked.
    k.sendFile(KeyHarness::header("/dbsett/0000ABC000000100", FileCmdHeader::FA_READ, 512));
    QVERIFY(k.takeFileReply(&r, &data));
    QCOMPARE(int(r.notify), 0);
}

void TestKeysimFiles::listingSpansSeveralPackets_data()
{
    QTest::addColumn<bool>("echoLength");
    QTest::newRow("header echoed with its length") << true;
    QTest::newRow("header echoed with length 0") << false;
}

void TestKeysimFiles::listingSpansSeveralPackets()
{
    QFETCH(bool, echoLength);
    KeyHarness k;
    QSet<QString> expected;
    for (int i = 0; i < 90; ++i) {
        const QString name = QStringLiteral("%1%2").arg(i, 2, 16, QLatin1Char('0')).arg("0A000000004203").toUpper();
        QFile f(k.dir.filePath("dbsett/") + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        expected.insert(name + "\n");
    }
    QVERIFY(QDir(k.dir.path()).mkpath("dbsett/archive"));
    expected.insert(QStringLiteral("archive\r"));
    QVERIFY(QFile(k.dir.filePath("dbsett/.hidden")).open(QIODevice::WriteOnly));

    // The PC sends the key's last header back unchanged to get the next part.
    FileCmdHeader h = KeyHarness::header("/dbsett", FileCmdHeader::FA_READ_DIR);
    QSet<QString> seen;
    int packets = 0;
    for (;;) {
        if (echoLength)
            k.sendHeaderOnly(h);
        else
            k.sendFile(h);
        FileCmdHeader r;
        QByteArray data;
        QVERIFY(k.takeFileReply(&r, &data));
        ++packets;
        QCOMPARE(r.command, FileCmdHeader::FA_READ_DIR);
        QVERIFY(data.size() <= 512);
        QVERIFY(data.endsWith('\n') || data.endsWith('\r')); // no name split across packets
        QString name;
        for (char c : data) {
            name += QLatin1Char(c);
            if (c == '\n' || c == '\r') {
                QVERIFY2(!seen.contains(name), qPrintable(name));
                seen.insert(name);
                name.clear();
            }
        }
        if (r.status == FileCmdHeader::StatusFinished)
            break;
        QCOMPARE(r.status, FileCmdHeader::StatusMore);
        QVERIFY(packets < 10);
        h = r;
    }
    QCOMPARE(seen, expected); // 91 names of 17 bytes: four packets, hidden names left out
    QCOMPARE(packets, 4);
    QCOMPARE(k.requestLog.first(), QStringLiteral("FA_READ_DIR dbsett"));
    QVERIFY(k.requestLog.at(1).startsWith(QStringLiteral("FA_READ_DIR dbsett seek=")));
}

void TestKeysimFiles::listingOfRootAndEmptyFolder()
{
    KeyHarness k;
    k.state.save(k.statePath());
    FileCmdHeader r;
    QByteArray data;
    k.sendFile(KeyHarness::header("/", FileCmdHeader::FA_READ_DIR));
    QVERIFY(k.takeFileReply(&r, &data));
    QCOMPARE(r.status, FileCmdHeader::StatusFinished);
    QCOMPARE(data, QByteArray("dbsett\rtemplates\r")); // the state file is not offered

    k.sendFile(KeyHarness::header("/templates", FileCmdHeader::FA_READ_DIR));
    QVERIFY(k.takeFileReply(&r, &data));
    QCOMPARE(r.status, FileCmdHeader::StatusFinished);
    QCOMPARE(r.length, 0);

    k.sendFile(KeyHarness::header("/nosuch", FileCmdHeader::FA_READ_DIR));
    QVERIFY(k.takeFileReply(&r, &data));
    QCOMPARE(r.status, FileCmdHeader::StatusError);
}

void TestKeysimFiles::hostilePathsAreRefused()
{
    KeyHarness k;
    QTemporaryDir outside;
    QFile secret(outside.filePath("secret"));
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("do not serve");
    secret.close();
    QVERIFY(QFile::link(outside.path(), k.dir.filePath("dbsett/escape")));
    k.state.save(k.statePath());
    const QByteArray stateBefore = [&] {
        QFile f(k.statePath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    const QStringList paths = {"/dbsett/../.keystate.json", "/../etc/passwd", "/.keystate.json",
                               "/dbsett/escape/secret", "/dbsett/a\\b", "/dbsett/c:x",
                               "/a/b/c/d/e/f", "/dbsett/..", "/dbsett/"};
    for (const QString &p : paths) {
        for (quint8 command : {FileCmdHeader::FA_READ, FileCmdHeader::FA_WRITE, FileCmdHeader::FA_READ_DIR}) {
            k.sendFile(KeyHarness::header(p, command, 0, FileCmdHeader::StatusFinished), QByteArray("x"));
            FileCmdHeader r;
            QByteArray data;
            QVERIFY2(k.takeFileReply(&r, &data), qPrintable(p));
            if (command == FileCmdHeader::FA_READ_DIR && p == QLatin1String("/dbsett/"))
                continue; // the folder itself, legitimately
            QVERIFY2(r.status == FileCmdHeader::StatusError, qPrintable(p + " " + QString::number(command)));
            QVERIFY(data.isEmpty());
        }
    }
    QFile s(outside.filePath("secret"));
    QVERIFY(s.open(QIODevice::ReadOnly));
    QCOMPARE(s.readAll(), QByteArray("do not serve"));
    QVERIFY(!QFile::exists(outside.filePath("x")));
    QFile f(k.statePath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), stateBefore);

    // A read past the end of a real file is an error, not an empty success.
    QFile rec(k.dir.filePath("dbsett/R1"));
    QVERIFY(rec.open(QIODevice::WriteOnly));
    rec.write("12345");
    rec.close();
    k.sendFile(KeyHarness::header("/dbsett/R1", FileCmdHeader::FA_READ, 6));
    FileCmdHeader r;
    QByteArray data;
    QVERIFY(k.takeFileReply(&r, &data));
    QCOMPARE(r.status, FileCmdHeader::StatusError);
}

void TestKeysimFiles::malformedCommandsGetAnErrorReply()
{
    KeyHarness k;
    auto sendRaw = [&](const QByteArray &payload) {
        QByteArray body("\x31\x00", 2);
        body.append(payload);
        k.engine.handleBody(body);
    };
    auto expectError = [&](const char *what) {
        QVERIFY2(k.out.size() == 1, what);
        keysim::KeyFileCommand c;
        QVERIFY2(keysim::KeyFileCommand::parse(k.out.takeFirst().body.mid(2), &c, nullptr), what);
        QVERIFY2(c.status == keysim::KeyFileCommand::StatusError, what);
    };

    FileCmdHeader h = KeyHarness::header("/dbsett/R1", FileCmdHeader::FA_WRITE);
    sendRaw(h.toBytes().left(100));
    expectError("short header");

    QByteArray noNul = h.toBytes();
    noNul.replace(0, 128, QByteArray(128, 'A'));
    sendRaw(noNul);
    expectError("name without NUL");

    h.length = 400; // promises more data than arrive
    sendRaw(h.toBytes() + QByteArray(10, 'd'));
    expectError("length beyond payload");

    h.length = 513;
    sendRaw(h.toBytes() + QByteArray(513, 'd'));
    expectError("length over 512");

    FileCmdHeader unknown = KeyHarness::header("/dbsett/R1", 9);
    k.sendFile(unknown);
    expectError("unknown command");

    FileCmdHeader badStatus = KeyHarness::header("/dbsett/R1", FileCmdHeader::FA_WRITE, 0, 7);
    k.sendFile(badStatus, "abc");
    expectError("write status 7");
    QVERIFY(!QFile::exists(k.dir.filePath("dbsett/R1")));
}

void TestKeysimFiles::randomBodiesNeverCrash()
{
    KeyHarness k;
    QRandomGenerator rng(2907);
    for (int i = 0; i < 3000; ++i) {
        QByteArray body = randomBytes(int(rng.bounded(800)), rng.generate());
        if (body.size() >= 2 && i % 2 == 0) {
            body[0] = char(i % 4 == 0 ? 0x31 : 0x30);
            body[1] = char(i % 4 == 0 ? 0x00 : 0x01);
        }
        if (body.size() >= 142 && i % 8 == 0)
            body[2 + 128] = char(QList<int>{1, 2, 77}.at(i % 3)); // a real command on random fields
        k.out.clear();
        k.engine.handleBody(body);
        // At most one answer, and one the PC's receiver can take whole.
        QVERIFY(k.out.size() <= 1);
        if (!k.out.isEmpty())
            QVERIFY(k.out.first().body.size() + 1 <= 768);
    }
    // Whatever random writes managed to do stayed inside the key's root.
    QVERIFY(QFileInfo(k.dir.path()).isDir());
}

QTEST_GUILESS_MAIN(TestKeysimFiles)
#include "tst_keysim_files.moc"
