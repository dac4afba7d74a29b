// Where the data lives: an installed program must not write below /usr, a build tree or a
// portable folder keeps working in place, and the user's files survive every start.
#include "../TestFiles.h"
#include "base/DataRoot.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestDataRoot : public QObject
{
    Q_OBJECT
private slots:
    void whichRuleApplies()
    {
        QTemporaryDir tmp;
        const QString prefix = tmp.filePath(QStringLiteral("usr"));
        const QString bin = prefix + QStringLiteral("/bin");
        const QString user = tmp.filePath(QStringLiteral("home/.local/share/TorqueDesk"));
        QVERIFY(QDir().mkpath(bin));

        // Nothing beside the program: a portable folder.
        DataRoot::Choice c = DataRoot::choose(QString(), bin, user);
        QCOMPARE(c.rule, DataRoot::Rule::ProgramFolder);
        QCOMPARE(c.root, bin);
        QVERIFY(c.seedFrom.isEmpty());

        QVERIFY(QDir().mkpath(prefix + QStringLiteral("/share/torquedesk")));
        c = DataRoot::choose(QString(), bin, user);
        QCOMPARE(c.rule, DataRoot::Rule::Installed);
        QCOMPARE(c.root, user);
        QCOMPARE(c.seedFrom, prefix + QStringLiteral("/share/torquedesk"));
        // The folder's own path may be written with a trailing separator or "..".
        QCOMPARE(DataRoot::choose(QString(), bin + QStringLiteral("/../bin/"), user).rule, DataRoot::Rule::Installed);

        const QString given = tmp.filePath(QStringLiteral("elsewhere"));
        c = DataRoot::choose(given, bin, user);
        QCOMPARE(c.rule, DataRoot::Rule::Given);
        QCOMPARE(c.root, given);
        QVERIFY(c.seedFrom.isEmpty());

        // A build tree stays its own data root even with an install beside it.
        QVERIFY(writeFile(bin + QStringLiteral("/CMakeCache.txt"), "# cache\n"));
        c = DataRoot::choose(QString(), bin, user);
        QCOMPARE(c.rule, DataRoot::Rule::ProgramFolder);
        QCOMPARE(c.root, bin);

        // Each rule says where and why, with the folder named in full.
        const QString text = DataRoot::describe(DataRoot::choose(QString(), tmp.path(), user));
        QVERIFY(text.contains(tmp.path()));
        QVERIFY(text != DataRoot::describe(DataRoot::choose(given, bin, user)));
    }

    void fillKeepsTheUsersFilesAndFollowsThePackagesOwn()
    {
        QTemporaryDir share, root;
        QVERIFY(writeFile(share.filePath(QStringLiteral("language_ru.qm")), "qm"));
        QVERIFY(writeFile(share.filePath(QStringLiteral("settings/qrcodec.lrxml")), "package template"));
        QVERIFY(writeFile(share.filePath(QStringLiteral("sql/report.db3")), "empty db"));
        const QString tool = share.filePath(QStringLiteral("dfu/DfuSeCommand.exe"));
        QVERIFY(writeFile(tool, "#!/bin/sh\n"));
        QVERIFY(QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner));
        // The user's own edit of a template and a database full of reports.
        QVERIFY(writeFile(root.filePath(QStringLiteral("settings/qrcodec.lrxml")), "user template"));
        QVERIFY(writeFile(root.filePath(QStringLiteral("sql/report.db3")), "user reports"));

        QString error;
        QCOMPARE(DataRoot::fill(share.path(), root.path(), &error), 2);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(readFile(root.filePath(QStringLiteral("settings/qrcodec.lrxml"))), QByteArray("user template"));
        QCOMPARE(readFile(root.filePath(QStringLiteral("sql/report.db3"))), QByteArray("user reports"));
        QCOMPARE(readFile(root.filePath(QStringLiteral("language_ru.qm"))), QByteArray("qm"));
        const QString copiedTool = root.filePath(QStringLiteral("dfu/DfuSeCommand.exe"));
        QCOMPARE(readFile(copiedTool), QByteArray("#!/bin/sh\n"));
        QVERIFY(QFileInfo(copiedTool).isExecutable());
        QVERIFY(QFileInfo(copiedTool).isWritable());

        // The next start finds everything in place; a file the user deleted comes back.
        QCOMPARE(DataRoot::fill(share.path(), root.path(), &error), 0);
        QVERIFY(QFile::remove(root.filePath(QStringLiteral("language_ru.qm"))));
        QCOMPARE(DataRoot::fill(share.path(), root.path(), &error), 1);

        // After an upgrade the program's own files follow the package (a translation with the
        // new texts), while the user's template and reports stay theirs.
        QVERIFY(writeFile(share.filePath(QStringLiteral("language_ru.qm")), "qm of the next version"));
        QVERIFY(writeFile(share.filePath(QStringLiteral("settings/qrcodec.lrxml")), "next package template"));
        QCOMPARE(DataRoot::fill(share.path(), root.path(), &error), 1);
        QCOMPARE(readFile(root.filePath(QStringLiteral("language_ru.qm"))), QByteArray("qm of the next version"));
        QCOMPARE(readFile(root.filePath(QStringLiteral("settings/qrcodec.lrxml"))), QByteArray("user template"));

        // A file standing where a folder should go is reported; the rest is still copied.
        QTemporaryDir blocked;
        QVERIFY(writeFile(blocked.filePath(QStringLiteral("sql")), "a file, not a folder"));
        error.clear();
        QCOMPARE(DataRoot::fill(share.path(), blocked.path(), &error), 3);
        QVERIFY(error.endsWith(QStringLiteral("sql/report.db3")));
    }
};

QTEST_GUILESS_MAIN(TestDataRoot)
#include "tst_dataroot.moc"
