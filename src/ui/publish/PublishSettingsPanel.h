#pragma once

#include "publish/MqttPublisher.h"
#include "publish/MqttSettingsFile.h"

#include <QGroupBox>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;

// The settings group for the plant's broker: address, user, password, and a status line that
// says whether results go out (connected / reconnecting and why / not configured) and how many
// wait. It only shows and edits; whoever owns the publisher applies what it asks for.
class PublishSettingsPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit PublishSettingsPanel(QWidget *parent = nullptr);

    // The stored values in the fields; an address given on the command line is shown in
    // place of the stored one, and is what runs until the user applies another.
    void setStored(const MqttStoredSettings &stored, const QString &urlOverride = QString());
    MqttStoredSettings edited() const;

    // Follows the publisher's state and count from now on.
    void attach(MqttPublisher *publisher);

    void showState(MqttPublisher::State state, const QString &reason);
    void showWaiting(qint64 waiting);
    // A problem with the settings themselves (bad address, file not written), in red.
    void showProblem(const QString &text);

    QString statusText() const;

    // The line for a state, without the count.
    static QString stateText(MqttPublisher::State state, const QString &reason);

signals:
    void applyRequested(const MqttStoredSettings &settings);

protected:
    void changeEvent(QEvent *event) override;

private:
    void apply();
    void retranslate();
    void render();

    QLabel *m_urlCaption;
    QLabel *m_userCaption;
    QLabel *m_passwordCaption;
    QLineEdit *m_url;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QPushButton *m_apply;
    QLabel *m_status;
    QPointer<MqttPublisher> m_publisher;
    MqttPublisher::State m_state = MqttPublisher::State::NotConfigured;
    QString m_reason;
    QString m_problem;
    qint64 m_waiting = -1;
};
