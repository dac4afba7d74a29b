#include "firmware/DfuOutput.h"

#include <QRegularExpression>

namespace DfuOutput {

QString chunkText(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromLocal8Bit(nul < 0 ? bytes : bytes.left(nul));
}

Search searchResult(const QString &output)
{
    // "10 Device(s) found" must not read as none: the count has to be exactly zero.
    static const QRegularExpression none(QStringLiteral("(^|[^0-9])0 Device\\(s\\) found"));
    if (none.match(output).hasMatch())
        return Search::NoDevice;
    if (output.contains(QLatin1String("STM Device in DFU Mode")))
        return Search::DevicePresent;
    return Search::NoDevice;
}

bool flashVerified(const QString &output)
{
    return output.contains(QLatin1String("Verify successful !"));
}

bool flashSucceeded(const QString &output, int exitCode)
{
    return exitCode == 0 && flashVerified(output);
}

int lastPercent(const QString &text)
{
    static const QRegularExpression percent(QStringLiteral("(?<![0-9])([0-9]{1,3}) ?%"));
    int last = -1;
    auto it = percent.globalMatch(text);
    while (it.hasNext()) {
        const int value = it.next().captured(1).toInt();
        if (value <= 100)
            last = value;
    }
    return last;
}

} // namespace DfuOutput
