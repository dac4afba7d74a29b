#include "ui/reports/DatabasePage.h"

#include "ui/widgets/FormParts.h"

#include <QFrame>
#include <QGridLayout>
#include <QLayout>

DatabasePage::DatabasePage(QWidget *parent)
    : QWidget(parent)
{
    QGridLayout *grid = td::form::settingsGrid(this, "pageDB");
    grid->setContentsMargins(4, 4, 4, 4);
    frDatabaseT = td::form::panel(this, "frDatabaseT");
    // Nothing is put in it yet: an empty panel would only draw a bar above the history.
    frDatabaseT->setFrameShape(QFrame::NoFrame);
    frDatabaseT->layout()->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(frDatabaseT, 0, 0);
}
