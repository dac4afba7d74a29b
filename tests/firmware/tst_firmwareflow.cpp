#include "DfuRoot.h"
#include "HttpStub.h"

#include "firmware/FileDownloader.h"
#include "firmware/FirmwareUpdater.h"

#include <QCryptographicHash>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// Everything the flow told its page, in order.
struct Recorder
{
    QStringList statuses;
    QList<int> checks;
    QString log;
    QList<bool> buttonEnabled;

    void attach(FirmwareUpdater *u)
    {
        QObject::connect(u, &FirmwareUpdater::statusChanged, [this](const QString &icon, const QString &text) {
            statuses << (icon.isEmpty() ? text : icon + QLatin1Char(' ') + text);
        });
        QObject::connect(u, &FirmwareUpdater::dfu_checkdevice, [this](int s) { checks << s; });
        QObject::connect(u, &FirmwareUpdater::logCleared, [this] { log.clear(); });
        QObject::connect(u, &FirmwareUpdater::logAppended, [this](const QString &t) { log += t; });
        QObject::connect(u, &FirmwareUpdater::flashButtonEnabled, [this](bool on) { buttonEnabled << on; });
    }
    QString last() const { return statuses.value(statuses.size() - 1); }
};

const QByteArray kImage = QByteArray("FIRMWARE-IMAGE-").repeated(100);

} // namespace

class TstFirmwareFlow : public QObject
{
    Q_OBJECT

    std::unique_ptr<DfuRoot> m_root;
    std::unique_ptr<HttpStub> m_server;
    std::unique_ptr<FirmwareUpdater> m_updater;
    Recorder m_rec;

    FirmwareUpdater *make(const QByteArray &mode, int silenceMs = 60000)
    {
        m_root->setMode(mode);
        FirmwareUpdater::Options o;
        o.dfuDir = m_root->dfuDir();
        o.serverBase = m_server->base() + QStringLiteral("/");
        o.researchDelayMs = 150;
        o.downloadStallMs = 800;
        o.toolSilenceMs = silenceMs;
        m_updater = std::make_unique<FirmwareUpdater>(o);
        m_rec = Recorder();
        m_rec.attach(m_updater.get());
        return m_updater.get();
    }

    // The flash button, and the flow run until it settles.
    void flashAndSettle(FirmwareUpdater *u)
    {
        QSignalSpy busy(u, &FirmwareUpdater::busyChanged);
        u->iBtnGetRecords_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!busy.isEmpty() && u->state() == FirmwareUpdater::State::Idle, 20000);
    }

private slots:
    void init()
    {
        qunsetenv("TD_DFU_MODE");
        m_root = std::make_unique<DfuRoot>();
        QVERIFY(m_root->install());
        m_server = std::make_unique<HttpStub>();
        m_server->serveImage(kImage);
    }
    void cleanup()
    {
        m_updater.reset();
        m_server.reset();
        m_root.reset();
    }

    void imageAddressIsBuiltFromTheServerBase()
    {
        QCOMPARE(FirmwareUpdater::firmwareUrl("http://fw.example/base/").toString(),
                 QStringLiteral("http://fw.example/base/download/firmware/vx.txt"));
        QVERIFY(!FirmwareUpdater::firmwareUrl(QString()).isValid());
    }

    void aLeftoverImageIsRemovedAtStart()
    {
        QFile stale(m_root->image());
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("old");
        stale.close();
        make("device");
        QVERIFY(!QFile::exists(m_root->image()));
    }

    void noDeviceSearchesAgainUntilStopped()
    {
        FirmwareUpdater *u = make("nodevice");
        u->slot_ComandLine_CheckDevice();
        QTRY_VERIFY_WITH_TIMEOUT(m_rec.checks.size() >= 3, 10000);
        QVERIFY(!m_rec.checks.contains(1));
        u->setRecheckStopped(true);
        QTRY_VERIFY(u->state() == FirmwareUpdater::State::Idle);
        const int seen = m_rec.checks.size();
        QTest::qWait(600); // four re-search intervals: none may start
        QCOMPARE(m_rec.checks.size(), seen);
        QVERIFY(!u->researchPending());
    }

    void garbageCountsAsNoDevice()
    {
        FirmwareUpdater *u = make("garbage");
        u->setRecheckStopped(true);
        u->slot_ComandLine_CheckDevice();
        QTRY_COMPARE(m_rec.checks, QList<int>{0});
    }

    void searchOnlyFindsAndNeverDownloads()
    {
        FirmwareUpdater *u = make("device");
        u->slot_ComandLine_CheckDevice();
        QTRY_COMPARE(m_rec.checks, QList<int>{1});
        QCOMPARE(m_rec.last(), QStringLiteral("key_found.png Key was found!"));
        QCOMPARE(m_rec.buttonEnabled.last(), true);
        QTest::qWait(400);
        QVERIFY(m_server->paths.isEmpty());
        QCOMPARE(m_rec.checks, QList<int>{1}); // a found key is not searched again
    }

    void flashOk()
    {
        FirmwareUpdater *u = make("device");
        QSignalSpy percent(u, &FirmwareUpdater::flashProgress);
        QSignalSpy bytes(u, &FirmwareUpdater::downloadProgress);
        flashAndSettle(u);
        // The checksum beside the image was asked for; without one (404) the image is flashed.
        QCOMPARE(m_server->paths,
                 (QList<QByteArray>{"/download/firmware/vx.txt", "/download/firmware/vx.txt.sha256"}));
        QCOMPARE(m_rec.statuses, (QStringList{"fw_download.png FW Downloading...", "fw_download.png FW downloaded",
                                              "Flash prepare", "Flashing firmware...",
                                              "fw_ok.png Flash finished OK!"}));
        // The tool was handed the whole image.
        QVERIFY2(m_rec.log.contains(QStringLiteral("Upload  : %1 bytes").arg(kImage.size())), qPrintable(m_rec.log));
        QVERIFY(!QFile::exists(m_root->image()));
        QVERIFY(!percent.isEmpty());
        QCOMPARE(percent.last().at(0).toInt(), 100);
        QVERIFY(!bytes.isEmpty());
        QCOMPARE(bytes.last().at(0).toLongLong(), qint64(kImage.size()));
        QVERIFY(u->researchPending()); // searching again after the flash

        // The key still in DFU mode is found again; the outcome stays on show.
        const int checks = m_rec.checks.size();
        QTRY_VERIFY_WITH_TIMEOUT(m_rec.checks.size() > checks, 10000);
        QCOMPARE(m_rec.checks.last(), 1);
        QCOMPARE(m_rec.last(), QStringLiteral("fw_ok.png Flash finished OK!"));
        QVERIFY(m_rec.log.endsWith("Verify successful !\n"));
        QCOMPARE(m_rec.buttonEnabled.last(), true);
    }

    void theButtonDuringASearchFlashesWhenItFindsTheKey()
    {
        FirmwareUpdater *u = make("device");
        u->slot_ComandLine_CheckDevice();
        QCOMPARE(u->state(), FirmwareUpdater::State::Searching);
        u->iBtnGetRecords_Click();
        QTRY_COMPARE_WITH_TIMEOUT(m_rec.last(), QStringLiteral("fw_ok.png Flash finished OK!"), 20000);
        QCOMPARE(m_rec.checks.first(), 2);
    }

    void flashWithoutVerifyIsNotOk()
    {
        FirmwareUpdater *u = make("flashfail");
        flashAndSettle(u);
        QCOMPARE(m_rec.last(), QStringLiteral("fw_bad.png Warning! Flash NOT OK!"));
        QVERIFY(!QFile::exists(m_root->image()));
    }

    // The verify text alone is no success: a tool that fails after printing it is NOT OK.
    void aVerifiedFlashWithAnErrorCodeIsNotOk()
    {
        FirmwareUpdater *u = make("lateerror");
        flashAndSettle(u);
        QVERIFY2(m_rec.log.contains("Verify successful !"), qPrintable(m_rec.log));
        QCOMPARE(m_rec.last(), QStringLiteral("fw_bad.png Warning! Flash NOT OK!"));
        QVERIFY(m_rec.log.contains("error code 1"));
    }

    void aPublishedChecksumIsEnforced_data()
    {
        const QByteArray sum = QCryptographicHash::hash(kImage, QCryptographicHash::Sha256).toHex();
        QByteArray other = sum;
        other[0] = other[0] == '0' ? '1' : '0';
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("why");
        QTest::newRow("matching, sha256sum's form")
            << HttpStub::ok(sum.toUpper() + "  vx.txt\n").raw << "fw_ok.png Flash finished OK!" << "";
        QTest::newRow("mismatch") << HttpStub::ok(other + "\n").raw
                                  << "fw_bad.png Firmware image does not match its checksum!" << QString(other);
        QTest::newRow("no digits") << HttpStub::ok("<html>checksums moved</html>").raw
                                   << "fw_bad.png Firmware checksum file is unreadable!" << "vx.txt.sha256";
        QTest::newRow("server error") << HttpStub::status(500, "Internal Server Error", "oops")
                                      << "fw_bad.png Can't download firmware!" << "500";
    }
    void aPublishedChecksumIsEnforced()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QString, status);
        QFETCH(QString, why);
        m_server->handler = [raw](const QByteArray &path) {
            return path.endsWith("/vx.txt.sha256") ? HttpStub::Reply{raw, false, true} : HttpStub::ok(kImage);
        };
        FirmwareUpdater *u = make("device");
        flashAndSettle(u);
        QCOMPARE(m_rec.last(), status);
        QVERIFY2(m_rec.log.contains(why), qPrintable(m_rec.log));
        QCOMPARE(m_rec.statuses.contains("Flash prepare"), why.isEmpty());
        QVERIFY(!QFile::exists(m_root->image()));
    }

    void aSilentToolIsKilledAndNotOk()
    {
        FirmwareUpdater *u = make("hang", 800);
        flashAndSettle(u);
        QCOMPARE(m_rec.last(), QStringLiteral("fw_bad.png Warning! Flash NOT OK!"));
        QVERIFY(!QFile::exists(m_root->image()));
    }

    void cancellingAFlashKillsItAndReportsNotOk()
    {
        FirmwareUpdater *u = make("hang");
        u->iBtnGetRecords_Click();
        QTRY_VERIFY_WITH_TIMEOUT(m_rec.statuses.contains("Flashing firmware..."), 10000);
        QVERIFY(u->isBusy());
        u->cancel();
        QCOMPARE(u->state(), FirmwareUpdater::State::Idle);
        QCOMPARE(m_rec.last(), QStringLiteral("fw_bad.png Warning! Flash NOT OK!"));
        QVERIFY(!QFile::exists(m_root->image()));
    }

    void aMissingToolIsReportedNotStarted()
    {
        FirmwareUpdater *u = make("device");
        QVERIFY(QFile::remove(m_root->tool()));
        u->slot_ComandLine_CheckDevice();
        QCOMPARE(m_rec.last(), QStringLiteral("fw_bad.png Check not started"));
        QCOMPARE(u->state(), FirmwareUpdater::State::Idle);
    }

    void aToolGoneBeforeTheFlashIsReportedNotStarted()
    {
        FirmwareUpdater *u = make("device");
        const QString tool = m_root->tool();
        m_server->handler = [tool](const QByteArray &path) {
            QFile::remove(tool);
            return path.endsWith(".sha256") ? HttpStub::notFound() : HttpStub::ok(kImage);
        };
        flashAndSettle(u);
        QCOMPARE(m_rec.last(), QStringLiteral("fw_bad.png Flash not started"));
        QVERIFY(!QFile::exists(m_root->image()));
        QCOMPARE(m_rec.buttonEnabled.last(), false);
        QVERIFY(u->researchPending());
    }

    // Only a complete 2xx reply with a body is an image; anything else is never flashed.
    void badDownloadsAreNeverFlashed_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("why");
        QTest::newRow("404") << HttpStub::status(404, "Not Found", "<html>not here</html>") << false << "404";
        QTest::newRow("500") << HttpStub::status(500, "Internal Server Error", "<html>oops</html>") << false << "500";
        QTest::newRow("empty 200") << HttpStub::status(200, "OK", QByteArray()) << false << "empty";
        QTest::newRow("cut off") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\nonly this") << false
                                 << "";
        QTest::newRow("silent server") << QByteArray() << true << "no data";
        QTest::newRow("redirect to another scheme")
            << HttpStub::status(302, "Found", QByteArray(), "Location: ftp://127.0.0.1/vx.txt\r\n") << false
            << "another scheme";
    }
    void badDownloadsAreNeverFlashed()
    {
        QFETCH(QByteArray, raw);
        QFETCH(bool, silent);
        QFETCH(QString, why);
        m_server->setReply({raw, silent, true});
        FirmwareUpdater *u = make("device");
        flashAndSettle(u);
        QCOMPARE(m_rec.last(), QStringLiteral("fw_bad.png Can't download firmware!"));
        QVERIFY(!m_rec.statuses.contains("Flash prepare"));
        QCOMPARE(m_rec.buttonEnabled.last(), true);
        QVERIFY2(m_rec.log.contains(why), qPrintable(m_rec.log));
        QVERIFY(!QFile::exists(m_root->image()));
    }

    void aRefusedConnectionIsNotFlashed()
    {
        const QString base = m_server->base();
        m_server.reset(); // nothing listens on that port any more
        m_server = std::make_unique<HttpStub>();
        m_root->setMode("device");
        FirmwareUpdater::Options o;
        o.dfuDir = m_root->dfuDir();
        o.serverBase = base;
        FirmwareUpdater u(o);
        m_rec = Recorder();
        m_rec.attach(&u);
        flashAndSettle(&u);
        QCOMPARE(m_rec.last(), QStringLiteral("fw_bad.png Can't download firmware!"));
        QVERIFY(!m_rec.statuses.contains("Flash prepare"));
    }

    void redirectsWithinTheSchemeAreFollowed()
    {
        m_server->handler = [](const QByteArray &path) -> HttpStub::Reply {
            if (path == "/download/firmware/vx.txt")
                return {HttpStub::status(301, "Moved", QByteArray(), "Location: /mirror/vx.txt\r\n"), false, true};
            return HttpStub::ok(kImage);
        };
        FileDownloader downloader(QUrl(m_server->base() + "/download/firmware/vx.txt"));
        QSignalSpy done(&downloader, qOverload<>(&FileDownloader::downloaded));
        QVERIFY(done.wait(5000));
        QCOMPARE(downloader.downloadedData(), kImage);
        QCOMPARE(m_server->paths, (QList<QByteArray>{"/download/firmware/vx.txt", "/mirror/vx.txt"}));
    }

    void aRedirectLoopGivesUp()
    {
        m_server->setReply({HttpStub::status(302, "Found", QByteArray(), "Location: /again\r\n"), false, true});
        FileDownloader downloader(QUrl(m_server->base() + "/start"));
        QSignalSpy done(&downloader, qOverload<QByteArray>(&FileDownloader::downloaded));
        QVERIFY(done.wait(10000));
        QVERIFY(done.first().at(0).toByteArray().isEmpty());
        QVERIFY(m_server->paths.size() <= 7);
    }

    void noServerGivenIsACantDownload()
    {
        m_root->setMode("device");
        FirmwareUpdater::Options o;
        o.dfuDir = m_root->dfuDir();
        FirmwareUpdater u(o);
        m_rec = Recorder();
        m_rec.attach(&u);
        flashAndSettle(&u);
        QCOMPARE(m_rec.last(), QStringLiteral("fw_bad.png Can't download firmware!"));
        QVERIFY(m_rec.log.contains("--firmware-server"));
    }

    void anImageThatCannotBeWrittenIsNotFlashed()
    {
        // A folder in the image's place refuses the write as a full disk would.
        FirmwareUpdater *u = make("device");
        QVERIFY(QDir().mkpath(m_root->image()));
        flashAndSettle(u);
        QCOMPARE(m_rec.last(), QStringLiteral("fw_bad.png Can't save firmware image!"));
        QVERIFY(!m_rec.statuses.contains("Flash prepare"));
        QCOMPARE(m_rec.buttonEnabled.last(), true);
    }
};

QTEST_GUILESS_MAIN(TstFirmwareFlow)
#include "tst_firmwareflow.moc"
