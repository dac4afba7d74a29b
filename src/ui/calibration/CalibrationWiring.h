#pragma once

class CalibrationPage;
class MainWindow;

// Builds the Calibrate page into the main form's calibration containers and connects it.
CalibrationPage *installCalibrationPage(MainWindow *window);
