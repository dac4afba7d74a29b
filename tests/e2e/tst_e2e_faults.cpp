// The read-out against a real keysim that misbehaves: replies lost or spoiled on the line,
// a key that names files outside its folders, and a cable pulled in the middle of the
// transfer. The mirror must come out right or stay as it was, never half written, and
// nothing outside the download folder may change.
#include "KeysimRig.h"
#include "LogCapture.h"

using namespace e2e;

namespace {

// Everything below base except the two mirrored key folders and the PC's own calibration
// archive, which the read-out fills.
QMap<QString, QByteArray> outsideMirrors(const QString &base)
{
    QMap<QString, QByteArray> all = treeFiles(base);
    for (auto it = all.begin(); it != all.end();) {
        if (it.key().startsWith(QLatin1String("root/download/dbsett/"))
            || it.key().startsWith(QLatin1String("root/download/templates/"))
            || it.key().startsWith(QLatin1String("root/download/Calibrate/")))
            it = all.erase(it);
        else
            ++it;
    }
    return all;
}

} // namespace

class TestE2eFaults : public QObject
{
    Q_OBJECT
private slots:
    void mirrorSurvivesLostAndSpoiledReplies();
    void hostileNamesStayInsideTheirFolders();
    void unplugClosesTheLinkAndScanningFindsTheKeyAgain();
};

void TestE2eFaults::mirrorSurvivesLostAndSpoiledReplies()
{
    Keysim sim;
    QVERIFY(sim.makeKey(10, 20, 51)); // 620-byte records: two parts each
    quint32 seed = 1;
    for (int size : {0, 512, 513})
        QVERIFY(writeFile(sim.folder("dbsett") + QStringLiteral("/edge_%1.bin").arg(size), pattern(size, seed++)));
    // Lost and spoiled replies never hit the same command twice in a row (both counts are
    // multiples of 4), which is all the USB queue's one resend can make up for.
    QVERIFY(sim.start({QStringLiteral("--drop-every"), QStringLiteral("8"), QStringLiteral("--corrupt-every"),
                       QStringLiteral("12")}));
    LogCapture log;
    PcSide pc(sim.device(), 800);
    QVERIFY(pc.connectAndReadOut(90000));
    for (const QString &folder : {QStringLiteral("templates"), QStringLiteral("dbsett")}) {
        const QString diff = differences(folderFiles(pc.mirror(folder)), folderFiles(sim.folder(folder)));
        QVERIFY2(diff.isEmpty(), qPrintable(folder + QStringLiteral(": ") + diff));
    }

    // Writing through the same faults, and the folder fetched back.
    const QString outbox = pc.base() + QStringLiteral("/outbox/");
    QVERIFY(writeFile(outbox + QStringLiteral("a.bin"), pattern(1300, 20)));
    QVERIFY(writeFile(outbox + QStringLiteral("b.bin"), pattern(512, 21)));
    QVERIFY(pc.files()->PutFileToFolder(QStringLiteral("userdata"), outbox + QStringLiteral("a.bin"), true));
    QVERIFY(pc.files()->PutFileToFolder(QStringLiteral("userdata"), outbox + QStringLiteral("b.bin"), true));
    QVERIFY(pc.waitForFolder(QStringLiteral("/userdata"), 1, 60000));
    QCOMPARE(readFile(sim.folder("userdata") + QStringLiteral("/a.bin")), pattern(1300, 20));
    QCOMPARE(readFile(sim.folder("userdata") + QStringLiteral("/b.bin")), pattern(512, 21));
    QCOMPARE(folderFiles(pc.mirror("userdata")), folderFiles(sim.folder("userdata")));

    // The faults really happened, and each cost the PC one time-out, never the queue.
    QVERIFY(sim.stop());
    const QByteArray keyErr = sim.errorOutput();
    const int dropped = keyErr.count("dropped");
    const int spoiled = keyErr.count("wrong CRC");
    QVERIFY2(dropped >= 10 && spoiled >= 5, qPrintable(QStringLiteral("%1 dropped, %2 spoiled").arg(dropped).arg(spoiled)));
    QVERIFY(log.count(QStringLiteral(" *** Error: Queue timer")) >= dropped + spoiled);
    QCOMPARE(log.count(QStringLiteral(" *** Bad Error: Queue timer")), 0);
}

void TestE2eFaults::hostileNamesStayInsideTheirFolders()
{
    Keysim sim;
    QVERIFY(sim.makeKey(3, 1, 52));
    QVERIFY(sim.start({QStringLiteral("--hostile-names")}));
    LogCapture log;
    PcSide pc(sim.device());
    // What a key escaping its folder would hit first.
    for (const QString &path : {QStringLiteral("/sentinel.txt"), QStringLiteral("/root/sentinel.txt"),
                                QStringLiteral("/root/download/sentinel.txt"),
                                QStringLiteral("/root/download/other/sentinel.txt")})
        QVERIFY(writeFile(pc.base() + path, path.toUtf8()));
    const QMap<QString, QByteArray> outside = outsideMirrors(pc.base());

    // Listings that start with names leading out of the folder.
    QVERIFY(pc.connectAndReadOut(60000));
    QVERIFY(log.count(QStringLiteral("name refused")) >= 2 * 10);

    // Change notifications naming places outside the folders.
    struct Change
    {
        int type;
        const char *dir;
        const char *file;
    };
    const Change changes[] = {
        {2, "dbsett", "../sentinel.txt"},   {2, "dbsett", "../../sentinel.txt"}, {2, "..", "sentinel.txt"},
        {2, "../..", "sentinel.txt"},       {2, "dbsett/..", "sentinel.txt"},    {2, "", "sentinel.txt"},
        {2, "dbsett", "..\\sentinel.txt"},  {2, "dbsett", "*"},                  {2, "C:", "sentinel.txt"},
        {6, "..", ""},                      {6, "", ""},                         {6, "/", ""},
        {6, ".", ""},                       {6, "dbsett/../other", ""},          {6, "../..", ""},
        {5, "..", "*"},                     {13, "../..", ""},                   {5, "dbsett/../..", ""},
        {1, "dbsett", "../escape.bin"},     {3, "templates", "../../escape.bin"}, {4, "dbsett", "/escape.bin"},
        {14, "dbsett", "sub/../../escape.bin"}, {9, "..", "escape.bin"},        {10, "dbsett", "C:escape.bin"},
        {1, "dbsett", ".."},                {3, "dbsett", ""},
    };
    for (const Change &c : changes)
        QVERIFY(sim.notifyChange(c.type, QString::fromUtf8(c.dir), QString::fromUtf8(c.file)));
    // A fair change last: once it is fetched, every notification before it was handled.
    const QString marker = folderFiles(sim.folder("dbsett")).keys().first();
    QVERIFY(writeFile(sim.folder("dbsett") + "/" + marker, pattern(200, 9)));
    QVERIFY(sim.notifyChange(3, QStringLiteral("dbsett"), marker));
    QTRY_COMPARE_WITH_TIMEOUT(readFile(pc.mirror("dbsett") + "/" + marker), pattern(200, 9), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!pc.files()->isBusy(), 20000);

    // The PC asked only for files that really are in the key's folders.
    for (const QString &line : sim.requests()) {
        if (!line.startsWith(QLatin1String("FA_READ ")))
            continue;
        const QString path = line.mid(8).section(QLatin1Char(' '), 0, 0);
        QVERIFY2(QFileInfo(sim.root() + "/" + path).isFile() && !path.contains(QLatin1String("..")),
                 qPrintable(line));
    }
    // Nothing outside the mirrors changed, and the mirrors hold the key's files only.
    const QMap<QString, QByteArray> after = outsideMirrors(pc.base());
    QString diff = differences(after, outside);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    for (const QString &folder : {QStringLiteral("templates"), QStringLiteral("dbsett")}) {
        diff = differences(folderFiles(pc.mirror(folder)), folderFiles(sim.folder(folder)));
        QVERIFY2(diff.isEmpty(), qPrintable(folder + QStringLiteral(": ") + diff));
    }
    QVERIFY(sim.stop());
}

void TestE2eFaults::unplugClosesTheLinkAndScanningFindsTheKeyAgain()
{
    LogCapture quiet;
    Keysim sim;
    QVERIFY(sim.makeKey(40, 1, 53));
    // Slow enough that the cable goes while files are still on their way.
    QVERIFY(sim.start({QStringLiteral("--latency"), QStringLiteral("30"), QStringLiteral("--unplug-after"),
                       QStringLiteral("1.5")}));
    PcSide pc(sim.device());
    QSignalSpy lost(&pc.usb, SIGNAL(keyLost()));
    QSignalSpy noKey(&pc.usb, SIGNAL(enterNoKeyState()));
    QSignalSpy connected(&pc.usb, SIGNAL(usbKeyConnected()));
    pc.usb.TmrCheckSerialPorts();
    QVERIFY(pc.usb.isConnected());
    QCOMPARE(connected.count(), 1);

    QVERIFY(lost.wait(20000));
    // Scan for a path that cannot exist until the key is back: the freed terminal's number
    // may meanwhile go to some other program, whose line must never be opened as the key.
    pc.global.portOverride = pc.base() + QStringLiteral("/no-key-yet");
    QVERIFY(!pc.usb.isConnected());
    QVERIFY(pc.usb.comSlip() == nullptr);
    QCOMPARE(pc.connection.mode(), KeyConnection::Mode::None);
    QCOMPARE(pc.folderDone(QStringLiteral("/dbsett")), 0);
    QTRY_VERIFY_WITH_TIMEOUT(sim.process().state() == QProcess::NotRunning, 10000);
    QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process().exitCode(), 0);
    // Whatever arrived before the cable went is whole.
    const QMap<QString, QByteArray> partial = folderFiles(pc.mirror("dbsett"));
    const QMap<QString, QByteArray> keyRecords = folderFiles(sim.folder("dbsett"));
    for (auto it = partial.cbegin(); it != partial.cend(); ++it)
        QVERIFY2(keyRecords.value(it.key()) == it.value(), qPrintable(it.key()));
    QVERIFY(partial.size() < keyRecords.size());

    // The scan keeps looking while the port is gone ...
    const int scans = noKey.count();
    QTRY_VERIFY_WITH_TIMEOUT(noKey.count() >= scans + 2, 10000);
    QVERIFY(!pc.usb.isConnected());

    // ... and finds the key when it comes back, on another port, and reads it whole.
    Keysim again;
    again.setRoot(sim.root());
    QVERIFY(again.start());
    pc.global.portOverride = again.device();
    QVERIFY(connected.wait(10000));
    QVERIFY(pc.waitForFolder(QStringLiteral("/dbsett"), 1, 60000));
    QCOMPARE(lost.count(), 1);
    const QString diff = differences(folderFiles(pc.mirror("dbsett")), keyRecords);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QVERIFY(again.stop());
    QVERIFY(sim.stop());
}

QTEST_GUILESS_MAIN(TestE2eFaults)
#include "tst_e2e_faults.moc"
