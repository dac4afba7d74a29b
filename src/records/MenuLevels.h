#pragma once

#include <QObject>
#include <QString>

#include <array>

// One of the key's four menu levels as the key stores it. Plain value: pages copy it,
// the model below owns the four live ones.
struct MenuLevel
{
    QString top;        // "Top string"
    QString bottom;     // "Bottom string"
    int order = 1;      // 1..4, position of this level in the key's menu
    bool active = true; // level shown on the key; an inactive level is passed through

    // The caption the whole program uses for this level: top + " " + bottom.
    QString caption() const { return top + QLatin1Char(' ') + bottom; }

    bool operator==(const MenuLevel &o) const
    {
        return top == o.top && bottom == o.bottom && order == o.order && active == o.active;
    }
    bool operator!=(const MenuLevel &o) const { return !(*this == o); }
};

// The four menu levels (index 0..3: F.I.O., Wheel, operation number, Uzel). The protocol
// layer stores what FE_MenuLevel_Read brings; the settings page and the level tree read it
// and listen to changed(). Every way in applies the same 50-character cut the key expects,
// so nothing longer can reach a FE_MenuLevel_Write.
//
// Until the key has answered, each level is active with order index+1 and empty texts:
// that is the safe default for the level tree (no level is silently skipped).
class MenuLevels : public QObject
{
    Q_OBJECT
public:
    static constexpr int Count = 4;
    static constexpr int MaxTextLength = 50;

    explicit MenuLevels(QObject *parent = nullptr);

    static bool isValidIndex(int index) { return index >= 0 && index < Count; }

    // The first maxLength characters of text. A UTF-16 surrogate pair is never split: when
    // the cut would fall inside one, the whole pair is dropped.
    static QString cutText(const QString &text, int maxLength = MaxTextLength);

    // A copy of level index; a default level for an index outside 0..3.
    MenuLevel level(int index) const;
    QString caption(int index) const;
    bool isActive(int index) const;
    // Index of the first active level, -1 when none is.
    int firstActive() const;

    // Replace a whole level (texts cut). An index outside 0..3 changes nothing and returns
    // false; an order outside 1..4 keeps the previous order (the combo only offers 1..4)
    // and the rest is still applied. Emits changed(index) when something differs.
    bool setLevel(int index, const MenuLevel &value);
    bool setTop(int index, const QString &text);
    bool setBottom(int index, const QString &text);
    bool setOrder(int index, int order);
    bool setActive(int index, bool active);

    // Back to the defaults above (a key was lost); emits changed for each level that moved.
    void reset();

signals:
    void changed(int level);

private:
    std::array<MenuLevel, Count> m_levels;
};
