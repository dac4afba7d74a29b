#pragma once

#include <QString>

// The name a station goes by in a shared history and on the broker: what --station gives,
// else what the Data Base page saved, else the PC's host name. Every row a station archives
// carries it, and a station publishes only the rows that carry its own.
class StationName
{
public:
    static constexpr int MaxLength = 64;

    // From --station; an empty name takes the override away again.
    static void setOverride(const QString &name);
    static QString current();
    // The host name, or "station" on a PC that has none.
    static QString hostDefault();
    // Trimmed, control characters dropped, at most MaxLength characters: a name typed on the
    // page or given on a command line lands in every row and every topic.
    static QString normalized(const QString &name);
};
