// torquedesk-cli report run as a nightly script would: with no display, from a data root holding
// a mirror, checked with the tools the plant's software reads the documents with.
#include "ReportTestSupport.h"

#include "reports/ReportIdentity.h"

#include <QProcessEnvironment>
#include <QTemporaryDir>

class TestReportCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    struct Run
    {
        int code = -1;
        QByteArray out, err;
    };

    Run cli(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("TD_BUILD_DIR") + QStringLiteral("/torquedesk-cli"), args);
        Run r;
        if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
            r.code = p.exitCode();
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

    QStringList root() const { return {QStringLiteral("--data-dir"), m_dir.path()}; }

private slots:
    void initTestCase()
    {
        QVERIFY(prepareDataRoot(m_dir.path()));
        const QString dbsett = Paths::downloadDir(QStringLiteral("dbsett")) + QLatin1Char('/');
        for (int n = 0; n < 3; ++n) {
            RecordFile r = sampleRecord(n == 2 ? 2 : 1);
            // Record 2 holds no measures: the CSV of every record leaves it out.
            for (int i = 0; n < 2 && i < 5; ++i)
                r.entries.append(entry(n == 0 ? 12.5f + float(i) : -25.f, 0, 45, i));
            r.header.countCon = quint16(r.entries.size());
            QFile f(dbsett + QStringLiteral("rec%1").arg(n));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(r.toBytes());
        }
        ReportIdentity id;
        id.keyName = QStringLiteral("Key/../7");
        id.operatorName = QStringLiteral("Petrov");
        id.levelsUsed = {{true, false, true, false}};
        QVERIFY(id.save());
    }

    void csvOfEveryRecordWithMeasures()
    {
        const QString out = m_dir.filePath(QStringLiteral("all.csv"));
        const Run r = cli(QStringList{QStringLiteral("report"), QStringLiteral("csv"), QStringLiteral("--out"), out} + root());
        QVERIFY2(r.code == 0, r.err.constData());
        const QList<QByteArray> lines = e2eLines(out);
        QCOMPARE(lines.value(0), QByteArray("sep=;"));
        // 10 measures, one gap between the two records' blocks, the header and the signatures.
        auto count = [&lines](const char *text) {
            return std::count_if(lines.begin(), lines.end(), [text](const QByteArray &l) { return l.contains(text); });
        };
        // rec0 measured 12.5 first; rec1's five -25 show as their size.
        QCOMPARE(count("12.50"), 1);
        QCOMPARE(count("25.00"), 5);
        QCOMPARE(count("Petrov"), 11); // every measure row names the controller, and the signature
        QVERIFY(!count("rec2"));
        QVERIFY(r.out.contains("10 measures"));
    }

    void workbookOfOneRecord()
    {
        const QString out = m_dir.filePath(QStringLiteral("rec0.xlsx"));
        const Run r = cli(QStringList{QStringLiteral("report"), QStringLiteral("xlsx"), QStringLiteral("--record"),
                                      QStringLiteral("rec0"), QStringLiteral("--out"), out} + root());
        QVERIFY2(r.code == 0, r.err.constData());
        const QJsonObject cells = readWorkbook(out);
        QCOMPARE(cells.value(QStringLiteral("B25")).toArray().at(0).toDouble(), 12.5);
        QCOMPARE(cells.value(QStringLiteral("B29")).toArray().at(0).toDouble(), 16.5);
    }

    void qrListDecodesWithoutADisplay()
    {
        const QString out = m_dir.filePath(QStringLiteral("list.pdf"));
        const Run r = cli(QStringList{QStringLiteral("report"), QStringLiteral("qr"), QStringLiteral("--out"), out} + root());
        QVERIFY2(r.code == 0, r.err.constData());
        // The job's bar on stderr (not a terminal here: plain lines) ends with what was made.
        QVERIFY2(r.err.contains("report: 100% QR-codes list of 3 records saved to"), r.err.constData());
        QCOMPARE(r.out.trimmed(), QDir::toNativeSeparators(out).toUtf8());
        bool ok = false;
        const QByteArray png = m_dir.filePath(QStringLiteral("list")).toUtf8();
        runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-png"), out,
                                             QString::fromUtf8(png)}, &ok);
        QVERIFY(ok);
        const QStringList pages = QDir(m_dir.path()).entryList({QStringLiteral("list*.png")});
        QVERIFY(!pages.isEmpty());
        const QByteArray codes = runTool(QStringLiteral("zbarimg"), {QStringLiteral("-q"), m_dir.filePath(pages.first())}, &ok);
        for (const char *name : {"QR-Code:rec0", "QR-Code:rec1", "QR-Code:rec2"})
            QVERIFY2(codes.contains(name), codes.constData());
    }

    void failuresExitNonZeroWithOneLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("says");
        const QString out = m_dir.filePath(QStringLiteral("x.out"));
        QTest::newRow("no kind") << QStringList{QStringLiteral("report"), QStringLiteral("--out"), out} << 2 << QByteArray("csv, xlsx or qr");
        QTest::newRow("unknown kind") << QStringList{QStringLiteral("report"), QStringLiteral("pdf"), QStringLiteral("--out"), out} << 2 << QByteArray("csv, xlsx or qr");
        QTest::newRow("no out") << QStringList{QStringLiteral("report"), QStringLiteral("csv")} << 2 << QByteArray("--out");
        QTest::newRow("xlsx without record") << QStringList{QStringLiteral("report"), QStringLiteral("xlsx"), QStringLiteral("--out"), out} << 2 << QByteArray("one --record");
        QTest::newRow("unknown record") << QStringList{QStringLiteral("report"), QStringLiteral("csv"), QStringLiteral("--record"), QStringLiteral("nope"), QStringLiteral("--out"), out} << 1 << QByteArray("nope");
        QTest::newRow("unwritable out") << QStringList{QStringLiteral("report"), QStringLiteral("qr"), QStringLiteral("--out"), m_dir.filePath(QStringLiteral("no/such/dir.pdf"))} << 1 << QByteArray("torquedesk-cli: ");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("report"), QStringLiteral("csv"), QStringLiteral("--colour")} << 2 << QByteArray("colour");
    }

    void failuresExitNonZeroWithOneLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QByteArray, says);
        const Run r = cli(args + root());
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(says), r.err.constData());
        // The report's bar may come first; the reason is one line, the last.
        const QList<QByteArray> lines = r.err.trimmed().split('\n');
        QVERIFY2(lines.last().startsWith("torquedesk-cli: "), r.err.constData());
        QCOMPARE(r.err.count("torquedesk-cli: "), 1);
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("x.out"))));
    }

    void emptyDataRootSaysSo()
    {
        QTemporaryDir empty;
        const Run r = cli({QStringLiteral("report"), QStringLiteral("csv"), QStringLiteral("--out"),
                           empty.filePath(QStringLiteral("a.csv")), QStringLiteral("--data-dir"), empty.path()});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("no key was read"));
    }

private:
    static QList<QByteArray> e2eLines(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll().split('\n');
    }
};

QTEST_MAIN(TestReportCli)
#include "tst_report_cli.moc"
