#include "link/QueueElement.h"

#include <algorithm>

bool QueueElement::setPayload(const uchar *data, int size)
{
    payload.fill(0);
    if (!data || size <= 0) {
        length = 0;
        return !data ? size <= 0 : true;
    }
    const int n = std::min(size, PAYLOAD_CAPACITY);
    std::copy_n(data, n, payload.begin());
    length = static_cast<quint16>(n);
    return n == size;
}

namespace td {

void registerQueueElementType()
{
    static const int id = qRegisterMetaType<QueueElement>("QueueElement");
    Q_UNUSED(id);
}

} // namespace td
