#pragma once

#include "firmware/DfuToolRunner.h"
#include "firmware/FirmwareTiming.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class FileDownloader;

// The firmware update flow without its widgets: search for a key in DFU mode, download the
// image, flash it and judge the outcome. The page renders what the signals say.
class FirmwareUpdater : public QObject
{
    Q_OBJECT
public:
    enum class State { Idle, Searching, Downloading, Flashing };

    struct Options
    {
        QString dfuDir;       // the tool's folder; the image is written beside the tool
        QString serverBase;   // the download server's base address; none means no download
        DfuCommand::Shell shell = DfuCommand::nativeShell();
        QString interpreter;  // empty: the platform's own
        int researchDelayMs = td::firmware::researchDelay;
        int downloadStallMs = td::firmware::downloadStall;
        int toolSilenceMs = td::firmware::toolSilence;
    };

    explicit FirmwareUpdater(const Options &options, QObject *parent = nullptr);

    // The image's address on the server; invalid when no server is configured.
    static QUrl firmwareUrl(const QString &serverBase);

    State state() const { return m_state; }
    // A download or flash is running: leaving it needs the user's word.
    bool isBusy() const { return m_state == State::Downloading || m_state == State::Flashing; }
    QString imagePath() const;
    bool recheckStopped() const { return m_recheckStopped; }
    bool researchPending() const { return m_research.isActive(); }
    DfuToolRunner *runner() const { return m_runner; }

public slots:
    // While set, a search that finds nothing is not repeated (the page is not showing).
    void setRecheckStopped(bool stopped);
    // The flash button: search in mode 1, which downloads and flashes when a key is found.
    void iBtnGetRecords_Click();
    void slot_ComandLine_CheckDevice();
    void slot_dfu_checkdevice(int status);
    void iFdFileFirmware_finished(QByteArray ba);
    // The user chose to stop: a download is dropped, a flash killed and reported NOT OK.
    void cancel();

signals:
    void dfu_checkdevice(int status);
    // An icon name of the resources (empty: keep the icon) and a translated text.
    void statusChanged(const QString &icon, const QString &text);
    void logCleared();
    void logAppended(const QString &text);
    void deviceWidgetsVisible(bool visible);
    void flashButtonEnabled(bool enabled);
    void resultShown();
    void waitAnimation(bool running);
    void busyChanged(bool busy);
    void downloadProgress(qint64 received, qint64 total);
    void flashProgress(int percent);

private:
    void search(int mode);
    void onSearchFinished(int mode, bool killed);
    void flash();
    void onFlashFinished(int exitCode, bool killed);
    void onChecksumDownloaded(const QByteArray &checksumFile);
    // Drops the running download unheard and returns why it gave nothing (if it did).
    QString dropDownloader();
    void saveAndFlash(const QByteArray &image);
    // Ends a download that must not be flashed, with the reason in the log box.
    void refuse(const QString &status, const QString &detail);
    void onToolStarted(bool ok);
    void setState(State state);
    void showStatus(const QString &icon, const QString &text);
    void removeImage();
    void scheduleResearch();

    Options m_options;
    DfuToolRunner *m_runner;
    QPointer<FileDownloader> m_downloader;
    QByteArray m_image; // downloaded, waiting for its checksum
    QTimer m_research;
    State m_state = State::Idle;
    int m_searchMode = 0;
    bool m_keepOutcome = false; // a flash outcome stays on show until the next flash
    bool m_recheckStopped = false;
};
