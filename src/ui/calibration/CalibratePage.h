#pragma once

#include <QWidget>

class QFrame;

// The calibration page of the settings ("Calibrate"): the panels the calibration controls
// fill, enabled together by the metrologist's access code.
class CalibratePage : public QWidget
{
    Q_OBJECT
public:
    explicit CalibratePage(QWidget *parent = nullptr);

    QFrame *frSettingsHead = nullptr;
    QFrame *frAmplifier = nullptr;
    QFrame *frAngleCorrection = nullptr;
    QFrame *frSettingsCalibrateRight = nullptr;
    QFrame *frCalFiles = nullptr;
};
