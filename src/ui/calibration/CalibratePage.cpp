#include "ui/calibration/CalibratePage.h"

#include "ui/widgets/FormParts.h"

#include <QFrame>
#include <QGridLayout>

CalibratePage::CalibratePage(QWidget *parent)
    : QWidget(parent)
{
    QGridLayout *grid = td::form::settingsGrid(this, "page_Calibr");
    frSettingsHead = td::form::panel(this, "frSettingsHead");
    frAmplifier = td::form::panel(this, "frAmplifier");
    frAngleCorrection = td::form::panel(this, "frAngleCorrection");
    frSettingsCalibrateRight = td::form::panel(this, "frSettingsCalibrateRight");
    frCalFiles = td::form::panel(this, "frCalFiles");
    grid->addWidget(frSettingsHead, 0, 0, 1, 2);
    grid->addWidget(frAmplifier, 1, 0);
    grid->addWidget(frAngleCorrection, 2, 0);
    grid->addWidget(frSettingsCalibrateRight, 1, 1, 2, 1);
    grid->addWidget(frCalFiles, 3, 0, 1, 2);
}
