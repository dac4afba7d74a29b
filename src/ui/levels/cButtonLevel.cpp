#include "ui/levels/cButtonLevel.h"

#include <QFontMetrics>
#include <QStyle>
#include <QStringList>
#include <QVariant>

namespace {

QString rgb(const LevelColourRgb &c)
{
    return QStringLiteral("rgb(%1, %2, %3)").arg(c.r).arg(c.g).arg(c.b);
}

} // namespace

cButtonLevel::cButtonLevel(quint16 level, QWidget *buttonParent) : m_level(level)
{
    setContentsMargins(0, 0, 0, 0);
    m_button = new QPushButton(QStringLiteral("not init"), buttonParent);
    m_button->setFocusPolicy(Qt::NoFocus);
    addWidget(m_button);
    connect(m_button, &QPushButton::clicked, this, [this] {
        if (!m_button->isCheckable())
            slot_click_button();
    });
    // Checkable in a multi-selection: its state counts, however it changed (a screen reader
    // toggles without clicking).
    connect(m_button, &QPushButton::toggled, this, [this] {
        if (m_button->isCheckable())
            slot_click_button();
    });
}

cButtonLevel::~cButtonLevel()
{
    // A button that never reached a page is still ours.
    if (m_button && !m_button->parentWidget())
        delete m_button;
}

QString cButtonLevel::colourName(LevelColour colour)
{
    switch (colour) {
    case LevelColour::Blue:
        return QStringLiteral("blue");
    case LevelColour::Yellow:
        return QStringLiteral("yellow");
    case LevelColour::Green:
        return QStringLiteral("green");
    case LevelColour::Red:
        return QStringLiteral("red");
    case LevelColour::Grey:
        break;
    }
    return QStringLiteral("grey");
}

namespace {

// The look of one colour; selector is what the rules apply to.
QString colourRules(const QString &selector, LevelColour colour)
{
    const QString bg = rgb(levelBackground(colour));
    const QString checked = rgb(levelChecked(colour));
    // A checked button also gets a dark frame: the checked shade of grey is hard to tell from
    // its unchecked shade on a touch panel in daylight.
    return QStringLiteral("%1 {background-color: %2; color: rgb(0, 0, 0); "
                          "border: 1px solid rgb(200, 200, 200); border-radius: 5px; padding: 4px;}"
                          " %1:pressed {background-color: %3;}"
                          " %1:checked {background-color: %3; border: 3px solid rgb(60, 60, 60);}"
                          " %1:disabled {background-color: rgb(235, 235, 235); color: rgb(150, 150, 150);}")
        .arg(selector, bg, checked);
}

} // namespace

QString cButtonLevel::styleSheet(LevelColour colour)
{
    return colourRules(QStringLiteral("QPushButton"), colour);
}

QString cButtonLevel::sharedStyleSheet()
{
    QString sheet;
    for (LevelColour c : {LevelColour::Grey, LevelColour::Yellow, LevelColour::Red, LevelColour::Green,
                          LevelColour::Blue})
        sheet += colourRules(QStringLiteral("QPushButton[levelColour=\"%1\"]").arg(colourName(c)), c) + QLatin1Char(' ');
    return sheet;
}

QString cButtonLevel::wrapped(const QString &caption, const QFontMetrics &fm, int width, int maxLines)
{
    if (width <= 0 || maxLines <= 0)
        return QString();
    QStringList lines;
    QString rest = caption.simplified();
    while (!rest.isEmpty()) {
        if (lines.size() == maxLines - 1 || fm.horizontalAdvance(rest) <= width) {
            // The last line allowed takes everything left, elided if need be.
            lines.append(fm.elidedText(rest, Qt::ElideRight, width));
            break;
        }
        // Longest prefix ending at a space that fits; a single word longer than the line is
        // cut where it stops fitting.
        int cut = -1;
        for (int i = rest.indexOf(QLatin1Char(' ')); i > 0; i = rest.indexOf(QLatin1Char(' '), i + 1)) {
            if (fm.horizontalAdvance(rest.left(i)) > width)
                break;
            cut = i;
        }
        if (cut > 0) {
            lines.append(rest.left(cut));
            rest = rest.mid(cut + 1);
            continue;
        }
        int n = rest.size();
        while (n > 1 && fm.horizontalAdvance(rest.left(n)) > width)
            --n;
        if (n > 1 && rest.at(n - 1).isHighSurrogate())
            --n;
        lines.append(rest.left(n));
        rest = rest.mid(n);
    }
    return lines.join(QLatin1Char('\n'));
}

void cButtonLevel::setValue(quint16 number, const QString &text, const QString &caption)
{
    m_number = number;
    m_text = text;
    const QString shown = caption.isEmpty() ? text : caption;
    const int width = m_button->minimumWidth() - 14;
    if (width > 0) {
        // Every line after the first paragraph gets one line of its own; the first paragraph
        // (the value) has the lines that are left.
        const QStringList paragraphs = shown.split(QLatin1Char('\n'));
        const int tail = qMin(int(paragraphs.size()) - 1, MaxLines - 1);
        QStringList out;
        out.append(wrapped(paragraphs.first(), m_button->fontMetrics(), width, MaxLines - tail));
        for (int i = 1; i <= tail; ++i)
            out.append(wrapped(paragraphs[i], m_button->fontMetrics(), width, 1));
        m_button->setText(out.join(QLatin1Char('\n')));
    } else {
        m_button->setText(shown);
    }
    const QString plain = QString(shown).replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_button->setToolTip(plain);
    m_button->setAccessibleName(plain);
}

void cButtonLevel::setColour(LevelColour colour)
{
    // Style sheets are costly to apply; a rebuild mostly keeps the colour a button had.
    if (m_styled && colour == m_colour)
        return;
    m_colour = colour;
    m_styled = true;
    m_button->setProperty("levelColour", colourName(colour));
    if (!m_shared) {
        m_button->setStyleSheet(styleSheet(colour));
    } else if (m_button->parentWidget()) {
        // A property selector is only looked at again when the button is polished anew.
        m_button->style()->unpolish(m_button);
        m_button->style()->polish(m_button);
    }
}

void cButtonLevel::slot_click_button()
{
    emit click_button(this);
}
