// A whole read-out of a key over the real USB transport: KeySession on a ComSlip whose port
// is in memory, a key at the far end that answers every frame, the transmit queue pacing
// everything, one reply lost on the way.

#include "FakeKeyFiles.h"

#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "link/ComSlip.h"
#include "link/MemoryKeyPort.h"
#include "link/SlipCodec.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySession.h"
#include "records/MenuLevels.h"
#include "records/ModesVisibility.h"
#include "records/TemplateListsModel.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class FarEndKey : public QObject
{
    Q_OBJECT
public:
    FakeKeyFiles files;
    QStringList log;      // one line per frame received, as the key saw it
    QString dropOnce;     // the first frame whose log line equals this gets no answer
    QMap<QString, int> drops; // frames with this log line left unanswered, so many times
    MemoryKeyPort *port = nullptr;

    explicit FarEndKey(MemoryKeyPort *p) : port(p)
    {
        receiver.setFrameHandler([this](const RxDataBuffer &rx) { onFrame(rx); });
        connect(port, &MemoryKeyPort::dataWritten, this, [this](const QByteArray &bytes) {
            receiver.feed(bytes, QString(), QHostAddress(), 0);
        });
    }

private:
    SlipReceiver receiver;

    void onFrame(const RxDataBuffer &rx)
    {
        const QByteArray payload(reinterpret_cast<const char *>(rx.bytes()) + 2, rx.length - 3);
        QByteArray reply;
        quint8 cls = rx.data[0];
        QString line;
        if (cls == 0x30) {
            const QJsonObject o = QJsonDocument::fromJson(payload.left(payload.indexOf('\0'))).object();
            const QString name = o.value("function_name").toString();
            line = name;
            QJsonObject r{{"function_name", name}};
            if (name == "FE_KeyName_Read") {
                r["KeyName"] = "Line 7";
                r["OperatorName"] = "Ivanov";
            } else if (name == "FE_DeviceSetting_Read") {
                r["VersionSW"] = 12;
                r["SerialNo"] = "SN42";
                r["Units"] = 0;
                r["TypeKey"] = 2;
            } else if (name == "FE_SettingsCalibrate_Read") {
                r["nm"] = 340.4;
                r["nol"] = 2048;
            } else if (name == "FE_MenuLevel_Read") {
                const int i = o.value("Index").toInt();
                line += QString::number(i);
                r["Index"] = i;
                r["NameTop"] = QStringLiteral("Top %1").arg(i);
                r["NameBottom"] = QStringLiteral("Bottom %1").arg(i);
                r["Active"] = 1;
                r["Order"] = i + 1;
            } else if (name == "FE_WiFiSettings_Read") {
                r["SSID"] = "plant";
                r["PCPort"] = 32100;
            }
            reply = QJsonDocument(r).toJson(QJsonDocument::Compact) + '\0';
        } else {
            SentCommand c;
            c.payload = payload;
            const FileCmdHeader h = c.fileHeader();
            line = QStringLiteral("%1 %2 %3").arg(h.command).arg(h.fileName()).arg(h.seek);
            reply = files.answer(c);
        }
        log << line;
        if (line == dropOnce) {
            dropOnce.clear();
            return;
        }
        if (drops.value(line) > 0) {
            --drops[line];
            return;
        }
        const QByteArray frame = SlipCodec::encode(cls, cls == 0x30 ? 0x01 : 0x00, reply);
        // The key answers later, not from inside the PC's write.
        QTimer::singleShot(0, port, [p = port, frame] { p->feedReceived(frame); });
    }
};

// KeySession on a ComSlip over an in-memory port with a FarEndKey answering.
struct UsbRig
{
    QTemporaryDir root;
    cGlobalData global;
    MemoryKeyPort port;
    ComSlip comSlip{nullptr, 150, 1000};
    KeySession session{&global, &comSlip};
    FarEndKey key{&port};

    UsbRig()
    {
        Paths::setDataRoot(root.path());
        port.open(QIODevice::ReadWrite);
        comSlip.attachPort(&port);
        QObject::connect(&comSlip, &ComSlip::rx_data, session.protocol(), &KeyProtocol::iReceiveUart_Click);
    }
    ~UsbRig() { Paths::setDataRoot(QString()); }

    bool readOut(int timeoutMs = 20000)
    {
        QSignalSpy dirs(session.files(), &FileExchange::slot_files_got_dir);
        session.protocol()->ReadKeyOnConnect();
        return QTest::qWaitFor([&] { return dirs.count() == 2; }, timeoutMs);
    }
};

class TestUsbReadout : public QObject
{
    Q_OBJECT

private slots:
    void wholeReadOut()
    {
        QTemporaryDir root;
        Paths::setDataRoot(root.path());
        cGlobalData global;

        MemoryKeyPort port;
        QVERIFY(port.open(QIODevice::ReadWrite));
        ComSlip comSlip(nullptr, 150, 1000);
        comSlip.attachPort(&port);
        KeySession session(&global, &comSlip);
        connect(&comSlip, &ComSlip::rx_data, session.protocol(), &KeyProtocol::iReceiveUart_Click);

        FarEndKey key(&port);
        for (int i = 0; i < 40; ++i)
            key.files.folders["dbsett"][QStringLiteral("0001ABC0000001%1").arg(i, 2, 10, QChar('0'))] =
                QByteArray(88 + 28 * i, char('a' + i % 26));
        key.files.folders["templates"]["FioTypes"] = QByteArray(950, 'F');
        key.files.folders["templates"]["WheelTypes"] = QByteArray(5150, 'W');
        key.files.folders["templates"]["UzelTypes"] = QByteArray(16000, 'U');
        key.dropOnce = QStringLiteral("1 /templates/UzelTypes 512");

        QSignalSpy dbsett(session.files(), SIGNAL(slot_files_got_dir(QString)));
        session.protocol()->ReadKeyOnConnect();
        QTRY_VERIFY_WITH_TIMEOUT(dbsett.count() == 2, 20000);
        QCOMPARE(dbsett[1].at(0).toString(), QStringLiteral("/dbsett"));

        QCOMPARE(key.log.mid(0, 11),
                 (QStringList{"FE_KeyName_Read", "FE_DeviceSetting_Read", "FE_SettingsCalibrate_Read",
                              "FE_MenuLevel_Read0", "FE_MenuLevel_Read1", "FE_MenuLevel_Read2",
                              "FE_MenuLevel_Read3", "FE_WiFiSettings_Read", "FE_DateTime_Write",
                              "77 /templates 0", "77 /dbsett 0"}));
        // The lost reply was covered by the queue's resend.
        QCOMPARE(key.log.count("1 /templates/UzelTypes 512"), 2);

        for (const QString folder : {"dbsett", "templates"}) {
            const auto &onKey = key.files.folders[folder];
            QCOMPARE(QDir(Paths::downloadDir(folder)).entryList(QDir::Files), QStringList(onKey.keys()));
            for (auto it = onKey.begin(); it != onKey.end(); ++it) {
                QFile f(FileExchange::localPath(folder, it.key()));
                QVERIFY(f.open(QIODevice::ReadOnly));
                QCOMPARE(f.readAll(), it.value());
            }
        }
        QCOMPARE(session.model()->names().keyName, QStringLiteral("Line 7"));
        QCOMPARE(session.model()->deviceSettings().VersionSW, 12);
        QCOMPARE(session.model()->wifiSettings().PCPort, quint16(32100));
        QCOMPARE(session.menuLevels()->level(2).caption(), QStringLiteral("Top 2 Bottom 2"));
        QCOMPARE(session.menuLevels()->level(3).order, 4);
        QVERIFY(QFile::exists(Paths::downloadDir("Calibrate") + "/DWK340_012_SN42.clb"));
        QVERIFY(!session.files()->isBusy());

        // Nothing was sent to the key twice apart from the resend.
        QCOMPARE(key.log.size(), QSet<QString>(key.log.begin(), key.log.end()).size() + 1);
        Paths::setDataRoot(QString());
    }

    void partLostTwiceIsAskedAgainAtOnce()
    {
        // Both transmissions of one part lost: the queue moves on, and the exchange asks for
        // that same part straight away instead of waiting for a stall and starting over.
        UsbRig rig;
        rig.session.files()->setStallTimeout(600000);
        const QByteArray uzel = QByteArray(16000, 'U');
        rig.key.files.folders["templates"]["UzelTypes"] = uzel;
        rig.key.files.folders["dbsett"]["r1"] = "record";
        rig.key.drops[QStringLiteral("1 /templates/UzelTypes 2048")] = 2;
        rig.key.drops[QStringLiteral("1 /templates/UzelTypes 0")] = 2;
        rig.key.drops[QStringLiteral("77 /dbsett 0")] = 2;
        QVERIFY(rig.readOut());

        QCOMPARE(rig.key.log.count("1 /templates/UzelTypes 0"), 3);
        QCOMPARE(rig.key.log.count("1 /templates/UzelTypes 2048"), 3);
        QCOMPARE(rig.key.log.count("1 /templates/UzelTypes 512"), 1);
        QCOMPARE(rig.key.log.count("77 /dbsett 0"), 3);
        QFile f(FileExchange::localPath("templates", "UzelTypes"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), uzel);
        QVERIFY(QFile::exists(FileExchange::localPath("dbsett", "r1")));
        QVERIFY(!rig.session.files()->isBusy());
    }

    void anotherKeyStartsFromEmptyTemplateLists()
    {
        UsbRig rig;
        // What the previous key left: texts, a disabled entry, an algorithm table.
        TemplateLists stale;
        stale.fio[3].text1 = QStringLiteral("old operator");
        stale.uzel[7].text1 = QStringLiteral("old node");
        stale.uzel[7].enabled = false;
        rig.session.templateLists()->setLists(stale);
        ModesVisibility modes;
        QVERIFY(modes.load(QByteArray(ModesVisibility::FileSize, '\0')));
        rig.session.templateLists()->setModes(modes);
        QVERIFY(rig.session.templateLists()->modes().isLoaded());

        // This key has no template files at all.
        rig.key.files.folders["dbsett"]["r1"] = "record";
        QSignalSpy changed(rig.session.templateLists(), &TemplateListsModel::changed);
        QVERIFY(rig.readOut());

        const TemplateLists &now = rig.session.templateLists()->lists();
        const TemplateLists empty;
        QCOMPARE(now.fio[3].text1, empty.fio[3].text1);
        QCOMPARE(now.uzel[7].text1, empty.uzel[7].text1);
        QCOMPARE(now.uzel[7].enabled, empty.uzel[7].enabled);
        QVERIFY(!changed.isEmpty()); // the editor combos and the level tree rebuild
        QVERIFY(!rig.session.templateLists()->modes().isLoaded());
        // The key mode still follows this key's device settings.
        QCOMPARE(rig.session.templateLists()->keyMode(), int(rig.session.model()->deviceSettings().TypeKey));
    }
};

QTEST_GUILESS_MAIN(TestUsbReadout)
#include "tst_usbreadout.moc"
