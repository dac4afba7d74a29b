// Russian is the program's texts and Qt's own together: a file dialog or a standard button
// left in English inside the Russian program reads as a fault.
#include "base/Paths.h"
#include "base/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

bool isRussian(const QString &text)
{
    return text.contains(QRegularExpression(QStringLiteral("[\\x{0400}-\\x{04FF}]")));
}

void removeAll()
{
    for (QTranslator *t : QCoreApplication::instance()->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

} // namespace

class TstTranslations : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        removeAll();
        Paths::setDataRoot(QString());
    }

    void qtTextsComeWithTheProgramsRussian()
    {
        QTemporaryDir root;
        Paths::setDataRoot(root.path());
        QCOMPARE(Translations::install(QCoreApplication::instance()), 0); // no language_ru.qm: English, Qt's too
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));

        QVERIFY(QFile::copy(qEnvironmentVariable("TD_BUILD_DIR") + QStringLiteral("/language_ru.qm"),
                            root.filePath(QStringLiteral("language_ru.qm"))));
        QCOMPARE(Translations::install(QCoreApplication::instance()), 2);
        for (const auto &[context, text] : {std::pair{"QFileDialog", "Look in:"}, std::pair{"QFileDialog", "File &name:"},
                                            std::pair{"QPlatformTheme", "Save"}, std::pair{"QPlatformTheme", "Cancel"}}) {
            const QString ru = QCoreApplication::translate(context, text);
            QVERIFY2(isRussian(ru), qPrintable(QStringLiteral("%1 / %2: %3").arg(context, text, ru)));
        }
        QVERIFY(isRussian(QCoreApplication::translate("MainWindowForm", "Settings")));
    }

    // A portable copy carries Qt's catalogue beside the program; that one is taken first.
    void catalogueInTheDataRootComesFirst()
    {
        QTemporaryDir root;
        Paths::setDataRoot(root.path());
        const QStringList folders = Translations::qtCatalogueFolders();
        QCOMPARE(folders.first(), root.path());
        QCOMPARE(folders.last(), QLibraryInfo::location(QLibraryInfo::TranslationsPath));
        QVERIFY(QFile::copy(qEnvironmentVariable("TD_BUILD_DIR") + QStringLiteral("/language_ru.qm"),
                            root.filePath(QStringLiteral("language_ru.qm"))));
        // A catalogue of our own making under the Qt name shows which folder was read.
        QVERIFY(QDir(root.path()).mkdir(QStringLiteral("translations")));
        QVERIFY(QFile::copy(qEnvironmentVariable("TD_BUILD_DIR") + QStringLiteral("/language_ru.qm"),
                            root.filePath(QStringLiteral("translations/qtbase_ru.qm"))));
        QCOMPARE(Translations::install(QCoreApplication::instance()), 2);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    }
};

QTEST_GUILESS_MAIN(TstTranslations)
#include "tst_translations.moc"
