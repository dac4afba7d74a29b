#pragma once

// A key protocol whose USB transport only records what it is handed, so widget tests can read
// back the exact JSON requests their clicks produce.

#include "ProtocolTestSupport.h"

#include "app/cGlobalData.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySender.h"
#include "records/MenuLevels.h"

#include <QJsonObject>
#include <QList>

struct ProtocolRig
{
    cGlobalData global;
    RecordingTransport usb;
    KeySender sender{&global};
    KeyModel model;
    MenuLevels levels;
    FileExchange files{&sender, nullptr, 0, 0};
    KeyProtocol protocol{&global, &sender, &files, &model, &levels};

    ProtocolRig()
    {
        global.currentInterface = 1;
        sender.setUsbTransport(&usb);
    }

    // The JSON requests sent so far with this function name, oldest first.
    QList<QJsonObject> requests(const QString &function) const
    {
        QList<QJsonObject> out;
        for (const SentCommand &c : usb.sent) {
            if (c.packetClass == KeyProtocol::ClassJson && c.functionName() == function)
                out.append(c.json());
        }
        return out;
    }

    // A reply from the key, as the USB link hands it on.
    void receive(const QByteArray &json) { protocol.iReceiveUart_Click(jsonFrame(json)); }
};
