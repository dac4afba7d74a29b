#pragma once

#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QString>

class cParameter;

// A square on/off button with a caption beside it, an optional second caption below and an
// optional value field that belongs to the switch (its clicks are relayed).
class cSwitcher : public QGridLayout
{
    Q_OBJECT
public:
    cSwitcher(const QString &caption, const QString &caption2, bool enabled, bool checked,
              bool withParameter);
    ~cSwitcher() override;

    static const QString &buttonStyle();
    static const QString &parameterStyle();

    bool checked() const { return m_checked; }
    void setChecked(bool checked);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    void setCaption(const QString &caption);
    void setCaption2(const QString &caption);
    QString caption() const;
    QString caption2() const;
    void setCaptionFontSize(int points);
    void setSize(int width, int height);

    QPushButton *button() const { return m_button; }
    cParameter *parameter() const { return m_parameter; }

signals:
    void click_button(cSwitcher *aThis);
    void click_param_button(cParameter *aPar);

public slots:
    void slot_click_button();
    void slot_click_param_button();

private:
    void onButtonToggled(bool checked);
    void makeCaption2(const QString &text);

    QPointer<QLabel> m_caption;
    QPointer<QLabel> m_caption2;
    cParameter *m_parameter = nullptr;
    QPointer<QPushButton> m_button;
    bool m_enabled = true;
    bool m_checked = false;
};
