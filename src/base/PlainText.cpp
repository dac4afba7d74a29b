#include "base/PlainText.h"

QString PlainText::clean(const QString &text)
{
    auto control = [](ushort u) { return u < 0x20 || (u >= 0x7f && u <= 0x9f); };
    bool any = false;
    for (const QChar c : text)
        any = any || control(c.unicode());
    if (!any)
        return text;
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\t' || u == '\n' || u == '\r')
            out += QLatin1Char(' ');
        else if (!control(u))
            out += c;
    }
    return out;
}
