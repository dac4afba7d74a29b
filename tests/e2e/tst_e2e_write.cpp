// Files put on the real keysim over a pseudo-terminal: every chunk boundary arrives whole,
// a folder written with remember set is fetched back once its last write has finished, and
// without remember nothing is fetched.
#include "KeysimRig.h"
#include "LogCapture.h"

using namespace e2e;

namespace {

// The key's request log from line `from` on.
QStringList since(const Keysim &sim, int from)
{
    return sim.requests().mid(from);
}

} // namespace

class TestE2eWrite : public QObject
{
    Q_OBJECT
private slots:
    void rememberedFolderFetchedAgainAfterLastWrite();
    void recordPutWithoutRememberIsHandedToThePage();
};

void TestE2eWrite::rememberedFolderFetchedAgainAfterLastWrite()
{
    LogCapture quiet;
    Keysim sim;
    QVERIFY(sim.makeKey(3, 2, 31));
    QVERIFY(writeFile(sim.folder("userdata") + QStringLiteral("/shrink.bin"), pattern(2000, 1)));
    QVERIFY(writeFile(sim.folder("userdata") + QStringLiteral("/other.bin"), pattern(300, 2)));
    QVERIFY(sim.start());
    PcSide pc(sim.device());
    QVERIFY(pc.connectAndReadOut(60000));
    const int from = sim.requests().size();

    // Sources outside the mirror, which the fetch-back replaces wholesale.
    QMap<QString, QByteArray> sources;
    quint32 seed = 10;
    for (int size : {0, 511, 512, 513, 1300})
        sources.insert(QStringLiteral("f%1.bin").arg(size), pattern(size, seed++));
    sources.insert(QStringLiteral("shrink.bin"), pattern(700, seed++)); // shorter than the key's copy
    const QString outbox = pc.base() + QStringLiteral("/outbox");
    for (auto it = sources.cbegin(); it != sources.cend(); ++it)
        QVERIFY(writeFile(outbox + QLatin1Char('/') + it.key(), it.value()));
    for (auto it = sources.cbegin(); it != sources.cend(); ++it)
        QVERIFY(pc.files()->PutFileToFolder(QStringLiteral("userdata"), outbox + QLatin1Char('/') + it.key(), true));
    QCOMPARE(pc.files()->writeDirs(), QStringList{QStringLiteral("userdata")});

    QVERIFY(pc.waitForFolder(QStringLiteral("/userdata"), 1, 60000));

    // The key holds exactly what was put, next to the file the PC never touched.
    QMap<QString, QByteArray> expected = sources;
    expected.insert(QStringLiteral("other.bin"), pattern(300, 2));
    QString diff = differences(folderFiles(sim.folder("userdata")), expected);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    diff = differences(folderFiles(pc.mirror("userdata")), expected);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QVERIFY(pc.files()->writeDirs().isEmpty());

    // One packet per 512 bytes plus the closing one for an exact multiple; the folder listed
    // once, after the last write.
    const QStringList log = since(sim, from);
    QCOMPARE(log.filter(QStringLiteral("FA_WRITE userdata/f0.bin")), QStringList{"FA_WRITE userdata/f0.bin"});
    QCOMPARE(log.filter(QStringLiteral("FA_WRITE userdata/f512.bin")),
             (QStringList{"FA_WRITE userdata/f512.bin", "FA_WRITE userdata/f512.bin seek=512"}));
    QCOMPARE(log.filter(QStringLiteral("FA_WRITE userdata/f1300.bin")),
             (QStringList{"FA_WRITE userdata/f1300.bin", "FA_WRITE userdata/f1300.bin seek=512",
                          "FA_WRITE userdata/f1300.bin seek=1024"}));
    const int listed = log.indexOf(QStringLiteral("FA_READ_DIR userdata"));
    QCOMPARE(log.filter(QStringLiteral("FA_READ_DIR")), QStringList{"FA_READ_DIR userdata"});
    int lastWrite = -1;
    for (int i = 0; i < log.size(); ++i)
        lastWrite = log.at(i).startsWith(QLatin1String("FA_WRITE")) ? i : lastWrite;
    QVERIFY2(listed > lastWrite, qPrintable(log.join(QLatin1Char('|'))));
    QCOMPARE(pc.folderDone(QStringLiteral("/userdata")), 1);

    QVERIFY(sim.stop());
}

void TestE2eWrite::recordPutWithoutRememberIsHandedToThePage()
{
    LogCapture quiet;
    Keysim sim;
    QVERIFY(sim.makeKey(3, 2, 32));
    QVERIFY(sim.start());
    PcSide pc(sim.device());
    QVERIFY(pc.connectAndReadOut(60000));
    const int from = sim.requests().size();

    // A record edited on the PC: a copy of a key record with one more tightening's worth of
    // bytes, under a new name.
    const QMap<QString, QByteArray> records = folderFiles(pc.mirror("dbsett"));
    QCOMPARE(records.size(), 3);
    const QByteArray record = records.first() + pattern(28, 3);
    const QString name = QStringLiteral("0000000042");
    const QString local = pc.base() + QStringLiteral("/outbox/") + name;
    QVERIFY(writeFile(local, record));
    QVERIFY(pc.files()->PutFileToFolder(QStringLiteral("dbsett"), local, false));

    QTRY_COMPARE_WITH_TIMEOUT(pc.putFile.count(), 1, 30000);
    QCOMPARE(pc.putFile.at(0).at(0).toStringList(), (QStringList{QStringLiteral("dbsett"), name}));
    QCOMPARE(readFile(sim.folder("dbsett") + QLatin1Char('/') + name), record);
    QTRY_VERIFY_WITH_TIMEOUT(!pc.files()->isBusy(), 30000);
    // Nothing fetched back: the mirror still has only the records of the read-out.
    QVERIFY(since(sim, from).filter(QStringLiteral("FA_READ")).isEmpty());
    QCOMPARE(folderFiles(pc.mirror("dbsett")), records);

    QVERIFY(sim.stop());
}

QTEST_GUILESS_MAIN(TestE2eWrite)
#include "tst_e2e_write.moc"
