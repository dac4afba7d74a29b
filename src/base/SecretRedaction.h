#pragma once

#include <QByteArray>

namespace td {

// JSON text as the debug log may show it: the value of every member whose name ends in
// "password", "passwd" or "secret" (any case: the key's "Password" and "UserPassword", a
// broker's password) is written as "***"; an empty one stays empty, which tells that none is
// set. Names such as "PasswordWrEnable" are left alone. The text need not be valid JSON: a cut
// or damaged frame is redacted as far as it goes, and a value that never ends is hidden up to
// the end of the text.
QByteArray redactSecrets(const QByteArray &json);

} // namespace td
