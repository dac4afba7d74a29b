#include "records/MenuLevels.h"

#include "base/Log.h"

namespace {

MenuLevel defaultLevel(int index)
{
    MenuLevel l;
    l.order = index + 1;
    return l;
}

bool validOrder(int order) { return order >= 1 && order <= MenuLevels::Count; }

} // namespace

MenuLevels::MenuLevels(QObject *parent) : QObject(parent)
{
    for (int i = 0; i < Count; ++i)
        m_levels[size_t(i)] = defaultLevel(i);
}

QString MenuLevels::cutText(const QString &text, int maxLength)
{
    if (maxLength <= 0)
        return QString();
    if (text.size() <= maxLength)
        return text;
    int n = maxLength;
    if (text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n);
}

MenuLevel MenuLevels::level(int index) const
{
    return isValidIndex(index) ? m_levels[size_t(index)] : MenuLevel();
}

QString MenuLevels::caption(int index) const { return level(index).caption(); }

bool MenuLevels::isActive(int index) const
{
    return isValidIndex(index) && m_levels[size_t(index)].active;
}

int MenuLevels::firstActive() const
{
    for (int i = 0; i < Count; ++i) {
        if (m_levels[size_t(i)].active)
            return i;
    }
    return -1;
}

bool MenuLevels::setLevel(int index, const MenuLevel &value)
{
    if (!isValidIndex(index))
        return false;
    MenuLevel next = value;
    next.top = cutText(value.top);
    next.bottom = cutText(value.bottom);
    MenuLevel &cur = m_levels[size_t(index)];
    if (!validOrder(next.order)) {
        td::log(QStringLiteral("MenuLevels: level %1 order %2 out of range, kept %3")
                    .arg(index)
                    .arg(next.order)
                    .arg(cur.order));
        next.order = cur.order;
    }
    if (next == cur)
        return true;
    cur = next;
    emit changed(index);
    return true;
}

bool MenuLevels::setTop(int index, const QString &text)
{
    if (!isValidIndex(index))
        return false;
    MenuLevel l = m_levels[size_t(index)];
    l.top = text;
    return setLevel(index, l);
}

bool MenuLevels::setBottom(int index, const QString &text)
{
    if (!isValidIndex(index))
        return false;
    MenuLevel l = m_levels[size_t(index)];
    l.bottom = text;
    return setLevel(index, l);
}

bool MenuLevels::setOrder(int index, int order)
{
    if (!isValidIndex(index) || !validOrder(order))
        return false;
    MenuLevel l = m_levels[size_t(index)];
    l.order = order;
    return setLevel(index, l);
}

bool MenuLevels::setActive(int index, bool active)
{
    if (!isValidIndex(index))
        return false;
    MenuLevel l = m_levels[size_t(index)];
    l.active = active;
    return setLevel(index, l);
}

void MenuLevels::reset()
{
    for (int i = 0; i < Count; ++i)
        setLevel(i, defaultLevel(i));
}
