#include "link/QueueElement.h"

#include "base/Log.h"

#include <algorithm>

bool QueueElement::acceptsPayload(int size)
{
    if (size <= PAYLOAD_CAPACITY)
        return true;
    td::log(QStringLiteral("Command of %1 bytes refused: at most %2 fit")
                .arg(size)
                .arg(PAYLOAD_CAPACITY));
    return false;
}

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
