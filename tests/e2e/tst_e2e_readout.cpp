// The read-out after plugging the key in, against the real keysim over a pseudo-terminal:
// the requests reach the key in the order the PC must send them, the replies fill the PC's
// model, and the key's folders arrive in the mirror byte for byte.
#include "KeysimRig.h"
#include "LogCapture.h"

#include "protocol/KeyModel.h"
#include "records/MenuLevels.h"
#include "records/TemplateBinary.h"
#include "records/TemplateListsModel.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>

using namespace e2e;

namespace {

QJsonObject keyState(const Keysim &sim)
{
    return QJsonDocument::fromJson(readFile(sim.root() + QStringLiteral("/.keystate.json"))).object();
}

// One "FA_READ folder/name[ seek=N]" line of the key's request log.
struct ReadLine
{
    QString path;
    qint64 seek = 0;
};

bool parseRead(const QString &line, ReadLine *out)
{
    static const QRegularExpression re(QStringLiteral("^FA_READ (\\S+)(?: seek=(\\d+))?$"));
    const QRegularExpressionMatch m = re.match(line);
    if (!m.hasMatch())
        return false;
    out->path = m.captured(1);
    out->seek = m.captured(2).isEmpty() ? 0 : m.captured(2).toLongLong();
    return true;
}

} // namespace

class TestE2eReadout : public QObject
{
    Q_OBJECT
private slots:
    void requestsInOrderAndModelFilled();
    void wholeFoldersMirroredByteIdentical();
};

void TestE2eReadout::requestsInOrderAndModelFilled()
{
    LogCapture quiet;
    Keysim sim;
    QVERIFY(sim.makeKey(6, 70, 21)); // 60 + 70 * 28 = 2020 bytes: four parts a record
    // The key's clock is far off; the read-out must set it to the PC's.
    QJsonObject state = keyState(sim);
    state.insert(QStringLiteral("clockOffsetSeconds"), 3.0e7);
    QVERIFY(writeFile(sim.root() + QStringLiteral("/.keystate.json"), QJsonDocument(state).toJson()));
    QVERIFY(sim.start());

    PcSide pc(sim.device());
    QVERIFY(pc.connectAndReadOut(60000));
    // Supervision took over from the read-out, as in the window.
    QTRY_VERIFY_WITH_TIMEOUT(sim.statusRequests() >= 1, 5000);

    const QStringList log = sim.requests();
    const QStringList head{QStringLiteral("FE_KeyName_Read"),       QStringLiteral("FE_DeviceSetting_Read"),
                           QStringLiteral("FE_SettingsCalibrate_Read"), QStringLiteral("FE_MenuLevel_Read"),
                           QStringLiteral("FE_MenuLevel_Read"),     QStringLiteral("FE_MenuLevel_Read"),
                           QStringLiteral("FE_MenuLevel_Read"),     QStringLiteral("FE_WiFiSettings_Read"),
                           QStringLiteral("FE_DateTime_Write"),     QStringLiteral("FA_READ_DIR templates"),
                           QStringLiteral("FA_READ_DIR dbsett")};
    QVERIFY2(log.size() > head.size(), qPrintable(log.join(QLatin1Char('|'))));
    QCOMPARE(log.mid(0, head.size()), head);

    // After the listings only file reads: each key file exactly once, its parts in order,
    // every templates file asked for before any record.
    QMap<QString, QByteArray> keyFiles;
    for (const QString &folder : {QStringLiteral("templates"), QStringLiteral("dbsett")}) {
        const QMap<QString, QByteArray> files = folderFiles(sim.folder(folder));
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            keyFiles.insert(folder + QLatin1Char('/') + it.key(), it.value());
    }
    QMap<QString, QList<qint64>> seeks;
    int lastTemplateStart = -1;
    int firstRecordStart = -1;
    for (int i = head.size(); i < log.size(); ++i) {
        ReadLine r;
        QVERIFY2(parseRead(log.at(i), &r), qPrintable(log.at(i)));
        QVERIFY2(keyFiles.contains(r.path), qPrintable(r.path));
        seeks[r.path].append(r.seek);
        if (r.seek == 0 && r.path.startsWith(QLatin1String("templates/")))
            lastTemplateStart = i;
        if (r.seek == 0 && r.path.startsWith(QLatin1String("dbsett/")) && firstRecordStart < 0)
            firstRecordStart = i;
    }
    QVERIFY(lastTemplateStart >= 0 && firstRecordStart >= 0);
    QVERIFY(lastTemplateStart < firstRecordStart);
    for (auto it = keyFiles.cbegin(); it != keyFiles.cend(); ++it) {
        QList<qint64> expected;
        for (qint64 s = 0; s == 0 || s < it.value().size(); s += 512)
            expected.append(s);
        QCOMPARE(seeks.value(it.key()), expected);
    }

    // The replies reached the model.
    const KeyModel *model = pc.session.model();
    QCOMPARE(model->names().keyName, state.value("KeyName").toString());
    QCOMPARE(model->names().operatorName, state.value("OperatorName").toString());
    const QJsonObject device = state.value("device").toObject();
    QCOMPARE(QString::fromUtf8(model->deviceSettings().SerialNo), device.value("SerialNo").toString());
    QCOMPARE(int(model->deviceSettings().SleepTime), device.value("SleepTime").toInt());
    QCOMPARE(model->calibration().nm, state.value("calibration").toObject().value("nm").toDouble());
    QCOMPARE(model->wifiSettings().SSID, state.value("wifi").toObject().value("SSID").toString());
    const QJsonArray levels = state.value("menuLevels").toArray();
    QCOMPARE(levels.size(), MenuLevels::Count);
    for (int i = 0; i < MenuLevels::Count; ++i) {
        QCOMPARE(pc.session.menuLevels()->level(i).top, levels.at(i).toObject().value("NameTop").toString());
        QCOMPARE(pc.session.menuLevels()->level(i).order, levels.at(i).toObject().value("Order").toInt());
    }
    QVERIFY(qAbs(keyState(sim).value("clockOffsetSeconds").toDouble()) < 10);

    QVERIFY(sim.stop());
}

void TestE2eReadout::wholeFoldersMirroredByteIdentical()
{
    LogCapture quiet;
    Keysim sim;
    QVERIFY(sim.makeKey(300, 1, 22));
    // Every chunk boundary, in both folders, with bytes that need escaping on the line.
    quint32 seed = 1;
    for (const QString &folder : {QStringLiteral("templates"), QStringLiteral("dbsett")}) {
        for (int size : {0, 511, 512, 513, 1300})
            QVERIFY(writeFile(sim.folder(folder) + QStringLiteral("/edge_%1.bin").arg(size), pattern(size, seed++)));
    }
    // A folder inside a key folder is listed but never fetched.
    QVERIFY(writeFile(sim.folder("dbsett") + QStringLiteral("/archive/old.bin"), pattern(100, 99)));
    QVERIFY(sim.start());

    PcSide pc(sim.device());
    // Leftovers of an earlier key: a file this key does not have, a longer copy of a file
    // it has, and a folder of the user's own.
    QVERIFY(writeFile(pc.mirror("dbsett") + QStringLiteral("/stale.bin"), pattern(700, 5)));
    QVERIFY(writeFile(pc.mirror("templates") + QStringLiteral("/FioTypes"), pattern(40000, 6)));
    QVERIFY(writeFile(pc.mirror("dbsett") + QStringLiteral("/keep/mine.bin"), pattern(10, 7)));
    QSignalSpy lists(pc.session.templateLists(), SIGNAL(receivedFromKey()));

    QElapsedTimer t;
    t.start();
    QVERIFY(pc.connectAndReadOut(120000));
    qInfo("read-out of %d key files took %lld ms", int(folderFiles(sim.folder("dbsett")).size()
                                                         + folderFiles(sim.folder("templates")).size()),
          t.elapsed());

    QCOMPARE(folderFiles(sim.folder("dbsett")).size(), 305);
    for (const QString &folder : {QStringLiteral("templates"), QStringLiteral("dbsett")}) {
        const QString diff = differences(folderFiles(pc.mirror(folder)), folderFiles(sim.folder(folder)));
        QVERIFY2(diff.isEmpty(), qPrintable(folder + QStringLiteral(": ") + diff));
    }
    QVERIFY(!QFileInfo::exists(pc.mirror("dbsett") + QStringLiteral("/archive")));
    QCOMPARE(readFile(pc.mirror("dbsett") + QStringLiteral("/keep/mine.bin")), pattern(10, 7));

    // The record listing needed several parts, and each folder was reported complete once.
    QVERIFY(sim.requests().filter(QRegularExpression(QStringLiteral("^FA_READ_DIR dbsett seek=\\d+$"))).size() >= 2);
    QCOMPARE(pc.folderDone(QStringLiteral("/templates")), 1);
    QCOMPARE(pc.folderDone(QStringLiteral("/dbsett")), 1);
    QVERIFY(lists.count() >= 1);
    TemplateLists keyLists;
    TemplateBinary::apply(TemplateKind::Fio, readFile(sim.folder("templates") + QStringLiteral("/FioTypes")), &keyLists);
    QVERIFY(!keyLists.fio[1].text1.isEmpty());
    QCOMPARE(pc.session.templateLists()->lists().fio[1].text1, keyLists.fio[1].text1);

    QVERIFY(sim.stop());
}

QTEST_GUILESS_MAIN(TestE2eReadout)
#include "tst_e2e_readout.moc"
