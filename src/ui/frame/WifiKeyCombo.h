#pragma once

#include <QComboBox>

class QAbstractItemModel;

// The Wi-Fi key choice in the window's top bar: shows the link's key list, 272 x 32 with the
// key picture as its arrow, hidden until the window switches to Wi-Fi.
class WifiKeyCombo : public QComboBox
{
    Q_OBJECT
public:
    static constexpr int WIDTH = 272;
    static constexpr int HEIGHT = 32;

    explicit WifiKeyCombo(QAbstractItemModel *keys, QWidget *parent = nullptr);
};
