#include "ui/widgets/BusyLabel.h"

#include "base/Log.h"

#include <QMovie>

BusyLabel::BusyLabel(const QString &movieFile, QWidget *parent)
    : QLabel(parent)
{
    auto *movie = new QMovie(movieFile, QByteArray(), this);
    if (movie->isValid()) {
        m_movie = movie;
        setMovie(m_movie);
    } else {
        td::log(QStringLiteral("Busy animation not loaded: ") + movieFile);
        delete movie;
    }
}

void BusyLabel::showEvent(QShowEvent *event)
{
    QLabel::showEvent(event);
    if (m_movie)
        m_movie->start();
}

void BusyLabel::hideEvent(QHideEvent *event)
{
    if (m_movie)
        m_movie->stop();
    QLabel::hideEvent(event);
}
