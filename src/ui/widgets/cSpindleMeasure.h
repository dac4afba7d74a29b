#pragma once

#include <QGridLayout>
#include <QFrame>
#include <QPointer>
#include <QString>

class QLabel;
class QPushButton;
class cParameter;

// One spindle's measure panel: a framed block whose title button selects it, a value line
// filled from a pattern ("%1 Nm") and a numeric field of its own.
class cSpindleMeasure : public QGridLayout
{
    Q_OBJECT
public:
    explicit cSpindleMeasure(const QString &caption, const QString &pattern = QStringLiteral("%1"));
    ~cSpindleMeasure() override;

    static const QString &frameLook(bool selected);
    static const QString &labelLook(bool selected);
    static QString styleForColor(const QString &name);

    void select(bool selected);
    bool isSelected() const { return m_selected; }
    void setValue(double value, int precision);
    QString valueText() const;
    void setColor(const QString &name);
    QString style() const { return m_style; }

    QFrame *frame() const { return m_frame; }
    QPushButton *button() const { return m_button; }
    QLabel *valueLabel() const { return m_value; }
    cParameter *parameter() const { return m_parameter; }

signals:
    void click_button(QPushButton *aThis);
    void clapan_status();

public slots:
    void slot_click_button();

private:
    QPointer<QFrame> m_frame;
    QPushButton *m_button = nullptr;
    QLabel *m_value = nullptr;
    cParameter *m_parameter = nullptr;
    QString m_pattern;
    QString m_style;
    bool m_selected = false;
};
