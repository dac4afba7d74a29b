#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The service codes typed into the key-message field that unlock parts of the settings page.
class AccessCodes
{
public:
    struct Effect
    {
        QStringList show;
        QStringList enable;
        QStringList disable;
    };

    // The effect of a typed code; compared whole and case-sensitively, first match wins.
    // Returns false when the text is no code.
    static bool lookup(const QString &typed, Effect &effect);

    // Every control any code can unlock, by object name.
    static QStringList guardedObjects();

    // Locks every guarded control below root, then applies the code's effect (if any).
    static bool apply(QWidget *root, const QString &typed);
};
