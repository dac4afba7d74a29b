// Publishing throughput and memory: 64,000 results to a local broker until every one is
// acknowledged, and the resident memory while a stalled broker holds the rest back.
#include "MemorySource.h"
#include "MqttBroker.h"
#include "HistoryFixtures.h"
#include "history/HistoryStore.h"
#include "publish/HistoryPublishSource.h"
#include "publish/MqttPublisher.h"
#include "publish/ResultMessage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include <sys/resource.h>

namespace {

long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    f.open(QIODevice::ReadOnly);
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// CPU seconds of this process (all threads) so far: on a machine shared with other work the
// wall clock says as much about the neighbours as about the publisher.
double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Results shaped like the real ones, so the payload size is honest (about 450 bytes).
class RealisticSource : public MemorySource
{
public:
    QVector<Item> itemsAfter(const Cursor &cursor, int limit) override
    {
        QVector<Item> items = MemorySource::itemsAfter(cursor, limit);
        for (Item &item : items) {
            ResultMessage m;
            m.resultId = QStringLiteral("2907A/page_%1/%2").arg(item.cursor.id / 64).arg(item.cursor.id % 64);
            m.recordName = QStringLiteral("page_%1").arg(item.cursor.id / 64);
            m.operatorText = QStringLiteral("Ivanov I. I. shift 2");
            m.product = QStringLiteral("Wheel 17");
            m.operationNumber = QStringLiteral("Op 40");
            m.node = QStringLiteral("Hub bolts");
            m.moment = 50 + (item.cursor.id % 7) * 0.1;
            m.ok = true;
            m.momentLow = 45;
            m.momentHigh = 55;
            m.unit = QStringLiteral("Nm");
            m.measuredAt = QDateTime(QDate(2026, 12, 7), QTime(8, 0), Qt::OffsetFromUTC, 3 * 3600).addSecs(item.cursor.id);
            m.operatorName = QStringLiteral("Ivanov");
            m.keyName = QStringLiteral("DWK340");
            m.keySerial = item.keySerial;
            m.calibrationNm = 340;
            item.payload = m.toJson();
        }
        return items;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const int total = 64000;

    MqttBroker broker;
    broker.setVerboseLog(false);
    if (!broker.start()) {
        std::fprintf(stderr, "bench_publish: the local broker did not start\n");
        return 1;
    }
    MqttSettings s;
    QString error;
    MqttSettings::parseUrl(broker.url(QStringLiteral("bench")), &s, &error);
    s.station = QStringLiteral("bench");
    s.clientIdentity = QStringLiteral("bench-publisher");

    {
        RealisticSource source;
        source.add(total);
        MqttPublisher pub(&source);
        QElapsedTimer t;
        t.start();
        const double cpu0 = cpuSeconds();
        pub.start(s);
        while (source.acknowledged() < total && t.elapsed() < 60000)
            spin(5);
        const double seconds = t.elapsed() / 1000.0;
        std::printf("publish: %lld of %d results acknowledged in %.2f s (%.0f results/s, %.2f CPU s), window %d\n",
                    qint64(source.acknowledged()), total, seconds, total / seconds, cpuSeconds() - cpu0, pub.window());
        std::printf("publish: target < 5 s: %s\n", seconds < 5 && source.acknowledged() == total ? "met" : "MISSED");
    }

    {
        // What the window runs: the results read from a SQLite history, the position kept in it.
        QTemporaryDir dir;
        HistoryStore store;
        QString openError;
        if (!store.open(dir.filePath(QStringLiteral("history.db3")), &openError)) {
            std::fprintf(stderr, "bench_publish: %s\n", qPrintable(openError));
            return 1;
        }
        for (int r = 0; r < total / 64; ++r)
            store.append(makeMeasures(64, QStringLiteral("01%1").arg(r, 14, 10, QLatin1Char('0'))));
        HistoryPublishSource source(&store, QStringLiteral("mqtt/bench"));
        const int windowArg = qEnvironmentVariableIntValue("TD_BENCH_WINDOW");
        {
            // The source alone: rows read and turned into messages, nothing sent.
            QElapsedTimer r;
            r.start();
            const double c0 = cpuSeconds();
            PublishSource::Cursor cursor;
            qint64 bytes = 0;
            for (;;) {
                const QVector<PublishSource::Item> items = source.itemsAfter(cursor, 250);
                if (items.isEmpty())
                    break;
                for (const auto &item : items)
                    bytes += item.payload.size();
                cursor = items.last().cursor;
            }
            std::printf("history source alone: %lld bytes of messages read and written in %.2f s (%.2f CPU s)\n",
                        bytes, r.elapsed() / 1000.0, cpuSeconds() - c0);
        }
        MqttPublisher pub(&source);
        if (windowArg > 0)
            pub.setWindow(windowArg);
        QElapsedTimer t;
        t.start();
        const double cpu0 = cpuSeconds();
        pub.start(s);
        const HistoryMeasure last = store.measuresAfter(HistoryPosition(), total).last();
        while (source.acknowledgedCursor().value_or(HistoryPosition()) < HistoryPosition{last.tx, last.id}
               && t.elapsed() < 60000)
            spin(5);
        const qint64 left = source.waiting();
        const double seconds = t.elapsed() / 1000.0;
        std::printf("publish from a SQLite history: %lld of %d acknowledged in %.2f s (%.0f results/s, %.2f CPU s), position kept %lld\n",
                    qint64(total - left), total, seconds, total / seconds, cpuSeconds() - cpu0,
                    qint64(store.cursor(QStringLiteral("mqtt/bench")).value_or(HistoryPosition()).id));
        std::printf("publish from a SQLite history: target < 5 s: %s\n", seconds < 5 && left == 0 ? "met" : "MISSED");
    }

    {
        RealisticSource source;
        source.add(total);
        MqttPublisher pub(&source);
        pub.start(s);
        while (pub.state() != MqttPublisher::State::Connected)
            spin(5);
        broker.pause();
        pub.poke();
        spin(300);
        const long before = residentKb();
        long peak = before;
        for (int i = 0; i < 20; ++i) {
            spin(100);
            pub.poke();
            peak = std::max(peak, residentKb());
        }
        std::printf("stalled broker: in flight %d (window %d), acknowledged %lld, resident %ld kB -> peak %ld kB over 2 s\n",
                    pub.inFlight(), pub.window(), qint64(source.acknowledged()), before, peak);
        broker.resume();
        QElapsedTimer t;
        t.start();
        while (source.acknowledged() < total && t.elapsed() < 60000)
            spin(5);
        std::printf("stalled broker resumed: %lld of %d acknowledged %.2f s later\n", qint64(source.acknowledged()),
                    total, t.elapsed() / 1000.0);
    }
    return 0;
}
