#pragma once

#include "records/TemplateEntries.h"

#include <QCoreApplication>
#include <QString>

#include <array>

// The three template lists as the PC holds them: fixed length, entry i in slot i. The text
// lookup here is what the level tree, the reports and the report database show for a
// record's indexes.
class TemplateLists
{
    Q_DECLARE_TR_FUNCTIONS(TemplateLists)
public:
    TemplateLists();

    std::array<FioTemplate, FioTemplate::Count> fio;
    std::array<WheelTemplate, WheelTemplate::Count> wheel;
    std::array<UzelTemplate, UzelTemplate::Count> uzel;

    // Text part (0 = Text1, 1 = Text2, 2 = Text3) of an entry; "error FIO" / "error WHEEL" /
    // "error UZEL" for an index outside the list or a part the entry does not have
    // (a Wheel entry has only part 0).
    QString fioText(int index, int part) const;
    QString wheelText(int index, int part = 0) const;
    QString uzelText(int index, int part) const;

    // Item texts of the record editor's combos: Text1 + " " + Text2 + " " + Text3, or Text.
    QString fioComboText(int index) const;
    QString wheelComboText(int index) const;
    QString uzelComboText(int index) const;

    // The lists "fill with defaults" writes: "object00".."object09" and so on (prefixes
    // translated), every entry enabled, node entries with algorithm 0, 8 bolts, moments at
    // 0.7 / 0.8 / 0.1 of the key's nominal moment and the calibration page's head size.
    static TemplateLists defaults(float nominalMoment, float basicHead);
};
