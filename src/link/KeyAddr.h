#pragma once

#include <QHostAddress>
#include <QMetaType>
#include <QString>

// One registered Wi-Fi key, as its announcement described it. The key names its ports from
// its own side: its "RemotePort" is the PC-side port (localPort here), its "LocalPort" the
// port the PC sends to (remotePort here).
struct KeyAddr
{
    QHostAddress hostAddress; // sender of the announcement
    quint16 port = 0;         // sender port of the announcement
    QString identifier;       // the announcement's "MAC"; the key's interface name everywhere
    uchar focus = 0;          // 1 for the key selected for the exchange
    QString name;             // "KeyName", shown in the key combo box
    QString operatorName;     // "OperatorName"
    quint16 localPort = 0;    // PC-side UDP port for this key
    quint16 remotePort = 0;   // key-side UDP port the PC sends to
};

Q_DECLARE_METATYPE(KeyAddr)
