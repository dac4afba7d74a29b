#include "ui/templates/TemplateCombo.h"

#include "records/TemplateLists.h"
#include "records/TemplateListsModel.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QStandardItemModel>

namespace {

void setSelectable(QComboBox *combo, int index, bool selectable)
{
    auto *model = qobject_cast<QStandardItemModel *>(combo->model());
    if (!model)
        return;
    QStandardItem *item = model->item(index);
    if (!item)
        return;
    Qt::ItemFlags flags = item->flags();
    if (selectable)
        flags |= Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    else
        flags &= ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setFlags(flags);
}

} // namespace

QString TemplateCombo::itemText(TemplateKind kind, int index, const TemplateLists &lists)
{
    switch (kind) {
    case TemplateKind::Fio:
        return lists.fioComboText(index);
    case TemplateKind::Wheel:
        return lists.wheelComboText(index);
    case TemplateKind::Uzel:
        return lists.uzelComboText(index);
    }
    return QString();
}

bool TemplateCombo::entryEnabled(TemplateKind kind, int index, const TemplateLists &lists)
{
    if (index < 0 || index >= TemplateListsModel::count(kind))
        return false;
    switch (kind) {
    case TemplateKind::Fio:
        return lists.fio[size_t(index)].enabled;
    case TemplateKind::Wheel:
        return lists.wheel[size_t(index)].enabled;
    case TemplateKind::Uzel:
        return lists.uzel[size_t(index)].enabled;
    }
    return false;
}

void TemplateCombo::fill(QComboBox *combo, TemplateKind kind, const TemplateLists &lists)
{
    if (!combo)
        return;
    // Rebuilding is bookkeeping, not a user's choice: listeners of the index see nothing.
    const QSignalBlocker block(combo);
    const int current = combo->currentIndex();
    const int n = TemplateListsModel::count(kind);
    combo->clear();
    for (int i = 0; i < n; ++i) {
        combo->addItem(itemText(kind, i, lists));
        setSelectable(combo, i, entryEnabled(kind, i, lists));
    }
    combo->setCurrentIndex(current >= 0 && current < n ? current : 0);
}

void TemplateCombo::updateItem(QComboBox *combo, TemplateKind kind, int index, const TemplateLists &lists)
{
    if (!combo || index < 0 || index >= TemplateListsModel::count(kind))
        return;
    if (combo->count() != TemplateListsModel::count(kind)) {
        fill(combo, kind, lists);
        return;
    }
    const QSignalBlocker block(combo);
    combo->setItemText(index, itemText(kind, index, lists));
    setSelectable(combo, index, entryEnabled(kind, index, lists));
}

bool TemplateCombo::isSelectable(const QComboBox *combo, int index)
{
    if (!combo)
        return false;
    auto *model = qobject_cast<const QStandardItemModel *>(combo->model());
    if (!model || !model->item(index))
        return false;
    return (model->item(index)->flags() & Qt::ItemIsEnabled) != 0;
}
