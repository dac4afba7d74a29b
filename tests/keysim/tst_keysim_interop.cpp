// The PC's own file exchange against the emulated key, in one process: every body the PC
// queues goes to the key's engine, every answer comes back to the PC, one at a time as the
// transmit queue would pace them. What arrives in the PC's mirror must equal the key's files.
#include "KeySample.h"
#include "KeyState.h"
#include "SimulatedKey.h"

#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "protocol/FileExchange.h"
#include "protocol/KeySender.h"
#include "protocol/KeyTransport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace keysim;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The USB link reduced to a queue of bodies on their way to the key.
class LoopTransport : public KeyTransport
{
public:
    QList<QByteArray> toKey;
    int noReplyCount = 0;
    bool queueCommand(quint8 packetClass, quint8 subCode, const QByteArray &payload, quint8,
                      int noReply) override
    {
        QByteArray body;
        body.append(char(packetClass));
        body.append(char(subCode));
        body.append(payload);
        toKey.append(body);
        noReplyCount += noReply;
        return true;
    }
    void ackReply(const QString &) override {}
};

struct Bench
{
    QTemporaryDir keyRoot;
    QTemporaryDir pcRoot;
    cGlobalData global;
    KeySender sender{&global};
    LoopTransport link;
    FileExchange exchange{&sender, nullptr, 5, 5};
    SimulatedKey *key = nullptr;
    QList<QJsonObject> notifications;
    int framesToKey = 0;

    bool start(int records, int measures)
    {
        MakeKeyOptions o;
        o.root = keyRoot.path();
        o.records = records;
        o.measures = measures;
        o.seed = 3;
        QString error;
        if (!makeKey(o, &error))
            return false;
        Paths::setDataRoot(pcRoot.path());
        sender.setModeSource([] { return LinkMode::Usb; });
        sender.setUsbTransport(&link);
        key = new SimulatedKey(keyRoot.path());
        QObject::connect(&key->engine(), &KeyProtocolEngine::frameOut, [this](const QByteArray &body, bool) {
            const QByteArray payload = body.mid(2);
            if (uchar(body.at(0)) == 0x31) {
                exchange.HandleFileCommand(reinterpret_cast<const uchar *>(payload.constData()),
                                           payload.size(), QString());
            } else {
                const QJsonObject o = QJsonDocument::fromJson(payload.left(payload.indexOf('\0'))).object();
                notifications.append(o);
                if (o.value("function_name").toString() == QLatin1String("FE_FileSystem_Status"))
                    exchange.HandleFileSystemStatus(o.value("dirname").toString(), o.value("filename").toString(),
                                                    o.value("changetype").toInt());
            }
        });
        return key->start(&error);
    }

    // Hands queued bodies to the key until nothing is left to send.
    void pump()
    {
        while (!link.toKey.isEmpty() && framesToKey < 100000) {
            ++framesToKey;
            key->engine().handleBody(link.toKey.takeFirst());
        }
    }

    ~Bench() { delete key; }
};

} // namespace

class TestKeysimInterop : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Paths::setDataRoot(QString()); }
    void wholeFoldersArriveInTheMirror();
    void recordPutIsHandedToThePage();
    void deletionsEmptyTheMirror();
    void liveTighteningReachesThePage();
};

void TestKeysimInterop::wholeFoldersArriveInTheMirror()
{
    Bench b;
    QVERIFY(b.start(45, 20)); // 45 names do not fit one listing part; 620-byte records need two reads
    QSignalSpy gotDir(&b.exchange, &FileExchange::slot_files_got_dir);
    QVERIFY(b.exchange.GetFromKey("templates", "*"));
    QVERIFY(b.exchange.GetFromKey("dbsett", "*"));
    b.pump();
    QVERIFY(!b.exchange.isBusy());
    QStringList dirs;
    for (const QList<QVariant> &args : gotDir)
        dirs.append(args.at(0).toString());
    QVERIFY2(dirs.contains("/templates") && dirs.contains("/dbsett"), qPrintable(dirs.join(',')));

    for (const QString &folder : {QStringLiteral("templates"), QStringLiteral("dbsett")}) {
        const QStringList keyFiles = QDir(b.keyRoot.filePath(folder)).entryList(QDir::Files);
        QCOMPARE(QDir(Paths::downloadDir(folder)).entryList(QDir::Files), keyFiles);
        for (const QString &f : keyFiles)
            QCOMPARE(readAll(Paths::downloadDir(folder) + "/" + f), readAll(b.keyRoot.filePath(folder + "/" + f)));
    }
    QCOMPARE(QDir(Paths::downloadDir("dbsett")).entryList(QDir::Files).size(), 45);
    QVERIFY(!QFile::exists(Paths::downloadRoot() + "/" + KeyState::stateFileName()));
}

void TestKeysimInterop::recordPutIsHandedToThePage()
{
    Bench b;
    QVERIFY(b.start(2, 0));
    QTemporaryDir local;
    RecordFile rec;
    rec.header.setOperationNumber("0000000042");
    rec.header.fioIndex = 1;
    rec.header.wheelIndex = 10;
    rec.header.uzelIndex = 3;
    rec.header.countTotal = 8;
    const QByteArray bytes = rec.toBytes();
    QFile f(local.filePath("010A000000004203"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();

    QSignalSpy put(&b.exchange, &FileExchange::files_put_file);
    QVERIFY(b.exchange.PutFileToFolder("dbsett", f.fileName(), true));
    b.pump();
    QCOMPARE(put.count(), 1);
    QCOMPARE(put.first().at(0).toStringList(), (QStringList{"dbsett", "010A000000004203"}));
    QCOMPARE(readAll(b.keyRoot.filePath("dbsett/010A000000004203")), bytes);
    // The remembered folder is fetched again so the mirror matches the key: three records.
    QCOMPARE(QDir(Paths::downloadDir("dbsett")).entryList(QDir::Files).size(), 3);
}

void TestKeysimInterop::deletionsEmptyTheMirror()
{
    Bench b;
    QVERIFY(b.start(4, 1));
    QVERIFY(b.exchange.GetFromKey("dbsett", "*"));
    b.pump();
    QStringList mirror = QDir(Paths::downloadDir("dbsett")).entryList(QDir::Files);
    QCOMPARE(mirror.size(), 4);

    b.key->engine().handleBody(QByteArray("\x30\x01", 2)
                               + QByteArray(R"({"function_name":"FE_Page_Delete","pagenumber":")")
                               + mirror.first().toUtf8() + R"(","all":0})" + QByteArray(1, '\0'));
    QCOMPARE(QDir(Paths::downloadDir("dbsett")).entryList(QDir::Files).size(), 3);
    QVERIFY(!QFile::exists(b.keyRoot.filePath("dbsett/" + mirror.first())));

    b.key->engine().handleBody(QByteArray("\x30\x01", 2)
                               + QByteArray(R"({"function_name":"FE_Page_Delete","pagenumber":"","all":1})")
                               + QByteArray(1, '\0'));
    QVERIFY(QDir(Paths::downloadDir("dbsett")).entryList(QDir::Files).isEmpty());
    QVERIFY(QDir(b.keyRoot.filePath("dbsett")).entryList(QDir::Files).isEmpty());
}

void TestKeysimInterop::liveTighteningReachesThePage()
{
    Bench b;
    QVERIFY(b.start(3, 2));
    QSignalSpy gotFile(&b.exchange, &FileExchange::slot_files_got_file);
    b.key->measureOnce();
    b.pump();
    QCOMPARE(b.notifications.size(), 1);
    const QString name = b.notifications.first().value("filename").toString();
    QCOMPARE(gotFile.count(), 1);
    QCOMPARE(gotFile.first().at(0).toStringList(), (QStringList{"dbsett", name}));
    const QByteArray local = readAll(Paths::downloadDir("dbsett") + "/" + name);
    QCOMPARE(local, readAll(b.keyRoot.filePath("dbsett/" + name)));
    QCOMPARE(int(RecordFile::read(local).record.header.countCon), 3);
}

QTEST_GUILESS_MAIN(TestKeysimInterop)
#include "tst_keysim_interop.moc"
