#include "DfuRoot.h"

#include "firmware/DfuCommand.h"
#include "firmware/DfuOutput.h"
#include "firmware/DfuToolRunner.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

class TstDfu : public QObject
{
    Q_OBJECT

private slots:
    void outputIsJudgedByItsTexts()
    {
        using DfuOutput::Search;
        QCOMPARE(DfuOutput::searchResult("0 Device(s) found. Plug your DFU Device !"), Search::NoDevice);
        QCOMPARE(DfuOutput::searchResult("1 Device(s) found :\n Device [0]: STM Device in DFU Mode"),
                 Search::DevicePresent);
        // A count that merely ends in zero is a device, not none.
        QCOMPARE(DfuOutput::searchResult("10 Device(s) found :\nSTM Device in DFU Mode"), Search::DevicePresent);
        QCOMPARE(DfuOutput::searchResult("sh: 1: DfuSeCommand.exe: not found"), Search::NoDevice);
        QCOMPARE(DfuOutput::searchResult(QString()), Search::NoDevice);

        QVERIFY(DfuOutput::flashVerified("Verifying ...\nVerify successful !\n"));
        QVERIFY(!DfuOutput::flashVerified("Verify error at 0x08000400 !"));
        QVERIFY(!DfuOutput::flashVerified("Verify successful"));
    }

    void chunksStopAtTheirFirstNul()
    {
        QCOMPARE(DfuOutput::chunkText(QByteArray("abc\0STM Device in DFU Mode", 26)), QStringLiteral("abc"));
        QCOMPARE(DfuOutput::chunkText(QByteArray("\0tail", 5)), QString());
        QCOMPARE(DfuOutput::chunkText("whole"), QStringLiteral("whole"));
    }

    void percentagesAreTheLastOneShown()
    {
        QCOMPARE(DfuOutput::lastPercent("   Upload 20%\n   Upload 40%\n"), 40);
        QCOMPARE(DfuOutput::lastPercent("100 %"), 100);
        QCOMPARE(DfuOutput::lastPercent("no number here"), -1);
        QCOMPARE(DfuOutput::lastPercent("250% then 7%"), 7);
        QCOMPARE(DfuOutput::lastPercent("250%"), -1);
    }

    // The quoted line, run by the real interpreter, must name exactly the paths it was made of.
    void posixQuotingSurvivesTheShell_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::newRow("space") << QStringLiteral("/tmp/Program Files/dfu");
        QTest::newRow("quote") << QStringLiteral("/tmp/it's/dfu");
        QTest::newRow("shell characters") << QStringLiteral("/tmp/a;b&c|d $(echo x) `y` \"z\"/dfu");
    }
    void posixQuotingSurvivesTheShell()
    {
        QFETCH(QString, dir);
        const QString line = DfuCommand::flashLine(dir, DfuCommand::Shell::Posix);
        const QString tool = DfuCommand::quote(DfuCommand::toolPath(dir), DfuCommand::Shell::Posix);
        QVERIFY(line.startsWith(tool + QStringLiteral(" -c --de 0 -d --v --fn ")));
        // Replace the tool by printf so the shell shows how it split the words.
        QString echoed = line;
        echoed.replace(0, tool.size(), QStringLiteral("printf '%s\\n'"));
        QProcess sh;
        sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), echoed});
        QVERIFY(sh.waitForFinished(5000));
        const QStringList words = QString::fromUtf8(sh.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(words, (QStringList{"-c", "--de", "0", "-d", "--v", "--fn", dir + "/vx.txt"}));
    }

    void cmdQuotingWrapsNativePaths()
    {
        QCOMPARE(DfuCommand::searchLine(QStringLiteral("C:/Program Files/TorqueDesk/dfu"), DfuCommand::Shell::Cmd),
                 QStringLiteral("\"C:\\Program Files\\TorqueDesk\\dfu\\DfuSeCommand.exe\" -c --de 0"));
    }

    void runnerRunsOneToolAtATimeAndKillsASilentOne()
    {
        DfuRoot root;
        QVERIFY(root.install());
        root.setMode("hang");
        QFile image(root.image());
        QVERIFY(image.open(QIODevice::WriteOnly));
        image.write("image");
        image.close();

        DfuToolRunner::Options options;
        options.dfuDir = root.dfuDir();
        options.silenceTimeoutMs = 700;
        DfuToolRunner runner(options);
        QSignalSpy finished(&runner, &DfuToolRunner::finished);
        QSignalSpy percent(&runner, &DfuToolRunner::percent);
        QVERIFY(runner.start(DfuToolRunner::Job::Flash));
        QVERIFY(!runner.start(DfuToolRunner::Job::Search));
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().at(1).toBool(), true); // killed
        QVERIFY(runner.output().contains("Upload  : 5 bytes"));
        QVERIFY(!percent.isEmpty());
        QVERIFY(!runner.isRunning());
        // The tool's own child (its endless sleep) went with it: nothing holds the folder open.
        QProcess pgrep;
        pgrep.start(QStringLiteral("pgrep"), {QStringLiteral("-f"), QStringLiteral("sleep 86400")});
        pgrep.waitForFinished(3000);
        QCOMPARE(pgrep.readAllStandardOutput().trimmed(), QByteArray());
    }

    void aMissingToolOrInterpreterDoesNotStart()
    {
        DfuRoot root;
        QVERIFY(root.tmp.isValid());
        DfuToolRunner::Options options;
        options.dfuDir = root.dfuDir();
        DfuToolRunner missingTool(options);
        QSignalSpy started(&missingTool, &DfuToolRunner::started);
        QVERIFY(missingTool.start(DfuToolRunner::Job::Search));
        QCOMPARE(started.size(), 1);
        QCOMPARE(started.first().at(0).toBool(), false);
        QVERIFY(!missingTool.isRunning());

        QVERIFY(root.install());
        options.interpreter = root.tmp.path() + QStringLiteral("/no-such-shell");
        DfuToolRunner missingShell(options);
        QSignalSpy started2(&missingShell, &DfuToolRunner::started);
        QVERIFY(missingShell.start(DfuToolRunner::Job::Search));
        QTRY_COMPARE(started2.size(), 1);
        QCOMPARE(started2.first().at(0).toBool(), false);
        QVERIFY(!missingShell.isRunning());
    }
};

QTEST_GUILESS_MAIN(TstDfu)
#include "tst_dfu.moc"
