#include "base/cGlobalData.h"

cGlobalData::cGlobalData(QObject *parent)
    : QObject(parent)
{
}

void cGlobalData::reset()
{
    pcAddress = QStringLiteral("127.0.0.1");
    wifiReady = false;
}
