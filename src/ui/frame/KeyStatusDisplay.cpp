#include "ui/frame/KeyStatusDisplay.h"

#include "ui/frame/Pages.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>

KeyStatusDisplay::KeyStatusDisplay(LinkModeSource mode, const Widgets &widgets, QObject *parent)
    : QObject(parent)
    , m_mode(std::move(mode))
    , m_w(widgets)
{
}

void KeyStatusDisplay::showWarning(const QString &picture, const QString &text)
{
    // Whether the panel is shown, not whether it is on screen: on the settings page (or with
    // the window minimised) it is never on screen, and a second warning would replace the
    // first.
    if (!m_w.warningPanel->isHidden())
        return;
    m_w.warningPicture->setPixmap(QPixmap(picture));
    m_w.warningText->setText(text);
    m_w.warningPanel->setVisible(true);
}

void KeyStatusDisplay::ShowKeyStatus(quint8 StateMachine, quint8 WifiBattery, quint8 WifiRSSI,
                                     quint8 MeasureRotationStatus)
{
    if (StateMachine == 31) {
        showWarning(QStringLiteral(":resource/images/vnim.png"),
                    tr("Warning!") + QStringLiteral("\r\n")
                        + tr("Vuyavlena popytka vtorichnoi zanyajki na rezbovom soedinanii!"));
    } else if (StateMachine == 35) {
        showWarning(QStringLiteral(":resource/images/bad_moment.png"),
                    tr("Warning!") + QStringLiteral("\r\n") + tr("Moment sensor have errors!"));
    } else if (MainPage(m_w.pages->currentIndex()) == MainPage::MainForm) {
        if (!m_w.warningPanel->isHidden())
            m_w.warningPanel->setVisible(false);
        if (!m_w.reportSelection->isChecked() && StateMachine == 1 && MeasureRotationStatus != m_lastRotation) {
            const char *image = nullptr;
            switch (MeasureRotationStatus) {
            case 1: image = ":resource/images/rotate1a.png"; break;
            case 2: image = ":resource/images/rotate2a.png"; break;
            case 255: image = ":resource/images/rotateFFa.png"; break;
            default: break;
            }
            if (image)
                m_w.rotation->setPixmap(QPixmap(QLatin1String(image)));
            m_lastRotation = MeasureRotationStatus;
        }
    }

    const bool wifi = m_mode && m_mode() == LinkMode::Wifi;
    // Out-of-range levels name no picture: the label is emptied rather than showing a stale level.
    if (wifi)
        m_w.wifiLevel->setPixmap(QPixmap(QStringLiteral(":resource/images/wifi_lvl%1.png").arg(WifiRSSI)));
    m_w.battery->setPixmap(QPixmap(QStringLiteral(":resource/images/bat_lvl%1.png").arg(WifiBattery)));

    if (WifiRSSI == 0 && wifi)
        m_w.warningLine->setText(tr("Bad Wi-Fi signal. Data maybe lost!"));
    else if (WifiBattery == 0 || WifiBattery == 1)
        m_w.warningLine->setText(tr("Low battery charge. Data maybe lost!"));
    else
        m_w.warningLine->clear();
}
