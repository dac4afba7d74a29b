#include "ui/calibration/CalibrationWiring.h"

#include "protocol/KeySession.h"
#include "ui/calibration/CalibrationPage.h"

CalibrationPage *installCalibrationPage(KeySession *session, PopupHost *popups, QWidget *host)
{
    auto *page = new CalibrationPage(host, session->model(), session->protocol(), session->files(), popups, host);
    page->setObjectName(QStringLiteral("calibrationPage"));
    return page;
}
