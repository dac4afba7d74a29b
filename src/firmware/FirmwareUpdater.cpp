#include "firmware/FirmwareUpdater.h"

#include "base/AtomicFile.h"
#include "base/Log.h"
#include "firmware/DfuOutput.h"
#include "firmware/FileDownloader.h"
#include "firmware/ImageChecksum.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

FirmwareUpdater::FirmwareUpdater(const Options &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
{
    DfuToolRunner::Options runnerOptions;
    runnerOptions.dfuDir = options.dfuDir;
    runnerOptions.shell = options.shell;
    runnerOptions.interpreter = options.interpreter;
    runnerOptions.silenceTimeoutMs = options.toolSilenceMs;
    m_runner = new DfuToolRunner(runnerOptions, this);
    connect(m_runner, &DfuToolRunner::outputText, this, [this](const QString &text) {
        // Searches after a flash stay out of the box that shows the flash's output.
        if (!(m_keepOutcome && m_runner->job() == DfuToolRunner::Job::Search))
            emit logAppended(text);
    });
    connect(m_runner, &DfuToolRunner::percent, this, [this](int value) {
        if (m_state == State::Flashing)
            emit flashProgress(value);
    });
    connect(m_runner, &DfuToolRunner::started, this, &FirmwareUpdater::onToolStarted);
    connect(m_runner, &DfuToolRunner::finished, this, [this](int exitCode, bool killed) {
        if (m_runner->job() == DfuToolRunner::Job::Flash)
            onFlashFinished(exitCode, killed);
        else
            onSearchFinished(m_searchMode, killed);
    });
    connect(this, &FirmwareUpdater::dfu_checkdevice, this, &FirmwareUpdater::slot_dfu_checkdevice);

    m_research.setSingleShot(true);
    m_research.setInterval(options.researchDelayMs);
    connect(&m_research, &QTimer::timeout, this, [this] {
        if (!m_recheckStopped)
            slot_ComandLine_CheckDevice();
    });

    // An image left by an earlier run is never flashed by this one.
    removeImage();
}

QUrl FirmwareUpdater::firmwareUrl(const QString &serverBase)
{
    QString base = serverBase.trimmed();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    if (base.isEmpty())
        return QUrl();
    const QString version; // the program asks for the one current image
    return QUrl(base + QStringLiteral("/download/firmware/vx") + version + QStringLiteral(".txt"));
}

QString FirmwareUpdater::imagePath() const
{
    return DfuCommand::imagePath(m_options.dfuDir);
}

void FirmwareUpdater::setRecheckStopped(bool stopped)
{
    m_recheckStopped = stopped;
    if (!stopped)
        return;
    m_research.stop();
    // A search is harmless to cut short; a flash is never stopped from here.
    if (m_runner->isRunning() && m_runner->job() == DfuToolRunner::Job::Search)
        m_runner->kill(QStringLiteral("search no longer wanted"));
}

void FirmwareUpdater::iBtnGetRecords_Click()
{
    if (m_state == State::Searching && m_searchMode == 0) {
        // The page came back into view and searches again: that search decides the flash.
        m_searchMode = 1;
        m_keepOutcome = false;
        emit flashButtonEnabled(false);
        emit waitAnimation(true);
        return;
    }
    if (m_state != State::Idle)
        return;
    m_keepOutcome = false;
    emit flashButtonEnabled(false);
    emit logCleared();
    emit waitAnimation(true);
    search(1);
}

void FirmwareUpdater::slot_ComandLine_CheckDevice()
{
    if (m_state != State::Idle)
        return;
    search(0);
}

void FirmwareUpdater::search(int mode)
{
    m_research.stop();
    if (m_runner->isRunning()) {
        td::log(QStringLiteral("DFU search skipped: the tool is still running"));
        return;
    }
    m_searchMode = mode;
    setState(State::Searching);
    m_runner->start(DfuToolRunner::Job::Search);
}

void FirmwareUpdater::onToolStarted(bool ok)
{
    if (ok) {
        if (m_runner->job() == DfuToolRunner::Job::Flash) {
            showStatus(QString(), tr("Flashing firmware..."));
            emit waitAnimation(true);
        }
        return;
    }
    if (m_runner->job() == DfuToolRunner::Job::Search) {
        setState(State::Idle);
        showStatus(QStringLiteral("fw_bad.png"), tr("Check not started"));
        return;
    }
    removeImage();
    setState(State::Idle);
    m_keepOutcome = true;
    showStatus(QStringLiteral("fw_bad.png"), tr("Flash not started"));
    emit flashButtonEnabled(false);
    scheduleResearch();
}

void FirmwareUpdater::onSearchFinished(int mode, bool killed)
{
    setState(State::Idle);
    if (killed) {
        emit dfu_checkdevice(0);
        return;
    }
    if (DfuOutput::searchResult(m_runner->output()) == DfuOutput::Search::NoDevice)
        emit dfu_checkdevice(0);
    else
        emit dfu_checkdevice(mode == 1 ? 2 : 1);
}

void FirmwareUpdater::slot_dfu_checkdevice(int status)
{
    switch (status) {
    case 0:
        emit deviceWidgetsVisible(false);
        emit flashButtonEnabled(false);
        // The searches that follow a flash must not wipe its outcome 5 s later: the key may
        // stay in DFU mode or leave it, and the engineer still has to read what happened.
        if (!m_keepOutcome)
            emit logCleared();
        // The user asked for a flash and the key went away: say so rather than leave
        // "Key was found!" standing. Background searches keep the last outcome on show.
        if (m_searchMode == 1)
            showStatus(QStringLiteral("fw_nofound.png"), tr("Key in DFU mode not found"));
        m_searchMode = 0;
        scheduleResearch();
        break;
    case 1:
        emit deviceWidgetsVisible(true);
        emit flashButtonEnabled(true);
        if (!m_keepOutcome) {
            emit logCleared();
            showStatus(QStringLiteral("key_found.png"), tr("Key was found!"));
        }
        break;
    case 2: {
        emit flashButtonEnabled(false);
        showStatus(QStringLiteral("fw_download.png"), tr("FW Downloading..."));
        emit waitAnimation(true);
        const QUrl url = firmwareUrl(m_options.serverBase);
        setState(State::Downloading);
        m_downloader = new FileDownloader(url, this, m_options.downloadStallMs);
        connect(m_downloader, qOverload<QByteArray>(&FileDownloader::downloaded), this,
                &FirmwareUpdater::iFdFileFirmware_finished);
        connect(m_downloader, &FileDownloader::progress, this, &FirmwareUpdater::downloadProgress);
        break;
    }
    default:
        td::log(QStringLiteral("dfu_checkdevice: unknown status %1").arg(status));
    }
}

QString FirmwareUpdater::dropDownloader()
{
    QString why;
    if (m_downloader) {
        why = m_downloader->failure();
        m_downloader->disconnect(this);
        m_downloader->deleteLater();
        m_downloader = nullptr;
    }
    return why;
}

void FirmwareUpdater::iFdFileFirmware_finished(QByteArray ba)
{
    if (m_state != State::Downloading)
        return;
    const QString why = dropDownloader();
    if (ba.isEmpty()) {
        refuse(tr("Can't download firmware!"), why);
        return;
    }
    // A server that publishes the image's SHA-256 beside it is asked for it before anything is
    // written: a damaged or swapped image is refused, not flashed.
    m_image = ba;
    const QUrl image = firmwareUrl(m_options.serverBase);
    QUrl checksum = image;
    checksum.setPath(ImageChecksum::fileNameFor(image.path()));
    m_downloader = new FileDownloader(checksum, this, m_options.downloadStallMs);
    connect(m_downloader, qOverload<QByteArray>(&FileDownloader::downloaded), this,
            &FirmwareUpdater::onChecksumDownloaded);
}

void FirmwareUpdater::onChecksumDownloaded(const QByteArray &checksumFile)
{
    if (m_state != State::Downloading)
        return;
    const int status = m_downloader ? m_downloader->httpStatus() : 0;
    const QString why = dropDownloader();
    const QByteArray image = std::exchange(m_image, QByteArray());
    const QString name = ImageChecksum::fileNameFor(DfuCommand::imageName());
    if (checksumFile.isEmpty() && status == 404) {
        td::log(QStringLiteral("Firmware: the server publishes no %1, the image is flashed unchecked").arg(name));
        saveAndFlash(image);
        return;
    }
    if (checksumFile.isEmpty()) {
        // The server has the file but it did not arrive: that is no reason to skip the check.
        refuse(tr("Can't download firmware!"), tr("The checksum file %1 could not be fetched: %2").arg(name, why));
        return;
    }
    QString expected;
    QString actual;
    switch (ImageChecksum::check(image, checksumFile, &expected, &actual)) {
    case ImageChecksum::Verdict::Match:
        td::log(QStringLiteral("Firmware image matches %1: SHA-256 %2").arg(name, actual));
        saveAndFlash(image);
        return;
    case ImageChecksum::Verdict::Mismatch:
        td::log(QStringLiteral("Firmware image refused: SHA-256 %1, %2 expects %3").arg(actual, name, expected));
        refuse(tr("Firmware image does not match its checksum!"),
               tr("The downloaded image has SHA-256 %1, but %2 on the server expects %3. Nothing was flashed.")
                   .arg(actual, name, expected));
        return;
    case ImageChecksum::Verdict::Unreadable:
        refuse(tr("Firmware checksum file is unreadable!"),
               tr("%1 on the server holds no SHA-256. Nothing was flashed.").arg(name));
        return;
    }
}

void FirmwareUpdater::saveAndFlash(const QByteArray &image)
{
    // A full disk must not hand the tool a cut-off image: write aside, check, then rename.
    QString error;
    const bool saved = AtomicFile::write(imagePath(), image, &error, AtomicFile::Durability::Synced)
                       && QFileInfo(imagePath()).size() == image.size();
    if (!saved) {
        removeImage();
        refuse(tr("Can't save firmware image!"), error);
        return;
    }
    showStatus(QStringLiteral("fw_download.png"), tr("FW downloaded"));
    flash();
}

void FirmwareUpdater::refuse(const QString &status, const QString &detail)
{
    setState(State::Idle);
    showStatus(QStringLiteral("fw_bad.png"), status);
    emit flashButtonEnabled(true);
    emit logCleared();
    if (!detail.isEmpty())
        emit logAppended(detail + QLatin1Char('\n'));
}

void FirmwareUpdater::flash()
{
    showStatus(QString(), tr("Flash prepare"));
    setState(State::Flashing);
    if (!m_runner->start(DfuToolRunner::Job::Flash))
        onToolStarted(false);
}

void FirmwareUpdater::onFlashFinished(int exitCode, bool killed)
{
    removeImage();
    setState(State::Idle);
    m_keepOutcome = true;
    emit flashButtonEnabled(false);
    emit resultShown();
    // A killed tool proves nothing, whatever it printed before.
    const bool ok = !killed && DfuOutput::flashSucceeded(m_runner->output(), exitCode);
    if (killed)
        emit logAppended(QLatin1Char('\n') + tr("The flash tool was stopped.") + QLatin1Char('\n'));
    else if (exitCode != 0)
        // Its output may still say the image verified; the failure it reports in its code wins.
        emit logAppended(QLatin1Char('\n') + tr("The flash tool ended with error code %1.").arg(exitCode)
                         + QLatin1Char('\n'));
    if (ok)
        showStatus(QStringLiteral("fw_ok.png"), tr("Flash finished OK!"));
    else
        showStatus(QStringLiteral("fw_bad.png"), tr("Warning! Flash NOT OK!"));
    scheduleResearch();
}

void FirmwareUpdater::cancel()
{
    if (m_state == State::Downloading) {
        dropDownloader();
        m_image.clear();
        td::log(QStringLiteral("Firmware download cancelled"));
        removeImage();
        setState(State::Idle);
        showStatus(QStringLiteral("fw_bad.png"), tr("Can't download firmware!"));
        emit flashButtonEnabled(true);
    } else if (m_state == State::Flashing) {
        // Settled before returning: the caller goes on to leave the page or close the program.
        m_runner->killAndWait(QStringLiteral("stopped by the user"));
    }
}

void FirmwareUpdater::setState(State state)
{
    const bool wasBusy = isBusy();
    m_state = state;
    if (wasBusy != isBusy())
        emit busyChanged(isBusy());
}

void FirmwareUpdater::showStatus(const QString &icon, const QString &text)
{
    emit waitAnimation(false);
    emit statusChanged(icon, text);
}

void FirmwareUpdater::removeImage()
{
    if (QFile::exists(imagePath()) && !QFile::remove(imagePath()))
        td::log(QStringLiteral("Firmware image can't be removed: ") + imagePath());
}

void FirmwareUpdater::scheduleResearch()
{
    if (!m_recheckStopped)
        m_research.start();
}
