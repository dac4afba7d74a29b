#pragma once

#include "history/Capability.h"

#include <QString>

// The history page's own settings, kept beside settings.ini in settings/history.ini so the
// key's settings file keeps the layout the key's tools expect.
struct HistorySettings
{
    QString database; // empty: <data root>/history/history.db3
    QString station;  // empty: the host name (see StationName)
    Capability::Thresholds thresholds;

    static QString path();
    static HistorySettings load();
    bool save(QString *error) const;
};
