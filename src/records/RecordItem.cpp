#include "records/RecordItem.h"

RecordItem RecordItem::fromHeader(const QString &name, const RecordHeader &h,
                                  const TemplateLists &t)
{
    RecordItem r;
    r.name = name;
    r.fioIndex = h.fioIndex;
    r.wheelIndex = h.wheelIndex;
    r.uzelIndex = h.uzelIndex;
    r.operation = h.operationNumber();
    r.texts[0] = t.fioText(h.fioIndex, 0);
    r.texts[1] = t.wheelText(h.wheelIndex);
    r.texts[2] = r.operation;
    r.texts[3] = t.uzelText(h.uzelIndex, 0);
    r.fioEnabled = h.fioIndex < FioTemplate::Count && t.fio[h.fioIndex].enabled;
    r.wheelEnabled = h.wheelIndex < WheelTemplate::Count && t.wheel[h.wheelIndex].enabled;
    r.uzelEnabled = h.uzelIndex < UzelTemplate::Count && t.uzel[h.uzelIndex].enabled;
    r.status = h.status;
    r.countCon = h.countCon;
    r.countTotal = h.countTotal;
    return r;
}

quint16 RecordItem::number(int level) const
{
    switch (level) {
    case 0:
        return fioIndex;
    case 1:
        return wheelIndex;
    case 3:
        return uzelIndex;
    default:
        return 0;
    }
}
