#include "ui/records/ViewerPage.h"

#include "ui/widgets/FormParts.h"

#include <QFrame>
#include <QGridLayout>
#include <QLineEdit>

ViewerPage::ViewerPage(QWidget *parent)
    : QWidget(parent)
{
    QGridLayout *grid = td::form::settingsGrid(this, "pageRecords");
    frTextFields_2 = td::form::panel(this, "frTextFields_2");
    frNewRecord = td::form::panel(this, "frNewRecord");
    frRangesView_2 = td::form::panel(this, "frRangesView_2");
    frMemory_2 = td::form::panel(this, "frMemory_2");
    frEraseRecords = td::form::panel(this, "frEraseRecords");
    frFiles = td::form::panel(this, "frFiles");
    leFind = new QLineEdit(this);
    leFind->setObjectName(QStringLiteral("leFind"));
    leFind->setMinimumHeight(40);
    grid->addWidget(leFind, 0, 0, 1, 2);
    grid->addWidget(frTextFields_2, 1, 0);
    grid->addWidget(frRangesView_2, 1, 1);
    grid->addWidget(frNewRecord, 2, 0);
    grid->addWidget(frMemory_2, 2, 1);
    grid->addWidget(frEraseRecords, 3, 0, 1, 2);
    grid->addWidget(frFiles, 4, 0, 1, 2);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(0, 4);
    grid->setColumnStretch(1, 5);
    frFiles->hide();
    retranslateUi();
}

void ViewerPage::retranslateUi()
{
    const QString find = td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "Type text for find"));
    leFind->setPlaceholderText(find);
    leFind->setAccessibleName(find);
}
