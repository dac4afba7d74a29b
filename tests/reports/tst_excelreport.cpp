#include "FileCallHook.h"
#include "ReportTestSupport.h"

#include "records/TemplateLists.h"
#include "reports/ExcelReport.h"
#include "reports/ReportStamp.h"

#include <QJsonArray>
#include <QTemporaryDir>

class TestExcelReport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    TemplateLists m_lists;
    ReportIdentity m_id;

    QString reportsDir() const { return m_dir.path() + QStringLiteral("/reports"); }
    QStringList reportFiles() const
    {
        return QDir(reportsDir()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    QJsonObject make(const RecordFile &r, const ReportIdentity &id, QString *path = nullptr)
    {
        const QString out = ExcelReport::outputPath(id.keyName, dateTimeStamp());
        QString error;
        if (!ExcelReport::make(r, m_lists, id, ReportPaths::excelTemplate(), out, &error)) {
            qWarning() << error;
            return {};
        }
        if (path)
            *path = out;
        return readWorkbook(out);
    }
    static QJsonValue v(const QJsonObject &cells, const char *ref) { return cells.value(QLatin1String(ref)).toArray().at(0); }
    static QString type(const QJsonObject &cells, const char *ref) { return cells.value(QLatin1String(ref)).toArray().at(1).toString(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(prepareDataRoot(m_dir.path()));
        m_id.keyName = QStringLiteral("Key-7");
        m_id.operatorName = QStringLiteral("Ivanov");
        m_id.levelCaptions = QStringList{"Object", "Wheel", "Operation", "Node"};
        m_id.units = 0;
        m_id.dataTime = 1;
    }
    void cleanup()
    {
        for (const QString &f : reportFiles())
            QFile::remove(reportsDir() + QLatin1Char('/') + f);
    }

    void momentRecordReadsBackInOpenpyxl()
    {
        RecordFile r = sampleRecord(0);
        r.entries = {entry(15, 0, 0, 2), entry(-25.5f, 3.25f, 0, 9), entry(10, 0.00001f)};
        const QJsonObject c = make(r, m_id);
        QVERIFY(!c.isEmpty());
        // Head
        QCOMPARE(v(c, "C2").toString(), QStringLiteral("Key-7"));
        QCOMPARE(v(c, "A4").toString(), QStringLiteral("Object:"));
        QCOMPARE(v(c, "A10").toString(), QStringLiteral("Node:"));
        QCOMPARE(v(c, "D4").toString(), m_lists.fioComboText(1));
        QCOMPARE(v(c, "D6").toString(), m_lists.wheelComboText(2));
        QCOMPARE(v(c, "D8").toString(), QStringLiteral("0000000042"));
        QCOMPARE(v(c, "D10").toString(), m_lists.uzelComboText(3));
        QCOMPARE(v(c, "D12").toDouble(), 20.0);
        QCOMPARE(type(c, "D12"), QStringLiteral("n"));
        QCOMPARE(v(c, "D14").toDouble(), 10.0);
        QCOMPARE(v(c, "D16").toString(), QStringLiteral("-"));
        QCOMPARE(v(c, "D18").toString(), QStringLiteral("-"));
        QCOMPARE(v(c, "D20").toInt(), 3);
        QCOMPARE(v(c, "D22").toInt(), 8);
        QCOMPARE(v(c, "B1").toString(), dateTimeStamp().date);
        QVERIFY(v(c, "E1").toString().contains(QLatin1Char(':')));
        QCOMPARE(v(c, "D92").toString(), QStringLiteral("Ivanov"));
        // Rows from 25: numbers as numbers in the template's own number format.
        QCOMPARE(v(c, "A25").toInt(), 1);
        QCOMPARE(type(c, "A25"), QStringLiteral("n"));
        QCOMPARE(v(c, "B25").toDouble(), 15.0);
        QCOMPARE(c.value("B25").toArray().at(2).toString(), QStringLiteral("0.00"));
        QCOMPARE(v(c, "C25").toString(), QStringLiteral("normal"));
        QCOMPARE(v(c, "D25").toString(), QStringLiteral("-"));
        QCOMPARE(v(c, "E25").toString(), QStringLiteral("-"));
        QCOMPARE(v(c, "F25").toString(), QStringLiteral("07.12.26 10:01:02"));
        QCOMPARE(v(c, "B26").toDouble(), 25.5);
        QCOMPARE(v(c, "C26").toString(), QStringLiteral("deffect"));
        QCOMPARE(v(c, "D26").toDouble(), 3.25);
        QCOMPARE(type(c, "D26"), QStringLiteral("n"));
        QCOMPARE(v(c, "C27").toString(), QStringLiteral("normal")); // exactly on the low limit
        QCOMPARE(v(c, "D27").toString(), QStringLiteral("-"));      // a defect within 0.0001 is none
        // The rest of the table is blanked, the template's captions untouched.
        QCOMPARE(v(c, "A28").toString(), QStringLiteral(" "));
        QCOMPARE(v(c, "E88").toString(), QStringLiteral(" "));
        QCOMPARE(v(c, "A24").toString(), QStringLiteral("Connection"));
        QCOMPARE(v(c, "B24").toString(), QStringLiteral("Moment Value, Nm"));
        QCOMPARE(v(c, "E12").toString(), QStringLiteral("Nm"));
        QCOMPARE(reportFiles().size(), 1); // no temporary left beside it
    }

    void angleRecordAndKgsm()
    {
        RecordFile r = sampleRecord(2);
        r.entries = {entry(15, 0, 45), entry(15, 0, 75)};
        ReportIdentity id = m_id;
        id.units = 1;
        id.dataTime = 0;
        const QJsonObject c = make(r, id);
        QVERIFY(!c.isEmpty());
        QCOMPARE(v(c, "D16").toDouble(), 60.0);
        QCOMPARE(v(c, "D18").toDouble(), 30.0);
        QCOMPARE(v(c, "E25").toString(), QStringLiteral("45.0"));
        QCOMPARE(v(c, "C25").toString(), QStringLiteral("normal"));
        QCOMPARE(v(c, "C26").toString(), QStringLiteral("deffect")); // moment fine, angle above
        QCOMPARE(v(c, "F25").toString(), QStringLiteral(" "));        // dates switched off
        QCOMPARE(v(c, "B24").toString(), QStringLiteral("Moment Value, kgsm"));
        QCOMPARE(v(c, "E12").toString(), QStringLiteral("kgsm"));
        QCOMPARE(v(c, "E14").toString(), QStringLiteral("kgsm"));
    }

    // More measures than the template's 64 rows: every one is in the workbook and the
    // signature and operator follow the last instead of being written over by measures.
    void longRecordMovesTheFooterBelowItsMeasures()
    {
        RecordFile r = sampleRecord(0);
        for (int i = 0; i < 70; ++i)
            r.entries.append(entry(11 + i * 0.25f));
        const QJsonObject c = make(r, m_id);
        QVERIFY(!c.isEmpty());
        for (int i = 0; i < 70; ++i) {
            const QByteArray row = QByteArray::number(25 + i);
            QCOMPARE(v(c, ("A" + row).constData()).toInt(), i + 1);
            QCOMPARE(v(c, ("B" + row).constData()).toDouble(), 11 + i * 0.25);
        }
        QCOMPARE(v(c, "D90").toString(), QStringLiteral("-")); // measure 66's defect, not the signature
        QCOMPARE(v(c, "D92").toString(), QStringLiteral("-")); // measure 68's, not the operator
        QVERIFY(v(c, "D96").toString().contains(QStringLiteral("(sign)")));
        QCOMPARE(v(c, "A98").toString(), QStringLiteral("Operator:"));
        QCOMPARE(v(c, "D98").toString(), QStringLiteral("Ivanov"));
    }

    void hostileKeyNameStaysInReports()
    {
        RecordFile r = sampleRecord(0);
        r.entries = {entry(15)};
        ReportIdentity id = m_id;
        id.keyName = QStringLiteral("../../evil/..\\C:<x>&\"|?*\x01");
        QString path;
        const QJsonObject c = make(r, id, &path);
        QVERIFY(!c.isEmpty());
        QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(reportsDir()).absoluteFilePath());
        QVERIFY(QFileInfo(path).fileName().startsWith(QStringLiteral("______evil____C__x_____")));
        QCOMPARE(reportFiles().size(), 1);
        QVERIFY(!QFile::exists(m_dir.path() + QStringLiteral("/evil")));
        // The name itself is written as text, only the character XML cannot hold is dropped.
        QCOMPARE(v(c, "C2").toString(), QStringLiteral("../../evil/..\\C:<x>&\"|?*"));

        QCOMPARE(ReportPaths::safeReportName(QString()), QStringLiteral("report"));
        QCOMPARE(ReportPaths::safeReportName(QStringLiteral("  ")), QStringLiteral("report"));
        QCOMPARE(ReportPaths::safeReportName(QStringLiteral("..")), QStringLiteral("__"));
        QCOMPARE(ReportPaths::safeReportName(QStringLiteral("Ключ 5_b-c")), QStringLiteral("Ключ 5_b-c"));
    }

    void failuresLeaveNoFile_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("no sheet report") << 0 << "report";
        QTest::newRow("damaged zip") << 1 << "damaged";
        QTest::newRow("template missing") << 2 << "Warning! Excel Template NOT found!";
        QTest::newRow("empty record") << 3 << "Empty Report can't be save!";
    }
    void failuresLeaveNoFile()
    {
        QFETCH(int, fault);
        QFETCH(QString, message);
        QTemporaryDir spare;
        const QString tpl = spare.filePath(QStringLiteral("template_khr.xlsx"));
        QFile::copy(ReportPaths::excelTemplate(), tpl);
        if (fault == 0) {
            bool ok = false;
            runTool(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral("-c"), QStringLiteral("import openpyxl,sys; wb=openpyxl.Workbook(); "
                                                         "wb.active.title='other'; wb.save(sys.argv[1])"),
                     tpl},
                    &ok);
            QVERIFY(ok);
        } else if (fault == 1) {
            QFile f(tpl);
            QVERIFY(f.open(QIODevice::ReadWrite));
            const QByteArray bytes = f.readAll();
            f.resize(0);
            f.write(bytes.left(bytes.size() / 2)); // cut in the middle, central directory gone
        } else if (fault == 2) {
            QFile::remove(tpl);
        }
        RecordFile r = sampleRecord(0);
        if (fault != 3)
            r.entries = {entry(15)};
        const QString out = ExcelReport::outputPath(m_id.keyName, dateTimeStamp());
        QString error;
        QVERIFY(!ExcelReport::make(r, m_lists, m_id, tpl, out, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(reportFiles().isEmpty());
    }

    // A new workbook that cannot be put in place leaves the one it was to replace as it was.
    void aFailedReplaceKeepsTheOldWorkbook()
    {
        RecordFile r = sampleRecord(0);
        r.entries = {entry(15)};
        const QString out = reportsDir() + QStringLiteral("/kept.xlsx");
        QString error;
        QVERIFY2(ExcelReport::make(r, m_lists, m_id, ReportPaths::excelTemplate(), out, &error), qPrintable(error));
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        r.entries = {entry(25), entry(30)};
        {
            HeldReport hold(out);
            QVERIFY(!ExcelReport::make(r, m_lists, m_id, ReportPaths::excelTemplate(), out, &error));
        }
        QVERIFY2(error.contains(QStringLiteral("kept.xlsx")), qPrintable(error));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }
};

QTEST_GUILESS_MAIN(TestExcelReport)
#include "tst_excelreport.moc"
