#include "link/RxDataBuffer.h"

namespace td {

void registerRxDataBufferType()
{
    static const int id = qRegisterMetaType<RxDataBuffer>("RxDataBuffer");
    Q_UNUSED(id);
}

} // namespace td
