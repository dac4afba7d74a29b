#include "base/cGlobalData.h"

cGlobalData::cGlobalData(QObject *parent)
    : QObject(parent)
{
}

void cGlobalData::reset()
{
    setCurrentInterface(0);
    pcAddress = QStringLiteral("127.0.0.1");
    wifiReady = false;
}

void cGlobalData::setCurrentInterface(quint8 mode)
{
    if (currentInterface == mode)
        return;
    currentInterface = mode;
    emit currentInterfaceChanged(mode);
}
