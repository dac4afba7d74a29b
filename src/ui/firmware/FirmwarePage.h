#pragma once

#include "firmware/FirmwareUpdater.h"

#include <QDateTime>
#include <QWidget>
#include <functional>

class KeyModel;
class PopupHost;
class QFrame;
class QLabel;
class QLineEdit;
class QMovie;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// The About settings page: the program's and the key's identity, and the firmware update of a
// key in DFU mode. The key is searched for while the page shows; leaving the page or closing
// the program during a download or flash asks first.
class FirmwarePage : public QWidget
{
    Q_OBJECT
public:
    FirmwarePage(const FirmwareUpdater::Options &options, KeyModel *keyModel, QWidget *parent = nullptr);

    FirmwareUpdater *updater() const { return m_updater; }
    // The server address the field shows (the one in use).
    void showServerAddress(const QString &address);
    void setPopups(PopupHost *popups) { m_popups = popups; }

    // True when leaving may go on now. Otherwise the user is asked; on yes the running job is
    // stopped and proceed runs.
    bool mayLeave(const std::function<void()> &proceed);

signals:
    // The user applied a valid server address ("" for none); the updater already uses it.
    void serverAddressApplied(const QString &address);

public slots:
    void iBtnGetRecords_Click();
    void showKeyIdentity();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void build();
    void retranslate();
    void showStatus(const QString &icon, const QString &text);
    void appendLog(const QString &text);
    void setWaiting(bool running);
    void onBusyChanged(bool busy);
    void onDownloadProgress(qint64 received, qint64 total);
    void onFlashProgress(int percent);
    void applyServerAddress();
    void showSearchLine();

    FirmwareUpdater *m_updater;
    KeyModel *m_keyModel;
    PopupHost *m_popups = nullptr;
    QMovie *m_waitMovie = nullptr;

    QLabel *m_appVersion = nullptr;
    QLabel *m_keyType = nullptr;
    QLabel *m_keyVersion = nullptr;
    QLabel *m_keySerial = nullptr;
    QLabel *m_firmwareTitle = nullptr;
    QLabel *m_hint = nullptr;
    QFrame *m_device = nullptr;
    QLabel *m_deviceText = nullptr;
    QPushButton *m_flash = nullptr;
    QFrame *m_result = nullptr;
    QLabel *m_icon = nullptr;
    QLabel *m_wait = nullptr;
    QLabel *m_status = nullptr;
    QProgressBar *m_progress = nullptr;
    QPlainTextEdit *m_log = nullptr;
    QLabel *m_serverCaption = nullptr;
    QLineEdit *m_server = nullptr;
    QPushButton *m_serverApply = nullptr;
    QLabel *m_serverNote = nullptr;
    QDateTime m_lastSearch; // the last search that found no key
};
