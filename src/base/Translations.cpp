#include "base/Translations.h"

#include "base/Log.h"
#include "base/Paths.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QStringList Translations::qtCatalogueFolders()
{
    const QString root = Paths::dataRoot();
    return {root, root + QStringLiteral("/translations"), QLibraryInfo::location(QLibraryInfo::TranslationsPath)};
}

int Translations::install(QCoreApplication *app)
{
    auto *own = new QTranslator(app);
    // A missing translation leaves the built-in English texts, Qt's included.
    if (!own->load(Paths::translationFile())) {
        delete own;
        return 0;
    }
    auto *qt = new QTranslator(app);
    bool qtLoaded = false;
    // "qt_ru" names the catalogues of each Qt module; qtbase_ru alone carries the dialogs.
    for (const QString &folder : qtCatalogueFolders()) {
        qtLoaded = qt->load(QStringLiteral("qt_ru"), folder) || qt->load(QStringLiteral("qtbase_ru"), folder);
        if (qtLoaded)
            break;
    }
    // The one installed last is asked first: the program's own texts win over Qt's.
    if (qtLoaded) {
        app->installTranslator(qt);
    } else {
        td::log(QStringLiteral("Qt's Russian texts not found in ") + qtCatalogueFolders().join(QStringLiteral(", ")));
        delete qt;
    }
    app->installTranslator(own);
    return qtLoaded ? 2 : 1;
}
