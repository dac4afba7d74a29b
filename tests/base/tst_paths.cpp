// Names that become local paths: what passes must stay in its folder and mean the same file
// on Windows as on Linux, so a key cannot make the mirror differ between the two.
#include "base/Paths.h"

#include <QTest>

class TestPaths : public QObject
{
    Q_OBJECT
private slots:
    void safeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::newRow("record") << QStringLiteral("0001ABC000000100") << true;
        QTest::newRow("template") << QStringLiteral("FioTypes") << true;
        QTest::newRow("extension") << QStringLiteral("DWK340_012_SN42.clb") << true;
        QTest::newRow("cyrillic") << QStringLiteral("Настройки") << true;
        QTest::newRow("inner dot and space") << QStringLiteral("a b.c") << true;
        QTest::newRow("device-like longer") << QStringLiteral("CONSOLE") << true;
        QTest::newRow("port ten") << QStringLiteral("COM10") << true;
        QTest::newRow("leading dot") << QStringLiteral(".state") << true;

        QTest::newRow("empty") << QString() << false;
        QTest::newRow("dot") << QStringLiteral(".") << false;
        QTest::newRow("dot dot") << QStringLiteral("..") << false;
        QTest::newRow("slash") << QStringLiteral("a/b") << false;
        QTest::newRow("backslash") << QStringLiteral("a\\b") << false;
        QTest::newRow("drive") << QStringLiteral("C:") << false;
        QTest::newRow("control") << QStringLiteral("a\nb") << false;
        QTest::newRow("too long") << QString(128, QLatin1Char('n')) << false;
        QTest::newRow("trailing dot") << QStringLiteral("FioTypes.") << false;
        QTest::newRow("trailing dots") << QStringLiteral("x..") << false;
        QTest::newRow("trailing space") << QStringLiteral("FioTypes ") << false;
        for (const char *c : {"<", ">", "\"", "|", "?", "*"})
            QTest::newRow(qPrintable(QStringLiteral("char %1").arg(QLatin1String(c))))
                << QStringLiteral("a%1b").arg(QLatin1String(c)) << false;
        for (const char *d : {"CON", "con", "Prn", "AUX", "NUL", "nul.txt", "NUL .txt", "COM1", "com9.log",
                              "LPT1", "lpt0", "CONIN$", "conout$"})
            QTest::newRow(qPrintable(QStringLiteral("device %1").arg(QLatin1String(d)))) << QString::fromLatin1(d)
                                                                                          << false;
        QTest::newRow("superscript port") << QStringLiteral("COM") + QChar(0x00B9) << false;
    }

    void safeNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QCOMPARE(Paths::isSafeName(name), safe);
        // A folder path is as safe as its worst part ("a/b" is two good parts).
        if (!name.contains(QLatin1Char('/')))
            QCOMPARE(Paths::isSafeRelativePath(QStringLiteral("dbsett/") + name), safe);
    }

    void pcOwnedFolders()
    {
        for (const char *f : {"Calibrate", "/Calibrate", "Calibrate/sub", "//Calibrate"})
            QVERIFY2(Paths::isPcOwnedFolder(QString::fromLatin1(f), Qt::CaseSensitive), f);
        for (const char *f : {"dbsett", "templates", "userdata/Calibrate", "Calibrated", ""})
            QVERIFY2(!Paths::isPcOwnedFolder(QString::fromLatin1(f), Qt::CaseSensitive), f);
        // On a system that folds letter case, another spelling is the same folder.
        QVERIFY(Paths::isPcOwnedFolder(QStringLiteral("cALIBRATE"), Qt::CaseInsensitive));
        QVERIFY(!Paths::isPcOwnedFolder(QStringLiteral("cALIBRATE"), Qt::CaseSensitive));
#ifdef Q_OS_WIN
        QCOMPARE(Paths::fileNameCase(), Qt::CaseInsensitive);
#else
        QCOMPARE(Paths::fileNameCase(), Qt::CaseSensitive);
#endif
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
