#pragma once

class CalibrationPage;
class KeySession;
class PopupHost;
class QWidget;

// The calibration controls of the Calibrate page (host), on the key session; the frame places
// them and shows their messages.
CalibrationPage *installCalibrationPage(KeySession *session, PopupHost *popups, QWidget *host);
