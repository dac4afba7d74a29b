// The status exchange with short intervals (USB loss rule, Wi-Fi targets, the ready flag,
// the empty list) and how the key's status is shown.

#include "ui/frame/KeyStatusDisplay.h"
#include "ui/frame/MainWindow.h"
#include "base/cGlobalData.h"
#include "link/RxDataBuffer.h"
#include "protocol/ConnectionSupervisor.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySender.h"
#include "protocol/KeyTransport.h"
#include "records/MenuLevels.h"

#include <QFrame>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>

#include <cstring>

namespace {

struct Sent
{
    QString to; // "" for USB
    QJsonObject json;
};

struct Recorder : KeyTransport, WifiKeyDirectory
{
    QList<Sent> sent;
    QStringList keys;
    bool queueCommand(quint8, quint8, const QByteArray &payload, quint8, int) override
    {
        sent.append({QString(), QJsonDocument::fromJson(payload.left(payload.indexOf('\0'))).object()});
        return true;
    }
    void ackReply(const QString &) override {}
    QString selectedKey() const override { return keys.value(0); }
    bool hasKey(const QString &id) const override { return keys.contains(id); }
    bool queueCommandTo(const QString &id, quint8, quint8, const QByteArray &payload, quint8, int) override
    {
        sent.append({id, QJsonDocument::fromJson(payload.left(payload.indexOf('\0'))).object()});
        return true;
    }
    void registerKey(const WifiAnnouncement &) override {}
    void renameKey(const QString &, const QString &) override {}
    int statusCount() const
    {
        int n = 0;
        for (const Sent &s : sent)
            n += s.json.value("function_name").toString() == "FE_JsonNotification_Status";
        return n;
    }
};

struct Rig
{
    cGlobalData data;
    LinkMode mode = LinkMode::None; // as the key connection would have decided it
    Recorder link;
    KeySender sender{&data};
    KeyModel model;
    MenuLevels levels;
    KeyProtocol protocol{&data, &sender, nullptr, &model, &levels};
    ConnectionSupervisor supervisor{&data, &protocol, nullptr, 20, 100, 30};

    Rig()
    {
        sender.setUsbTransport(&link);
        sender.setWifiDirectory(&link);
        sender.setModeSource([this] { return mode; });
        supervisor.setModeSource([this] { return mode; });
        supervisor.setPageIndexProvider([] { return 3; });
    }
    // A frame from the USB key (any frame resets the count).
    void usbReply()
    {
        RxDataBuffer rx;
        // Class, sub-code, text, its NUL, and the place of the CRC the USB link leaves on.
        const QByteArray body = QByteArray("\x30\x01") + "{\"function_name\":\"FE_Message_Write\"}" + '\0' + '\0';
        std::memcpy(rx.bytes(), body.constData(), size_t(body.size()));
        rx.length = body.size();
        protocol.iReceiveUart_Click(rx);
    }
};

bool shows(const QLabel &label, const QString &resource)
{
    const QPixmap expected(resource);
    return !expected.isNull() && label.pixmap(Qt::ReturnByValue).toImage() == expected.toImage();
}

} // namespace

class TestSupervision : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { MainWindow::initResources(); }

    void usbKeyDroppedAtTheSixthSilentTick()
    {
        Rig rig;
        rig.mode = LinkMode::Usb;
        rig.supervisor.start();
        QSignalSpy lost(&rig.supervisor, SIGNAL(usbKeyLost()));
        for (int i = 0; i < 5; ++i)
            rig.supervisor.slot_TmrGetJsonEvents();
        QCOMPARE(lost.count(), 0);
        QVERIFY(rig.supervisor.isRunning());
        QCOMPARE(rig.link.statusCount(), 5);
        QCOMPARE(rig.link.sent.last().json.value("KeyInFocus").toInt(), 1);
        QCOMPARE(rig.link.sent.last().json.value("PCMenu").toInt(), 3);
        rig.supervisor.slot_TmrGetJsonEvents();
        QCOMPARE(lost.count(), 1);
        QVERIFY(!rig.supervisor.isRunning());
        QCOMPARE(rig.protocol.missedReplyCount(), quint8(0));
    }

    void usbKeyThatAnswersStays()
    {
        Rig rig;
        rig.mode = LinkMode::Usb;
        QSignalSpy lost(&rig.supervisor, SIGNAL(usbKeyLost()));
        for (int i = 0; i < 30; ++i) {
            rig.supervisor.slot_TmrGetJsonEvents();
            QVERIFY(rig.protocol.missedReplyCount() <= 1);
            rig.usbReply();
        }
        QCOMPARE(lost.count(), 0);
    }

    void wifiTicksAndTheReadyFlag()
    {
        Rig rig;
        rig.link.keys = QStringList{"A", "B", "C", "D"};
        using T = ConnectionSupervisor::WifiTarget;
        QList<T> targets{{"A", true, true, 0}, {"B", false, true, 2}, {"C", false, false, 0}, {"D", false, true, 0}};
        rig.supervisor.setWifiTargets([&targets] { return targets; });
        rig.mode = LinkMode::Wifi;

        // Announcements every 30 ms must not hold the 100 ms flag back.
        QTimer announcing;
        QObject::connect(&announcing, &QTimer::timeout, [&] { rig.supervisor.slot_InterfaceChanged(2); });
        rig.supervisor.slot_InterfaceChanged(2);
        announcing.start(30);
        QTRY_VERIFY_WITH_TIMEOUT(rig.data.wifiReady, 1000);
        announcing.stop();

        rig.supervisor.slot_TmrGetJsonEvents();
        // A (in focus) and D get the status; B is busy, C's queue has stopped.
        QCOMPARE(rig.link.sent.size(), 2);
        QCOMPARE(rig.link.sent.at(0).to, QStringLiteral("A"));
        QCOMPARE(rig.link.sent.at(0).json.value("KeyInFocus").toInt(), 1);
        QCOMPARE(rig.link.sent.at(1).to, QStringLiteral("D"));
        QCOMPARE(rig.link.sent.at(1).json.value("KeyInFocus").toInt(), 0);
        QCOMPARE(rig.link.sent.at(1).json.value("TestConnectCounter").toInt(), 10);

        // The list runs empty: supervision ends and the scan is asked for, a little later.
        QSignalSpy rescan(&rig.supervisor, SIGNAL(rescanRequested()));
        QSignalSpy gone(&rig.supervisor, SIGNAL(wifiKeysGone()));
        rig.supervisor.start();
        targets.clear();
        rig.supervisor.slot_TmrGetJsonEvents();
        QVERIFY(!rig.supervisor.isRunning());
        QVERIFY(!rig.data.wifiReady);
        QCOMPARE(gone.count(), 1);
        QCOMPARE(rescan.count(), 0);
        QVERIFY(rescan.wait(1000));
    }

    void statusDisplay()
    {
        LinkMode mode = LinkMode::Usb;
        QStackedWidget pages;
        for (int i = 0; i < 4; ++i)
            pages.addWidget(new QWidget);
        auto *panel = new QFrame(pages.widget(3));
        QLabel picture, text, rotation, battery, wifiLevel, line;
        QPushButton report;
        report.setCheckable(true);
        panel->hide();
        KeyStatusDisplay::Widgets w;
        w.warningPanel = panel;
        w.warningPicture = &picture;
        w.warningText = &text;
        w.rotation = &rotation;
        w.battery = &battery;
        w.wifiLevel = &wifiLevel;
        w.warningLine = &line;
        w.pages = &pages;
        w.reportSelection = &report;
        KeyStatusDisplay display([&mode] { return mode; }, w);
        pages.setCurrentIndex(3);

        // The first warning holds the panel; the window is never on screen here.
        display.ShowKeyStatus(35, 4, 3, 0);
        QVERIFY(!panel->isHidden());
        QVERIFY(shows(picture, ":resource/images/bad_moment.png"));
        display.ShowKeyStatus(31, 4, 3, 0);
        QVERIFY(shows(picture, ":resource/images/bad_moment.png"));
        QCOMPARE(text.text(), QStringLiteral("Warning!\r\nMoment sensor have errors!"));
        pages.setCurrentIndex(1); // settings page: kept, whatever comes
        display.ShowKeyStatus(0, 4, 3, 0);
        QVERIFY(!panel->isHidden());
        pages.setCurrentIndex(3);
        display.ShowKeyStatus(0, 4, 3, 0);
        QVERIFY(panel->isHidden());

        // Signal and battery: RSSI 0 means nothing over USB.
        display.ShowKeyStatus(0, 4, 0, 0);
        QCOMPARE(line.text(), QString());
        QVERIFY(wifiLevel.pixmap(Qt::ReturnByValue).isNull());
        QVERIFY(shows(battery, ":resource/images/bat_lvl4.png"));
        display.ShowKeyStatus(0, 1, 0, 0);
        QCOMPARE(line.text(), QStringLiteral("Low battery charge. Data maybe lost!"));
        display.ShowKeyStatus(0, 2, 3, 0);
        QCOMPARE(line.text(), QString());
        mode = LinkMode::Wifi;
        display.ShowKeyStatus(0, 1, 0, 0);
        QCOMPARE(line.text(), QStringLiteral("Bad Wi-Fi signal. Data maybe lost!"));
        QVERIFY(shows(wifiLevel, ":resource/images/wifi_lvl0.png"));
        display.ShowKeyStatus(0, 9, 7, 0); // no such pictures: empty, not stale
        QVERIFY(battery.pixmap(Qt::ReturnByValue).isNull());
        QVERIFY(wifiLevel.pixmap(Qt::ReturnByValue).isNull());

        // Rotation: set once per value, only in state 1 on the main form, not while selecting.
        display.ShowKeyStatus(1, 4, 3, 2);
        QVERIFY(shows(rotation, ":resource/images/rotate2a.png"));
        QPixmap marker(4, 4);
        marker.fill(Qt::magenta);
        rotation.setPixmap(marker);
        display.ShowKeyStatus(1, 4, 3, 2);
        QCOMPARE(rotation.pixmap(Qt::ReturnByValue).toImage(), marker.toImage());
        pages.setCurrentIndex(1);
        display.ShowKeyStatus(1, 4, 3, 255);
        QCOMPARE(rotation.pixmap(Qt::ReturnByValue).toImage(), marker.toImage());
        pages.setCurrentIndex(3);
        report.setChecked(true);
        display.ShowKeyStatus(1, 4, 3, 255);
        QCOMPARE(rotation.pixmap(Qt::ReturnByValue).toImage(), marker.toImage());
        report.setChecked(false);
        display.ShowKeyStatus(1, 4, 3, 255);
        QVERIFY(shows(rotation, ":resource/images/rotateFFa.png"));
    }
};

QTEST_MAIN(TestSupervision)
#include "tst_supervision.moc"
