#pragma once

#include "records/LevelColour.h"
#include "records/RecordItem.h"

#include <QString>
#include <QVector>

#include <optional>

// The level tree without its widgets: the records of the local mirror, the user's walk down
// the four levels, and for each level the value buttons to show, coloured and grouped. The
// tree widget renders what this returns and feeds clicks back.
class LevelTreeModel
{
public:
    static constexpr int Levels = RecordItem::Levels;
    // Most buttons a level can show (its button pool).
    static int poolSize(int level);

    // What the user has chosen so far; nothing chosen at a level = no filter there.
    struct Selection
    {
        int fio = -1;
        int wheel = -1;
        std::optional<QString> operation;
        int uzel = -1;
    };

    // One value button: number is the template index (0 on the operation-number level),
    // text the operation number on that level and the template text elsewhere.
    struct Button
    {
        int level = 0;
        quint16 number = 0;
        QString text;
        LevelColour colour = LevelColour::Blue;
        int records = 0; // how many records lie below it
    };

    void clear();
    // A record that is the same as one already held replaces it; otherwise it is appended,
    // and list order is the order values are "first met" in.
    void add(const RecordItem &item);
    const QVector<RecordItem> &items() const { return m_items; }

    const Selection &selection() const { return m_selection; }
    // Chooses a value at a level and forgets the choices below it, as a new choice higher
    // up invalidates the walk beneath. Returns false for a level outside 0..3.
    bool choose(int level, quint16 number, const QString &text);
    bool choose(const Button &b) { return choose(b.level, b.number, b.text); }
    void clearSelection() { m_selection = Selection(); }

    // The buttons of a level for the current selection: one per distinct value among the
    // records that match the choices above it, grouped grey, yellow, red, green, blue, each
    // group in first-met order. At most poolSize(level) buttons; *distinct (when given) gets
    // how many values there were before that cut.
    QVector<Button> buttons(int level, int *distinct = nullptr) const;

    // The record named by a full selection, or nullptr.
    const RecordItem *selectedItem() const;

    // Every record below any of the given buttons of a level (matching the choices above
    // that level), in list order: what a report over a multi-selection covers.
    QVector<RecordItem> itemsUnder(int level, const QVector<Button> &checked) const;

    // The colour rule over the status words of the records below a button. With n records,
    // f with bit 0x02 and not 0x08, g with 0x02, p with 0x04, z with status 0: f = n green;
    // else g = n red; else p > 0 yellow; else z > 0 grey; else blue.
    static LevelColour colourFor(const QVector<quint16> &statuses);

private:
    bool matchesAbove(const RecordItem &item, int level) const;
    static bool sameValue(const RecordItem &item, int level, quint16 number, const QString &text);

    QVector<RecordItem> m_items;
    Selection m_selection;
};
