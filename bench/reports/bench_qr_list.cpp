// The GUI thread's longest stall while a QR list of 1,000 records is made: the largest gap
// between ticks of a 10 ms timer on the GUI thread, once with the engine called directly on
// that thread (as the window did) and once with the list as a job on a thread of its own.
//   QT_QPA_PLATFORM=offscreen bench/bench_qr_list
#include "base/Job.h"
#include "base/Paths.h"
#include "records/RecordFile.h"
#include "records/RecordMirror.h"
#include "records/RecordName.h"
#include "reports/QrListReport.h"
#include "reports/ReportJobs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>

#include "../../tests/StallMeter.h"

#include <cstdio>

namespace {

QrListReport::Request request(const QString &root, const QString &out)
{
    QrListReport::Request r;
    r.folder = RecordMirror::folder();
    r.templatePath = root + QStringLiteral("/settings/qrcodec.lrxml");
    r.outPath = out;
    r.identity.levelCaptions = QStringList{"Object", "Wheel", "Operation", "Node"};
    r.stamp = dateTimeStamp();
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.path();
    Paths::setDataRoot(root);
    QDir().mkpath(root + QStringLiteral("/settings"));
    QDir().mkpath(RecordMirror::folder());
    if (!QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/../settings/qrcodec.lrxml"),
                     root + QStringLiteral("/settings/qrcodec.lrxml"))) {
        std::fprintf(stderr, "bench_qr_list: settings/qrcodec.lrxml missing in the build tree\n");
        return 1;
    }
    const int records = 1000;
    for (int i = 0; i < records; ++i) {
        RecordFile r;
        r.header.fioIndex = quint8(i % 10);
        r.header.wheelIndex = quint8(i % 50);
        r.header.uzelIndex = quint8(i % 100);
        r.header.setOperationNumber(QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0')));
        r.header.rangeLow = 10;
        r.header.rangeHigh = 20;
        QFile f(RecordMirror::folder() + QLatin1Char('/')
                + RecordName::make(i % 10, i % 50, r.header.operationNumber(), i % 100));
        if (!f.open(QIODevice::WriteOnly) || f.write(r.toBytes()) <= 0)
            return 1;
    }
    StallMeter meter;
    QEventLoop loop;

    // Before: the engine on the GUI thread, started from the event loop as a click would be.
    bool okBefore = false;
    QString errorBefore;
    QElapsedTimer took;
    meter.start();
    QTimer::singleShot(50, &loop, [&] {
        took.start();
        okBefore = QrListReport::make(request(root, root + QStringLiteral("/before.pdf")), &errorBefore);
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
    });
    loop.exec();
    meter.stop();
    const double beforeMs = meter.longestMs();
    std::printf("before (engine on the GUI thread): longest GUI stall %.1f ms, %d ticks, list %.0f ms%s %s\n",
                beforeMs, meter.ticks(), took.nsecsElapsed() / 1e6 - 50, okBefore ? "" : " FAILED",
                qPrintable(errorBefore));

    // After: the same list as a job on a thread of its own.
    bool okAfter = false;
    QString errorAfter;
    meter.start();
    QTimer::singleShot(50, &loop, [&] {
        took.start();
        auto *job = new QrListJob(request(root, root + QStringLiteral("/after.pdf")));
        QObject::connect(job, &Job::finished, &loop, [&](bool ok, const QString &error) {
            okAfter = ok;
            errorAfter = error;
            loop.quit();
        });
        startJob(job);
    });
    loop.exec();
    meter.stop();
    const double afterMs = meter.longestMs();
    std::printf("after (QrListJob on its own thread): longest GUI stall %.1f ms, %d ticks, list %.0f ms%s %s\n",
                afterMs, meter.ticks(), took.nsecsElapsed() / 1e6, okAfter ? "" : " FAILED", qPrintable(errorAfter));
    std::printf("records %d; PDFs %lld and %lld bytes; goal after < 50 ms: %s\n", records,
                QFileInfo(root + QStringLiteral("/before.pdf")).size(),
                QFileInfo(root + QStringLiteral("/after.pdf")).size(), afterMs < 50 ? "met" : "NOT met");
    return okBefore && okAfter ? 0 : 1;
}
