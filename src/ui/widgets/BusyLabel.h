#pragma once

#include <QLabel>

class QMovie;

// A label that plays a busy animation while it is shown. Whoever shows or hides it needs to
// know nothing about the movie, and a hidden label costs no frames.
class BusyLabel : public QLabel
{
    Q_OBJECT
public:
    explicit BusyLabel(const QString &movieFile, QWidget *parent = nullptr);

    // Null when the file is no valid animation (the label stays empty, as before).
    QMovie *busyMovie() const { return m_movie; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QMovie *m_movie = nullptr;
};
