#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

// The program's Russian texts and, with them, Qt's own (file dialogs, standard buttons, the
// context menu of a text field): a dialog left in English inside a Russian program reads as
// a fault.
class Translations
{
public:
    // Installs language_ru.qm from the data root and Qt's Russian catalogue found beside it
    // or in Qt's translations folder. The translators belong to app. Returns how many loaded.
    static int install(QCoreApplication *app);

    // Where Qt's catalogue is looked for, first found wins: the data root (a portable copy
    // ships it there), its translations/ folder, then Qt's own folder.
    static QStringList qtCatalogueFolders();
};
