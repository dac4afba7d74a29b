#include "ui/calibration/CalibrationWiring.h"

#include "protocol/KeySession.h"
#include "ui/calibration/CalibrationPage.h"
#include "ui/frame/MainWindow.h"

#include <QGridLayout>

CalibrationPage *installCalibrationPage(MainWindow *window)
{
    KeySession *s = window->session();
    auto *host = window->findChild<QWidget *>(QStringLiteral("page_Calibr"));
    auto *page = new CalibrationPage(host, s->model(), s->protocol(), s->files(), window->popups(), host);
    page->setObjectName(QStringLiteral("calibrationPage"));
    if (auto *grid = host ? qobject_cast<QGridLayout *>(host->layout()) : nullptr)
        grid->addWidget(page, grid->rowCount(), 0, 1, 2);
    QObject::connect(page, &CalibrationPage::messageRequested, window, &MainWindow::showMessage);
    QObject::connect(page, &CalibrationPage::statusMessage, window, &MainWindow::showStatus);
    return page;
}
