#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// Builds the text of one JSON request from its fixed format text. The key reads these
// texts with a fixed-size buffer, so a request is either complete and within the limit or
// not made at all; it is never cut.
namespace td::request {

// The key's request buffer holds 696 bytes including the terminating NUL.
constexpr int MaxTextBytes = 695;

// One value for a conversion of the format text: %d takes Int, %f takes Real, %s takes Text.
struct Arg
{
    enum Type { Int, Real, Text };

    Arg(int v) : type(Int), i(v) {}
    Arg(double v) : type(Real), d(v) {}
    Arg(const QString &v) : type(Text), s(v) {}

    Type type;
    qint32 i = 0;
    double d = 0.0;
    QString s;
};

enum class Result { Ok, TooLong, BadArguments };

// Replaces the %d, %f and %s conversions of fmt, in order, with args: integers in decimal,
// reals with six decimals and "." as separator (whatever the locale), strings as UTF-8 with
// JSON escaping so that a quote typed by the user cannot end the string or add keys.
// On anything but Ok, *out is left empty.
Result format(const char *fmt, const QVector<Arg> &args, QByteArray *out);

// The UTF-8 bytes of text with '"', '\\' and control characters escaped for a JSON string.
QByteArray jsonEscape(const QString &text);

} // namespace td::request
