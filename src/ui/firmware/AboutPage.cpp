#include "ui/firmware/AboutPage.h"

#include "ui/widgets/FormParts.h"

#include <QGridLayout>
#include <QLabel>

AboutPage::AboutPage(QWidget *parent)
    : QWidget(parent)
{
    QGridLayout *grid = td::form::settingsGrid(this, "pageAbout");
    lbAboutText = td::form::label(this, "lbAboutText", 14);
    lbAboutText->setWordWrap(true);
    lbAboutText->setAlignment(Qt::AlignCenter);
    grid->addWidget(lbAboutText, 0, 0);
    retranslateUi();
}

void AboutPage::retranslateUi()
{
    lbAboutText->setText(
        td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "TorqueDesk\nDesktop companion of the dynamometric key")));
}
