#include "config/DeviceSettingsRules.h"

namespace {

QStringList withUnit(std::initializer_list<const char *> numbers, const QString &unit)
{
    QStringList out;
    for (const char *n : numbers)
        out << QLatin1String(n) + unit;
    return out;
}

} // namespace

QStringList DeviceSettingsRules::unitItems() { return {tr("Nm"), tr("kgsm")}; }

QStringList DeviceSettingsRules::sleepTimeItems()
{
    return withUnit({"2 ", "3 ", "5 ", "10 ", "15 ", "20 ", "30 ", "45 "}, tr("min"))
        + withUnit({"1 ", "2 ", "3 ", "5 ", "8 ", "10 ", "12 ", "16 ", "24 ", "48 "}, tr("hour"));
}

QStringList DeviceSettingsRules::displayTimeItems()
{
    return withUnit({"10 ", "20 ", "30 "}, tr("sec"))
        + withUnit({"1 ", "2 ", "3 ", "5 ", "10 ", "15 ", "20 ", "30 "}, tr("min"))
        + withUnit({"1 ", "2 ", "3 ", "12 ", "24 "}, tr("hour"));
}

QStringList DeviceSettingsRules::languageItems() { return {tr("Russian"), tr("English")}; }

QStringList DeviceSettingsRules::typeKeyItems()
{
    return {tr("Basic"), tr("Assembly"), tr("Control"), tr("Control+"), tr("Axial Force")};
}

QStringList DeviceSettingsRules::connectionItems() { return {tr("None"), tr("USB"), tr("WiFi")}; }
QStringList DeviceSettingsRules::dataBaseItems() { return {tr("None DB"), tr("Full DB")}; }
QStringList DeviceSettingsRules::dataTimeItems() { return {tr("None Time"), tr("Data & Time")}; }
QStringList DeviceSettingsRules::algorithmItems() { return {tr("None Alg"), tr("Algorithm")}; }

QString DeviceSettingsRules::identity(quint16 typeKey, qint32 versionSW)
{
    static const char *const names[] = {QT_TR_NOOP("Basic"), QT_TR_NOOP("Assembly"), QT_TR_NOOP("Control"),
                                        QT_TR_NOOP("Control+"), QT_TR_NOOP("Axial force")};
    const QString name = typeKey < 5 ? tr(names[typeKey]) : QString();
    return name + QStringLiteral(" (0") + QString::number(versionSW) + QLatin1Char(')');
}

QString DeviceSettingsRules::serialLine(const QByteArray &serialNo)
{
    return QStringLiteral("S/N: ") + QString::fromUtf8(serialNo);
}

QString DeviceSettingsRules::dateText(int day, int month, int year)
{
    return QStringLiteral("%1.%2.%3")
        .arg(day, 2, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(year, 2, 10, QLatin1Char('0'));
}

QString DeviceSettingsRules::timeText(int hour, int minute, int second)
{
    return QStringLiteral("%1:%2:%3")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'))
        .arg(second, 2, 10, QLatin1Char('0'));
}

int DeviceSettingsRules::rebootAfterSetup(const DeviceSettings &stored, const DeviceSettings &sent)
{
    return sent.Units == stored.Units ? NoReboot : 2;
}

int DeviceSettingsRules::rebootAfterUpgrade(const DeviceSettings &stored, const DeviceSettings &sent)
{
    return sent.DataBase == stored.DataBase ? 0 : 1;
}

QString DeviceSettingsRules::cutName(const QString &name)
{
    // Counted in characters as the user sees them: a pair of UTF-16 units is one.
    int units = 0;
    for (int chars = 0; units < name.size() && chars < NameChars; ++chars)
        units += (name.at(units).isHighSurrogate() && units + 1 < name.size()
                  && name.at(units + 1).isLowSurrogate())
                     ? 2
                     : 1;
    return name.left(units);
}

QString DeviceSettingsRules::ipPattern()
{
    const QString n = QStringLiteral("(?:[0-1]?[0-9]?[0-9]|2[0-4][0-9]|25[0-5])");
    return QLatin1Char('^') + n + QStringLiteral("\\.") + n + QStringLiteral("\\.") + n
        + QStringLiteral("\\.") + n + QLatin1Char('$');
}
