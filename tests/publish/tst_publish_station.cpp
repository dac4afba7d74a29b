// The station's side of publishing: key presence per serial, the stored broker settings, the
// settings group's status line against a real broker (refused credentials, a bad address,
// connected with the count) and the drain used without a window.
#include "FileCallHook.h"
#include "MemorySource.h"
#include "MqttBroker.h"
#include "MqttSubscriber.h"
#include "base/Paths.h"
#include "publish/HistoryPublishSource.h"
#include "publish/KeyPresence.h"
#include "publish/MqttSettingsFile.h"
#include "publish/PublishDrain.h"
#include "../history/HistoryFixtures.h"
#include "base/cGlobalData.h"
#include "history/HistoryStore.h"
#include "publish/PublishStation.h"
#include "ui/frame/MainWindow.h"
#include "history/HistoryService.h"
#include "../history/ServiceFixtures.h"
#include "ui/publish/PublishSettingsPanel.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

MqttSettings settingsFor(const MqttBroker &broker, const QString &station)
{
    MqttSettings s;
    QString error;
    MqttSettings::parseUrl(broker.url(QStringLiteral("plant")), &s, &error);
    s.station = station;
    s.clientIdentity = MqttSettings::clientId(station, QStringLiteral("/data/") + station);
    return s;
}

QStringList changes(const QSignalSpy &spy)
{
    QStringList out;
    for (const auto &args : spy)
        out << args.at(0).toString() + QLatin1Char('=') + args.at(1).toString();
    return out;
}

} // namespace

class TestPublishStation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (MqttBroker::program().isEmpty())
            QFAIL("mosquitto is not installed (scripts/bootstrap installs it)");
    }

    void presenceFollowsPlugsAndLosses()
    {
        KeyPresence p;
        QSignalSpy spy(&p, &KeyPresence::statusChanged);
        p.keyIdentified(QStringLiteral("2907A"), KeyPresence::Usb);
        p.keyIdentified(QStringLiteral("2907A"), KeyPresence::Usb); // read again: no repeat
        p.keyIdentified(QStringLiteral(""), KeyPresence::Usb);      // settings reset: ignored
        p.keyIdentified(QStringLiteral("2907W"), KeyPresence::Wifi, QStringLiteral("AA:BB"));
        QCOMPARE(changes(spy), (QStringList{"2907A=usb", "2907W=wifi"}));
        spy.clear();
        // Another key on the same cable: the first one was unplugged.
        p.keyIdentified(QStringLiteral("2907B"), KeyPresence::Usb);
        QCOMPARE(changes(spy), (QStringList{"2907A=gone", "2907B=usb"}));
        spy.clear();
        p.usbLost();
        p.usbLost();
        QCOMPARE(changes(spy), (QStringList{"2907B=gone"}));
        spy.clear();
        p.wifiKeyRemoved(QStringLiteral("CC:DD")); // not ours
        QVERIFY(spy.isEmpty());
        p.wifiKeyRemoved(QStringLiteral("AA:BB"));
        QCOMPARE(changes(spy), (QStringList{"2907W=gone"}));
        // The same key back over Wi-Fi after USB.
        spy.clear();
        p.keyIdentified(QStringLiteral("2907B"), KeyPresence::Wifi, QStringLiteral("EE"));
        QCOMPARE(changes(spy), (QStringList{"2907B=wifi"}));
        QCOMPARE(p.statusOf(QStringLiteral("2907A")), QStringLiteral("gone"));
    }

    void storedSettingsRoundTripPrivately()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("settings/mqtt.json"));
        MqttStoredSettings in{QStringLiteral("mqtts://broker:8883/line4"), QStringLiteral("fitter"),
                              QStringLiteral("p\u00e4ss\"\\word")};
        QString error;
        // The file is never readable by others: not at the moment it takes its name (by a rename
        // or a link), let alone after.
        QList<mode_t> modes;
        auto named = [&](int fromDir, const char *from, const char *to, int flags) {
            struct stat st;
            if (QByteArray(to).endsWith("/mqtt.json") && ::fstatat(fromDir, from, &st, flags & AT_EMPTY_PATH) == 0)
                modes << (st.st_mode & 0777);
            return 0;
        };
        filehook::onRename = [&](const char *from, const char *to) { return named(AT_FDCWD, from, to, 0); };
        filehook::onLink = named;
        const bool saved = MqttSettingsFile::save(path, in, &error);
        filehook::onRename = nullptr;
        filehook::onLink = nullptr;
        QVERIFY2(saved, qPrintable(error));
        QCOMPARE(modes, QList<mode_t>{0600});
        QCOMPARE(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
                 QFile::Permissions());
        MqttStoredSettings out;
        QVERIFY(MqttSettingsFile::load(path, &out, &error));
        QVERIFY(out == in);

        QVERIFY(MqttSettingsFile::load(dir.filePath(QStringLiteral("none.json")), &out, &error));
        QVERIFY(out.url.isEmpty());
        QFile damaged(path);
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("{\"url\": \"mqtt://h");
        damaged.close();
        error.clear();
        QVERIFY(!MqttSettingsFile::load(path, &out, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(out.url.isEmpty() && out.password.isEmpty());

        // The command line's address wins over the stored one; the credentials stay.
        MqttSettings s;
        QVERIFY(MqttSettingsFile::stationSettings(in, QStringLiteral("mqtt://other:1999/x"), &s, &error));
        QCOMPARE(s.host, QStringLiteral("other"));
        QCOMPARE(s.port, 1999);
        QCOMPARE(s.user, QStringLiteral("fitter"));
        QVERIFY(!s.station.isEmpty());
        Paths::setDataRoot(dir.filePath(QStringLiteral("a")));
        const QString idA = [&] { MqttSettings t; MqttSettingsFile::stationSettings(in, {}, &t, &error); return t.clientIdentity; }();
        Paths::setDataRoot(dir.filePath(QStringLiteral("b")));
        const QString idB = [&] { MqttSettings t; MqttSettingsFile::stationSettings(in, {}, &t, &error); return t.clientIdentity; }();
        Paths::setDataRoot(QString());
        QVERIFY(idA != idB);
        QVERIFY(!MqttSettingsFile::stationSettings(in, QStringLiteral("ftp://x"), &s, &error));
    }

    void statusLineShowsRefusalThenConnection()
    {
        MqttBroker broker;
        QVERIFY(broker.start(QStringLiteral("fitter"), QStringLiteral("right")));
        MemorySource source;
        source.add(4);
        MqttPublisher pub(&source);
        PublishSettingsPanel panel;
        panel.attach(&pub);
        QCOMPARE(panel.statusText(), QStringLiteral("Not configured"));

        // What the page applies: the wiring restarts the publisher with it.
        QObject::connect(&panel, &PublishSettingsPanel::applyRequested, &pub, [&](const MqttStoredSettings &stored) {
            MqttSettings s;
            QString error;
            QVERIFY(MqttSettingsFile::stationSettings(stored, QString(), &s, &error));
            pub.start(s);
        });
        QSignalSpy applied(&panel, &PublishSettingsPanel::applyRequested);
        auto *url = panel.findChild<QLineEdit *>(QStringLiteral("leMqttUrl"));
        auto *user = panel.findChild<QLineEdit *>(QStringLiteral("leMqttUser"));
        auto *password = panel.findChild<QLineEdit *>(QStringLiteral("leMqttPassword"));
        auto *apply = panel.findChild<QPushButton *>(QStringLiteral("pbMqttApply"));
        auto *status = panel.findChild<QLabel *>(QStringLiteral("lbMqttStatus"));
        QVERIFY(url && user && password && apply && status);
        QCOMPARE(password->echoMode(), QLineEdit::Password);

        url->setText(QStringLiteral("http://127.0.0.1/x"));
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(applied.count(), 0);
        QVERIFY2(status->text().contains(QStringLiteral("Not a broker address")), qPrintable(status->text()));
        QVERIFY(status->styleSheet().contains(QStringLiteral("red")));

        url->setText(broker.url(QStringLiteral("plant")));
        user->setText(QStringLiteral("fitter"));
        password->setText(QStringLiteral("wrong-secret"));
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(applied.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(status->text().contains(QStringLiteral("user name or password")), 10000);
        QVERIFY(status->text().startsWith(QStringLiteral("Reconnecting")));
        QVERIFY(status->text().contains(QStringLiteral("results waiting: 4")));
        QVERIFY(status->styleSheet().contains(QStringLiteral("red")));
        QVERIFY2(!status->text().contains(QStringLiteral("wrong-secret")), "the password must not be shown");

        password->setText(QStringLiteral("right"));
        QTest::mouseClick(apply, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Connected \u2014 results waiting: 0"), 10000);
        QVERIFY(status->styleSheet().contains(QStringLiteral("green")));
        QCOMPARE(source.acknowledged(), 4);

        pub.stop();
        QCOMPARE(status->text(), QStringLiteral("Not configured"));
    }

    void drainWithoutAWindow()
    {
        MqttBroker broker;
        QVERIFY(broker.start());
        const MqttSettings s = settingsFor(broker, QStringLiteral("cli"));
        MqttSubscriber sub(QStringLiteral("sub-drain"), QStringLiteral("plant/#"));
        QVERIFY(sub.connect(broker.port()));
        QTRY_COMPARE(sub.subscriptions(), 1);

        MemorySource source;
        source.add(250);
        qint64 lastDone = -1;
        PublishDrainResult r = drainToBroker(&source, s, 20000, [&](qint64 done, qint64 total) {
            QCOMPARE(total, 250);
            lastDone = done;
        });
        QVERIFY2(r.drained, qPrintable(r.reason));
        QCOMPARE(r.acknowledged, 250);
        QCOMPARE(r.remaining, 0);
        QCOMPARE(lastDone, 250);
        QTRY_COMPARE(sub.messagesOn(QStringLiteral("/result")).size(), 250);
        // A drain does not speak for the station: no "offline" left behind for a running window.
        QTest::qWait(200);
        QVERIFY(sub.messagesOn(QStringLiteral("cli/status")).isEmpty());

        // Nothing to send still needs the broker; a broker that is gone is a failure in time.
        r = drainToBroker(&source, s, 5000);
        QVERIFY(r.drained);
        QCOMPARE(r.acknowledged, 0);
        broker.stop();
        source.add(3);
        QElapsedTimer t;
        t.start();
        r = drainToBroker(&source, s, 1500);
        QVERIFY(!r.drained);
        QCOMPARE(r.remaining, 3);
        QVERIFY(!r.reason.isEmpty());
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
    }

    // The window with --mqtt: the group sits on the Data Base page, the station connects, and
    // a measure the window's history takes in goes out without anyone asking.
    void windowPublishesWhatItsHistoryTakesIn()
    {
        MqttBroker broker;
        QVERIFY(broker.start());
        MqttSubscriber sub(QStringLiteral("sub-window"), QStringLiteral("plant/#"));
        QVERIFY(sub.connect(broker.port()));
        QTRY_COMPARE(sub.subscriptions(), 1);

        QTemporaryDir root;
        Paths::setDataRoot(root.path());
        cGlobalData data;
        data.mqttUrl = broker.url(QStringLiteral("plant"));
        auto window = std::make_unique<MainWindow>(nullptr, &data);
        window->show();
        PublishStation *station = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((station = window->findChild<PublishStation *>(QStringLiteral("publishStation"))), 5000);
        auto *page = window->findChild<QWidget *>(QStringLiteral("pageDB"));
        auto *panel = window->findChild<PublishSettingsPanel *>();
        QVERIFY(page && panel && page->isAncestorOf(panel));
        QCOMPARE(panel->findChild<QLineEdit *>(QStringLiteral("leMqttUrl"))->text(), data.mqttUrl);
        QTRY_COMPARE_WITH_TIMEOUT(station->publisher()->state(), MqttPublisher::State::Connected, 10000);
        QTRY_VERIFY(panel->statusText().startsWith(QStringLiteral("Connected")));
        QVERIFY(sub.messagesOn(QStringLiteral("/result")).isEmpty());

        auto *history = window->findChild<HistoryService *>(QStringLiteral("historyService"));
        QVERIFY(history);
        const auto three = makeMeasures(3);
        QVERIFY(onHistoryThread(*history, [three](HistoryWorker &w) { return w.store()->append(three).ok; }));
        emit history->historyChanged(); // as the archiver's service says after a record file
        QTRY_COMPARE_WITH_TIMEOUT(sub.messagesOn(QStringLiteral("/result")).size(), 3, 10000);
        // What waits is counted, and the acknowledged position written, on the history's thread.
        QTRY_COMPARE_WITH_TIMEOUT(station->publisher()->waiting(), qint64(0), 10000);
        // Nothing is stored from the command line: the next start without --mqtt is unconfigured.
        QVERIFY(!QFile::exists(MqttSettingsFile::defaultPath()));
        window.reset();
        {
            MqttSettings s;
            QVERIFY(MqttSettingsFile::stationSettings(MqttStoredSettings(), data.mqttUrl, &s, nullptr));
            HistoryStore store;
            QString error;
            QVERIFY2(store.open(QString(), &error), qPrintable(error));
            const std::optional<HistoryPosition> at = store.cursor(HistoryPublishSource::cursorNameFor(s.clientIdentity));
            QVERIFY(at);
            QCOMPARE(at->id, store.measuresAfter(HistoryPosition(), 10).last().id);
        }
        QTRY_VERIFY(!sub.messagesOn(QStringLiteral("/status")).isEmpty()
                    && sub.messagesOn(QStringLiteral("/status")).last().payload == "offline");
        Paths::setDataRoot(QString());
    }

    // The status names the broker's real reason, never another thread's errno, and an empty
    // address is "Not configured", not a red reconnection.
    void statusNamesRefusedBrokerAndClearedAddress()
    {
        quint16 closedPort = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            closedPort = probe.serverPort();
        }
        MqttBroker broker;
        QVERIFY(broker.start());
        QTemporaryDir root;
        Paths::setDataRoot(root.path());
        cGlobalData data;
        data.mqttUrl = QStringLiteral("mqtt://127.0.0.1:%1/plant").arg(closedPort);
        auto window = std::make_unique<MainWindow>(nullptr, &data);
        window->show();
        PublishSettingsPanel *panel = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((panel = window->findChild<PublishSettingsPanel *>()), 5000);
        auto *url = panel->findChild<QLineEdit *>(QStringLiteral("leMqttUrl"));
        auto *apply = panel->findChild<QPushButton *>(QStringLiteral("pbMqttApply"));
        auto *status = panel->findChild<QLabel *>(QStringLiteral("lbMqttStatus"));
        QVERIFY(url && apply && status);
        const QString refused = QStringLiteral("Reconnecting: connection refused by 127.0.0.1:%1").arg(closedPort);
        QTRY_VERIFY2_WITH_TIMEOUT(panel->statusText().startsWith(refused), qPrintable(panel->statusText()), 10000);

        url->setText(broker.url(QStringLiteral("plant")));
        QTest::mouseClick(apply, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(panel->statusText().startsWith(QStringLiteral("Connected")), 10000);
        broker.stop();
        const QString lost = QStringLiteral("Reconnecting: connection to 127.0.0.1:%1 lost").arg(broker.port());
        QTRY_VERIFY2_WITH_TIMEOUT(panel->statusText().startsWith(lost), qPrintable(panel->statusText()), 10000);

        url->clear();
        QTest::mouseClick(apply, Qt::LeftButton);
        QTRY_COMPARE(panel->statusText(), QStringLiteral("Not configured"));
        QTest::qWait(1500); // late word from the stopped client must not paint it red again
        QCOMPARE(panel->statusText(), QStringLiteral("Not configured"));
        QVERIFY(!status->styleSheet().contains(QStringLiteral("red")));
        window.reset();
        Paths::setDataRoot(QString());
    }
};

QTEST_MAIN(TestPublishStation)
#include "tst_publish_station.moc"
