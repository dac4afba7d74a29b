#include "records/TemplateLists.h"

namespace {

QString numbered(const QString &prefix, int i)
{
    return prefix + QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
}

QString joined3(const QString &a, const QString &b, const QString &c)
{
    return a + QLatin1Char(' ') + b + QLatin1Char(' ') + c;
}

template <typename Entry, size_t N>
void numberSlots(std::array<Entry, N> &list)
{
    for (size_t i = 0; i < N; ++i)
        list[i].index = quint8(i);
}

} // namespace

TemplateLists::TemplateLists()
{
    numberSlots(fio);
    numberSlots(wheel);
    numberSlots(uzel);
}

QString TemplateLists::fioText(int index, int part) const
{
    if (index < 0 || index >= FioTemplate::Count || part < 0 || part > 2)
        return tr("error FIO");
    const FioTemplate &e = fio[size_t(index)];
    return part == 0 ? e.text1 : part == 1 ? e.text2 : e.text3;
}

QString TemplateLists::wheelText(int index, int part) const
{
    if (index < 0 || index >= WheelTemplate::Count || part != 0)
        return tr("error WHEEL");
    return wheel[size_t(index)].text;
}

QString TemplateLists::uzelText(int index, int part) const
{
    if (index < 0 || index >= UzelTemplate::Count || part < 0 || part > 2)
        return tr("error UZEL");
    const UzelTemplate &e = uzel[size_t(index)];
    return part == 0 ? e.text1 : part == 1 ? e.text2 : e.text3;
}

QString TemplateLists::fioComboText(int index) const
{
    return joined3(fioText(index, 0), fioText(index, 1), fioText(index, 2));
}

QString TemplateLists::wheelComboText(int index) const { return wheelText(index, 0); }

QString TemplateLists::uzelComboText(int index) const
{
    return joined3(uzelText(index, 0), uzelText(index, 1), uzelText(index, 2));
}

TemplateLists TemplateLists::defaults(float nominalMoment, float basicHead)
{
    TemplateLists t;
    const QString object = tr("object");
    const QString no = tr("no");
    const QString name = tr("name");
    const QString unit = tr("unit");
    const QString node = tr("node");
    for (int i = 0; i < FioTemplate::Count; ++i) {
        FioTemplate &e = t.fio[size_t(i)];
        e.text1 = numbered(object, i);
        e.text2 = numbered(no, i);
        e.text3 = numbered(name, i);
        e.enabled = true;
    }
    for (int i = 0; i < WheelTemplate::Count; ++i) {
        WheelTemplate &e = t.wheel[size_t(i)];
        e.text = numbered(unit, i);
        e.enabled = true;
    }
    for (int i = 0; i < UzelTemplate::Count; ++i) {
        UzelTemplate &e = t.uzel[size_t(i)];
        e.text1 = numbered(node, i);
        e.text2 = numbered(no, i);
        e.text3 = numbered(name, i);
        e.enabled = true;
        e.algorithm = 0;
        e.countBolts = 8;
        e.lowMoment = float(0.7 * double(nominalMoment));
        e.highMoment = float(0.8 * double(nominalMoment));
        e.startMoment = float(0.1 * double(nominalMoment));
        e.lowAngle = 1;
        e.highAngle = 3;
        e.angle = 1;
        e.pitchStep = 0.5f;
        e.headMm = basicHead;
    }
    return t;
}
