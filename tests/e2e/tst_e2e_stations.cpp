// Two stations of one plant, each with its own data root and name, pull keysim keys with
// torquedesk-cli into one private PostgreSQL and publish to one private broker; one key is
// read at the first station and then carried to the second.
#include "KeysimRig.h"
#include "MqttBroker.h"
#include "MqttSubscriber.h"
#include "PgServer.h"
#include "history/HistoryStore.h"
#include "records/RecordFile.h"

#include <QProcessEnvironment>
#include <QtTest>

using namespace e2e;

namespace {

struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliRun runCli(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("TD_BUILD_DIR", QStringLiteral(".")) + QStringLiteral("/torquedesk-cli"), args);
    CliRun r;
    if (!p.waitForFinished(120000))
        p.kill();
    p.waitForFinished(5000);
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

int measuresOn(const Keysim &key)
{
    int n = 0;
    for (const QByteArray &bytes : folderFiles(key.folder(QStringLiteral("dbsett"))))
        n += RecordFile::read(bytes).record.entries.size();
    return n;
}

} // namespace

class TestE2eStations : public QObject
{
    Q_OBJECT

private slots:
    void keysMoveBetweenStations()
    {
        PgServer pg;
        QString why;
        QVERIFY2(pg.start(&why), qPrintable(why));
        MqttBroker broker;
        QVERIFY(broker.start());
        MqttSubscriber sub(QStringLiteral("plant-view"), QStringLiteral("plant/#"));
        QVERIFY(sub.connect(broker.port()));
        QTRY_COMPARE(sub.subscriptions(), 1);
        QTemporaryDir rootA, rootB;
        const QString db = pg.url();
        auto pull = [&](Keysim &key, const QTemporaryDir &root, const QString &station) {
            return runCli({QStringLiteral("pull"), QStringLiteral("--port"), key.device(), QStringLiteral("--data-dir"),
                           root.path(), QStringLiteral("--history-db"), db, QStringLiteral("--station"), station});
        };
        auto publish = [&](const QTemporaryDir &root, const QString &station) {
            return runCli({QStringLiteral("publish"), QStringLiteral("--mqtt"), broker.url(QStringLiteral("plant")),
                           QStringLiteral("--data-dir"), root.path(), QStringLiteral("--history-db"), db,
                           QStringLiteral("--station"), station});
        };

        Keysim first, second;
        QVERIFY(first.makeKey(3, 4, 71));
        QVERIFY(second.makeKey(2, 5, 72));
        const int onFirst = measuresOn(first);
        const int onSecond = measuresOn(second);
        QVERIFY(onFirst > 0 && onSecond > 0);

        QVERIFY(first.start());
        CliRun r = pull(first, rootA, QStringLiteral("Line A"));
        QVERIFY2(r.exitCode == 0, r.err.right(2000).constData());
        QVERIFY(first.stop());
        QVERIFY(second.start());
        r = pull(second, rootB, QStringLiteral("Line B"));
        QVERIFY2(r.exitCode == 0, r.err.right(2000).constData());
        QVERIFY(second.stop());
        // The first key goes to the second station: nothing of it is new there.
        QVERIFY(first.start());
        r = pull(first, rootB, QStringLiteral("Line B"));
        QVERIFY2(r.exitCode == 0, r.err.right(2000).constData());
        QVERIFY2(r.out.contains(": 0 new in the history"), r.out.constData());
        QVERIFY(first.stop());

        HistoryStore plant;
        plant.setStation(QStringLiteral("quality office"));
        QVERIFY2(plant.open(db, &why, rootA.filePath(QStringLiteral("office-q.db3"))), qPrintable(why));
        HistoryDatabase *history = plant.database();
        QCOMPARE(history->count(HistoryFilter()), qint64(onFirst + onSecond));
        HistoryFilter f;
        f.stations = QStringList{QStringLiteral("Line A")};
        QCOMPARE(history->count(f), qint64(onFirst));
        f.keySerial = QStringLiteral("2907K000071");
        QCOMPARE(history->count(f), qint64(onFirst));
        f.stations = QStringList{QStringLiteral("Line B")};
        QCOMPARE(history->count(f), qint64(0));
        f.keySerial.clear();
        QCOMPARE(history->count(f), qint64(onSecond));

        for (int round = 0; round < 2; ++round) {
            r = publish(rootA, QStringLiteral("Line A"));
            QVERIFY2(r.exitCode == 0, r.err.right(2000).constData());
            QVERIFY2(r.out.contains(QByteArray::number(round ? 0 : onFirst) + " result(s) published"), r.out.constData());
            r = publish(rootB, QStringLiteral("Line B"));
            QVERIFY2(r.exitCode == 0, r.err.right(2000).constData());
            QVERIFY2(r.out.contains(QByteArray::number(round ? 0 : onSecond) + " result(s) published"), r.out.constData());
        }
        auto resultsUnder = [&](const QString &prefix) {
            int n = 0;
            for (const auto &m : sub.messagesOn(QStringLiteral("/result")))
                n += m.topic.startsWith(prefix) ? 1 : 0;
            return n;
        };
        QTRY_COMPARE(sub.messagesOn(QStringLiteral("/result")).size(), onFirst + onSecond);
        QCOMPARE(resultsUnder(QStringLiteral("plant/Line_A/2907K000071/")), onFirst);
        QCOMPARE(resultsUnder(QStringLiteral("plant/Line_B/2907K000072/")), onSecond);
    }
};

QTEST_GUILESS_MAIN(TestE2eStations)
#include "tst_e2e_stations.moc"
