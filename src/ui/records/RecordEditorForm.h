#pragma once

#include "records/RecordParameters.h"

#include <QCoreApplication>

#include <array>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class RecordMeasureTable;
class cParameter;

// The record editor's widgets, built into the records page's containers: the record
// selection (frTextFields_2), the value fields (frRangesView_2), the operation buttons with
// their Yes / No pairs (frNewRecord) and the measured-entry table (frMemory_2). Layout only;
// RecordEditorPage gives them their behaviour.
class RecordEditorForm
{
    Q_DECLARE_TR_FUNCTIONS(RecordEditorForm)
public:
    enum Operation { Create = 0, Edit = 1, Delete = 2, Operations = 3 };

    struct Containers
    {
        QWidget *textFields = nullptr; // frTextFields_2
        QWidget *ranges = nullptr;     // frRangesView_2
        QWidget *newRecord = nullptr;  // frNewRecord
        QWidget *memory = nullptr;     // frMemory_2
    };

    void setupUi(const Containers &c);
    // Lays the shown value fields out in order, four to a row (after showing or hiding some).
    void arrangeParameters();
    // Texts that do not depend on the key (captions the key renames are set by the page).
    void retranslateUi();

    QLabel *lbRecordCount = nullptr;
    QComboBox *cbPageNumber = nullptr;
    QLabel *lbPageNumber = nullptr; // the name of the record shown
    QLabel *lbFio = nullptr;
    QComboBox *cbFio = nullptr;
    QLabel *lbWheel = nullptr;
    QComboBox *cbWheel = nullptr;
    QLabel *lbOperation = nullptr;
    QLineEdit *leOperation = nullptr;
    QLabel *lbUzel = nullptr;
    QComboBox *cbUzel = nullptr;
    QLabel *lbAlgorithm = nullptr;
    QComboBox *cbAlgorithm = nullptr;

    std::array<cParameter *, RecordParameters::Count> params{};

    QLabel *lbStatus = nullptr;
    std::array<QPushButton *, Operations> pbOperation{};
    std::array<QPushButton *, Operations> pbYes{};
    std::array<QPushButton *, Operations> pbNo{};

    RecordMeasureTable *table = nullptr;

private:
    QGridLayout *m_valuesGrid = nullptr;

    void buildSelection(QWidget *frame);
    void buildParameters(QWidget *frame);
    void buildOperations(QWidget *frame);
};
