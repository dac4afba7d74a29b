#include "history/DfqWriter.h"

#include "base/KeyNumber.h"

#include <QHash>

namespace {

const QHash<QChar, const char *> &cyrillic()
{
    static const QHash<QChar, const char *> table = [] {
        // A plain passport-style transliteration: readable to a person and stable across files.
        const char *lower[] = {"a", "b", "v", "g", "d", "e", "zh", "z", "i", "y", "k", "l", "m", "n", "o", "p",
                               "r", "s", "t", "u", "f", "kh", "ts", "ch", "sh", "shch", "", "y", "", "e", "yu", "ya"};
        const char *upper[] = {"A", "B", "V", "G", "D", "E", "Zh", "Z", "I", "Y", "K", "L", "M", "N", "O", "P",
                               "R", "S", "T", "U", "F", "Kh", "Ts", "Ch", "Sh", "Shch", "", "Y", "", "E", "Yu", "Ya"};
        QHash<QChar, const char *> t;
        for (int i = 0; i < 32; ++i) {
            t.insert(QChar(0x0410 + i), upper[i]);
            t.insert(QChar(0x0430 + i), lower[i]);
        }
        t.insert(QChar(0x0401), "Yo");
        t.insert(QChar(0x0451), "yo");
        return t;
    }();
    return table;
}

QByteArray number(double v)
{
    return td::keyNumberText(v).toLatin1();
}

void field(QByteArray &out, const char *key, int n, const QByteArray &value)
{
    out += key;
    out += '/';
    out += QByteArray::number(n);
    out += ' ';
    out += value;
    out += "\r\n";
}

} // namespace

QByteArray DfqWriter::toField(const QString &text, int *replaced)
{
    QByteArray out;
    out.reserve(text.size());
    const auto &table = cyrillic();
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            out += ' ';
        } else if (c.unicode() < 0x100) {
            out += char(c.unicode());
        } else if (const auto it = table.constFind(c); it != table.constEnd()) {
            out += it.value();
        } else {
            out += '?';
            if (replaced)
                ++*replaced;
        }
    }
    return out;
}

DfqWriter::Output DfqWriter::write(const QVector<Characteristic> &characteristics)
{
    Output o;
    o.bytes = description(characteristics, &o.replacedCharacters);
    for (int i = 0; i < characteristics.size(); ++i) {
        for (const Value &v : characteristics.at(i).values)
            o.bytes += value(i + 1, v, &o.replacedCharacters);
    }
    return o;
}

QByteArray DfqWriter::description(const QVector<Characteristic> &characteristics, int *replaced)
{
    QByteArray out;
    out += "K0100 " + QByteArray::number(characteristics.size()) + "\r\n";
    for (int i = 0; i < characteristics.size(); ++i) {
        const Characteristic &c = characteristics.at(i);
        const int n = i + 1;
        field(out, "K1001", n, toField(c.partNumber, replaced));
        field(out, "K1002", n, toField(c.partDescription, replaced));
        field(out, "K2001", n, toField(c.number, replaced));
        field(out, "K2002", n, toField(c.description, replaced));
        // The nominal is the middle of the limits as the key showed them, not of their float
        // spellings (which would print 302.9600067138672 for 300..305.92).
        const double lower = number(c.lower).toDouble();
        const double upper = number(c.upper).toDouble();
        field(out, "K2101", n, number((lower + upper) / 2.0));
        field(out, "K2110", n, number(c.lower));
        field(out, "K2111", n, number(c.upper));
        field(out, "K2142", n, toField(c.unit, replaced));
    }
    return out;
}

QByteArray DfqWriter::value(int n, const Value &v, int *replaced)
{
    QByteArray out;
    field(out, "K0001", n, number(v.value));
    if (v.time.isValid())
        field(out, "K0004", n, v.time.toString(QStringLiteral("dd.MM.yyyy/HH:mm:ss")).toLatin1());
    field(out, "K0008", n, toField(v.operatorName, replaced));
    // The station is where the value was taken: the machine of the value's own fields, so
    // one characteristic holds the values of every station that tightened the joint.
    if (!v.machine.isEmpty())
        field(out, "K0010", n, toField(v.machine, replaced));
    field(out, "K0012", n, toField(v.equipment, replaced));
    return out;
}
