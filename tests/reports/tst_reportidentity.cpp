#include "ReportTestSupport.h"

#include "protocol/KeyModel.h"
#include "records/MenuLevels.h"
#include "reports/ReportIdentity.h"

#include <QTemporaryDir>

class TestReportIdentity : public QObject
{
    Q_OBJECT
private slots:
    void lastReadOutSurvivesLosingTheKey()
    {
        QTemporaryDir dir;
        Paths::setDataRoot(dir.path());
        QVERIFY(QDir().mkpath(Paths::settingsDir()));
        KeyModel key;
        MenuLevels levels;
        ReportIdentity::keepUpdated(&key, &levels);

        key.setNames({QStringLiteral("Key 5"), QStringLiteral("Ivanov")});
        DeviceSettings d;
        d.Units = 1;
        d.DataTime = 1;
        d.VersionSW = 7;
        key.setDeviceSettings(d);
        levels.setTop(0, QStringLiteral("Plant"));
        ReportIdentity id = ReportIdentity::load();
        QCOMPARE(id.keyName, QStringLiteral("Key 5"));
        QCOMPARE(id.operatorName, QStringLiteral("Ivanov"));
        QCOMPARE(id.unitsText(), QStringLiteral("kgsm"));
        QCOMPARE(id.levelCaptions.at(0), levels.caption(0));
        QVERIFY(id.levelCaptions.at(0).startsWith(QStringLiteral("Plant")));

        // Losing the key empties the model; the file keeps the last read-out.
        key.reset();
        id = ReportIdentity::load();
        QCOMPARE(id.keyName, QStringLiteral("Key 5"));
        QCOMPARE(id.units, 1);
    }
};

QTEST_GUILESS_MAIN(TestReportIdentity)
#include "tst_reportidentity.moc"
