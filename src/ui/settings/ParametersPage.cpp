#include "ui/settings/ParametersPage.h"

#include "ui/widgets/FormParts.h"

#include <QFrame>
#include <QGridLayout>

ParametersPage::ParametersPage(QWidget *parent)
    : QWidget(parent)
{
    QGridLayout *grid = td::form::settingsGrid(this, "pageLevels");
    frMenuLevels = td::form::panel(this, "frMenuLevels");
    frKeyName = td::form::panel(this, "frKeyName");
    frWiFi = td::form::panel(this, "frWiFi");
    frSetup = td::form::panel(this, "frSetup");
    frOptions = td::form::panel(this, "frOptions");
    grid->addWidget(frMenuLevels, 0, 0, 2, 1);
    grid->addWidget(frKeyName, 0, 1);
    grid->addWidget(frWiFi, 1, 1);
    grid->addWidget(frSetup, 2, 0);
    grid->addWidget(frOptions, 2, 1);
    frOptions->hide();
}
