#pragma once

#include "config/CalibrationFields.h"

#include <QWidget>

#include <array>
#include <functional>

class FileExchange;
class KeyModel;
class KeyProtocol;
class LiveValues;
class PopupHost;
class QFrame;
class QLabel;
class QPushButton;
class cParameter;
class cSwitcher;

// The key's calibration on the Calibrate page. The fields live in the frames the main form
// provides by name (frSettingsCalibrateRight: the ADC calibration and the extended point;
// frSettingsHead: sizes; frAmplifier; frAngleCorrection; frCalFiles: the .clb buttons), so
// the access code that unlocks those frames unlocks the fields. The widget itself shows the
// live moment and angle and when the key was last calibrated. A value the keypad stores is
// written to the key at once, with all the others; a value the key reports is only shown.
class CalibrationPage : public QWidget
{
    Q_OBJECT
public:
    // Asks for a file name: save true for the save dialog. Empty: cancelled.
    using FileChooser = std::function<QString(bool save)>;

    CalibrationPage(QWidget *calibrationPage, KeyModel *model, KeyProtocol *protocol,
                    FileExchange *files, PopupHost *popups, QWidget *parent = nullptr);

    cParameter *field(CalibrationFields::Field f) const { return m_fields[size_t(f)]; }
    cSwitcher *extendSwitch() const { return m_extend; }
    cParameter *periodField() const { return m_period; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *loadButton() const { return m_load; }
    QLabel *nolLabel() const { return m_nolValue; }
    QLabel *momentLabel() const { return m_moment; }
    QLabel *angleLabel() const { return m_angle; }
    QLabel *historyLabel() const { return m_history; }
    LiveValues *liveValues() const { return m_live; }

    // Replaces the file dialogs (tests, automation).
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }

    // The values as the page shows them.
    CalibrationFields fieldsOnPage() const;

public slots:
    void iCalibrateNmChanged();
    void iSwPoints_Click();
    void iBtnCalWrite_Click();
    void iBtnCalRead_Click();
    void iParDebugTimer_Changed();
    void showCalibration();
    void showHistory();
    void retranslate();

signals:
    // A message for the user in a cParameter colour ("red").
    void messageRequested(const QString &text, const QString &style);
    // For the status line: where a calibration file went.
    void statusMessage(const QString &text);

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    cParameter *makeField(CalibrationFields::Field f);
    void addFields(QFrame *frame, QLabel **heading, const char *headingName,
                   std::initializer_list<CalibrationFields::Field> fields, int columns);
    void enableExtended(bool on);
    QString chooseFile(bool save);
    // Says which code unlocks the calibration while its frame is locked.
    void showLock();

    KeyModel *m_model;
    KeyProtocol *m_protocol;
    PopupHost *m_popups;
    FileChooser m_chooser;
    CalibrationFields m_kept; // what the key reported last, for the values not on the page
    std::array<cParameter *, CalibrationFields::Count> m_fields{};
    cSwitcher *m_extend = nullptr;
    QLabel *m_adcHeading = nullptr;
    QLabel *m_sizesHeading = nullptr;
    QLabel *m_amplifierHeading = nullptr;
    QLabel *m_angleHeading = nullptr;
    QLabel *m_nolCaption = nullptr;
    QLabel *m_nolValue = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_load = nullptr;
    cParameter *m_period = nullptr;
    LiveValues *m_live = nullptr;
    QLabel *m_momentCaption = nullptr;
    QLabel *m_angleCaption = nullptr;
    QLabel *m_moment = nullptr;
    QLabel *m_angle = nullptr;
    QLabel *m_lockHint = nullptr;
    QFrame *m_lockedFrame = nullptr; // the frame the metrologist's code unlocks
    QLabel *m_history = nullptr;
};
