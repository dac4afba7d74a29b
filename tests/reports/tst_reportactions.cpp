#include "../StallMeter.h"
#include "ReportTestSupport.h"

#include "records/RecordName.h"
#include "reports/CsvReport.h"
#include "reports/ReportIdentity.h"
#include "reports/ReportStamp.h"
#include "ui/reports/ReportActions.h"
#include "ui/reports/ReportButtons.h"
#include "ui/widgets/JobProgressWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

// The report buttons clicked as a person would, the save dialog answered by the test. The
// reports run as jobs; the progress widget beside the buttons shows them and their outcome.
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

    // The buttons and the progress widget in one shown window, as the main form places them.
    struct Rig
    {
        std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
        std::unique_ptr<ReportActions> actions = std::make_unique<ReportActions>();
        ReportButtons *buttons = new ReportButtons(actions.get(), window.get());
        JobProgressWidget *progress = new JobProgressWidget(window.get());
        QSignalSpy saved{actions.get(), &ReportActions::reportSaved};
        QSignalSpy failed{actions.get(), &ReportActions::reportFailed};
        QSignalSpy refused{actions.get(), &ReportActions::messageRequested};
        QSignalSpy shown{progress, &JobProgressWidget::messageRequested};

        QString outcomeText() const
        {
            const QLabel *l = progress->findChild<QLabel *>(QStringLiteral("lbJobText"));
            return l && l->isVisible() ? l->text() : QString();
        }
        QString outcomeStyle() const
        {
            const QLabel *l = progress->findChild<QLabel *>(QStringLiteral("lbJobText"));
            return l ? l->styleSheet() : QString();
        }
    };

    std::unique_ptr<Rig> makeRig()
    {
        auto r = std::make_unique<Rig>();
        auto *layout = new QVBoxLayout(r->window.get());
        layout->addWidget(r->buttons);
        layout->addWidget(r->progress);
        r->actions->setProgressWidget(r->progress);
        r->actions->setSaveNameAsker([this](const QString &, const QString &proposed, const QString &, QString *) {
            m_proposed = proposed;
            m_folderReady = QFileInfo(proposed).absoluteDir().exists();
            if (m_whileAsked)
                m_whileAsked();
            return m_answer;
        });
        r->actions->setUrlOpener([this](const QUrl &u) {
            m_opened << u;
            return m_openWorks;
        });
        r->window->show();
        return r;
    }

    QString dbsett() const { return m_dir.path() + QStringLiteral("/download/dbsett/"); }

private slots:
    void initTestCase()
    {
        QVERIFY(prepareDataRoot(m_dir.path()));
        ReportIdentity id;
        id.keyName = QStringLiteral("Key 9");
        id.operatorName = QStringLiteral("Sidorov");
        QVERIFY(id.save());
    }

    void csvButtonWritesTheTableAsTheCoreDoes()
    {
        auto rig = makeRig();
        QSignalSpy status(rig->actions.get(), &ReportActions::statusMessage);
        QStandardItemModel table(0, 3);
        table.setHorizontalHeaderLabels({"Date", "Notes", "Controller"});
        table.appendRow({new QStandardItem("07.12.2026"), new QStandardItem("a;b"), new QStandardItem("Sidorov")});
        rig->actions->setMemoryModel(&table);

        m_answer.clear(); // cancelled: nothing written, nothing said
        QTest::mouseClick(rig->buttons->saveReport(), Qt::LeftButton);
        QVERIFY(m_proposed.startsWith(m_dir.path() + QStringLiteral("/reports/report(")));
        QVERIFY(m_proposed.endsWith(QStringLiteral(").csv")));
        QCOMPARE(rig->progress->rowCount(), 0);

        m_answer = m_dir.filePath(QStringLiteral("reports/mine.csv"));
        QTest::mouseClick(rig->buttons->saveReport(), Qt::LeftButton);
        // The table is copied when the job starts: a change made while it runs is not in the file.
        const QByteArray expected = CsvReport::build(table, QStringLiteral("Sidorov"));
        table.item(0, 1)->setText(QStringLiteral("changed"));
        QVERIFY(rig->saved.wait(30000));
        QFile f(m_answer);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), expected);
        QCOMPARE(status.count(), 1); // where it went, on the status line
        QVERIFY(status.at(0).at(0).toString().contains(m_answer));
        // And on screen, in green, as plainly as a failure.
        QVERIFY(rig->outcomeText().contains(m_answer));
        QVERIFY(rig->outcomeStyle().contains(QLatin1String("rgb(0, 110, 0)")));
        QCOMPARE(rig->shown.count(), 1);
        QCOMPARE(rig->shown.at(0).at(1).toString(), QStringLiteral("green"));

        m_answer = m_dir.filePath(QStringLiteral("no/such/folder.csv")); // cannot be written: said in red
        QTest::mouseClick(rig->buttons->saveReport(), Qt::LeftButton);
        QVERIFY(rig->failed.wait(30000));
        QCOMPARE(rig->shown.count(), 2);
        QCOMPARE(rig->shown.at(1).at(1).toString(), QStringLiteral("red"));
        QVERIFY(rig->outcomeStyle().contains(QLatin1String("rgb(200, 0, 0)")));
        QVERIFY(rig->outcomeText().contains(QLatin1String("failed")));
        QCOMPARE(rig->progress->rowCount(), 1); // the earlier outcome made way for this one
        QVERIFY(!QFile::exists(m_answer));
    }

    void excelButtonUsesTheEditorsRecord()
    {
        auto rig = makeRig();
        QString record = QStringLiteral("0102000000004203");
        QStringList shown{record};
        rig->actions->setRecordNamesProvider([&shown] { return shown; });

        RecordFile r = sampleRecord(0);
        QFile f(dbsett() + record);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(r.toBytes()); // no measures yet
        f.close();
        QTest::mouseClick(rig->buttons->excelReport(), Qt::LeftButton);
        QVERIFY(rig->failed.wait(30000));
        QCOMPARE(rig->shown.count(), 1);
        QCOMPARE(rig->shown.at(0).at(0).toString(), QStringLiteral("Empty Report can't be save!"));

        r.entries = {entry(15), entry(30)};
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(r.toBytes());
        f.close();
        QTest::mouseClick(rig->buttons->excelReport(), Qt::LeftButton);
        // A second workbook while the first is being made is refused, in words.
        QTest::mouseClick(rig->buttons->excelReport(), Qt::LeftButton);
        QCOMPARE(rig->refused.count(), 1);
        QVERIFY(rig->refused.at(0).at(0).toString().contains(QLatin1String("is being made")));
        QVERIFY(rig->saved.wait(30000));
        const QString path = rig->saved.at(0).at(0).toString();
        QVERIFY(path.startsWith(m_dir.path() + QStringLiteral("/reports/Key 9(")));
        QCOMPARE(rig->actions->lastExcelReport(), path);
        QCOMPARE(readWorkbook(path).value(QStringLiteral("C26")).toArray().at(0).toString(), QStringLiteral("deffect"));

        // Names carry the time to the second: reports made within one second are all kept.
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(rig->buttons->excelReport(), Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(rig->saved.count(), 2 + i, 30000);
        }
        QSet<QString> paths;
        for (const QList<QVariant> &s : rig->saved) {
            paths << s.at(0).toString();
            QVERIFY(QFileInfo::exists(s.at(0).toString()));
        }
        QCOMPARE(paths.size(), 3);

        // Several records chosen: the workbook holds one, so none is made and the user is told.
        shown << QStringLiteral("0102000000004204");
        QTest::mouseClick(rig->buttons->excelReport(), Qt::LeftButton);
        QCOMPARE(rig->refused.count(), 2);
        QVERIFY(rig->refused.at(1).at(0).toString().contains(QLatin1String("2 are chosen")));
        QCOMPARE(rig->refused.at(1).at(1).toString(), QStringLiteral("red"));
        QVERIFY(!rig->actions->isRunning(ReportActions::Kind::Excel));
    }

    void qrButtonMakesTheFolderFirst()
    {
        auto rig = makeRig();
        QVERIFY(!QFileInfo::exists(m_dir.path() + QStringLiteral("/qrcodes")));
        m_answer = m_dir.filePath(QStringLiteral("list.pdf"));
        QTest::mouseClick(rig->buttons->qrGenerate(), Qt::LeftButton);
        QVERIFY(m_folderReady);
        QVERIFY(m_proposed.contains(QStringLiteral("/qrcodes/qr_list(")));
        QVERIFY(rig->saved.wait(60000));
        QVERIFY(QFileInfo(m_answer).size() > 0);

        QTest::mouseClick(rig->buttons->openReport(), Qt::LeftButton);
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.at(0).toLocalFile(), m_dir.path() + QStringLiteral("/reports"));
        QCOMPARE(rig->buttons->openReport()->accessibleName(), rig->buttons->openReport()->text());
        QCOMPARE(rig->refused.count(), 0);

        // A desktop without a file browser: said, with the folder, instead of nothing at all.
        m_openWorks = false;
        QTest::mouseClick(rig->buttons->openReport(), Qt::LeftButton);
        m_openWorks = true;
        QCOMPARE(rig->refused.count(), 1);
        QVERIFY(rig->refused.at(0).at(0).toString().contains(m_dir.path() + QStringLiteral("/reports")));
    }

    // A list of a thousand records is made while the window goes on: its timer keeps ticking,
    // a click on another button is handled at once, the outcome shows in green; a list that
    // cannot be written shows in red.
    void windowAnswersWhileALargeListIsMade()
    {
        QStringList written;
        for (int i = 0; i < 1000; ++i) {
            RecordFile r = sampleRecord(i % 3);
            r.header.wheelIndex = quint8(i % 20);
            const QString name = RecordName::make(i % 50, i / 50, QStringLiteral("LS%1").arg(i, 8, 10, QLatin1Char('0')), 3);
            QFile f(dbsett() + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(r.toBytes());
            written << name;
        }
        auto rig = makeRig();
        QVERIFY(QTest::qWaitForWindowExposed(rig->window.get()));
        StallMeter stall;

        m_answer = m_dir.filePath(QStringLiteral("large.pdf"));
        stall.start();
        QTest::mouseClick(rig->buttons->qrGenerate(), Qt::LeftButton);
        QVERIFY(rig->actions->isRunning(ReportActions::Kind::QrList));
        const int opened = m_opened.size();
        QTest::mouseClick(rig->buttons->openReport(), Qt::LeftButton);
        QCOMPARE(m_opened.size(), opened + 1); // handled while the list is being made
        QTest::mouseClick(rig->buttons->qrGenerate(), Qt::LeftButton);
        QCOMPARE(rig->refused.count(), 1); // one list at a time, said
        QCOMPARE(rig->refused.at(0).at(1).toString(), QStringLiteral("yellow"));
        QVERIFY(rig->saved.wait(120000));
        stall.stop();
        qInfo("the GUI thread while the list was made: %s", qPrintable(stall.describe()));
        // The list made on the GUI thread held it for well over a second here.
        QVERIFY2(stall.longestHeldMs() < 400, qPrintable(stall.describe()));
        QVERIFY(rig->outcomeText().contains(QLatin1String("QR-codes list of ")));
        QVERIFY(rig->outcomeStyle().contains(QLatin1String("rgb(0, 110, 0)")));
        QCOMPARE(rig->shown.last().at(1).toString(), QStringLiteral("green"));
        bool ok = false;
        const QByteArray text = runTool(QStringLiteral("pdftotext"), {m_answer, QStringLiteral("-")}, &ok);
        QVERIFY(ok);
        QVERIFY(text.contains(written.last().toUtf8()));

        m_answer = m_dir.filePath(QStringLiteral("no/such/dir/large.pdf"));
        QTest::mouseClick(rig->buttons->qrGenerate(), Qt::LeftButton);
        QVERIFY(rig->failed.wait(120000));
        QVERIFY(rig->outcomeText().contains(QLatin1String("failed")));
        QVERIFY(rig->outcomeStyle().contains(QLatin1String("rgb(200, 0, 0)")));
        QCOMPARE(rig->shown.last().at(1).toString(), QStringLiteral("red"));
        for (const QString &name : written)
            QFile::remove(dbsett() + name);
    }

    // The list is made from the mirror as it is once the name is given.
    void qrListIsFilledAfterTheDialog()
    {
        auto rig = makeRig();
        QSignalSpy status(rig->actions.get(), &ReportActions::statusMessage);
        const QString second = QStringLiteral("0203000000004205");
        m_whileAsked = [&] {
            QFile f(dbsett() + second);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(sampleRecord(1).toBytes());
        };
        m_answer = m_dir.filePath(QStringLiteral("after.pdf"));
        QTest::mouseClick(rig->buttons->qrGenerate(), Qt::LeftButton);
        m_whileAsked = nullptr;
        QVERIFY(rig->saved.wait(60000));
        QCOMPARE(rig->refused.count(), 0);
        bool ok = false;
        const QByteArray text = runTool(QStringLiteral("pdftotext"), {m_answer, QStringLiteral("-")}, &ok);
        QVERIFY(ok);
        QVERIFY2(text.contains(second.toUtf8()), text.constData());
        QCOMPARE(status.count(), 1);
        QVERIFY(status.at(0).at(0).toString().contains(m_answer));

        // Nothing readable is left by the time the name is given: no list of headers only.
        // Last test: the mirror is left unreadable.
        m_whileAsked = [&] {
            for (const QString &name : QDir(dbsett()).entryList(QDir::Files)) {
                QFile f(dbsett() + name);
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                f.write("short");
            }
        };
        m_answer = m_dir.filePath(QStringLiteral("none.pdf"));
        QTest::mouseClick(rig->buttons->qrGenerate(), Qt::LeftButton);
        m_whileAsked = nullptr;
        QVERIFY(rig->failed.wait(60000));
        QCOMPARE(rig->saved.count(), 1);
        QCOMPARE(rig->shown.last().at(1).toString(), QStringLiteral("red"));
        QVERIFY(rig->shown.last().at(0).toString().contains(QLatin1String("No record could be read")));
        QVERIFY(!QFile::exists(m_answer));
    }
};

QTEST_MAIN(TestReportActions)
#include "tst_reportactions.moc"
