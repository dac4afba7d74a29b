#pragma once

#include "records/RecordParameters.h"
#include "records/TemplateEntries.h"

#include <QObject>
#include <QVector>

#include <array>

class QComboBox;
class QGridLayout;
class QWidget;
class TemplateListsModel;
class TemplateTextRow;
class cParameter;

// One node template row: switch and three texts, the algorithm combo and the nine value
// fields. The fields shown follow the visibility row of the algorithm chosen in the row.
//
// The row keeps the entry's numbers as they came (from the key or a JSON file) and replaces
// one only when the user enters a new value, so saving an untouched row gives the key back
// exactly what it had, whatever the fields' display precision.
class UzelTemplateRow : public QObject
{
    Q_OBJECT
public:
    // The value fields in the order the row shows them.
    enum Field { LowMoment, HighMoment, LowAngle, HighAngle, StartMoment, Angle, PitchStep, HeadMm, CountBolts, FieldCount };

    // Takes lines `line` and `line + 1` of grid.
    UzelTemplateRow(int index, const TemplateListsModel *model, QWidget *parent, QGridLayout *grid, int line);

    int index() const { return m_index; }

    // Sets texts, switch and values, refills the algorithm combo from the key's current mode,
    // selects the entry's algorithm and shows its fields.
    void setEntry(const UzelTemplate &e);
    // The entry as the row holds it now (index = the row's index).
    UzelTemplate entry() const;

    // Refills the combo with the algorithms of the key's current mode, keeping the choice.
    void refillAlgorithms();
    int algorithm() const;
    // Chooses an algorithm as the user would; false when the combo does not offer it.
    bool selectAlgorithm(int code);

    TemplateTextRow *texts() const { return m_texts; }
    QComboBox *algorithmCombo() const { return m_combo; }
    cParameter *field(Field f) const { return m_fields[size_t(f)]; }
    bool isFieldShown(Field f) const;

    static RecordParameter parameterOf(Field f);

signals:
    void edited();
    void keypadRequested(cParameter *aPar);

public slots:
    // Activated in the algorithm combo: shows the fields of the new algorithm.
    void iParUzelTemplatesCombo_Changed(int index);
    // A value was entered: keeps it, and keeps the moment range ordered.
    void iParUzelTemplates_Changed();

private:
    void fillCombo(int keep);
    void applyVisibility();
    void showValue(Field f, double value);
    double storedValue(Field f) const;
    void storeValue(Field f, double value);

    int m_index;
    const TemplateListsModel *m_model;
    TemplateTextRow *m_texts = nullptr;
    QComboBox *m_combo = nullptr;
    std::array<cParameter *, FieldCount> m_fields{};
    UzelTemplate m_values; // numbers as last set or entered
};
