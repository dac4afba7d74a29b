#include "publish/ResultMessage.h"

#include "base/KeyNumber.h"

#include <cmath>

namespace {

// Written by hand rather than through QJsonDocument: at tens of thousands of results a
// second the document tree was most of the publisher's time. The escaping is JSON's own:
// quotes, backslashes and every control character, so any text from the key stays valid.
class JsonWriter
{
public:
    explicit JsonWriter(QString &out) : m_out(out) {}

    void begin() { m_out += QLatin1Char('{'); m_first = true; }
    void end() { m_out += QLatin1Char('}'); m_first = false; }
    void beginObject(const char *key) { name(key); begin(); }

    void text(const char *key, const QString &value)
    {
        name(key);
        quoted(value);
    }
    void number(const char *key, double value)
    {
        name(key);
        if (std::isfinite(value))
            m_out += td::keyNumberText(value);
        else
            m_out += QLatin1String("null"); // a spoiled entry, not a number
    }
    void null(const char *key)
    {
        name(key);
        m_out += QLatin1String("null");
    }

private:
    void name(const char *key)
    {
        if (!m_first)
            m_out += QLatin1Char(',');
        m_first = false;
        m_out += QLatin1Char('"');
        m_out += QLatin1String(key);
        m_out += QLatin1String("\":");
    }

    void quoted(const QString &value)
    {
        static const char hex[] = "0123456789abcdef";
        m_out += QLatin1Char('"');
        for (const QChar c : value) {
            const ushort u = c.unicode();
            switch (u) {
            case '"': m_out += QLatin1String("\\\""); break;
            case '\\': m_out += QLatin1String("\\\\"); break;
            case '\n': m_out += QLatin1String("\\n"); break;
            case '\r': m_out += QLatin1String("\\r"); break;
            case '\t': m_out += QLatin1String("\\t"); break;
            case '\b': m_out += QLatin1String("\\b"); break;
            case '\f': m_out += QLatin1String("\\f"); break;
            default:
                if (u < 0x20) {
                    m_out += QLatin1String("\\u00");
                    m_out += QLatin1Char(hex[u >> 4]);
                    m_out += QLatin1Char(hex[u & 15]);
                } else {
                    m_out += c;
                }
            }
        }
        m_out += QLatin1Char('"');
    }

    QString &m_out;
    bool m_first = true;
};

// A lone surrogate (half a letter) cannot be written as UTF-8: it becomes U+FFFD.
QString wellFormed(const QString &s)
{
    QString out;
    const int n = s.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = s.at(i);
        if (c.isHighSurrogate() && i + 1 < n && s.at(i + 1).isLowSurrogate()) {
            if (out.isNull())
                out = s.left(i);
            out += c;
            out += s.at(++i);
            continue;
        }
        if (c.isSurrogate()) {
            if (out.isNull())
                out = s.left(i);
            out += QChar(QChar::ReplacementCharacter);
            continue;
        }
        if (!out.isNull())
            out += c;
    }
    return out.isNull() ? s : out;
}

} // namespace

QByteArray ResultMessage::toJson() const
{
    QString out;
    out.reserve(512);
    JsonWriter w(out);
    w.begin();
    w.text("id", resultId);
    w.text("record", recordName);
    w.beginObject("levels");
    w.text("operator", operatorText);
    w.text("product", product);
    w.text("operation", operationNumber);
    w.text("node", node);
    w.end();
    w.number("moment", moment);
    if (angleChecked)
        w.number("angle", angle);
    else
        w.null("angle");
    w.number("correctedDefect", correctedDefect);
    w.text("verdict", ok ? QStringLiteral("OK") : QStringLiteral("NG"));
    w.beginObject("limits");
    w.number("momentLow", momentLow);
    w.number("momentHigh", momentHigh);
    if (angleChecked) {
        w.number("angleLow", angleLow);
        w.number("angleHigh", angleHigh);
    }
    w.end();
    w.text("unit", unit);
    if (measuredAt.isValid())
        w.text("time", measuredAt.toString(Qt::ISODate));
    else
        w.null("time");
    w.text("operatorName", operatorName);
    w.text("keyName", keyName);
    w.text("keySerial", keySerial);
    w.number("calibrationNm", calibrationNm);
    w.end();
    return wellFormed(out).toUtf8();
}
