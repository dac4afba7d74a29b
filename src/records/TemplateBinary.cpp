#include "records/TemplateBinary.h"

#include "base/LeBytes.h"
#include "base/PlainText.h"
#include "base/Utf8Field.h"

#include <array>
#include <cstring>

namespace {

void putText(char *dest, int fieldSize, QString text, TemplateKind kind, int entry,
             const char *name, QVector<TemplateTextCut> *cuts)
{
    if (!Utf8Field::write(dest, fieldSize, text) && cuts)
        cuts->append(TemplateTextCut{kind, entry, QString::fromLatin1(name)});
}

void writeFio(char *d, const FioTemplate &e, int i, QVector<TemplateTextCut> *cuts)
{
    const int f = FioTemplate::TextField;
    putText(d + 0, f, e.text1, TemplateKind::Fio, i, "Text1", cuts);
    putText(d + 31, f, e.text2, TemplateKind::Fio, i, "Text2", cuts);
    putText(d + 62, f, e.text3, TemplateKind::Fio, i, "Text3", cuts);
    td::le::putU8(d + 93, e.enabled ? 1 : 0);
    td::le::putU8(d + 94, quint8(i));
}

void writeWheel(char *d, const WheelTemplate &e, int i, QVector<TemplateTextCut> *cuts)
{
    putText(d, WheelTemplate::TextField, e.text, TemplateKind::Wheel, i, "Text", cuts);
    td::le::putU8(d + 101, e.enabled ? 1 : 0);
    td::le::putU8(d + 102, quint8(i));
}

void writeUzel(char *d, const UzelTemplate &e, int i, QVector<TemplateTextCut> *cuts)
{
    const int f = UzelTemplate::TextField;
    // The key's field order puts Text2 first and the main text last.
    putText(d + 0, f, e.text2, TemplateKind::Uzel, i, "Text2", cuts);
    putText(d + 41, f, e.text3, TemplateKind::Uzel, i, "Text3", cuts);
    putText(d + 82, f, e.text1, TemplateKind::Uzel, i, "Text1", cuts);
    td::le::putU8(d + 123, e.countBolts);
    td::le::putU8(d + 124, e.enabled ? 1 : 0);
    td::le::putU8(d + 125, quint8(i));
    td::le::putU8(d + 126, 0);
    td::le::putU8(d + 127, e.algorithm);
    td::le::putF32(d + 128, e.lowMoment);
    td::le::putF32(d + 132, e.highMoment);
    td::le::putF32(d + 136, e.headMm);
    td::le::putF32(d + 140, e.lowAngle);
    td::le::putF32(d + 144, e.highAngle);
    td::le::putF32(d + 148, e.startMoment);
    td::le::putF32(d + 152, e.pitchStep);
    td::le::putF32(d + 156, e.angle);
}

FioTemplate readFio(const char *d)
{
    FioTemplate e;
    const int f = FioTemplate::TextField;
    e.text1 = PlainText::clean(Utf8Field::read(d + 0, f));
    e.text2 = PlainText::clean(Utf8Field::read(d + 31, f));
    e.text3 = PlainText::clean(Utf8Field::read(d + 62, f));
    e.enabled = td::le::u8(d + 93) != 0;
    e.index = td::le::u8(d + 94);
    return e;
}

WheelTemplate readWheel(const char *d)
{
    WheelTemplate e;
    e.text = PlainText::clean(Utf8Field::read(d, WheelTemplate::TextField));
    e.enabled = td::le::u8(d + 101) != 0;
    e.index = td::le::u8(d + 102);
    return e;
}

UzelTemplate readUzel(const char *d)
{
    UzelTemplate e;
    const int f = UzelTemplate::TextField;
    e.text2 = PlainText::clean(Utf8Field::read(d + 0, f));
    e.text3 = PlainText::clean(Utf8Field::read(d + 41, f));
    e.text1 = PlainText::clean(Utf8Field::read(d + 82, f));
    e.countBolts = td::le::u8(d + 123);
    e.enabled = td::le::u8(d + 124) != 0;
    e.index = td::le::u8(d + 125);
    e.algorithm = td::le::u8(d + 127);
    e.lowMoment = td::le::f32(d + 128);
    e.highMoment = td::le::f32(d + 132);
    e.headMm = td::le::f32(d + 136);
    e.lowAngle = td::le::f32(d + 140);
    e.highAngle = td::le::f32(d + 144);
    e.startMoment = td::le::f32(d + 148);
    e.pitchStep = td::le::f32(d + 152);
    e.angle = td::le::f32(d + 156);
    return e;
}

template <typename Entry, size_t N, typename Writer>
QByteArray encodeList(const std::array<Entry, N> &list, Writer write, QVector<TemplateTextCut> *cuts)
{
    // Each entry is built in a fixed buffer and then appended: GCC cannot see that a QByteArray
    // made with a size owns that many bytes, and warns about every write through data().
    QByteArray out;
    out.reserve(static_cast<int>(N) * Entry::EntrySize);
    for (size_t i = 0; i < N; ++i) {
        std::array<char, Entry::EntrySize> entry{};
        write(entry.data(), list[i], int(i), cuts);
        out.append(entry.data(), Entry::EntrySize);
    }
    return out;
}

template <typename Entry, size_t N, typename Reader>
TemplateBinary::ApplyResult applyList(const QByteArray &bytes, std::array<Entry, N> &list,
                                      Reader read, const char *fileName)
{
    TemplateBinary::ApplyResult r;
    const int whole = qMin(bytes.size() / Entry::EntrySize, int(N));
    for (int slot = 0; slot < whole; ++slot) {
        Entry e = read(bytes.constData() + slot * Entry::EntrySize);
        if (e.index >= N) {
            r.skippedIndexes << int(e.index);
            continue;
        }
        list[e.index] = e;
        r.applied << int(e.index);
    }
    QStringList notes;
    if (bytes.size() < int(N) * Entry::EntrySize) {
        r.short_ = true;
        notes << QStringLiteral("%1: %2 of %3 bytes, %4 whole entries")
                     .arg(QLatin1String(fileName))
                     .arg(bytes.size())
                     .arg(int(N) * Entry::EntrySize)
                     .arg(whole);
    }
    if (!r.skippedIndexes.isEmpty()) {
        QStringList idx;
        for (int i : qAsConst(r.skippedIndexes))
            idx << QString::number(i);
        notes << QStringLiteral("%1: skipped entries with index %2")
                     .arg(QLatin1String(fileName), idx.join(QLatin1Char(',')));
    }
    r.problem = notes.join(QStringLiteral("; "));
    return r;
}

} // namespace

const char *TemplateBinary::fileName(TemplateKind kind)
{
    switch (kind) {
    case TemplateKind::Fio:
        return "FioTypes";
    case TemplateKind::Wheel:
        return "WheelTypes";
    case TemplateKind::Uzel:
        return "UzelTypes";
    }
    return "";
}

int TemplateBinary::fileSize(TemplateKind kind)
{
    switch (kind) {
    case TemplateKind::Fio:
        return FioFileSize;
    case TemplateKind::Wheel:
        return WheelFileSize;
    case TemplateKind::Uzel:
        return UzelFileSize;
    }
    return 0;
}

QByteArray TemplateBinary::encodeFio(const TemplateLists &lists, QVector<TemplateTextCut> *cuts)
{
    return encodeList(lists.fio, writeFio, cuts);
}

QByteArray TemplateBinary::encodeWheel(const TemplateLists &lists, QVector<TemplateTextCut> *cuts)
{
    return encodeList(lists.wheel, writeWheel, cuts);
}

QByteArray TemplateBinary::encodeUzel(const TemplateLists &lists, QVector<TemplateTextCut> *cuts)
{
    return encodeList(lists.uzel, writeUzel, cuts);
}

QByteArray TemplateBinary::encode(TemplateKind kind, const TemplateLists &lists,
                                  QVector<TemplateTextCut> *cuts)
{
    switch (kind) {
    case TemplateKind::Fio:
        return encodeFio(lists, cuts);
    case TemplateKind::Wheel:
        return encodeWheel(lists, cuts);
    case TemplateKind::Uzel:
        return encodeUzel(lists, cuts);
    }
    return QByteArray();
}

TemplateBinary::ApplyResult TemplateBinary::apply(TemplateKind kind, const QByteArray &bytes,
                                                  TemplateLists *lists)
{
    if (!lists)
        return ApplyResult();
    switch (kind) {
    case TemplateKind::Fio:
        return applyList(bytes, lists->fio, readFio, fileName(kind));
    case TemplateKind::Wheel:
        return applyList(bytes, lists->wheel, readWheel, fileName(kind));
    case TemplateKind::Uzel:
        return applyList(bytes, lists->uzel, readUzel, fileName(kind));
    }
    return ApplyResult();
}
