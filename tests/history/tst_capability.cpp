// Capability figures and control limits against values worked out here independently (the
// textbook two-pass formulas), the DFQ file read back by a small reader of its own, and the CSV
// export as Python's csv module reads it.
#include "../reports/PythonCsv.h"
#include "HistoryFixtures.h"
#include "history/Capability.h"
#include "history/DfqWriter.h"
#include "history/HistoryExport.h"
#include "history/HistoryStore.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

struct TwoPass
{
    double mean = 0;
    double sigma = 0;
};

TwoPass twoPass(const QVector<double> &v)
{
    TwoPass r;
    for (double x : v)
        r.mean += x;
    r.mean /= v.size();
    double ss = 0;
    for (double x : v)
        ss += (x - r.mean) * (x - r.mean);
    r.sigma = std::sqrt(ss / (v.size() - 1));
    return r;
}

QVector<double> normalSample(int n, double mean, double sigma, quint32 seed)
{
    QRandomGenerator rng(seed);
    QVector<double> v;
    for (int i = 0; i < n; ++i) {
        // Box-Muller
        const double u1 = std::max(rng.generateDouble(), 1e-12);
        const double u2 = rng.generateDouble();
        v << mean + sigma * std::sqrt(-2 * std::log(u1)) * std::cos(2 * M_PI * u2);
    }
    return v;
}

bool near(double a, double b, double rel = 1e-9)
{
    return std::fabs(a - b) <= rel * std::max(1.0, std::fabs(b));
}

// K-fields of a DFQ file: key with its /n suffix -> values in file order.
QMultiMap<QString, QByteArray> parseDfq(const QByteArray &file, int *lines, bool *crlfOnly)
{
    QMultiMap<QString, QByteArray> fields;
    *lines = 0;
    *crlfOnly = true;
    int start = 0;
    while (start < file.size()) {
        const int end = file.indexOf("\r\n", start);
        if (end < 0) {
            *crlfOnly = false;
            break;
        }
        const QByteArray line = file.mid(start, end - start);
        if (line.contains('\n') || line.contains('\r'))
            *crlfOnly = false;
        const int space = line.indexOf(' ');
        fields.insert(QString::fromLatin1(line.left(space)), line.mid(space + 1));
        ++*lines;
        start = end + 2;
    }
    return fields;
}

} // namespace

class TestCapability : public QObject
{
    Q_OBJECT
private slots:
    void capabilityAgainstTwoPass_data()
    {
        QTest::addColumn<QVector<double>>("values");
        QTest::addColumn<double>("lsl");
        QTest::addColumn<double>("usl");
        QTest::addColumn<bool>("alarm");
        // How closely cpk can agree: near 1e7 a mean carries about 1e-8 of rounding in either
        // formula, and cpk divides a distance of 0.01 by the spread.
        QTest::addColumn<double>("cpkTolerance");
        QTest::newRow("capable") << normalSample(500, 50.0, 0.5, 7) << 45.0 << 55.0 << false << 1e-9;
        QTest::newRow("off centre") << normalSample(200, 53.5, 0.5, 8) << 45.0 << 55.0 << true << 1e-9;
        // Every value above the range: cpk is negative and the alarm is on.
        QTest::newRow("all outside") << normalSample(40, 60.0, 0.3, 9) << 45.0 << 55.0 << true << 1e-9;
        // Far from zero with a tiny spread: a one-pass sum-of-squares loses every digit here.
        QTest::newRow("large offset") << normalSample(1000, 1e7, 0.001, 10) << 1e7 - 0.01 << 1e7 + 0.01 << false << 1e-4;
    }
    void capabilityAgainstTwoPass()
    {
        QFETCH(QVector<double>, values);
        QFETCH(double, lsl);
        QFETCH(double, usl);
        QFETCH(bool, alarm);
        QFETCH(double, cpkTolerance);
        const TwoPass ref = twoPass(values);
        const Capability::Result r = Capability::evaluate(values, lsl, usl);
        QVERIFY(r.computed);
        QVERIFY2(near(r.summary.mean, ref.mean, 1e-12), qPrintable(QString::number(r.summary.mean - ref.mean)));
        QVERIFY2(near(r.summary.sigma, ref.sigma, 1e-6), qPrintable(QString::number(r.summary.sigma / ref.sigma)));
        QVERIFY(near(r.cp, (usl - lsl) / (6 * ref.sigma), 1e-6));
        QVERIFY(near(r.cpk, std::min(usl - ref.mean, ref.mean - lsl) / (3 * ref.sigma), cpkTolerance));
        QCOMPARE(r.alarm, alarm);
        QCOMPARE(r.summary.min, *std::min_element(values.begin(), values.end()));
        QCOMPARE(r.summary.range, r.summary.max - r.summary.min);
    }

    void noCapabilityWithoutASpreadOrEnoughValues()
    {
        const Capability::Result constant = Capability::evaluate(QVector<double>(30, 50.0), 45, 55);
        QVERIFY(!constant.computed);
        QVERIFY(!constant.alarm);
        QVERIFY(constant.reason.contains(QStringLiteral("sigma is 0")));
        QVERIFY(std::isfinite(constant.cp) && std::isfinite(constant.cpk));

        const Capability::Result few = Capability::evaluate(normalSample(24, 50, 1, 3), 45, 55);
        QVERIFY(!few.computed);
        QVERIFY(few.reason.contains(QStringLiteral("24")));

        // Two points with the threshold lowered: sigma from n - 1.
        Capability::Thresholds t;
        t.minimumN = 2;
        const Capability::Result two = Capability::evaluate({49.0, 51.0}, 45, 55, 1, t);
        QVERIFY(two.computed);
        QVERIFY(near(two.summary.sigma, std::sqrt(2.0)));
        QCOMPARE(two.summary.ngShare, 0.5);
        QVERIFY(near(two.cp, 10 / (6 * std::sqrt(2.0))));

        const Capability::Summary one = Capability::summarize({42.0});
        QCOMPARE(one.n, 1);
        QCOMPARE(one.sigma, 0.0);
        QCOMPARE(Capability::summarize({}).n, 0);
        // A spoiled NaN entry is left out rather than poisoning every figure.
        QCOMPARE(Capability::summarize({1.0, std::nan(""), 3.0}).mean, 2.0);
    }

    void controlLimitsOnAKnownSet()
    {
        // Three subgroups of five plus two values that make no full subgroup.
        const QVector<double> v = {10, 12, 11, 13, 14, 20, 22, 21, 23, 24, 10, 11, 12, 11, 11, 99, 98};
        const ControlChart::XbarR c = ControlChart::xbarR(v);
        QCOMPARE(c.leftOut, 2);
        QCOMPARE(c.means, (QVector<double>{12, 22, 11}));
        QCOMPARE(c.ranges, (QVector<double>{4, 4, 2}));
        QVERIFY(near(c.grandMean, 15));
        QVERIFY(near(c.meanRange, 10.0 / 3));
        QVERIFY(near(c.uclX, 15 + 0.577 * 10.0 / 3));
        QVERIFY(near(c.lclX, 15 - 0.577 * 10.0 / 3));
        QVERIFY(near(c.uclR, 2.114 * 10.0 / 3));
        QCOMPARE(c.lclR, 0.0);
        QCOMPARE(c.meansBeyond, (QVector<int>{0, 1, 2}));
        QVERIFY(c.rangesBeyond.isEmpty());

        QVERIFY(ControlChart::xbarR({1, 2, 3, 4}).means.isEmpty());
        QCOMPARE(ControlChart::xbarR({1, 2, 3, 4}).leftOut, 4);

        const ControlChart::Individuals i = ControlChart::individuals({10, 10, 10, 10, 30});
        QVERIFY(near(i.mean, 14));
        QVERIFY(near(i.ucl, 14 + 2.66 * 5)); // moving ranges 0, 0, 0, 20
        QCOMPARE(i.beyond, QVector<int>{4});
    }

    void dfqReadsBack()
    {
        DfqWriter::Characteristic a;
        a.partNumber = QStringLiteral("Колесо 7");
        a.partDescription = QStringLiteral("Op 10");
        a.number = QStringLiteral("page_1");
        a.description = QStringLiteral("Hub\nbolt ✓");
        a.lower = 40;
        a.upper = 60;
        a.unit = QStringLiteral("Nm");
        a.values << DfqWriter::Value{50.25, QDateTime(QDate(2025, 3, 5), QTime(9, 7, 3)), QStringLiteral("O'Neill"),
                                     QStringLiteral("2907A"), {}};
        a.values << DfqWriter::Value{49.5, QDateTime(), QStringLiteral("Иванов"), QStringLiteral("2907A"), {}};
        DfqWriter::Characteristic b;
        b.number = QStringLiteral("page_2");
        b.lower = 1.5;
        b.upper = 2.5;
        b.unit = QStringLiteral("kgsm");
        b.values << DfqWriter::Value{2.0, QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)), {}, {}, {}};

        const DfqWriter::Output o = DfqWriter::write({a, b});
        int lines = 0;
        bool crlf = false;
        const auto f = parseDfq(o.bytes, &lines, &crlf);
        QVERIFY(crlf);
        QCOMPARE(f.value(QStringLiteral("K0100")), QByteArray("2"));
        QCOMPARE(f.value(QStringLiteral("K1001/1")), QByteArray("Koleso 7"));
        QCOMPARE(f.value(QStringLiteral("K2002/1")), QByteArray("Hub bolt ?"));
        QCOMPARE(o.replacedCharacters, 1);
        QCOMPARE(f.value(QStringLiteral("K2101/1")), QByteArray("50"));
        QCOMPARE(f.value(QStringLiteral("K2101/2")), QByteArray("2"));
        QCOMPARE(f.value(QStringLiteral("K2110/2")), QByteArray("1.5"));
        QCOMPARE(f.value(QStringLiteral("K2142/2")), QByteArray("kgsm"));
        // QMultiMap::values lists the latest insert first.
        QCOMPARE(f.values(QStringLiteral("K0001/1")), (QList<QByteArray>{"49.5", "50.25"}));
        QCOMPARE(f.values(QStringLiteral("K0004/1")), QList<QByteArray>{"05.03.2025/09:07:03"});
        QCOMPARE(f.values(QStringLiteral("K0008/1")), (QList<QByteArray>{"Ivanov", "O'Neill"}));
        QCOMPARE(f.value(QStringLiteral("K0004/2")), QByteArray("31.12.2026/23:59:59"));
        QCOMPARE(f.count(QStringLiteral("K0012/1")), 2);
        QCOMPARE(lines, 1 + 2 * 8 + 3 * 4 - 1);
        for (char c : o.bytes)
            QVERIFY(uchar(c) >= 0x20 || c == '\r' || c == '\n');

        // The key's single-precision readings are written as the key showed them (as the CSV
        // and the broker's messages do), not with the float's noise digits.
        DfqWriter::Characteristic k;
        k.number = QStringLiteral("page_3");
        k.lower = double(300.1f);
        k.upper = double(305.92f);
        k.values << DfqWriter::Value{double(305.92f), QDateTime(), {}, {}, {}};
        k.values << DfqWriter::Value{double(-12.7f), QDateTime(), {}, {}, {}};
        const auto fk = parseDfq(DfqWriter::write({k}).bytes, &lines, &crlf);
        QCOMPARE(fk.values(QStringLiteral("K0001/1")), (QList<QByteArray>{"-12.7", "305.92"}));
        QCOMPARE(fk.value(QStringLiteral("K2110/1")), QByteArray("300.1"));
        QCOMPARE(fk.value(QStringLiteral("K2111/1")), QByteArray("305.92"));
        QCOMPARE(fk.value(QStringLiteral("K2101/1")), QByteArray("303.01"));
    }

    // Names and texts come from the key: the export opens them in a spreadsheet as text, never
    // as formulas.
    void csvExportOpensFormulasAsText()
    {
        QTemporaryDir dir;
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(dir.filePath(QStringLiteral("h.db3")), &error, dir.filePath(QStringLiteral("q.db3"))),
                 qPrintable(error));
        QVector<HistoryMeasure> rows = makeMeasures(1, QStringLiteral("@SUM(1+1)*cmd|'/C calc'!A0"));
        rows[0].operatorText = QStringLiteral("=HYPERLINK(\"http://evil\";\"Ivanov\")");
        rows[0].product = QStringLiteral("+Wheel; left");
        rows[0].node = QStringLiteral("-1+2");
        rows[0].measuredAt.clear(); // shown as a lone "-", which stays
        QVERIFY(store.append(rows).ok);
        const QString path = dir.filePath(QStringLiteral("export.csv"));
        const HistoryExport::Outcome o = HistoryExport::writeCsv(store.database(), HistoryFilter(), path);
        QVERIFY2(o.ok, qPrintable(o.error));

        bool read = false;
        const QJsonArray lines = readCsvWithPython(path, &read);
        QVERIFY(read);
        QCOMPARE(lines.size(), 2);
        const QJsonArray cells = lines.at(1).toArray();
        const QStringList titles = HistoryExport::columnTitles();
        auto at = [&](const QString &title) { return cells.at(titles.indexOf(title)).toString(); };
        QCOMPARE(at(QStringLiteral("Date and time")), QStringLiteral("-"));
        QCOMPARE(at(QStringLiteral("Record")), QStringLiteral("'@SUM(1+1)*cmd|'/C calc'!A0"));
        QCOMPARE(at(QStringLiteral("Operator")), QStringLiteral("'=HYPERLINK(\"http://evil\";\"Ivanov\")"));
        QCOMPARE(at(QStringLiteral("Product")), QStringLiteral("'+Wheel; left"));
        QCOMPARE(at(QStringLiteral("Node")), QStringLiteral("'-1+2"));
    }
};

QTEST_GUILESS_MAIN(TestCapability)
#include "tst_capability.moc"
