// The key's folder-change notifications against the real keysim over a pseudo-terminal:
// live tightenings and deletions made on the key, and every other change type ordered
// through the key's control input, each leave the PC's mirror as the type demands.
#include "KeysimRig.h"
#include "LogCapture.h"

using namespace e2e;

namespace {

// Changes a key file the way the key itself would: the file is replaced whole, longer by a
// tightening or, when shrink is set, shorter than before (what the PC has must not keep a tail).
bool changeOnKey(const Keysim &sim, const QString &folder, const QString &name, quint32 seed, bool shrink = false)
{
    const QString path = sim.folder(folder) + QLatin1Char('/') + name;
    const QByteArray old = readFile(path);
    return writeFile(path, shrink ? pattern(old.size() / 2, seed) : old + pattern(28, seed));
}

QString mirrored(const PcSide &pc, const QString &folder, const QString &name)
{
    return pc.mirror(folder) + QLatin1Char('/') + name;
}

} // namespace

class TestE2eChanges : public QObject
{
    Q_OBJECT
private slots:
    void liveTighteningFetchedAndHandedToThePage();
    void deletionsOnTheKeyEmptyTheMirror();
    void everyOtherChangeType();
};

void TestE2eChanges::liveTighteningFetchedAndHandedToThePage()
{
    LogCapture quiet;
    Keysim sim;
    QVERIFY(sim.makeKey(4, 2, 40));
    QVERIFY(sim.start({QStringLiteral("--live"), QStringLiteral("1")}));
    PcSide pc(sim.device());
    QVERIFY(pc.connectAndReadOut(60000));

    QVERIFY(pc.gotFile.wait(20000) || pc.gotFile.count() > 0);
    const QStringList got = pc.gotFile.at(0).at(0).toStringList();
    QCOMPARE(got.size(), 2);
    QCOMPARE(got.at(0), QStringLiteral("dbsett"));
    const QString record = got.at(1);
    QVERIFY(folderFiles(sim.folder("dbsett")).contains(record));
    // The key goes on adding; at some moment between two tightenings both copies agree, and
    // the record has grown past what the read-out brought.
    QTRY_VERIFY_WITH_TIMEOUT(readFile(mirrored(pc, "dbsett", record)) == readFile(sim.folder("dbsett") + "/" + record)
                                 && readFile(mirrored(pc, "dbsett", record)).size() > 60 + 2 * 28,
                             20000);
    QVERIFY(sim.stop());
}

void TestE2eChanges::deletionsOnTheKeyEmptyTheMirror()
{
    LogCapture quiet;
    Keysim sim;
    QVERIFY(sim.makeKey(5, 1, 41));
    QVERIFY(sim.start());
    PcSide pc(sim.device());
    QVERIFY(pc.connectAndReadOut(60000));
    const QMap<QString, QByteArray> before = folderFiles(pc.mirror("dbsett"));
    const QMap<QString, QByteArray> templates = folderFiles(pc.mirror("templates"));
    QCOMPARE(before.size(), 5);

    // One record: the key deletes it and reports change 2, the PC drops its copy only.
    const QString victim = before.keys().at(2);
    QVERIFY(pc.protocol()->FE_Page_Delete(victim, 0));
    QVERIFY(pc.rebuilds.wait(20000));
    QVERIFY(!QFileInfo::exists(sim.folder("dbsett") + "/" + victim));
    QMap<QString, QByteArray> expected = before;
    expected.remove(victim);
    QCOMPARE(folderFiles(pc.mirror("dbsett")), expected);

    // Every record: change 6 leaves the records mirror without files, templates untouched.
    QVERIFY(pc.protocol()->FE_Page_Delete(QString(), 1));
    QVERIFY(pc.rebuilds.wait(20000));
    QVERIFY(folderFiles(sim.folder("dbsett")).isEmpty());
    QVERIFY(folderFiles(pc.mirror("dbsett")).isEmpty());
    QCOMPARE(folderFiles(pc.mirror("templates")), templates);
    QVERIFY(sim.stop());
}

void TestE2eChanges::everyOtherChangeType()
{
    Keysim sim;
    QVERIFY(sim.makeKey(12, 1, 42));
    QVERIFY(sim.start());
    PcSide pc(sim.device());
    LogCapture log;
    QVERIFY(pc.connectAndReadOut(60000));
    const QStringList records = folderFiles(sim.folder("dbsett")).keys();
    QCOMPARE(records.size(), 12);

    // Types that name one changed file: that file is fetched again.
    const QList<int> fileTypes{1, 3, 4, 14, 9, 10};
    for (int i = 0; i < fileTypes.size(); ++i) {
        QVERIFY(changeOnKey(sim, "dbsett", records.at(i), quint32(100 + i), i % 2 == 1));
        QVERIFY(sim.notifyChange(fileTypes.at(i), QStringLiteral("dbsett"), records.at(i)));
    }
    for (int i = 0; i < fileTypes.size(); ++i) {
        const QString key = sim.folder("dbsett") + "/" + records.at(i);
        QTRY_VERIFY2_WITH_TIMEOUT(readFile(mirrored(pc, "dbsett", records.at(i))) == readFile(key),
                                  qPrintable(QStringLiteral("type %1").arg(fileTypes.at(i))), 20000);
    }
    QTRY_COMPARE_WITH_TIMEOUT(log.count(QStringLiteral("Notification FE_FileSystem_Status: 9")), 1, 5000);
    QCOMPARE(log.count(QStringLiteral("Notification FE_FileSystem_Status: 10")), 1);

    // Types that name a folder: the whole folder is fetched again, so files added and
    // removed on the key show in the mirror.
    QVERIFY(writeFile(sim.folder("dbsett") + QStringLiteral("/added5.bin"), pattern(900, 5)));
    QVERIFY(QFile::remove(sim.folder("dbsett") + "/" + records.at(11)));
    const int recordsDone = pc.folderDone(QStringLiteral("/dbsett"));
    QVERIFY(sim.notifyChange(5, QStringLiteral("dbsett"), QString()));
    QVERIFY(pc.waitForFolder(QStringLiteral("/dbsett"), recordsDone + 1, 30000));
    QString diff = differences(folderFiles(pc.mirror("dbsett")), folderFiles(sim.folder("dbsett")));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QVERIFY(writeFile(sim.folder("templates") + QStringLiteral("/added13.bin"), pattern(1500, 13)));
    const int templatesDone = pc.folderDone(QStringLiteral("/templates"));
    QVERIFY(sim.notifyChange(13, QStringLiteral("templates"), QStringLiteral("*")));
    QVERIFY(pc.waitForFolder(QStringLiteral("/templates"), templatesDone + 1, 30000));
    diff = differences(folderFiles(pc.mirror("templates")), folderFiles(sim.folder("templates")));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // Types that only say something happened, and types nobody knows: the named file is
    // neither fetched nor removed. A fetch ordered last shows when all were handled, since
    // notifications are handled in the order they arrive.
    const QString untouched = records.at(7);
    const QByteArray oldCopy = readFile(mirrored(pc, "dbsett", untouched));
    QVERIFY(!oldCopy.isEmpty());
    QVERIFY(changeOnKey(sim, "dbsett", untouched, 7));
    const int from = sim.requests().size();
    log.clear();
    for (int type : {7, 8, 11, 12, 0, 15, 99, -1})
        QVERIFY(sim.notifyChange(type, QStringLiteral("dbsett"), untouched));
    const QString marker = records.at(8);
    QVERIFY(changeOnKey(sim, "dbsett", marker, 8));
    QVERIFY(sim.notifyChange(3, QStringLiteral("dbsett"), marker));
    QTRY_VERIFY_WITH_TIMEOUT(readFile(mirrored(pc, "dbsett", marker)) == readFile(sim.folder("dbsett") + "/" + marker),
                             20000);
    QCOMPARE(readFile(mirrored(pc, "dbsett", untouched)), oldCopy);
    QCOMPARE(sim.requests().mid(from), QStringList{QStringLiteral("FA_READ dbsett/") + marker});
    for (int type : {7, 8, 11, 12})
        QCOMPARE(log.count(QStringLiteral("Notification FE_FileSystem_Status: %1").arg(type)), 1);
    QCOMPARE(log.count(QStringLiteral("Notification FE_FileSystem_Status:")), 4);

    QVERIFY(sim.stop());
}

QTEST_GUILESS_MAIN(TestE2eChanges)
#include "tst_e2e_changes.moc"
