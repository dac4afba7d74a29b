#pragma once

#include "records/TemplateEntries.h"

class QComboBox;
class TemplateLists;

// Fills the record editor's template combos: one item per entry in index order, the item of a
// disabled entry listed but not selectable (a record that already uses it can still be shown
// by setting the index from code).
class TemplateCombo
{
public:
    // Rebuilds every item, keeping the current index.
    static void fill(QComboBox *combo, TemplateKind kind, const TemplateLists &lists);
    // Rewrites the item at index (text and selectability); fills the combo first when it
    // does not hold the whole list yet.
    static void updateItem(QComboBox *combo, TemplateKind kind, int index, const TemplateLists &lists);
    // Whether the user may pick the item at index.
    static bool isSelectable(const QComboBox *combo, int index);

    static QString itemText(TemplateKind kind, int index, const TemplateLists &lists);
    static bool entryEnabled(TemplateKind kind, int index, const TemplateLists &lists);
};
