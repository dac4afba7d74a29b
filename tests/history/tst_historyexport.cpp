// History exports as jobs: streamed to a temporary and put in place only when complete.
#include "HistoryFixtures.h"
#include "PgServer.h"
#include "history/HistoryExport.h"
#include "history/HistoryExportJob.h"
#include "history/HistoryStore.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <cmath>

class HistoryExportTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    PgServer m_pg;
    int m_histories = 0;

    // A history of 40 records of 250 measures each; the latest measure of R01 names another product.
    bool fill(const QString &url, QString *error)
    {
        HistoryStore store;
        if (!store.open(url, error, m_tmp.filePath(QStringLiteral("q%1.db3").arg(++m_histories))))
            return false;
        QVector<HistoryMeasure> rows;
        for (int r = 39; r >= 0; --r)
            rows += makeMeasures(250, QStringLiteral("R%1").arg(r, 2, 10, QLatin1Char('0')));
        for (HistoryMeasure &m : rows) {
            if (m.recordName == QLatin1String("R01") && m.connectionIndex == 249)
                m.product = QStringLiteral("Wheel 11");
        }
        const HistoryStore::AppendResult r = store.append(rows);
        *error = r.error;
        return r.ok && r.added == rows.size();
    }

    static HistoryLocation locationOf(const QString &url)
    {
        HistoryLocation loc;
        QString error;
        HistoryLocation::parse(url, &loc, &error);
        return loc;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        QString why;
        QVERIFY2(m_pg.start(&why), qPrintable(why));
    }

    // The exported texts are the page's: values rounded as Qt rounds them, ties upwards
    // (45.125 -> 45.13), a negative zero without its sign, the key's floats as they come.
    void numbersReadAsThePageShowsThem()
    {
        QVector<double> values{45.125, 0.125, 2.675, 1.005, 0.045, -0.0, -0.004, -45.125, 1e300, 12.5, 0.25};
        for (int i = 0; i < 20000; ++i)
            values << double(float(i * 0.37 - 3000.0)) << i / 1000.0;
        for (const double v : qAsConst(values)) {
            HistoryMeasure m = makeMeasures(1).first();
            m.moment = v;
            m.momentLow = v;
            m.momentHigh = -v;
            m.algorithm = 2;
            m.angle = v;
            const QStringList texts = HistoryExport::rowTexts(m);
            QCOMPARE(texts.at(4), QString::number(std::fabs(v), 'f', 2) + QLatin1Char(' ') + m.unit);
            QCOMPARE(texts.at(5), QString::number(std::fabs(v), 'f', 1));
            QCOMPARE(texts.at(8), QString::number(v, 'f', 2) + QLatin1Char('-') + QString::number(-v, 'f', 2));
        }
    }

    // A Russian reader sees the unit in Russian on the page, as in the statistics beside it;
    // the file keeps the key's code, which other programs read.
    void pageShowsTheUnitInTheReadersLanguage()
    {
        QTranslator russian;
        QVERIFY(russian.load(qEnvironmentVariable("TD_BUILD_DIR") + QStringLiteral("/language_ru.qm")));
        QCoreApplication::installTranslator(&russian);
        const auto uninstall = qScopeGuard([&] { QCoreApplication::removeTranslator(&russian); });
        HistoryMeasure m = makeMeasures(1).first();
        m.moment = 45.5;
        m.unit = QStringLiteral("Nm");
        QCOMPARE(HistoryExport::rowTexts(m, HistoryExport::Unit::Shown).at(4), QStringLiteral("45.50 Нм"));
        QCOMPARE(HistoryExport::rowTexts(m).at(4), QStringLiteral("45.50 Nm"));
        m.unit = QStringLiteral("lbf·ft"); // a code the program has no word for stays as the key gave it
        QCOMPARE(HistoryExport::rowTexts(m, HistoryExport::Unit::Shown).at(4), QStringLiteral("45.50 lbf·ft"));
    }

    void jobsWriteWholeFilesOnTheirOwnThread()
    {
        const QString url = m_tmp.filePath(QStringLiteral("whole.db3"));
        QString error;
        QVERIFY2(fill(url, &error), qPrintable(error));
        QDir().mkpath(m_tmp.filePath(QStringLiteral("out")));
        for (const auto format : {HistoryExportJob::Format::Csv, HistoryExportJob::Format::Dfq}) {
            const bool csv = format == HistoryExportJob::Format::Csv;
            const QString path = m_tmp.filePath(csv ? QStringLiteral("out/h.csv") : QStringLiteral("out/h.dfq"));
            auto *job = new HistoryExportJob(locationOf(url), HistoryFilter(), format, path);
            QSignalSpy progress(job, &Job::progress);
            QSignalSpy written(job, &HistoryExportJob::written);
            QSignalSpy finished(job, &Job::finished);
            startJob(job);
            QVERIFY(finished.wait(30000));
            QVERIFY2(finished.at(0).at(0).toBool(), qPrintable(finished.at(0).at(1).toString()));
            QCOMPARE(written.at(0).at(0).toLongLong(), qint64(10000));
            // The bar moves along the way and ends full.
            QVERIFY(progress.size() > 3);
            QCOMPARE(progress.last().at(0), progress.last().at(1));
            QVERIFY(progress.last().at(1).toLongLong() >= 10000);

            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            if (csv) {
                QCOMPARE(bytes.count("\r\n"), 10001);
                continue;
            }
            QVERIFY(bytes.startsWith("K0100 40\r\n"));
            QCOMPARE(bytes.count("K0001/"), 10000);
            // Characteristics in record order, each described by its latest measure, and every
            // value under its own record's number.
            QVERIFY(bytes.contains("K2001/1 R00\r\n"));
            QVERIFY(bytes.contains("K2001/40 R39\r\n"));
            QVERIFY(bytes.contains("K1001/2 Wheel 11\r\n"));
            QVERIFY(bytes.contains("K1001/3 Wheel 10\r\n"));
            QCOMPARE(bytes.count("K0001/40 "), 250);
            QVERIFY(bytes.lastIndexOf("K0001/1 ") < bytes.indexOf("K0001/2 "));
        }
        QCOMPARE(QDir(m_tmp.filePath(QStringLiteral("out"))).entryList(QDir::Files).size(), 2);
    }

    // A reading that fails part way or an export cancelled part way: the file from before
    // stays as it was and no temporary is left beside it.
    void anUnfinishedExportLeavesThePreviousFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("format");
        QTest::newRow("cancelled csv") << QStringLiteral("cancel") << int(HistoryExportJob::Format::Csv);
        QTest::newRow("cancelled dfq") << QStringLiteral("cancel") << int(HistoryExportJob::Format::Dfq);
        QTest::newRow("damaged file csv") << QStringLiteral("damage") << int(HistoryExportJob::Format::Csv);
        QTest::newRow("damaged file dfq") << QStringLiteral("damage") << int(HistoryExportJob::Format::Dfq);
        // Last: the server does not come back.
        QTest::newRow("server gone csv") << QStringLiteral("server") << int(HistoryExportJob::Format::Csv);
    }

    void anUnfinishedExportLeavesThePreviousFile()
    {
        QFETCH(QString, how);
        QFETCH(int, format);
        const bool server = how == QLatin1String("server");
        QString url = m_tmp.filePath(QStringLiteral("h%1.db3").arg(m_histories + 1));
        if (server) {
            QString why;
            QVERIFY2(m_pg.createDatabase(QStringLiteral("gone"), &why), qPrintable(why));
            url = m_pg.url(QStringLiteral("gone"));
        }
        QString error;
        QVERIFY2(fill(url, &error), qPrintable(error));
        if (how == QLatin1String("damage"))
            QVERIFY(damageMiddlePages(url));
        const QString folder = m_tmp.filePath(QStringLiteral("keep-%1").arg(QTest::currentDataTag()).replace(' ', '-'));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/h.out");
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("the export from before\n");
        }

        HistoryExportJob job(locationOf(url), HistoryFilter(), HistoryExportJob::Format(format), path);
        QSignalSpy finished(&job, &Job::finished);
        QSignalSpy written(&job, &HistoryExportJob::written);
        connect(&job, &Job::progress, this, [&](qint64 done) {
            if (done == 0)
                return;
            if (how == QLatin1String("cancel"))
                job.cancel();
            else if (server)
                m_pg.stopServer();
        });
        job.run(); // on this thread, so the server stops while the rows are read
        QCOMPARE(finished.size(), 1);
        QVERIFY(!finished.at(0).at(0).toBool());
        QVERIFY(!finished.at(0).at(1).toString().isEmpty());
        QCOMPARE(written.at(0).at(0).toLongLong(), qint64(0));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("the export from before\n"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("h.out")});
    }
};

QTEST_GUILESS_MAIN(HistoryExportTest)
#include "tst_historyexport.moc"
