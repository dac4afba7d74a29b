#pragma once

#include <QPointer>
#include <QString>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

// A captioned value button. Numeric parameters hold a number within a range shown with a fixed
// number of decimals; text parameters hold a string (still checked against the range when it
// comes from the keypad). Pages also build text parameters on the fly to hand a message to a
// popup: the caption carries the message.
class cParameter : public QVBoxLayout
{
    Q_OBJECT
public:
    // Numeric parameter, range -99999.9 .. 99999.9.
    cParameter(const QString &caption, bool showCaption, double value, const QString &style,
               int precision);
    // Text parameter, range 0 .. 9999.
    cParameter(const QString &caption, bool showCaption, const QString &text,
               const QString &style);
    ~cParameter() override;

    // Style every value button falls back to when it holds 0 or is disabled.
    static const QString &neutralStyle();
    // Style sheet for a colour name ("green", "red", ...); other strings are returned as they are.
    static QString styleForColor(const QString &name);

    // False, and nothing changes, when value lies outside the range (or is not a number).
    bool setValue(double value);
    bool setText(const QString &text);

    double value() const;
    QString text() const;
    QString caption() const;

    bool inRange(double value) const;
    bool inRange(const QString &text) const;

    void setMinimum(double minimum);
    void setMaximum(double maximum);
    void setPrecision(int precision);
    void setMode(int mode);
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    int precision() const { return m_precision; }
    int mode() const { return m_mode; }
    bool isNumeric() const { return m_numeric; }
    QString style() const { return m_style; }

    void setEnabled(bool enabled);
    void setCheckedLook(bool enabled);
    void setColor(const QString &name);

    void setCaptionText(const QString &caption);
    void setCaptionFontSize(int points);
    void setButtonFontSize(int points);
    void show();
    void hide();
    void setVisible(bool visible);

    // The keypad raises this before storing a value so that the store announces the change.
    void setChanged(bool changed) { m_changed = changed; }
    bool isChanged() const { return m_changed; }

    QPushButton *button() const { return m_button; }
    QLabel *captionLabel() const { return m_caption; }

signals:
    void click_button(cParameter *aThis);
    void changed_valueS();
    void changed_valueD();

public slots:
    void slot_click_button();

private:
    void build(const QString &caption, int captionPoints);
    bool captionWanted() const;
    void applyStyle(const QString &style);

    double m_minimum = -99999.9;
    double m_maximum = 99999.9;
    int m_mode = 0;
    int m_precision = 0;
    // Guarded: a page may be torn down before the layout that named its widgets.
    QPointer<QLabel> m_caption;
    QPointer<QPushButton> m_button;
    QString m_style;
    bool m_showCaption = true;
    bool m_numeric = true;
    bool m_changed = false;
    bool m_visible = true;
};
