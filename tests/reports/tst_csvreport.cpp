#include "PythonCsv.h"
#include "reports/CsvReport.h"

#include <QDir>
#include <QFile>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList headerFor(const QString &unit)
{
    return {QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("Wheel"),
            QStringLiteral("Static moment, ") + unit, QStringLiteral("Connection number"),
            QStringLiteral("Control result, ") + unit, QStringLiteral("Angle ranges, gradus"),
            QStringLiteral("Angle, gradus"), QStringLiteral("Result OK/NG"),
            QStringLiteral("Corrected Deffect, ") + unit, QStringLiteral("Notes"), QStringLiteral("Controller")};
}

// One row as the memory table fills it: every cell an item, "Notes" an empty one.
void addRow(QStandardItemModel *m, const QStringList &cells)
{
    QList<QStandardItem *> items;
    for (const QString &c : cells)
        items << new QStandardItem(c);
    m->appendRow(items);
}

// The empty row between two records' blocks: no items at all.
void addGap(QStandardItemModel *m) { m->setRowCount(m->rowCount() + 1); }

QByteArray goldenFile(const char *name)
{
    QFile f(qEnvironmentVariable("TD_SOURCE_DIR") + QStringLiteral("/tests/reports/golden/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("golden file %s missing", name);
    return f.readAll();
}

} // namespace

class TestCsvReport : public QObject
{
    Q_OBJECT
private slots:
    void goldenFiles_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("golden");
        QTest::newRow("header only") << "Nm" << 0 << "header_only.csv";
        QTest::newRow("two records with a gap") << "Nm" << 1 << "gaps.csv";
        QTest::newRow("cells that would split") << "Nm" << 2 << "quoted.csv";
        QTest::newRow("kgsm") << "kgsm" << 3 << "kgsm.csv";
    }
    void goldenFiles()
    {
        QFETCH(QString, unit);
        QFETCH(int, layout);
        QFETCH(QString, golden);
        QStandardItemModel m;
        m.setColumnCount(12);
        m.setHorizontalHeaderLabels(headerFor(unit));
        QString op = QStringLiteral("Ivanov");
        if (layout == 1 || layout == 3) {
            addRow(&m, {"07.12.2026", "10:01:02", "W1", "10.00-20.00", "1/2", "15.00", "-", "-", "OK", " ", "", op});
            addRow(&m, {"07.12.2026", "10:01:09", "W1", "10.00-20.00", "2/2", "25.50", "-", "-", "NG", "3.25", "", op});
            addGap(&m);
            addRow(&m, {" ", " ", "W2", "1.00-2.00", "1/8", "1.50", "-", "-", "OK", " ", "", op});
        } else if (layout == 2) {
            op = QStringLiteral("Petrov; \"Sr\"");
            addRow(&m, {"07.12.2026", "10:01:02", "Wheel; left", "10.00-20.00", "1/2", "15.00", "-", "-", "OK", " ",
                        "said \"fine\"", op});
            addRow(&m, {"07.12.2026", "10:01:03", "two\nlines", "10.00-20.00", "2/2", "15.00", "-", "-", "OK", " ",
                        "", "Petrov"});
        }
        QStringList logged;
        const QByteArray out = CsvReport::build(m, op, [&](const QString &l) { logged << l; });
        QCOMPARE(out, goldenFile(golden.toLatin1().constData()));
        // Every table line, header included, reaches the debug log.
        QCOMPARE(logged.size(), m.rowCount() + 1);
    }

    void saveReplacesOnlyWhenComplete()
    {
        QTemporaryDir dir;
        QStandardItemModel m;
        m.setColumnCount(2);
        m.setHorizontalHeaderLabels({"A", "B"});
        const QString path = dir.filePath(QStringLiteral("report.csv"));
        QString error;
        QVERIFY(CsvReport::save(m, QStringLiteral("x"), path, &error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith("sep=;\nA; B\n"));
        // A folder that does not exist: refused with a message, nothing made.
        const QString bad = dir.filePath(QStringLiteral("missing/report.csv"));
        QVERIFY(!CsvReport::save(m, QStringLiteral("x"), bad, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(bad));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("report.csv")});
    }

    // Texts from the key that a spreadsheet would run as formulas open as text; numbers,
    // negative moments among them, stay numbers.
    void formulasOpenAsText()
    {
        QTemporaryDir dir;
        QStandardItemModel m;
        m.setColumnCount(12);
        m.setHorizontalHeaderLabels(headerFor(QStringLiteral("Nm")));
        addRow(&m, {"07.12.2026", "10:01:02", "=HYPERLINK(\"http://x\";\"W\")", "-12.50--10.00", "1/2", "-12.5",
                    "-", "-", "NG", "+3", "@SUM(A1:A9)", "-2+3+cmd|' /C calc'!A0"});
        const QString path = dir.filePath(QStringLiteral("report.csv"));
        QString error;
        QVERIFY2(CsvReport::save(m, QStringLiteral("Ivanov"), path, &error), qPrintable(error));
        bool read = false;
        const QJsonArray rows = readCsvWithPython(path, &read);
        QVERIFY(read);
        QVERIFY(rows.size() >= 3);
        QStringList row;
        for (const QJsonValue &v : rows.at(2).toArray())
            row << v.toString();
        QCOMPARE(row, (QStringList{"07.12.2026", "10:01:02", "'=HYPERLINK(\"http://x\";\"W\")", "'-12.50--10.00",
                                   "1/2", "-12.5", "-", "-", "NG", "+3", "'@SUM(A1:A9)",
                                   "'-2+3+cmd|' /C calc'!A0"}));
    }
};

QTEST_GUILESS_MAIN(TestCsvReport)
#include "tst_csvreport.moc"
