#include "records/LevelTreeModel.h"

int LevelTreeModel::poolSize(int level)
{
    switch (level) {
    case 0:
        return 10;
    case 1:
        return 50;
    case 2:
        return 1000;
    case 3:
        return 100;
    default:
        return 0;
    }
}

void LevelTreeModel::clear()
{
    m_items.clear();
    m_selection = Selection();
}

void LevelTreeModel::add(const RecordItem &item)
{
    for (RecordItem &held : m_items) {
        if (held.sameRecord(item)) {
            held = item;
            return;
        }
    }
    m_items.append(item);
}

bool LevelTreeModel::choose(int level, quint16 number, const QString &text)
{
    switch (level) {
    case 0:
        m_selection = Selection();
        m_selection.fio = number;
        return true;
    case 1:
        m_selection.wheel = number;
        m_selection.operation.reset();
        m_selection.uzel = -1;
        return true;
    case 2:
        m_selection.operation = text;
        m_selection.uzel = -1;
        return true;
    case 3:
        m_selection.uzel = number;
        return true;
    default:
        return false;
    }
}

bool LevelTreeModel::sameValue(const RecordItem &item, int level, quint16 number,
                               const QString &text)
{
    return level == 2 ? item.operation == text : item.number(level) == number;
}

bool LevelTreeModel::matchesAbove(const RecordItem &item, int level) const
{
    if (level > 0 && m_selection.fio >= 0 && item.fioIndex != m_selection.fio)
        return false;
    if (level > 1 && m_selection.wheel >= 0 && item.wheelIndex != m_selection.wheel)
        return false;
    if (level > 2 && m_selection.operation && item.operation != *m_selection.operation)
        return false;
    return true;
}

LevelColour LevelTreeModel::colourFor(const QVector<quint16> &statuses)
{
    const int n = statuses.size();
    int f = 0, g = 0, p = 0, z = 0;
    for (quint16 s : statuses) {
        if ((s & 0x02) && !(s & 0x08))
            ++f;
        if (s & 0x02)
            ++g;
        if (s & 0x04)
            ++p;
        if (s == 0)
            ++z;
    }
    if (n > 0 && f == n)
        return LevelColour::Green;
    if (n > 0 && g == n)
        return LevelColour::Red;
    if (p > 0)
        return LevelColour::Yellow;
    if (z > 0)
        return LevelColour::Grey;
    return LevelColour::Blue;
}

QVector<LevelTreeModel::Button> LevelTreeModel::buttons(int level, int *distinct) const
{
    QVector<Button> found;
    QVector<QVector<quint16>> statuses;
    if (distinct)
        *distinct = 0;
    if (level < 0 || level >= Levels)
        return found;
    for (const RecordItem &item : m_items) {
        if (!matchesAbove(item, level))
            continue;
        const quint16 number = item.number(level);
        int at = -1;
        for (int i = 0; i < found.size(); ++i) {
            if (sameValue(item, level, found[i].number, found[i].text)) {
                at = i;
                break;
            }
        }
        if (at < 0) {
            Button b;
            b.level = level;
            b.number = number;
            b.text = item.texts[size_t(level)];
            found.append(b);
            statuses.append(QVector<quint16>());
            at = found.size() - 1;
        }
        statuses[at].append(item.status);
        ++found[at].records;
    }
    for (int i = 0; i < found.size(); ++i)
        found[i].colour = colourFor(statuses[i]);

    // Unfinished work first: grey, then yellow, red, green. Blue (a mix no other rule
    // catches) goes last rather than being dropped.
    static const LevelColour order[] = {LevelColour::Grey, LevelColour::Yellow, LevelColour::Red,
                                        LevelColour::Green, LevelColour::Blue};
    QVector<Button> grouped;
    grouped.reserve(found.size());
    for (LevelColour c : order) {
        for (const Button &b : qAsConst(found)) {
            if (b.colour == c)
                grouped.append(b);
        }
    }
    if (distinct)
        *distinct = grouped.size();
    if (grouped.size() > poolSize(level))
        grouped.resize(poolSize(level));
    return grouped;
}

const RecordItem *LevelTreeModel::selectedItem() const
{
    if (m_selection.fio < 0 || m_selection.wheel < 0 || !m_selection.operation
        || m_selection.uzel < 0)
        return nullptr;
    for (const RecordItem &item : m_items) {
        if (item.fioIndex == m_selection.fio && item.wheelIndex == m_selection.wheel
            && item.operation == *m_selection.operation && item.uzelIndex == m_selection.uzel)
            return &item;
    }
    return nullptr;
}

QVector<RecordItem> LevelTreeModel::itemsUnder(int level, const QVector<Button> &checked) const
{
    QVector<RecordItem> out;
    if (level < 0 || level >= Levels)
        return out;
    for (const RecordItem &item : m_items) {
        if (!matchesAbove(item, level))
            continue;
        for (const Button &b : checked) {
            if (b.level == level && sameValue(item, level, b.number, b.text)) {
                out.append(item);
                break;
            }
        }
    }
    return out;
}
