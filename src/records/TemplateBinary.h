#pragma once

#include "records/TemplateLists.h"
#include "records/TemplateTextCut.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The key's binary template files, entries back to back with no header:
// "FioTypes" 10 x 95 = 950 bytes, "WheelTypes" 50 x 103 = 5150, "UzelTypes" 100 x 160 = 16000.
//
// Writing puts entry i at slot i with index byte i. Texts that do not fit their field are
// cut at a character boundary and listed in *cuts.
//
// Applying a received file follows each entry's own index byte, not its slot; an entry whose
// index lies outside the list is skipped. A file shorter than its full size applies the
// whole entries it holds and says so.
class TemplateBinary
{
public:
    static constexpr int FioFileSize = FioTemplate::Count * FioTemplate::EntrySize;       // 950
    static constexpr int WheelFileSize = WheelTemplate::Count * WheelTemplate::EntrySize; // 5150
    static constexpr int UzelFileSize = UzelTemplate::Count * UzelTemplate::EntrySize;    // 16000

    static const char *fileName(TemplateKind kind); // "FioTypes", "WheelTypes", "UzelTypes"
    static int fileSize(TemplateKind kind);

    static QByteArray encodeFio(const TemplateLists &lists, QVector<TemplateTextCut> *cuts = nullptr);
    static QByteArray encodeWheel(const TemplateLists &lists, QVector<TemplateTextCut> *cuts = nullptr);
    static QByteArray encodeUzel(const TemplateLists &lists, QVector<TemplateTextCut> *cuts = nullptr);
    static QByteArray encode(TemplateKind kind, const TemplateLists &lists,
                             QVector<TemplateTextCut> *cuts = nullptr);

    struct ApplyResult
    {
        QVector<int> applied;        // indexes (from the entries' own bytes) that were set
        QVector<int> skippedIndexes; // index bytes outside the list
        bool short_ = false;         // fewer bytes than the full file
        QString problem;             // one line for the debug log, empty when all was fine
    };

    static ApplyResult apply(TemplateKind kind, const QByteArray &bytes, TemplateLists *lists);
};
