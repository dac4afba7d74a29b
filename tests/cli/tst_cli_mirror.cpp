// torquedesk-cli mirror as a nightly job runs it: a separate process with no display and no
// platform plugin, against keysim on a pseudo-terminal.

#include "KeysimRig.h"

#include "base/Paths.h"
#include "history/HistoryArchiver.h"
#include "records/RecordFile.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace e2e;

namespace {

QString cliBinary()
{
    return qEnvironmentVariable("TD_BUILD_DIR", QStringLiteral(".")) + QStringLiteral("/torquedesk-cli");
}

struct CliRun
{
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QByteArray out;
    QByteArray err;
};

CliRun runCli(const QStringList &args, int timeoutMs = 120000)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(cliBinary(), args);
    CliRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
    }
    r.exitCode = p.exitCode();
    r.status = p.exitStatus();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// Lines on stderr that are neither progress nor the reason: none may come from a sanitizer.
bool clean(const CliRun &r)
{
    return !r.err.contains("Sanitizer") && !r.err.contains("runtime error");
}

} // namespace

class TestCliMirror : public QObject
{
    Q_OBJECT

private slots:
    // The debug log tells what the key said; a log file the command creates is its owner's alone.
    void aNewLogFileIsTheOwnersAlone()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("nightly.log"));
        const mode_t mask = ::umask(022);
        const CliRun r = runCli({QStringLiteral("--log"), log, QStringLiteral("--version")});
        ::umask(mask);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(QFile::exists(log));
        QCOMPARE(QFile::permissions(log) & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
                 QFile::Permissions());
    }

    void mirrorsTheKeysFolders()
    {
        Keysim key;
        QVERIFY(key.makeKey(12, 5, 41));
        QVERIFY(key.start());
        QTemporaryDir data;

        // A stale file in the mirror goes, as in the window's read-out.
        QVERIFY(writeFile(data.filePath(QStringLiteral("download/dbsett/stale")), "old"));
        const CliRun r = runCli({QStringLiteral("mirror"), QStringLiteral("--port"), key.device(),
                                 QStringLiteral("--data-dir"), data.path()});
        QVERIFY2(r.status == QProcess::NormalExit && r.exitCode == 0, r.err.right(2000).constData());
        QVERIFY(clean(r));
        for (const QString &folder : {QStringLiteral("templates"), QStringLiteral("dbsett")}) {
            const QMap<QString, QByteArray> pc = folderFiles(data.filePath(QStringLiteral("download/") + folder));
            const QMap<QString, QByteArray> onKey = folderFiles(key.folder(folder));
            QVERIFY(!onKey.isEmpty());
            const QString diff = differences(pc, onKey);
            QVERIFY2(diff.isEmpty(), qPrintable(folder + QStringLiteral(": ") + diff));
        }
        // One summary line on stdout; progress on stderr in files and bytes; no debug log.
        const QList<QByteArray> lines = r.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().startsWith("Mirrored "));
        QVERIFY(r.err.contains("mirror: 100%"));
        QVERIFY(r.err.contains(" files, "));
        QVERIFY(!r.err.contains("JSON RX"));
        QVERIFY(key.stop());
    }

    // The nightly job: the key mirrored and its measures kept; a second night adds nothing.
    void pullArchivesWhatItMirrored()
    {
        Keysim key;
        QVERIFY(key.makeKey(6, 4, 47));
        QVERIFY(key.start());
        QTemporaryDir data;
        int onKey = 0;
        for (const QByteArray &bytes : folderFiles(key.folder(QStringLiteral("dbsett"))))
            onKey += RecordFile::read(bytes).record.entries.size();
        QVERIFY(onKey > 0);

        auto historyCount = [&data]() {
            QProcess sqlite;
            sqlite.start(QStringLiteral("sqlite3"), {data.filePath(QStringLiteral("history/history.db3")),
                                                     QStringLiteral("SELECT count(*) FROM measures")});
            sqlite.waitForFinished(30000);
            return sqlite.readAllStandardOutput().trimmed().toInt();
        };
        const QStringList args{QStringLiteral("pull"), QStringLiteral("--port"), key.device(),
                               QStringLiteral("--data-dir"), data.path()};
        CliRun r = runCli(args);
        QVERIFY2(r.status == QProcess::NormalExit && r.exitCode == 0, r.err.right(2000).constData());
        QVERIFY(clean(r));
        QCOMPARE(historyCount(), onKey);
        QVERIFY2(r.out.contains(QByteArray::number(onKey) + " new in the history"), r.out.constData());

        r = runCli(args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(historyCount(), onKey);
        QVERIFY2(r.out.contains(": 0 new in the history"), r.out.constData());
        QVERIFY(key.stop());

        // No key: the reason and exit 3, the history untouched.
        r = runCli({QStringLiteral("pull"), QStringLiteral("--port"), data.filePath(QStringLiteral("ttyGONE")),
                    QStringLiteral("--data-dir"), data.path(), QStringLiteral("--timeout"), QStringLiteral("1")});
        QCOMPARE(r.exitCode, 3);
        QVERIFY(r.err.startsWith("torquedesk-cli: "));
        QCOMPARE(historyCount(), onKey);
    }

    // The nightly job that erases: every tightening the key holds reaches the history under
    // this key's serial, including one made between the mirror and the erase; a damaged record
    // stays on the key; undated tightenings after the erase are new rows.
    void pullEraseKeepsEveryTightening()
    {
        Keysim key;
        QVERIFY(key.makeKey(4, 3, 53));
        const QDir dbsett(key.folder(QStringLiteral("dbsett")));
        QStringList names = dbsett.entryList(QDir::Files, QDir::Name);
        QCOMPARE(names.size(), 4);
        // Undated, as with the key's clock unset; the last record counts more than it holds.
        QMap<QString, QByteArray> undated;
        for (const QString &name : names) {
            RecordFile r = RecordFile::read(readFile(dbsett.filePath(name))).record;
            for (MeasureEntry &e : r.entries)
                e.year = e.month = e.day = e.hour = e.minute = e.second = 0;
            QByteArray bytes = r.toBytes();
            if (name == names.last()) {
                r.header.countCon = quint16(r.entries.size() + 2);
                bytes = r.header.toBytes() + bytes.mid(RecordHeader::Size);
            }
            undated.insert(name, bytes);
            QVERIFY(writeFile(dbsett.filePath(name), bytes));
        }
        const QString damaged = names.takeLast();
        QVERIFY(key.start({QStringLiteral("--tighten-on-second-read")}));
        QTemporaryDir data;
        // The window last saw another key.
        Paths::setDataRoot(data.path());
        HistoryArchiver::Context other;
        other.keySerial = QStringLiteral("OTHER-1");
        other.operatorName = QStringLiteral("Someone else");
        QString error;
        QVERIFY(other.save(&error));

        auto query = [&data](const QString &sql) {
            QProcess sqlite;
            sqlite.start(QStringLiteral("sqlite3"), {data.filePath(QStringLiteral("history/history.db3")), sql});
            sqlite.waitForFinished(30000);
            return QString::fromUtf8(sqlite.readAllStandardOutput()).trimmed();
        };
        const QStringList args{QStringLiteral("pull"), QStringLiteral("--erase"), QStringLiteral("--port"),
                               key.device(), QStringLiteral("--data-dir"), data.path()};
        for (int round = 1; round <= 2; ++round) {
            const CliRun r = runCli(args);
            QVERIFY(clean(r));
            QVERIFY2(r.status == QProcess::NormalExit && r.exitCode == 1, r.err.right(2000).constData());
            QVERIFY2(r.out.contains("Refused " + damaged.toUtf8() + ": "), r.out.constData());
            QVERIFY2(r.err.contains("1 records were not erased: " + damaged.toUtf8()), r.err.constData());
            for (const QString &name : names) {
                QVERIFY2(r.out.contains("Erased " + name.toUtf8() + '\n'), r.out.constData());
                const RecordFile::ReadResult onKey = RecordFile::read(readFile(dbsett.filePath(name)));
                QVERIFY(onKey.ok());
                QCOMPARE(onKey.promisedEntries, 0);
            }
            QCOMPARE(readFile(dbsett.filePath(damaged)), undated.value(damaged));
            // Each record's three undated tightenings, and in the first round the one made on
            // the key after the mirror; the damaged record's three are kept once, never erased.
            QCOMPARE(query(QStringLiteral("SELECT count(*) FROM measures")).toInt(), round == 1 ? 15 : 24);
            for (const QString &name : names) {
                if (round == 1)
                    QCOMPARE(query(QStringLiteral("SELECT count(*) FROM measures WHERE record_name = '%1' AND "
                                                  "measured_at <> ''").arg(name)),
                             QStringLiteral("1"));
                QVERIFY(writeFile(dbsett.filePath(name), undated.value(name)));
            }
        }
        // Every row is this key's; the identity it told is saved for runs without a key.
        const QString serial = query(QStringLiteral("SELECT DISTINCT key_serial FROM measures"));
        QVERIFY2(serial.startsWith(QLatin1String("2907K")) && !serial.contains(QLatin1Char('\n')), qPrintable(serial));
        QCOMPARE(HistoryArchiver::Context::load().keySerial, serial);
        QVERIFY(query(QStringLiteral("SELECT count(*) FROM measures WHERE operator_name = 'Someone else'")) == "0");
        QVERIFY(key.stop());
    }

    void missingDeviceFailsWithOneLine()
    {
        QTemporaryDir data;
        const QString device = data.filePath(QStringLiteral("ttyNOKEY"));
        const CliRun r = runCli({QStringLiteral("mirror"), QStringLiteral("--port"), device,
                                 QStringLiteral("--data-dir"), data.path(), QStringLiteral("--timeout"),
                                 QStringLiteral("1")});
        QCOMPARE(r.status, QProcess::NormalExit);
        QVERIFY(r.exitCode != 0);
        QVERIFY(clean(r));
        const QList<QByteArray> lines = r.err.trimmed().split('\n');
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith("torquedesk-cli: ") && lines.first().contains(device.toUtf8())
                     && lines.first().contains("does not exist"),
                 lines.first().constData());
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QDir(data.filePath(QStringLiteral("download/dbsett"))).exists());
    }

    void keyLostDuringTheMirrorFails()
    {
        Keysim key;
        QVERIFY(key.makeKey(40, 20, 43));
        // Slow enough that the key is still sending when it goes.
        QVERIFY(key.start({QStringLiteral("--latency"), QStringLiteral("20")}));
        QTemporaryDir data;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        p.setProcessEnvironment(env);
        p.start(cliBinary(), {QStringLiteral("mirror"), QStringLiteral("--port"), key.device(),
                              QStringLiteral("--data-dir"), data.path()});
        QVERIFY(p.waitForStarted(10000));
        // Gone once the records start to arrive.
        QTRY_VERIFY_WITH_TIMEOUT(key.requests().filter(QStringLiteral("FA_READ dbsett/")).size() >= 3, 60000);
        QVERIFY(key.stop());
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        const QByteArray err = p.readAllStandardError();
        QVERIFY2(err.contains("torquedesk-cli: the key was lost"), err.right(1000).constData());
        QVERIFY(p.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliMirror)
#include "tst_cli_mirror.moc"
