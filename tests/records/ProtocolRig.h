#pragma once

// A key protocol whose USB transport only records what it is handed, so widget tests can read
// back the exact JSON requests their clicks produce.

#include "ProtocolTestSupport.h"

#include <QJsonObject>
#include <QList>

struct ProtocolRig : ProtocolStack
{
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
