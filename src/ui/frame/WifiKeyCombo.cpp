#include "ui/frame/WifiKeyCombo.h"

WifiKeyCombo::WifiKeyCombo(QAbstractItemModel *keys, QWidget *parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("cbWiFiKeys"));
    setFixedSize(WIDTH, HEIGHT);
    // The arrow is the key picture: give it room to be seen at its own size.
    setStyleSheet(QStringLiteral(
        "QComboBox {border: 1px solid rgb(160, 160, 160); border-radius: 3px; padding: 1px 4px;}"
        "QComboBox::drop-down {width: 30px; border: none;}"
        "QComboBox::down-arrow {image: url(:resource/images/key_sm.png); width: 24px; height: 24px;}"
        "QComboBox QAbstractItemView {selection-background-color: rgb(48, 140, 198); "
        "selection-color: rgb(255, 255, 255);}"));
    setAccessibleName(tr("Wi-Fi key"));
    setToolTip(tr("Wi-Fi key"));
    if (keys)
        setModel(keys);
    hide();
}
