#include "protocol/RequestFormat.h"

#include <cstring>

namespace td::request {

QByteArray jsonEscape(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + 8);
    for (const char c : utf8) {
        const uchar u = uchar(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[u >> 4];
                out += hex[u & 0x0F];
            } else {
                out += c;
            }
        }
    }
    return out;
}

Result format(const char *fmt, const QVector<Arg> &args, QByteArray *out)
{
    out->clear();
    QByteArray text;
    text.reserve(int(std::strlen(fmt)) + 64);
    int next = 0;
    for (const char *p = fmt; *p; ++p) {
        if (*p != '%') {
            text += *p;
            continue;
        }
        const char conv = *++p;
        if (conv == '\0')
            return Result::BadArguments;
        if (conv == '%') {
            text += '%';
            continue;
        }
        if (next >= args.size())
            return Result::BadArguments;
        const Arg &a = args.at(next++);
        if (conv == 'd' && a.type == Arg::Int)
            text += QByteArray::number(a.i);
        else if (conv == 'f' && a.type == Arg::Real)
            text += QByteArray::number(a.d, 'f', 6);
        else if (conv == 's' && a.type == Arg::Text)
            text += jsonEscape(a.s);
        else
            return Result::BadArguments;
    }
    if (next != args.size())
        return Result::BadArguments;
    if (text.size() > MaxTextBytes)
        return Result::TooLong;
    *out = text;
    return Result::Ok;
}

} // namespace td::request
