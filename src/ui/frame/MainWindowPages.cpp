// The pages of the settings stack and the level tree of the main form, made once by
// InitGraphics after the key link exists. Each room installs its own page into the form's
// frame; the order matters only where one room uses another's object.
#include "ui/frame/MainWindow.h"

#include "measures/MeasureMemory.h"
#include "ui/calibration/CalibrationWiring.h"
#include "ui/history/HistoryWiring.h"
#include "ui/levels/LevelsWiring.h"
#include "ui/measures/MemoryWiring.h"
#include "ui/publish/PublishWiring.h"
#include "ui/records/RecordsWiring.h"
#include "ui/reports/ReportActions.h"
#include "ui/reports/ReportsWiring.h"
#include "ui/settings/SettingsWiring.h"
#include "ui/templates/TemplatesWiring.h"

void MainWindow::buildPages()
{
    RecordEditorPage *editor = installRecordsPage(this);
    installTemplatesPage(this);
    buildFirmwarePage();
    installKeySettings(this);
    installCalibrationPage(this);
    LevelTree *tree = installLevels(this);
    installMemoryPage(this, tree);
    installHistory(this);
    // The CSV report writes what the memory table shows.
    auto *reports = findChild<ReportActions *>(QStringLiteral("reportActions"));
    auto *memory = findChild<MeasureMemory *>(QStringLiteral("measureMemory"));
    if (reports && memory)
        reports->setMemoryModel(memory->model());
    if (reports)
        offerReportRecords(reports, this, editor, tree);
    installPublishing(this);
}
