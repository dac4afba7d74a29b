#include "records/TemplateTextCut.h"

#include "base/Utf8Field.h"

namespace {

bool fitOne(QString &text, int fieldSize)
{
    bool cut = false;
    const QByteArray bytes = Utf8Field::fit(text, fieldSize, &cut);
    if (cut)
        text = QString::fromUtf8(bytes);
    return cut;
}

int fitField(QString &text, int fieldSize, TemplateKind kind, int entry, const char *name,
             QVector<TemplateTextCut> *cuts)
{
    if (!fitOne(text, fieldSize))
        return 0;
    if (cuts)
        cuts->append(TemplateTextCut{kind, entry, QString::fromLatin1(name)});
    return 1;
}

int fieldLimit(TemplateKind kind)
{
    switch (kind) {
    case TemplateKind::Fio:
        return FioTemplate::TextField - 1;
    case TemplateKind::Wheel:
        return WheelTemplate::TextField - 1;
    case TemplateKind::Uzel:
        return UzelTemplate::TextField - 1;
    }
    return 0;
}

} // namespace

QString TemplateTextCut::message() const
{
    QString list;
    switch (kind) {
    case TemplateKind::Fio:
        list = tr("F.I.O.");
        break;
    case TemplateKind::Wheel:
        list = tr("Wheel");
        break;
    case TemplateKind::Uzel:
        list = tr("Uzel");
        break;
    }
    return tr("%1 template %2, field %3: text longer than %4 bytes was shortened")
        .arg(list)
        .arg(entry + 1)
        .arg(field)
        .arg(fieldLimit(kind));
}

int TemplateTextCut::fit(FioTemplate &e, int entry, QVector<TemplateTextCut> *cuts)
{
    const auto k = TemplateKind::Fio;
    const int f = FioTemplate::TextField;
    return fitField(e.text1, f, k, entry, "Text1", cuts) + fitField(e.text2, f, k, entry, "Text2", cuts)
           + fitField(e.text3, f, k, entry, "Text3", cuts);
}

int TemplateTextCut::fit(WheelTemplate &e, int entry, QVector<TemplateTextCut> *cuts)
{
    return fitField(e.text, WheelTemplate::TextField, TemplateKind::Wheel, entry, "Text", cuts);
}

int TemplateTextCut::fit(UzelTemplate &e, int entry, QVector<TemplateTextCut> *cuts)
{
    const auto k = TemplateKind::Uzel;
    const int f = UzelTemplate::TextField;
    return fitField(e.text1, f, k, entry, "Text1", cuts) + fitField(e.text2, f, k, entry, "Text2", cuts)
           + fitField(e.text3, f, k, entry, "Text3", cuts);
}
