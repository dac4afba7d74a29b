// The key configuration's rules without a key: what a .clb file must be before it reaches
// the key, how page values become wire values, the settings texts and reboot rules, the
// calibration history and the newest tightening of a record.
#include "base/Paths.h"
#include "config/CalibrationFields.h"
#include "config/CalibrationFile.h"
#include "config/CalibrationHistory.h"
#include "config/DeviceSettingsRules.h"
#include "config/LiveValues.h"
#include "records/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A calibration reply as keysim's sample key sends it.
const QByteArray kGood =
    R"({"function_name":"FE_SettingsCalibrate_Read","nm":340,"offset":128,"amplify":512,"right":3100,)"
    R"("left":980,"nm2":170,"right2":2600,"left2":1500,"used":0,"nol":2048,"gyrocorrection":-5,)"
    R"("gyrodeviation":-3,"anglecorrention":100,"headstandartmm":22,"keylengthmm":600})";

QByteArray without(const char *key)
{
    QByteArray t = kGood;
    const QRegularExpression re(QStringLiteral(",?\"%1\":[^,}]*").arg(QLatin1String(key)));
    return QString::fromUtf8(t).remove(re).toUtf8();
}

QByteArray with(const char *key, const QByteArray &value)
{
    const QRegularExpression re(QStringLiteral("\"%1\":[^,}]*").arg(QLatin1String(key)));
    return QString::fromUtf8(kGood)
        .replace(re, QStringLiteral("\"%1\":%2").arg(QLatin1String(key), QString::fromUtf8(value)))
        .toUtf8();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace

class TestConfigRules : public QObject
{
    Q_OBJECT

private slots:
    void goodFileIsTakenWhole()
    {
        CalibrationValues current;
        current.nm = 99;
        const CalibrationFile::Loaded l = CalibrationFile::parse(kGood + "\n", current);
        QVERIFY2(l.ok(), qPrintable(l.problem));
        QCOMPARE(l.values.nm, 340.0);
        QCOMPARE(l.values.right, 3100);
        QCOMPARE(l.values.left, 980);
        QCOMPARE(l.values.nol, 2048);
        QCOMPARE(l.values.gyrocorrection, -5);
        QCOMPARE(l.values.gyrodeviation, -3);
        QCOMPARE(l.values.keylengthmm, 600.0);
        QCOMPARE(l.values.amplify, 512);
        // Written over several lines it still reads as one text.
        QByteArray split = kGood;
        split.insert(40, "\r\n");
        QVERIFY(CalibrationFile::parse(split, current).ok());
    }

    void hostileFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("named");
        using S = CalibrationFile::Status;
        QTest::newRow("no nm") << without("nm") << int(S::Missing) << "nm";
        QTest::newRow("no right") << without("right") << int(S::Missing) << "right";
        QTest::newRow("no left") << without("left") << int(S::Missing) << "left";
        QTest::newRow("no nol") << without("nol") << int(S::Missing) << "nol";
        QTest::newRow("nm 0") << with("nm", "0") << int(S::BadValue) << "nm";
        QTest::newRow("right 0 ok, right 5000 not") << with("right", "5000") << int(S::BadValue) << "right";
        QTest::newRow("key length 1e9") << with("keylengthmm", "1e9") << int(S::BadValue) << "keylengthmm";
        QTest::newRow("nm as text") << with("nm", "\"340\"") << int(S::BadValue) << "nm";
        QTest::newRow("offset fraction") << with("offset", "12.5") << int(S::BadValue) << "offset";
        QTest::newRow("deviation -11") << with("gyrodeviation", "-11") << int(S::BadValue) << "gyrodeviation";
        QTest::newRow("used 2") << with("used", "2") << int(S::BadValue) << "used";
        QTest::newRow("ext point in use, nm2 0")
            << with("used", "1").replace("\"nm2\":170", "\"nm2\":0") << int(S::BadValue) << "nm2";
        QTest::newRow("truncated") << kGood.left(kGood.size() / 2) << int(S::NotObject) << "";
        QTest::newRow("an array") << QByteArray("[1,2,3]") << int(S::NotObject) << "";
        QTest::newRow("another program's object")
            << QByteArray(R"({"name":"report","rows":3})") << int(S::Missing) << "nm";
    }

    void hostileFilesAreRefused()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, status);
        QFETCH(QString, named);
        const CalibrationFile::Loaded l = CalibrationFile::parse(text, CalibrationValues());
        QVERIFY(!l.ok());
        QCOMPARE(int(l.status), status);
        QVERIFY(!l.problem.isEmpty());
        if (!named.isEmpty())
            QVERIFY2(l.problem.contains(QLatin1Char('"') + named + QLatin1Char('"')), qPrintable(l.problem));
    }

    void missingOptionalValuesKeepTheKeys()
    {
        CalibrationValues current;
        current.keylengthmm = 750;
        current.gyrocorrection = 9;
        QByteArray t = without("keylengthmm");
        t = QString::fromUtf8(t).remove(QRegularExpression(QStringLiteral(",\"gyrocorrection\":[^,}]*"))).toUtf8();
        const CalibrationFile::Loaded l = CalibrationFile::parse(t, current);
        QVERIFY2(l.ok(), qPrintable(l.problem));
        QCOMPARE(l.values.keylengthmm, 750.0);
        QCOMPARE(l.values.gyrocorrection, 9);
        // An unused extended point out of range is not sent: the key keeps its own.
        current.nm2 = 55;
        const CalibrationFile::Loaded l2 =
            CalibrationFile::parse(QByteArray(kGood).replace("\"nm2\":170", "\"nm2\":0"), current);
        QVERIFY2(l2.ok(), qPrintable(l2.problem));
        QCOMPARE(l2.values.nm2, 55.0);
    }

    void filesOnDisk()
    {
        QTemporaryDir dir;
        const QString big = dir.filePath(QStringLiteral("big.clb"));
        // A valid object padded past 64 KiB: size alone decides.
        QVERIFY(writeFile(big, kGood + QByteArray(CalibrationFile::MaxBytes, ' ')));
        QCOMPARE(int(CalibrationFile::read(big, {}).status), int(CalibrationFile::Status::TooLarge));
        QCOMPARE(int(CalibrationFile::read(dir.filePath(QStringLiteral("none.clb")), {}).status),
                 int(CalibrationFile::Status::NotOpened));

        // Saving writes the text and a line end; a folder that does not exist fails loudly.
        const QString saved = dir.filePath(QStringLiteral("saved.clb"));
        QString error;
        QVERIFY(CalibrationFile::write(saved, kGood, &error));
        QFile f(saved);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), kGood + "\n");
        QVERIFY(CalibrationFile::read(saved, {}).ok());
        QVERIFY(!CalibrationFile::write(dir.filePath(QStringLiteral("no/such/dir/x.clb")), kGood, &error));
        QVERIFY(!error.isEmpty());
    }

    void pageValuesToWire()
    {
        CalibrationFields f;
        f.setValue(CalibrationFields::Nm, 340.129);
        f.setValue(CalibrationFields::Right, 3100.9);
        f.setValue(CalibrationFields::Left, 70000);
        f.setValue(CalibrationFields::GyroDeviation, -9.7);
        f.setValue(CalibrationFields::AngleCorrection, 12.99);
        f.setUsed(true);
        const CalibrationValues w = f.toWire();
        QCOMPARE(w.right, 3100); // toward zero, not rounded
        QCOMPARE(w.left, 65535);
        QCOMPARE(w.gyrodeviation, -9);
        QCOMPARE(w.anglecorrention, 12);
        QCOMPARE(w.used, 1);
        QCOMPARE(w.nm, double(340.129f));

        // What the key reported comes back unchanged, the hidden gyro correction included.
        CalibrationValues key;
        key.nm = 250.5;
        key.right = 3000;
        key.gyrocorrection = -77;
        key.used = 0;
        CalibrationFields g;
        g.setFromKey(key);
        QCOMPARE(g.toWire().gyrocorrection, -77);
        QCOMPARE(g.toWire().nm, 250.5);
        QCOMPARE(g.toWire().used, 0);
        QVERIFY(!CalibrationFields::inRange(CalibrationFields::KeyLength, 0));
        QVERIFY(CalibrationFields::inRange(CalibrationFields::GyroDeviation, -10));
    }

    void settingsTexts()
    {
        QCOMPARE(DeviceSettingsRules::identity(7, 12), QStringLiteral(" (012)"));
        QCOMPARE(DeviceSettingsRules::identity(2, 12), QStringLiteral("Control (012)"));
        QCOMPARE(DeviceSettingsRules::identity(4, 3), QStringLiteral("Axial force (03)"));
        QCOMPARE(DeviceSettingsRules::dateText(5, 3, 2025), QStringLiteral("05.03.2025"));
        QCOMPARE(DeviceSettingsRules::timeText(9, 7, 3), QStringLiteral("09:07:03"));
        QCOMPARE(DeviceSettingsRules::sleepTimeItems().size(), 18);
        QCOMPARE(DeviceSettingsRules::sleepTimeItems().at(8), QStringLiteral("1 hour"));
        QCOMPARE(DeviceSettingsRules::displayTimeItems().size(), 16);
        QCOMPARE(DeviceSettingsRules::displayTimeItems().at(3), QStringLiteral("1 min"));
        QCOMPARE(DeviceSettingsRules::displayTimeItems().last(), QStringLiteral("24 hour"));
        QRegularExpression ip(DeviceSettingsRules::ipPattern());
        QVERIFY(ip.match(QStringLiteral("192.168.0.100")).hasMatch());
        QVERIFY(ip.match(QStringLiteral("255.0.0.9")).hasMatch());
        QVERIFY(!ip.match(QStringLiteral("256.1.1.1")).hasMatch());
        QVERIFY(!ip.match(QStringLiteral("1.2.3")).hasMatch());
    }

    void rebootRules()
    {
        DeviceSettings stored;
        stored.Units = 0;
        stored.DataBase = 1;
        DeviceSettings page = stored;
        page.SleepTime = 5;
        QCOMPARE(DeviceSettingsRules::rebootAfterSetup(stored, page), DeviceSettingsRules::NoReboot);
        page.Units = 1;
        QCOMPARE(DeviceSettingsRules::rebootAfterSetup(stored, page), 2);
        QCOMPARE(DeviceSettingsRules::rebootAfterUpgrade(stored, page), 0);
        page.DataBase = 0;
        QCOMPARE(DeviceSettingsRules::rebootAfterUpgrade(stored, page), 1);
    }

    void namesAreCutAtCharacters()
    {
        const QString sixty = QString(60, QLatin1Char('k'));
        QCOMPARE(DeviceSettingsRules::cutName(sixty), QString(50, QLatin1Char('k')));
        // 49 letters and then characters outside the basic plane: the 50th is kept whole.
        const QString clef = QString::fromUcs4(U"\U0001D11E");
        const QString name = QString(49, QLatin1Char('a')) + clef + clef;
        const QString cut = DeviceSettingsRules::cutName(name);
        QCOMPARE(cut, QString(49, QLatin1Char('a')) + clef);
        QVERIFY(cut.toUtf8() == cut.toUtf8().left(cut.toUtf8().size()));
        QCOMPARE(QString::fromUtf8(cut.toUtf8()), cut); // no broken sequence
        QCOMPARE(DeviceSettingsRules::cutName(QStringLiteral("Ключ №1")), QStringLiteral("Ключ №1"));
    }

    void historyOfOneKey()
    {
        QTemporaryDir dir;
        auto touch = [&](const QString &name, const QDateTime &when) {
            const QString path = dir.filePath(name);
            QVERIFY(writeFile(path, kGood));
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
        };
        const QDateTime old = QDateTime::currentDateTime().addMonths(-14);
        const QDateTime recent = QDateTime::currentDateTime().addMonths(-13);
        touch(QStringLiteral("DWK340_012_ABC.clb"), old);
        touch(QStringLiteral("DWK341_012_ABC.clb"), recent);
        touch(QStringLiteral("DWK340_012_XABC.clb"), QDateTime::currentDateTime());   // another key
        touch(QStringLiteral("DWK340_012_Z_ABC.clb"), QDateTime::currentDateTime());  // key "Z_ABC"
        touch(QStringLiteral("notes_ABC.clb"), QDateTime::currentDateTime());

        CalibrationHistory::Summary s = CalibrationHistory::of(dir.path(), "ABC");
        QCOMPARE(s.count, 2);
        QCOMPARE(s.newest.date(), recent.date());
        QCOMPARE(s.due(), recent.date().addMonths(12));
        QVERIFY(s.overdue(QDate::currentDate()));
        QVERIFY(!s.overdue(recent.date().addMonths(12)));

        touch(QStringLiteral("DWK342_013_ABC.clb"), QDateTime::currentDateTime().addDays(-3));
        s = CalibrationHistory::of(dir.path(), "ABC");
        QCOMPARE(s.count, 3);
        QVERIFY(!s.overdue(QDate::currentDate()));
        QCOMPARE(CalibrationHistory::of(dir.path(), "Z_ABC").count, 1);
        QCOMPARE(CalibrationHistory::of(dir.path(), "").count, 0);
        QVERIFY(!s.calibrated.isValid()); // the text names no date: counted from the day first seen
        QCOMPARE(s.due(), QDate::currentDate().addDays(-3).addMonths(12));

        // A calibration that carries its own date counts from that date, not from the day
        // this PC archived it.
        const QString dated = dir.filePath(QStringLiteral("DWK343_013_ABC.clb"));
        QByteArray text = kGood;
        text.insert(text.indexOf('{') + 1, "\"calibrationdate\":\"2025-06-30\",");
        QVERIFY(writeFile(dated, text));
        s = CalibrationHistory::of(dir.path(), "ABC");
        QCOMPARE(s.count, 4);
        QCOMPARE(s.calibrated, QDate(2025, 6, 30));
        QCOMPARE(s.due(), QDate(2026, 6, 30));
        QVERIFY(s.overdue(QDate(2026, 7, 1)));
        QCOMPARE(CalibrationHistory::dateIn(R"({"nm":340,"date":"05.03.2026"})"), QDate(2026, 3, 5));
        QVERIFY(!CalibrationHistory::dateIn(R"({"nm":340,"date":"2999-01-01"})").isValid());
        QVERIFY(!CalibrationHistory::dateIn(R"({"nm":340,"date":20260305})").isValid());
    }

    void newestTightening()
    {
        RecordFile rec;
        double m = -1, a = -1;
        // An empty record carries one blank entry, which is no tightening.
        QVERIFY(!LiveValues::newestOf(rec.toBytes(), &m, &a));
        MeasureEntry e1;
        e1.moment = 100.5f;
        e1.angle = 30;
        MeasureEntry e2;
        e2.moment = -120.25f;
        e2.angle = 45.5f;
        rec.entries = {e1, e2};
        QVERIFY(LiveValues::newestOf(rec.toBytes(), &m, &a));
        QCOMPARE(m, 120.25);
        QCOMPARE(a, 45.5);
        QVERIFY(!LiveValues::newestOf(rec.toBytes().left(30), &m, &a));
    }
};

QTEST_GUILESS_MAIN(TestConfigRules)
#include "tst_config_rules.moc"
