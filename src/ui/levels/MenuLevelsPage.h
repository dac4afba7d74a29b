#pragma once

#include <QWidget>

#include <array>

class KeyProtocol;
class MenuLevels;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class cSwitcher;

// The four menu levels of the key on the Parameters page: for each level its top and bottom
// text, its place in the key's menu and whether the key shows it. The page shows what the
// MenuLevels model holds (the key's answers) and sends the user's values with "Apply".
class MenuLevelsPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Levels = 4;

    // protocol may be null: Apply then sends nothing.
    MenuLevelsPage(MenuLevels *levels, KeyProtocol *protocol, QWidget *parent = nullptr);

    QLineEdit *topEdit(int level) const;
    QLineEdit *bottomEdit(int level) const;
    QComboBox *orderCombo(int level) const;
    cSwitcher *activeSwitch(int level) const;
    QPushButton *applyButton() const { return m_apply; }

    // A text longer than aMaxLenght characters is replaced by its first aMaxLenght (a
    // character made of two UTF-16 units is not split).
    static void CutTextField(QLineEdit *edit, int aMaxLenght);

public slots:
    // Sends the four levels as shown, then asks the key for them again.
    void iBtnApplyMenuLevels_Click();
    // FE_MenuLevel_Read for levels 0..3.
    void readFromKey();
    // Shows level index as the model holds it.
    void showLevel(int index);
    void retranslate();

protected:
    void changeEvent(QEvent *event) override;

private:
    struct Row
    {
        QLabel *title = nullptr;
        QLineEdit *top = nullptr;
        QLineEdit *bottom = nullptr;
        QLabel *orderLabel = nullptr;
        QComboBox *order = nullptr;
        cSwitcher *active = nullptr;
    };

    MenuLevels *m_levels;
    KeyProtocol *m_protocol;
    std::array<Row, Levels> m_rows;
    QLabel *m_heading = nullptr;
    QPushButton *m_apply = nullptr;
};
