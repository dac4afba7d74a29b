#pragma once

#include <QString>
#include <QStringList>

#include <array>

class KeyModel;
class MenuLevels;

// What the reports take from the last key read-out: the key and operator names, the four
// level captions and the key's units and date setting. Kept in the data root so a report made
// later, or without a window, names the same key and operator as the read-out did.
struct ReportIdentity
{
    QString keyName;
    QString operatorName;
    QStringList levelCaptions = QStringList{QString(), QString(), QString(), QString()};
    // Which menu levels the key uses: the memory table's level columns follow them. All four
    // when a read-out before this was kept stored nothing.
    std::array<bool, 4> levelsUsed{{true, true, true, true}};
    int units = 0;    // 1: kgsm, otherwise Nm
    int dataTime = 1; // 1: measures show their date and time

    QString unitsText() const; // "Nm" or "kgsm"

    static QString path(); // <root>/settings/report_identity.json

    // The stored identity; defaults when nothing was stored or the file is unreadable.
    static ReportIdentity load();
    bool save(QString *error = nullptr) const;

    // Stores the identity again whenever the key's names, settings or menu levels change.
    // Either source may be null.
    static void keepUpdated(KeyModel *key, MenuLevels *levels);
};
