#include "ui/publish/PublishSettingsPanel.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

PublishSettingsPanel::PublishSettingsPanel(QWidget *parent) : QGroupBox(parent)
{
    qRegisterMetaType<MqttStoredSettings>();
    setObjectName(QStringLiteral("gbPublish"));
    setStyleSheet(QStringLiteral("QGroupBox {font-size: 12pt;} QLabel {font-size: 12pt;} "
                                 "QLineEdit {font-size: 14pt; min-height: 40px;}"));
    m_urlCaption = new QLabel(this);
    m_userCaption = new QLabel(this);
    m_passwordCaption = new QLabel(this);
    m_url = new QLineEdit(this);
    m_url->setObjectName(QStringLiteral("leMqttUrl"));
    m_url->setPlaceholderText(QStringLiteral("mqtt://broker:1883/plant"));
    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("leMqttUser"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("leMqttPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_apply = new QPushButton(this);
    m_apply->setObjectName(QStringLiteral("pbMqttApply"));
    m_apply->setMinimumSize(120, 48);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lbMqttStatus"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // Compact: the group shares the Data Base page with the history, which wants the height.
    // The three fields make one row with their captions above them and Apply at its end.
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(8, 2, 8, 2);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    grid->addWidget(m_urlCaption, 0, 0);
    grid->addWidget(m_url, 1, 0);
    grid->addWidget(m_userCaption, 0, 1);
    grid->addWidget(m_user, 1, 1);
    grid->addWidget(m_passwordCaption, 0, 2);
    grid->addWidget(m_password, 1, 2);
    grid->addWidget(m_apply, 1, 3);
    grid->addWidget(m_status, 2, 0, 1, 4);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    connect(m_apply, &QPushButton::clicked, this, &PublishSettingsPanel::apply);
    connect(m_url, &QLineEdit::returnPressed, this, &PublishSettingsPanel::apply);
    retranslate();
}

void PublishSettingsPanel::setStored(const MqttStoredSettings &stored, const QString &urlOverride)
{
    m_url->setText(urlOverride.trimmed().isEmpty() ? stored.url : urlOverride.trimmed());
    m_user->setText(stored.user);
    m_password->setText(stored.password);
}

MqttStoredSettings PublishSettingsPanel::edited() const
{
    MqttStoredSettings s;
    s.url = m_url->text().trimmed();
    s.user = m_user->text();
    s.password = m_password->text();
    return s;
}

void PublishSettingsPanel::attach(MqttPublisher *publisher)
{
    if (m_publisher)
        disconnect(m_publisher, nullptr, this, nullptr);
    m_publisher = publisher;
    connect(publisher, &MqttPublisher::stateChanged, this, &PublishSettingsPanel::showState);
    connect(publisher, &MqttPublisher::waitingChanged, this, &PublishSettingsPanel::showWaiting);
    showState(publisher->state(), publisher->reason());
}

void PublishSettingsPanel::apply()
{
    MqttSettings parsed;
    QString error;
    const MqttStoredSettings s = edited();
    if (!MqttSettings::parseUrl(s.url, &parsed, &error)) {
        showProblem(error);
        return;
    }
    m_problem.clear();
    render();
    emit applyRequested(s);
}

void PublishSettingsPanel::showState(MqttPublisher::State state, const QString &reason)
{
    m_state = state;
    m_reason = reason;
    if (state != MqttPublisher::State::NotConfigured || !reason.isEmpty())
        m_problem.clear();
    render();
}

void PublishSettingsPanel::showWaiting(qint64 waiting)
{
    m_waiting = waiting;
    render();
}

void PublishSettingsPanel::showProblem(const QString &text)
{
    m_problem = text;
    render();
}

QString PublishSettingsPanel::statusText() const
{
    return m_status->text();
}

QString PublishSettingsPanel::stateText(MqttPublisher::State state, const QString &reason)
{
    switch (state) {
    case MqttPublisher::State::Connected:
        return tr("Connected");
    case MqttPublisher::State::Connecting:
        return tr("Connecting...");
    case MqttPublisher::State::Reconnecting:
        return reason.isEmpty() ? tr("Reconnecting") : tr("Reconnecting: %1").arg(reason);
    case MqttPublisher::State::NotConfigured:
        break;
    }
    return reason.isEmpty() ? tr("Not configured") : tr("Not started: %1").arg(reason);
}

void PublishSettingsPanel::render()
{
    QString text;
    QString colour = QStringLiteral("rgb(0, 0, 160)");
    if (!m_problem.isEmpty()) {
        text = m_problem;
        colour = QStringLiteral("red");
    } else {
        text = stateText(m_state, m_reason);
        if (m_state == MqttPublisher::State::Connected)
            colour = QStringLiteral("green");
        else if (m_state == MqttPublisher::State::Reconnecting || !m_reason.isEmpty())
            colour = QStringLiteral("red");
    }
    if (m_waiting >= 0 && m_state != MqttPublisher::State::NotConfigured)
        text += QStringLiteral(" \u2014 ") + tr("results waiting: %1").arg(m_waiting);
    m_status->setText(text);
    m_status->setStyleSheet(QStringLiteral("QLabel {color: %1;}").arg(colour));
    m_status->setAccessibleName(text);
}

void PublishSettingsPanel::retranslate()
{
    setTitle(tr("Results to the plant (MQTT)"));
    m_urlCaption->setText(tr("Broker address"));
    m_userCaption->setText(tr("User"));
    m_passwordCaption->setText(tr("Password"));
    m_apply->setText(tr("Apply"));
    m_url->setAccessibleName(tr("Broker address"));
    m_user->setAccessibleName(tr("User"));
    m_password->setAccessibleName(tr("Password"));
    m_apply->setAccessibleName(tr("Apply"));
    render();
}

void PublishSettingsPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QGroupBox::changeEvent(event);
}
