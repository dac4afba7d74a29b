#include "base/SecretRedaction.h"

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The end of the string whose opening quote is at `open`: the index of its closing quote, or
// the text's size when it has none.
int stringEnd(const QByteArray &text, int open)
{
    int i = open + 1;
    while (i < text.size() && text.at(i) != '"')
        i += text.at(i) == '\\' ? 2 : 1;
    return qMin(i, int(text.size()));
}

bool isSecretName(QByteArray name)
{
    name = name.toLower();
    return name.endsWith("password") || name.endsWith("passwd") || name.endsWith("secret");
}

} // namespace

QByteArray td::redactSecrets(const QByteArray &json)
{
    QByteArray out;
    out.reserve(json.size());
    int i = 0;
    while (i < json.size()) {
        if (json.at(i) != '"') {
            out += json.at(i++);
            continue;
        }
        const int end = stringEnd(json, i);
        const QByteArray name = json.mid(i + 1, end - i - 1);
        out += json.mid(i, end + 1 - i);
        i = end + 1;
        int colon = i;
        while (colon < json.size() && isSpace(json.at(colon)))
            ++colon;
        if (colon >= json.size() || json.at(colon) != ':' || !isSecretName(name))
            continue;
        int value = colon + 1;
        while (value < json.size() && isSpace(json.at(value)))
            ++value;
        out += json.mid(i, value - i);
        i = value;
        if (i >= json.size())
            break;
        int valueEnd;
        if (json.at(i) == '"') {
            valueEnd = stringEnd(json, i) + 1;
            if (valueEnd == i + 2) // "" tells that none is set
                continue;
        } else {
            valueEnd = i;
            while (valueEnd < json.size() && !isSpace(json.at(valueEnd)) && json.at(valueEnd) != ','
                   && json.at(valueEnd) != '}' && json.at(valueEnd) != ']')
                ++valueEnd;
        }
        out += "\"***\"";
        i = qMin(valueEnd, int(json.size()));
    }
    return out;
}
