#include "ui/popups/PopupWait.h"

#include "base/Log.h"
#include "ui/popups/PopupLook.h"

#include <QGridLayout>
#include <QHideEvent>
#include <QLabel>
#include <QMovie>
#include <QVBoxLayout>

namespace {
constexpr int popupWidth = 77;
constexpr int popupHeight = 81;
const char *const animationFile = ":resource/images/wait.gif";
} // namespace

PopupWait::PopupWait(QWidget *parent)
    : QWidget(parent)
{
    const td::popup::Frame frame =
        td::popup::makeFrame(this, QStringLiteral("PopupWait"), popupWidth, popupHeight);
    setAccessibleName(tr("Please wait"));
    frame.grid->setContentsMargins(2, 2, 2, 2);
    frame.grid->addLayout(frame.info, 0, 0);
    m_picture = frame.picture;
    frame.info->addWidget(m_picture);

    auto *movie = new QMovie(QString::fromLatin1(animationFile), QByteArray(), this);
    if (movie->isValid()) {
        m_movie = movie;
        const QSize box(popupWidth - 4, popupHeight - 4);
        m_movie->jumpToFrame(0);
        const QSize frame = m_movie->currentImage().size();
        if (frame.width() > box.width() || frame.height() > box.height())
            m_movie->setScaledSize(frame.scaled(box, Qt::KeepAspectRatio));
        m_picture->setMovie(m_movie);
    } else {
        td::log(QStringLiteral("Wait animation not loaded: %1").arg(QString::fromLatin1(animationFile)));
        delete movie;
    }
}

void PopupWait::iButton_Click()
{
    close();
    emit button();
}

void PopupWait::slot_iTimerTick()
{
    close();
    emit timeout();
}

void PopupWait::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_movie)
        m_movie->start();
}

void PopupWait::hideEvent(QHideEvent *event)
{
    // No point animating what nobody sees.
    if (m_movie && !event->spontaneous())
        m_movie->stop();
    QWidget::hideEvent(event);
}
