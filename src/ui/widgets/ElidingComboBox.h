#pragma once

#include <QComboBox>

// A combo box that, where its field is narrower than the chosen text, shows the text's start
// and end with "…" between them (a name and its shift both stay readable) and gives the whole
// text as its tool tip. A text that fits is shown as it is, with the box's own tool tip.
class ElidingComboBox : public QComboBox
{
public:
    explicit ElidingComboBox(QWidget *parent = nullptr);

    // The tool tip shown while nothing is cut.
    void setPlainToolTip(const QString &tip);
    // Whether the current text is shown cut.
    bool isElided() const;

    // The popup list as wide as its longest entry (within the screen).
    void fitPopupToItems();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showPopup() override;

private:
    int textRoom() const;
    void updateToolTip();

    QString m_plainToolTip;
};
