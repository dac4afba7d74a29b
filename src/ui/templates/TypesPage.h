#pragma once

#include <QWidget>

class QGridLayout;
class QLabel;
class QPushButton;
class QTabWidget;

// The templates page of the settings ("Types"): the three template lists' tabs, a note line
// and the buttons that load a JSON file and save the lists to the key. TemplatesPage fills the
// tabs and runs the buttons.
class TypesPage : public QWidget
{
    Q_OBJECT
public:
    explicit TypesPage(QWidget *parent = nullptr);
    void retranslateUi();

    QTabWidget *tabWheelUzel = nullptr;
    QLabel *lbTemplatesNote = nullptr;
    QPushButton *pbTemplatesFromJson = nullptr;
    QPushButton *pbTemplatesSave = nullptr;
};
