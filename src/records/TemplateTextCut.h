#pragma once

#include "records/TemplateEntries.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

// A template text that did not fit its fixed field and was shortened. Collected by whoever
// fits texts to the key's files, so the template page can say exactly which one.
struct TemplateTextCut
{
    Q_DECLARE_TR_FUNCTIONS(TemplateTextCut)
public:
    TemplateKind kind = TemplateKind::Fio;
    int entry = 0;     // index of the entry in its list
    QString field;     // "Text", "Text1", "Text2" or "Text3"

    // For the user: names the list, the entry (counted from 1, as rows are shown) and the
    // field, and the limit in bytes.
    QString message() const;

    // Fits the texts of one entry to their fields in place, appending a cut per shortened
    // field to cuts (when given). Returns the number of fields cut.
    static int fit(FioTemplate &e, int entry, QVector<TemplateTextCut> *cuts);
    static int fit(WheelTemplate &e, int entry, QVector<TemplateTextCut> *cuts);
    static int fit(UzelTemplate &e, int entry, QVector<TemplateTextCut> *cuts);

    bool operator==(const TemplateTextCut &o) const
    {
        return kind == o.kind && entry == o.entry && field == o.field;
    }
};
