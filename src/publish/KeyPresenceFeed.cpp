#include "publish/KeyPresenceFeed.h"

#include "base/cGlobalData.h"
#include "link/UsbLink.h"
#include "link/cWifi.h"
#include "protocol/KeyModel.h"
#include "publish/KeyPresence.h"

#include <QPointer>

void followKeyLinks(KeyPresence *presence, KeyModel *model, cGlobalData *data, UsbLink *usb, cWifi *wifi)
{
    QPointer<cWifi> wifiLink(wifi);
    QObject::connect(model, &KeyModel::deviceSettingsChanged, presence, [presence, model, data, wifiLink] {
        const QString serial = QString::fromUtf8(model->deviceSettings().SerialNo).trimmed();
        if (serial.isEmpty())
            return; // reset after a loss, or not read yet
        const int link = data->currentInterface;
        QString wifiId;
        if (link == KeyPresence::Wifi && wifiLink) {
            for (const KeyAddr &key : wifiLink->keys())
                if (key.focus)
                    wifiId = key.identifier;
        }
        presence->keyIdentified(serial, link, wifiId);
    });
    if (usb)
        QObject::connect(usb, &UsbLink::keyLost, presence, &KeyPresence::usbLost);
    if (wifi)
        QObject::connect(wifi, &cWifi::keyRemoved, presence, &KeyPresence::wifiKeyRemoved);
}
