#include "records/TemplateFiles.h"

#include "base/AtomicFile.h"
#include "records/TemplateBinary.h"
#include "records/TemplateJson.h"

#include <QDir>
#include <QFileInfo>

QString TemplateFiles::binaryPath(const QString &dir, TemplateKind kind)
{
    return dir + QLatin1Char('/') + QLatin1String(TemplateBinary::fileName(kind));
}

QString TemplateFiles::jsonPath(const QString &dir, TemplateKind kind)
{
    return dir + QStringLiteral("/JSON/") + QLatin1String(TemplateJson::fileName(kind));
}

QVector<TemplateTextCut> TemplateFiles::fitTexts(TemplateKind kind, TemplateLists *lists)
{
    QVector<TemplateTextCut> cuts;
    switch (kind) {
    case TemplateKind::Fio:
        for (int i = 0; i < FioTemplate::Count; ++i)
            TemplateTextCut::fit(lists->fio[size_t(i)], i, &cuts);
        break;
    case TemplateKind::Wheel:
        for (int i = 0; i < WheelTemplate::Count; ++i)
            TemplateTextCut::fit(lists->wheel[size_t(i)], i, &cuts);
        break;
    case TemplateKind::Uzel:
        for (int i = 0; i < UzelTemplate::Count; ++i)
            TemplateTextCut::fit(lists->uzel[size_t(i)], i, &cuts);
        break;
    }
    return cuts;
}

TemplateFiles::WriteResult TemplateFiles::writeList(const QString &dir, TemplateKind kind, TemplateLists *lists,
                                                    const QDateTime &when)
{
    WriteResult r;
    r.binaryPath = binaryPath(dir, kind);
    r.cuts = fitTexts(kind, lists);

    // A missing folder is made rather than skipped: an export that quietly lacks a file is
    // worse than one extra folder.
    QDir().mkpath(dir + QStringLiteral("/JSON"));

    QString error;
    r.binaryWritten = AtomicFile::write(r.binaryPath, TemplateBinary::encode(kind, *lists), &error);
    if (!r.binaryWritten)
        r.errors << error;
    error.clear();
    r.jsonWritten = AtomicFile::write(jsonPath(dir, kind), TemplateJson::write(kind, *lists, when), &error);
    if (!r.jsonWritten)
        r.errors << error;
    return r;
}

QString TemplateFiles::checkListFile(const QString &dir, TemplateKind kind)
{
    const QFileInfo info(binaryPath(dir, kind));
    if (!info.isFile())
        return tr("File %1 not found").arg(info.filePath());
    if (info.size() != TemplateBinary::fileSize(kind))
        return tr("File %1 holds %2 bytes instead of %3").arg(info.filePath()).arg(info.size()).arg(
            TemplateBinary::fileSize(kind));
    return QString();
}
