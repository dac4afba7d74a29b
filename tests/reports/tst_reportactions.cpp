#include "ReportTestSupport.h"

#include "reports/CsvReport.h"
#include "reports/ReportDatabase.h"
#include "reports/ReportIdentity.h"
#include "reports/ReportStamp.h"
#include "ui/reports/ReportActions.h"
#include "ui/reports/ReportButtons.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>

// The report buttons clicked as a person would, the save dialog answered by the test.
class TestReportActions : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_answer;          // what the "dialog" answers
    QString m_proposed;        // what it was offered
    bool m_folderReady = false; // the proposed folder existed when the dialog opened
    QList<QUrl> m_opened;
    bool m_openWorks = true;         // whether the "desktop" opens what it is given
    std::function<void()> m_whileAsked; // what happens while the dialog is open

    std::unique_ptr<ReportActions> makeActions()
    {
        auto a = std::make_unique<ReportActions>();
        a->setSaveNameAsker([this](const QString &, const QString &proposed, const QString &, QString *) {
            m_proposed = proposed;
            m_folderReady = QFileInfo(proposed).absoluteDir().exists();
            if (m_whileAsked)
                m_whileAsked();
            return m_answer;
        });
        a->setUrlOpener([this](const QUrl &u) {
            m_opened << u;
            return m_openWorks;
        });
        return a;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(prepareDataRoot(m_dir.path()));
        QVERIFY(ReportDatabase::open(Paths::reportDatabase()));
        ReportIdentity id;
        id.keyName = QStringLiteral("Key 9");
        id.operatorName = QStringLiteral("Sidorov");
        QVERIFY(id.save());
    }

    void csvButtonWritesTheTableAsTheCoreDoes()
    {
        auto actions = makeActions();
        QSignalSpy status(actions.get(), &ReportActions::statusMessage);
        QStandardItemModel table(0, 3);
        table.setHorizontalHeaderLabels({"Date", "Notes", "Controller"});
        table.appendRow({new QStandardItem("07.12.2026"), new QStandardItem("a;b"), new QStandardItem("Sidorov")});
        actions->setMemoryModel(&table);
        ReportButtons buttons(actions.get());
        QSignalSpy messages(actions.get(), &ReportActions::messageRequested);

        m_answer.clear(); // cancelled: nothing written, nothing said
        QTest::mouseClick(buttons.saveReport(), Qt::LeftButton);
        QVERIFY(m_proposed.startsWith(m_dir.path() + QStringLiteral("/reports/report(")));
        QVERIFY(m_proposed.endsWith(QStringLiteral(").csv")));
        QCOMPARE(messages.count(), 0);

        m_answer = m_dir.filePath(QStringLiteral("reports/mine.csv"));
        QTest::mouseClick(buttons.saveReport(), Qt::LeftButton);
        QFile f(m_answer);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), CsvReport::build(table, QStringLiteral("Sidorov")));
        QCOMPARE(status.count(), 1); // where it went, on the status line
        QVERIFY(status.at(0).at(0).toString().contains(m_answer));

        m_answer = m_dir.filePath(QStringLiteral("no/such/folder.csv")); // cannot be written: said in red
        QTest::mouseClick(buttons.saveReport(), Qt::LeftButton);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(1).toString(), QStringLiteral("red"));
        QVERIFY(!QFile::exists(m_answer));
    }

    void excelButtonUsesTheEditorsRecord()
    {
        auto actions = makeActions();
        ReportButtons buttons(actions.get());
        QSignalSpy messages(actions.get(), &ReportActions::messageRequested);
        QSignalSpy saved(actions.get(), &ReportActions::reportSaved);
        QString record = QStringLiteral("0102000000004203");
        QStringList shown{record};
        actions->setRecordNamesProvider([&shown] { return shown; });

        RecordFile r = sampleRecord(0);
        QFile f(m_dir.path() + QStringLiteral("/download/dbsett/") + record);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(r.toBytes()); // no measures yet
        f.close();
        QTest::mouseClick(buttons.excelReport(), Qt::LeftButton);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("Empty Report can't be save!"));

        r.entries = {entry(15), entry(30)};
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(r.toBytes());
        f.close();
        QTest::mouseClick(buttons.excelReport(), Qt::LeftButton);
        QCOMPARE(saved.count(), 1);
        const QString path = saved.at(0).at(0).toString();
        QVERIFY(path.startsWith(m_dir.path() + QStringLiteral("/reports/Key 9(")));
        QCOMPARE(actions->lastExcelReport(), path);
        QCOMPARE(readWorkbook(path).value(QStringLiteral("C26")).toArray().at(0).toString(), QStringLiteral("deffect"));

        // Names carry the time to the second: reports made within one second are all kept.
        QTest::mouseClick(buttons.excelReport(), Qt::LeftButton);
        QTest::mouseClick(buttons.excelReport(), Qt::LeftButton);
        QCOMPARE(saved.count(), 3);
        QSet<QString> paths;
        for (const QList<QVariant> &s : saved) {
            paths << s.at(0).toString();
            QVERIFY(QFileInfo::exists(s.at(0).toString()));
        }
        QCOMPARE(paths.size(), 3);
        QVERIFY(QFileInfo(path).size() > 0);

        // Several records chosen: the workbook holds one, so none is made and the user is told.
        shown << QStringLiteral("0102000000004204");
        QTest::mouseClick(buttons.excelReport(), Qt::LeftButton);
        QCOMPARE(saved.count(), 3);
        QCOMPARE(messages.count(), 2);
        QVERIFY(messages.at(1).at(0).toString().contains(QLatin1String("2 are chosen")));
    }

    void qrButtonMakesTheFolderFirst()
    {
        auto actions = makeActions();
        ReportButtons buttons(actions.get());
        QSignalSpy saved(actions.get(), &ReportActions::reportSaved);
        QVERIFY(!QFileInfo::exists(m_dir.path() + QStringLiteral("/qrcodes")));
        m_answer = m_dir.filePath(QStringLiteral("list.pdf"));
        QTest::mouseClick(buttons.qrGenerate(), Qt::LeftButton);
        QVERIFY(m_folderReady);
        QVERIFY(m_proposed.contains(QStringLiteral("/qrcodes/qr_list(")));
        QCOMPARE(saved.count(), 1);
        QVERIFY(QFileInfo(m_answer).size() > 0);

        QSignalSpy messages(actions.get(), &ReportActions::messageRequested);
        QTest::mouseClick(buttons.openReport(), Qt::LeftButton);
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.at(0).toLocalFile(), m_dir.path() + QStringLiteral("/reports"));
        QCOMPARE(buttons.openReport()->accessibleName(), buttons.openReport()->text());
        QCOMPARE(messages.count(), 0);

        // A desktop without a file browser: said, with the folder, instead of nothing at all.
        m_openWorks = false;
        QTest::mouseClick(buttons.openReport(), Qt::LeftButton);
        m_openWorks = true;
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.at(0).at(0).toString().contains(m_dir.path() + QStringLiteral("/reports")));
    }

    // A tightening arriving while the dialog is open refills the shared table with measures;
    // the list is made from the mirror as it is once the name is given.
    void qrListIsFilledAfterTheDialog()
    {
        auto actions = makeActions();
        ReportButtons buttons(actions.get());
        QSignalSpy saved(actions.get(), &ReportActions::reportSaved);
        QSignalSpy messages(actions.get(), &ReportActions::messageRequested);
        QSignalSpy status(actions.get(), &ReportActions::statusMessage);
        const QString dbsett = m_dir.path() + QStringLiteral("/download/dbsett/");
        const QString second = QStringLiteral("0203000000004205");
        m_whileAsked = [&] {
            ReportDatabase::clearRecords();
            QFile f(dbsett + second);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(sampleRecord(1).toBytes());
        };
        m_answer = m_dir.filePath(QStringLiteral("after.pdf"));
        QTest::mouseClick(buttons.qrGenerate(), Qt::LeftButton);
        m_whileAsked = nullptr;
        QCOMPARE(messages.count(), 0);
        QCOMPARE(saved.count(), 1);
        bool ok = false;
        const QByteArray text = runTool(QStringLiteral("pdftotext"), {m_answer, QStringLiteral("-")}, &ok);
        QVERIFY(ok);
        QVERIFY2(text.contains(second.toUtf8()), text.constData());
        QCOMPARE(status.count(), 1);
        QVERIFY(status.at(0).at(0).toString().contains(m_answer));

        // Nothing readable is left by the time the name is given: no list of headers only.
        // Last test: the mirror is left unreadable.
        m_whileAsked = [&] {
            for (const QString &name : QDir(dbsett).entryList(QDir::Files)) {
                QFile f(dbsett + name);
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                f.write("short");
            }
        };
        m_answer = m_dir.filePath(QStringLiteral("none.pdf"));
        QTest::mouseClick(buttons.qrGenerate(), Qt::LeftButton);
        m_whileAsked = nullptr;
        QCOMPARE(saved.count(), 1);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(1).toString(), QStringLiteral("red"));
        QVERIFY(!QFile::exists(m_answer));
    }
};

QTEST_MAIN(TestReportActions)
#include "tst_reportactions.moc"
