// One input, every record and template parser: the record file, the three template files,
// their JSON form, "ModesVisibility", record names and UTF-8 field fitting. Beyond not
// crashing, each codec must be stable: what it writes, it reads back to the same bytes.
#include "records/ModesVisibility.h"
#include "records/RecordFile.h"
#include "records/RecordName.h"
#include "records/TemplateBinary.h"
#include "records/TemplateJson.h"
#include "base/Utf8Field.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

void recordFile(const QByteArray &bytes)
{
    const auto r = RecordFile::read(bytes);
    check(r.record.entries.size() <= r.promisedEntries);
    check(r.record.entries.size() <= qMax(0, (bytes.size() - RecordHeader::Size) / MeasureEntry::Size));
    if (!r.headerComplete) {
        check(r.record.entries.isEmpty());
        return;
    }
    const QByteArray out = r.record.toBytes();
    check(out.size() == RecordHeader::Size + MeasureEntry::Size * qMax(1, r.record.entries.size()));
    const auto again = RecordFile::read(out);
    check(again.ok() && again.headerCrcOk && again.badEntryCrcs == 0);
    check(again.record.toBytes() == out);
}

void templates(const QByteArray &bytes)
{
    for (TemplateKind k : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        TemplateLists lists;
        const auto r = TemplateBinary::apply(k, bytes, &lists);
        check(r.applied.size() + r.skippedIndexes.size() <= bytes.size() / 95 + 1);
        QVector<TemplateTextCut> cuts;
        const QByteArray out = TemplateBinary::encode(k, lists, &cuts);
        check(out.size() == TemplateBinary::fileSize(k));
        TemplateLists back;
        TemplateBinary::apply(k, out, &back);
        QVector<TemplateTextCut> none;
        check(TemplateBinary::encode(k, back, &none) == out);
        check(none.isEmpty());

        TemplateLists fromJson;
        const auto j = TemplateJson::read(k, bytes, &fromJson);
        if (j.ok) {
            QVector<TemplateTextCut> jsonCuts;
            TemplateBinary::encode(k, fromJson, &jsonCuts);
            check(jsonCuts.isEmpty()); // import already fitted every text
        }
    }
}

void namesAndFields(const QByteArray &bytes)
{
    const QString name = QString::fromLatin1(bytes.left(32));
    RecordName::Parts p;
    if (RecordName::parse(name, &p))
        check(RecordName::make(p.fio, p.wheel, p.operation, p.uzel) == name);

    const QString text = QString::fromUtf8(bytes.left(200));
    for (int field : {1, 13, 31, 41, 101}) {
        bool cut = false;
        const QByteArray fitted = Utf8Field::fit(text, field, &cut);
        check(fitted.size() <= field - 1);
        check(text.toUtf8().startsWith(fitted));
        check(QString::fromUtf8(fitted).toUtf8() == fitted);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool installed = (qInstallMessageHandler(quiet), true);
    Q_UNUSED(installed);
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(qMin<size_t>(size, 1 << 20)));
    recordFile(bytes);
    templates(bytes);
    ModesVisibility mv;
    mv.load(bytes);
    namesAndFields(bytes);
    return 0;
}
