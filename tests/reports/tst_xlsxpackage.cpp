#include "ReportTestSupport.h"

#include "reports/ReportStamp.h"
#include "reports/XlsxPackage.h"

#include <quazip5/quazip.h>
#include <quazip5/quazipfile.h>

#include <QJsonArray>
#include <QTemporaryDir>

namespace {

// A hand-made package as other producers write it: the sheet named "Report" in a folder of
// its own, an empty <sheetData/>, and parts we never touch.
bool writePackage(const QString &path, const QByteArray &sheetXml)
{
    const QList<QPair<QString, QByteArray>> parts{
        {"[Content_Types].xml",
         "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/book/main.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
         "<Override PartName=\"/book/sheets/s1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
         "</Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"book/main.xml\"/>"
         "</Relationships>"},
        {"book/main.xml",
         "<?xml version=\"1.0\"?><workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<sheets><sheet name=\"Report\" sheetId=\"1\" r:id=\"rId7\"/></sheets></workbook>"},
        {"book/_rels/main.xml.rels",
         "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId7\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"sheets/s1.xml\"/>"
         "</Relationships>"},
        {"book/sheets/s1.xml", sheetXml},
        {"custom/keep.bin", QByteArray("\x00\x01kept as it was\xff", 17)},
    };
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const auto &p : parts) {
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(p.first)) || f.write(p.second) != p.second.size())
            return false;
        f.close();
    }
    zip.close();
    return zip.getZipError() == 0;
}

QByteArray partOf(const QString &path, const QString &name)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(name))
        return {};
    QuaZipFile f(&zip);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

const QByteArray kHead = "<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";

} // namespace

class TestXlsxPackage : public QObject
{
    Q_OBJECT
private slots:
    void editsAForeignPackageAndKeepsTheRest()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("book.xlsx"));
        QVERIFY(writePackage(path, kHead + "<dimension ref=\"A1\"/><sheetData/></worksheet>"));
        XlsxPackage p;
        QVERIFY2(p.open(path), qPrintable(p.error()));
        const QString part = p.sheetPart(QStringLiteral("report")); // Excel finds sheets without case
        QCOMPARE(part, QStringLiteral("book/sheets/s1.xml"));
        QVERIFY(p.sheetPart(QStringLiteral("other")).isEmpty());
        QVERIFY(p.setCell(part, 3, 27, 2.5));
        QVERIFY(p.setCell(part, 1, 1, QStringLiteral("  <a & \"b\">  ")));
        QVERIFY(p.setCell(part, 1, 2, 7));
        QVERIFY(!p.setCell(part, 0, 1, 1));
        QVERIFY(p.save());

        QCOMPARE(partOf(path, QStringLiteral("custom/keep.bin")), QByteArray("\x00\x01kept as it was\xff", 17));
        const QByteArray sheet = partOf(path, QStringLiteral("book/sheets/s1.xml"));
        QVERIFY(sheet.contains("<dimension ref=\"A1:AA3\"/>"));
        bool ok = false;
        const QByteArray json = runTool(QStringLiteral("/usr/bin/python3"),
                                        {qEnvironmentVariable("TD_SOURCE_DIR") + QStringLiteral("/tests/reports/dump_xlsx.py"), path},
                                        &ok);
        QVERIFY(ok);
        const QJsonObject c = QJsonDocument::fromJson(json).object().value(QStringLiteral("Report")).toObject();
        QCOMPARE(c.value("AA3").toArray().at(0).toDouble(), 2.5);
        QCOMPARE(c.value("A1").toArray().at(0).toString(), QStringLiteral("  <a & \"b\">  ")); // spaces kept
        QCOMPARE(c.value("B1").toArray().at(1).toString(), QStringLiteral("n"));
    }

    void rowsAndCellsWithoutReferencesAndReplacedCells()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("book.xlsx"));
        // Rows and cells may leave out r: their place follows the one before.
        QVERIFY(writePackage(path, kHead + "<sheetData><row><c t=\"inlineStr\"><is><t>a</t></is></c>"
                                           "<c s=\"0\"><v>5</v></c></row><row r=\"4\"><c r=\"C4\"><v>1</v></c></row>"
                                           "</sheetData></worksheet>"));
        XlsxPackage p;
        QVERIFY(p.open(path));
        const QString part = p.sheetPart(QStringLiteral("Report"));
        QVERIFY(p.setCell(part, 1, 2, QStringLiteral("x")));  // replaces B1
        QVERIFY(p.setCell(part, 2, 1, QVariant()));           // an empty cell in a new row
        QVERIFY(p.setCell(part, 4, 3, qQNaN()));              // no NaN number in a sheet
        QVERIFY(p.save());
        bool ok = false;
        const QByteArray json = runTool(QStringLiteral("/usr/bin/python3"),
                                        {qEnvironmentVariable("TD_SOURCE_DIR") + QStringLiteral("/tests/reports/dump_xlsx.py"), path},
                                        &ok);
        QVERIFY(ok);
        const QJsonObject c = QJsonDocument::fromJson(json).object().value(QStringLiteral("Report")).toObject();
        QCOMPARE(c.value("A1").toArray().at(0).toString(), QStringLiteral("a"));
        QCOMPARE(c.value("B1").toArray().at(0).toString(), QStringLiteral("x"));
        QCOMPARE(c.value("C4").toArray().at(1).toString(), QStringLiteral("s"));
        QCOMPARE(c.size(), 3);
    }

    void columnNamesAndStamp()
    {
        QCOMPARE(XlsxPackage::columnName(1), QStringLiteral("A"));
        QCOMPARE(XlsxPackage::columnName(26), QStringLiteral("Z"));
        QCOMPARE(XlsxPackage::columnName(27), QStringLiteral("AA"));
        QCOMPARE(XlsxPackage::columnName(703), QStringLiteral("AAA"));
        const DateTimeStamp s = dateTimeStamp(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
        QCOMPARE(s.file, QStringLiteral("2026-03-04_05-06-07"));
        QCOMPARE(s.date, QStringLiteral("2026.03.04"));
        QCOMPARE(s.time, QStringLiteral("05:06:07"));
    }
};

QTEST_GUILESS_MAIN(TestXlsxPackage)
#include "tst_xlsxpackage.moc"
