#include "history/HistorySettings.h"

#include "base/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

QString HistorySettings::path()
{
    return QDir(Paths::settingsDir()).filePath(QStringLiteral("history.ini"));
}

HistorySettings HistorySettings::load()
{
    HistorySettings s;
    QSettings ini(path(), QSettings::IniFormat);
    s.database = ini.value(QStringLiteral("history/database")).toString();
    s.station = ini.value(QStringLiteral("history/station")).toString();
    bool ok = false;
    const double cp = ini.value(QStringLiteral("alarm/cp")).toDouble(&ok);
    if (ok && cp > 0)
        s.thresholds.cp = cp;
    const double cpk = ini.value(QStringLiteral("alarm/cpk")).toDouble(&ok);
    if (ok && cpk > 0)
        s.thresholds.cpk = cpk;
    return s;
}

bool HistorySettings::save(QString *error) const
{
    QDir().mkpath(Paths::settingsDir());
    QSettings ini(path(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("history/database"), database);
    ini.setValue(QStringLiteral("history/station"), station);
    ini.setValue(QStringLiteral("alarm/cp"), thresholds.cp);
    ini.setValue(QStringLiteral("alarm/cpk"), thresholds.cpk);
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        *error = QCoreApplication::translate("HistorySettings", "Cannot write %1").arg(path());
        return false;
    }
    return true;
}
