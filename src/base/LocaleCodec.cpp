#include "base/LocaleCodec.h"

#include <QTextCodec>

namespace td {

bool systemUsesCodePages()
{
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

QTextCodec *localeCodecFor(bool codePageSystem)
{
    if (codePageSystem) {
        if (QTextCodec *codec = QTextCodec::codecForName("CP-1251"))
            return codec;
        if (QTextCodec *codec = QTextCodec::codecForName("windows-1251"))
            return codec;
    }
    return QTextCodec::codecForName("UTF-8");
}

void setupLocaleCodec()
{
    if (QTextCodec *codec = localeCodecFor(systemUsesCodePages()))
        QTextCodec::setCodecForLocale(codec);
}

} // namespace td
