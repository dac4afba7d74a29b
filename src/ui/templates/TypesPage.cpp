#include "ui/templates/TypesPage.h"

#include "ui/widgets/FormParts.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

TypesPage::TypesPage(QWidget *parent)
    : QWidget(parent)
{
    QGridLayout *grid = td::form::settingsGrid(this, "pageTemplates");
    tabWheelUzel = new QTabWidget(this);
    tabWheelUzel->setObjectName(QStringLiteral("tabWheelUzel"));
    grid->addWidget(tabWheelUzel, 0, 0, 1, 3);
    pbTemplatesFromJson = td::form::button(this, "pbTemplatesFromJson");
    pbTemplatesSave = td::form::button(this, "pbTemplatesSave");
    grid->addWidget(pbTemplatesFromJson, 1, 1);
    grid->addWidget(pbTemplatesSave, 1, 2);
    grid->setRowStretch(0, 1);
    lbTemplatesNote = new QLabel(this);
    lbTemplatesNote->setObjectName(QStringLiteral("lbTemplatesNote"));
    lbTemplatesNote->setStyleSheet(QStringLiteral("QLabel {color: rgb(200, 110, 0); font-size: 12pt;}"));
    lbTemplatesNote->setWordWrap(true);
    grid->addWidget(lbTemplatesNote, 1, 0);
    retranslateUi();
}

void TypesPage::retranslateUi()
{
    const QString fromJson = td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "From JSON"));
    pbTemplatesFromJson->setText(fromJson);
    pbTemplatesFromJson->setAccessibleName(fromJson);
    const QString save = td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "Save"));
    pbTemplatesSave->setText(save);
    pbTemplatesSave->setAccessibleName(save);
}
