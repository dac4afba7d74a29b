#include "base/SettingsFile.h"
#include "base/Log.h"

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(SettingsFile::LoadResult)

class TstSettingsFile : public QObject
{
    Q_OBJECT
private slots:
    void byteLayoutIsDoubleThenTwoStrings()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("settings/settings.ini"));
        AppSettings s;
        s.pcAddress = QStringLiteral("192.168.1.20");
        QVERIFY(SettingsFile::save(path, s));

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        // 8-byte double 0.0, then a 32-bit byte length and UTF-16 text, then an empty string
        // (length 0, since QString() streams as null 0xFFFFFFFF and "" as 0).
        QCOMPARE(bytes.left(8), QByteArray(8, '\0'));
        QDataStream in(bytes.mid(8));
        quint32 len = 0;
        in >> len;
        QCOMPARE(len, quint32(2 * s.pcAddress.size()));
        QCOMPARE(bytes.size(), 8 + 4 + int(len) + 4);
    }

    // A saved address comes back as it was; one that is not an address marks the file damaged.
    void savedAddressIsLoadedBack_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<SettingsFile::LoadResult>("result");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("address") << QStringLiteral("10.0.0.7") << SettingsFile::LoadResult::Loaded
                                 << QStringLiteral("10.0.0.7");
        QTest::newRow("not an address") << QStringLiteral("not-an-address") << SettingsFile::LoadResult::Corrupt
                                        << QStringLiteral("127.0.0.1");
    }

    void savedAddressIsLoadedBack()
    {
        QFETCH(QString, saved);
        QFETCH(SettingsFile::LoadResult, result);
        QFETCH(QString, loaded);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("settings.ini"));
        AppSettings s;
        s.pcAddress = saved;
        QVERIFY(SettingsFile::save(path, s));
        AppSettings back;
        QCOMPARE(SettingsFile::load(path, back), result);
        QCOMPARE(back.pcAddress, loaded);
    }

    void missingAndDamagedFilesFallBackToDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("truncated double") << QByteArray(5, '\0') << true;
        // A length prefix promising far more text than the file holds.
        QTest::newRow("truncated string") << (QByteArray(8, '\0') + QByteArray::fromHex("000000FF") + "ab") << true;
        QTest::newRow("garbage") << QByteArray("this is not a data stream at all, just text") << true;
    }

    void missingAndDamagedFilesFallBackToDefaults()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("settings.ini"));
        if (exists) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        AppSettings s;
        s.pcAddress = QStringLiteral("junk before load");
        const auto result = SettingsFile::load(path, s);
        QCOMPARE(result, exists ? SettingsFile::LoadResult::Corrupt : SettingsFile::LoadResult::Missing);
        if (exists)
            QCOMPARE(s.pcAddress, QStringLiteral("127.0.0.1"));
    }

    void saveIntoAnUnwritablePlaceFails()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        // A path below a regular file can never be created.
        QVERIFY(!SettingsFile::save(dir.filePath(QStringLiteral("file/settings/settings.ini")), AppSettings()));
    }
};

QTEST_GUILESS_MAIN(TstSettingsFile)
#include "tst_settingsfile.moc"
