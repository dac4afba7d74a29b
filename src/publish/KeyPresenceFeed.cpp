#include "publish/KeyPresenceFeed.h"

#include "link/UsbLink.h"
#include "link/cWifi.h"
#include "protocol/KeyConnection.h"
#include "protocol/KeyModel.h"
#include "protocol/KeySession.h"
#include "publish/KeyPresence.h"

#include <QPointer>

void followKeyLinks(KeyPresence *presence, KeyConnection *connection)
{
    QPointer<KeyConnection> link(connection);
    KeyModel *model = connection->session()->model();
    QObject::connect(model, &KeyModel::deviceSettingsChanged, presence, [presence, model, link] {
        const QString serial = QString::fromUtf8(model->deviceSettings().SerialNo).trimmed();
        if (serial.isEmpty() || !link)
            return; // reset after a loss, or not read yet
        const KeyConnection::Mode mode = link->mode();
        QString wifiId;
        if (mode == KeyConnection::Mode::Wifi) {
            for (const KeyAddr &key : link->wifi()->keys())
                if (key.focus)
                    wifiId = key.identifier;
        }
        presence->keyIdentified(serial, int(mode), wifiId);
    });
    QObject::connect(connection->usb(), &UsbLink::keyLost, presence, &KeyPresence::usbLost);
    QObject::connect(connection->wifi(), &cWifi::keyRemoved, presence, &KeyPresence::wifiKeyRemoved);
}
