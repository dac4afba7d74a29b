#include "FileCallHook.h"
#include "ReportTestSupport.h"

#include "records/RecordName.h"
#include "records/TemplateLists.h"
#include "reports/QrListReport.h"
#include "reports/QrReportEngine.h"
#include "reports/ReportJobs.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestQrList : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    TemplateLists m_lists;
    ReportIdentity m_id;
    QStringList m_names;

    QString dbsett() const { return m_dir.path() + QStringLiteral("/download/dbsett"); }

private slots:
    void initTestCase()
    {
        QVERIFY(prepareDataRoot(m_dir.path()));
        m_id.levelCaptions = QStringList{"Object", "Wheel", "Operation", "Node"};
        m_id.units = 1;
    }

    void everyRecordHasItsDecodableCode()
    {
        for (int i = 0; i < 7; ++i) {
            RecordFile r = sampleRecord(i % 3);
            r.header.fioIndex = quint8(i);
            r.entries = {entry(12)};
            const QString name = RecordName::make(i, 10 + i, QStringLiteral("OP%1").arg(i, 8, 10, QLatin1Char('0')), 3);
            QFile f(dbsett() + QLatin1Char('/') + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(r.toBytes());
            m_names << name;
        }
        {
            QFile stub(dbsett() + QStringLiteral("/ZZSHORT")); // less than a header: not a record
            QVERIFY(stub.open(QIODevice::WriteOnly));
            stub.write("abc");
        }
        m_names.sort();
        const QString out = m_dir.filePath(QStringLiteral("list.pdf"));
        QString error;
        QVERIFY2(QrListReport::make(out, m_lists, m_id, &error), qPrintable(error));
        QVERIFY(!QFile::exists(out + QStringLiteral(".part")));

        bool ok = false;
        const QByteArray text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), out, QStringLiteral("-")}, &ok);
        QVERIFY(ok);
        for (const char *caption : {"Object", "Wheel", "Operation", "Node", "kgsm", "Page 1 of 2", "Page 2 of 2"})
            QVERIFY2(text.contains(caption), caption);
        QVERIFY(text.contains(QStringLiteral("QR-codes list %1").arg(dateTimeStamp().file.left(10)).toUtf8()));
        QVERIFY(text.contains(m_lists.wheelText(13).toUtf8()));

        const QString prefix = m_dir.filePath(QStringLiteral("page"));
        runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"), out, prefix}, &ok);
        QVERIFY(ok);
        QStringList decoded;
        const QStringList pages = QDir(m_dir.path()).entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
        QCOMPARE(pages.size(), 2);
        for (const QString &png : pages) {
            const QByteArray raw = runTool(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"),
                                                                       m_dir.filePath(png)}, &ok);
            QVERIFY(ok);
            for (const QByteArray &line : raw.split('\n'))
                if (!line.isEmpty())
                    decoded << QString::fromUtf8(line);
        }
        decoded.sort();
        QCOMPARE(decoded, m_names);
    }

    // A new list that cannot be put in place leaves the one it was to replace as it was.
    void aFailedReplaceKeepsTheOldPdf()
    {
        const QString out = m_dir.filePath(QStringLiteral("kept.pdf"));
        QString error;
        QVERIFY2(QrListReport::make(out, m_lists, m_id, &error), qPrintable(error));
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        {
            HeldReport hold(out);
            QVERIFY(!QrListReport::make(out, m_lists, m_id, &error));
        }
        QVERIFY2(error.contains(QStringLiteral("kept.pdf")), qPrintable(error));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QFile::remove(out + QStringLiteral(".part"));
    }

    // In Russian the list's own texts and its units are Russian too.
    void russianList()
    {
        QVERIFY(!m_names.isEmpty()); // the records of the test above
        RussianReports russian(m_dir.path());
        QVERIFY(russian.ok);
        const QString out = m_dir.filePath(QStringLiteral("list-ru.pdf"));
        QString error;
        QVERIFY2(QrListReport::make(out, m_lists, m_id, &error), qPrintable(error));
        bool ok = false;
        const QString text = QString::fromUtf8(
            runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), out, QStringLiteral("-")}, &ok));
        QVERIFY(ok);
        for (const QString &expected : {QStringLiteral("Список QR-кодов"), QStringLiteral("Моменты в кгсм"),
                                        QStringLiteral("Страница 1 из 2")})
            QVERIFY2(text.contains(expected), qPrintable(expected));
        QVERIFY(!text.contains(QStringLiteral("Page 1")));
    }

    // The list as a job on a thread of its own: the bar reaches the end, the last status names
    // the file, and a cancelled job leaves no file and says why.
    void jobReportsItsWayAndCanBeCancelled()
    {
        QVERIFY(!m_names.isEmpty()); // the records of the first test
        QrListReport::Request r;
        r.folder = dbsett();
        r.templatePath = ReportPaths::qrTemplate();
        r.outPath = m_dir.filePath(QStringLiteral("job.pdf"));
        r.lists = m_lists;
        r.identity = m_id;
        r.stamp = dateTimeStamp();
        auto *job = new QrListJob(r);
        JobWatch watch(job);
        startJob(job);
        QTRY_VERIFY_WITH_TIMEOUT(watch.ended, 60000);
        QVERIFY2(watch.ok, qPrintable(watch.error));
        QVERIFY(!watch.progress.isEmpty());
        QCOMPARE(watch.progress.last().first, watch.progress.last().second);
        QVERIFY(watch.status.last().contains(QStringLiteral("%1 records").arg(m_names.size())));
        QVERIFY(watch.status.last().contains(r.outPath));
        bool ok = false;
        const QByteArray text = runTool(QStringLiteral("pdftotext"), {r.outPath, QStringLiteral("-")}, &ok);
        QVERIFY(ok);
        QVERIFY(text.contains(m_names.first().toUtf8()));

        r.outPath = m_dir.filePath(QStringLiteral("cancelled.pdf"));
        QrListJob cancelled(r);
        QSignalSpy end(&cancelled, &Job::finished);
        cancelled.cancel();
        cancelled.run();
        QCOMPARE(end.count(), 1);
        QCOMPARE(end.first().at(0).toBool(), false);
        QVERIFY(end.first().at(1).toString().contains(QStringLiteral("Cancelled")));
        QVERIFY(!QFile::exists(r.outPath));
        QVERIFY(!QFile::exists(r.outPath + QStringLiteral(".part")));
    }

    void refusalsLeaveNoPdf()
    {
        QString error;
        // A folder that does not exist for the output.
        const QString bad = m_dir.filePath(QStringLiteral("missing/list.pdf"));
        QVERIFY(!QrListReport::make(bad, m_lists, m_id, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(bad));
        // A template that is not one.
        QrReportEngine engine;
        QFile broken(m_dir.filePath(QStringLiteral("broken.lrxml")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("<report><detail height=\"10\">");
        broken.close();
        QVERIFY(!engine.loadFromFile(broken.fileName(), false));
        QVERIFY(!engine.lastError().isEmpty());
        // No record files at all.
        for (const QString &f : QDir(dbsett()).entryList(QDir::Files))
            QFile::remove(dbsett() + QLatin1Char('/') + f);
        const QString out = m_dir.filePath(QStringLiteral("empty.pdf"));
        QVERIFY(!QrListReport::make(out, m_lists, m_id, &error));
        QCOMPARE(error, QStringLiteral("Warning! Folder is empty!"));
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_MAIN(TestQrList)
#include "tst_qrlist.moc"
