// Times the three reports at plant scale and prints the figures:
//   CSV of 64,000 measures, QR list of 1000 records (time and PDF size), workbook of a
//   64-measure record. Run from the build tree (it needs settings/ and sql/ of the data root):
//   QT_QPA_PLATFORM=offscreen bench/bench_reports
#include "base/Log.h"
#include "base/Paths.h"
#include "records/RecordFile.h"
#include "records/RecordName.h"
#include "records/TemplateLists.h"
#include "reports/CsvReport.h"
#include "reports/ExcelReport.h"
#include "reports/QrListReport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <cstdio>

namespace {

RecordFile record(int measures, int seed)
{
    RecordFile r;
    r.header.fioIndex = quint8(seed % 10);
    r.header.wheelIndex = quint8(seed % 50);
    r.header.uzelIndex = quint8(seed % 100);
    r.header.setOperationNumber(QStringLiteral("%1").arg(seed, 10, 10, QLatin1Char('0')));
    r.header.rangeLow = 10;
    r.header.rangeHigh = 20;
    r.header.countTotal = quint16(measures);
    for (int i = 0; i < measures; ++i) {
        MeasureEntry e;
        e.moment = 9.0f + float(i % 13);
        e.correctedDefect = (i % 7 == 0) ? 1.5f : 0.0f;
        e.year = 26;
        e.month = 12;
        e.day = 7;
        e.hour = quint8(i / 3600 % 24);
        e.minute = quint8(i / 60 % 60);
        e.second = quint8(i % 60);
        r.entries.append(e);
    }
    return r;
}

bool copyFromBuild(const QString &root, const char *rel)
{
    const QString from = QCoreApplication::applicationDirPath() + QStringLiteral("/../") + QLatin1String(rel);
    return QFile::copy(from, root + QLatin1Char('/') + QLatin1String(rel));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.path();
    Paths::setDataRoot(root);
    QDir().mkpath(root + QStringLiteral("/settings"));
    QDir().mkpath(root + QStringLiteral("/sql"));
    QDir().mkpath(root + QStringLiteral("/reports"));
    QDir().mkpath(root + QStringLiteral("/download/dbsett"));
    for (const char *f : {"settings/template_khr.xlsx", "settings/qrcodec.lrxml", "sql/report.db3"}) {
        if (!copyFromBuild(root, f)) {
            std::fprintf(stderr, "bench_reports: %s missing in the build tree\n", f);
            return 1;
        }
    }
    TemplateLists lists;
    ReportIdentity id;
    id.keyName = QStringLiteral("Bench key");
    id.operatorName = QStringLiteral("Operator");
    id.levelCaptions = QStringList{"Object", "Wheel", "Operation", "Node"};

    // CSV: a memory table of 64,000 measures in 12 columns (one level column), as the
    // memory page would hold it; only the report is timed.
    {
        QStandardItemModel table(0, 12);
        for (int i = 0; i < 64000; ++i) {
            QList<QStandardItem *> row;
            const QStringList cells{"07.12.2026", "10:01:02", "Wheel 12", "10.00-20.00", QString::number(i % 64 + 1) + "/64",
                                    "15.25", "-", "-", i % 5 ? "OK" : "NG", " ", "", "Operator"};
            for (const QString &c : cells)
                row << new QStandardItem(c);
            table.appendRow(row);
        }
        if (qEnvironmentVariableIsSet("TD_BENCH_SPLIT")) {
            QElapsedTimer s;
            s.start();
            qint64 n = 0;
            for (int r = 0; r < table.rowCount(); ++r)
                for (int c = 0; c < 12; ++c)
                    n += table.data(table.index(r, c)).toString().size();
            std::printf("  cells read: %.3f s (%lld)\n", s.nsecsElapsed() / 1e9, n);
            s.restart();
            const QByteArray b = CsvReport::build(table, id.operatorName);
            std::printf("  built without log: %.3f s\n", s.nsecsElapsed() / 1e9);
            s.restart();
            CsvReport::build(table, id.operatorName, [](const QString &l) { td::log(l); });
            std::printf("  built with log: %.3f s\n", s.nsecsElapsed() / 1e9);
        }
        QElapsedTimer t;
        t.start();
        QString error;
        const bool ok = CsvReport::save(table, id.operatorName, root + QStringLiteral("/reports/bench.csv"), &error);
        std::printf("CSV of 64000 measures: %.3f s, %lld bytes%s\n", t.nsecsElapsed() / 1e9,
                    QFileInfo(root + QStringLiteral("/reports/bench.csv")).size(), ok ? "" : " FAILED");
    }

    // Workbook of a 64-measure record.
    {
        const RecordFile r = record(64, 1);
        QElapsedTimer t;
        t.start();
        QString error;
        const QString out = ExcelReport::outputPath(id.keyName, dateTimeStamp());
        const bool ok = ExcelReport::make(r, lists, id, ReportPaths::excelTemplate(), out, &error);
        std::printf("Excel report of 64 measures: %.3f s, %lld bytes%s %s\n", t.nsecsElapsed() / 1e9,
                    QFileInfo(out).size(), ok ? "" : " FAILED", qPrintable(error));
    }

    // QR list of 1000 records.
    {
        for (int i = 0; i < 1000; ++i) {
            const RecordFile r = record(i % 5, i);
            const QString name = RecordName::make(i % 10, i % 50, r.header.operationNumber(), i % 100);
            QFile f(root + QStringLiteral("/download/dbsett/") + name);
            if (!f.open(QIODevice::WriteOnly) || f.write(r.toBytes()) <= 0)
                return 1;
        }
        const QString out = root + QStringLiteral("/qr_list.pdf");
        QElapsedTimer t;
        t.start();
        QString error;
        const bool ok = QrListReport::make(out, lists, id, &error);
        std::printf("QR list of 1000 records: %.3f s, PDF %.2f MB%s %s\n", t.nsecsElapsed() / 1e9,
                    QFileInfo(out).size() / 1048576.0, ok ? "" : " FAILED", qPrintable(error));
        if (argc > 1)
            QFile::copy(out, QString::fromLocal8Bit(argv[1]));
    }
    return 0;
}
