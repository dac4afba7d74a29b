#include "ui/reports/DatabasePage.h"

#include "ui/widgets/FormParts.h"

#include <QFrame>
#include <QGridLayout>

DatabasePage::DatabasePage(QWidget *parent)
    : QWidget(parent)
{
    QGridLayout *grid = td::form::settingsGrid(this, "pageDB");
    frDatabaseT = td::form::panel(this, "frDatabaseT");
    grid->addWidget(frDatabaseT, 0, 0);
}
