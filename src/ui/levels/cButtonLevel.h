#pragma once

#include "records/LevelColour.h"

#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QVBoxLayout>

// One value button of the level tree: a push button with the value it stands for. Level 0..3
// is the menu level (F.I.O., Wheel, operation number, Uzel), 4 the record tab. number is the
// template index (0 on the operation-number level), text the value itself: the operation
// number on that level, the shown template text elsewhere.
class cButtonLevel : public QVBoxLayout
{
    Q_OBJECT
public:
    // Most lines a caption is broken into before the rest is elided.
    static constexpr int MaxLines = 3;

    explicit cButtonLevel(quint16 level, QWidget *buttonParent = nullptr);
    ~cButtonLevel() override;

    QPushButton *button() const { return m_button; }
    quint16 level() const { return m_level; }
    quint16 number() const { return m_number; }
    QString text() const { return m_text; }
    LevelColour colour() const { return m_colour; }

    // The value this button stands for and what it shows; an empty caption shows the value.
    void setValue(quint16 number, const QString &text, const QString &caption = QString());
    void setColour(LevelColour colour);
    // The button takes its look from sharedStyleSheet() set on an ancestor rather than from
    // a sheet of its own: a thousand buttons then share one parsed sheet.
    void setSharedStyle(bool shared) { m_shared = shared; }

    // The full style sheet of a colour: unchecked, pressed, checked (multi-select) and
    // disabled looks.
    static QString styleSheet(LevelColour colour);
    // All five looks in one sheet, chosen by the button's "levelColour" property.
    static QString sharedStyleSheet();
    static QString colourName(LevelColour colour);

    // One line of text broken at spaces into at most maxLines lines of width pixels; what
    // does not fit is elided, so a long template text never spills out of its button.
    static QString wrapped(const QString &caption, const QFontMetrics &fm, int width, int maxLines);

signals:
    void click_button(cButtonLevel *aThis);

public slots:
    void slot_click_button();

private:
    QPointer<QPushButton> m_button;
    quint16 m_level;
    quint16 m_number = 0;
    QString m_text;
    LevelColour m_colour = LevelColour::Blue;
    bool m_styled = false;
    bool m_shared = false;
};
