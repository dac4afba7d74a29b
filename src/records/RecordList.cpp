#include "records/RecordList.h"

#include "base/Log.h"
#include "base/Paths.h"
#include "records/TemplateBinary.h"

#include <QDir>
#include <QFile>

RecordList::RecordList(QObject *parent) : QObject(parent) {}

QStringList RecordList::names() const
{
    QStringList out;
    out.reserve(m_items.size());
    for (const RecordItem &item : m_items)
        out.append(item.name);
    return out;
}

int RecordList::indexOf(const QString &name) const
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items[i].name == name)
            return i;
    }
    return -1;
}

TemplateLists RecordList::loadTemplates(const QString &templatesFolder)
{
    TemplateLists lists;
    for (TemplateKind kind : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        QFile f(QDir(templatesFolder).filePath(QLatin1String(TemplateBinary::fileName(kind))));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        // Never more than the list can hold, whatever sits in the mirror.
        const QByteArray bytes = f.read(TemplateBinary::fileSize(kind));
        const TemplateBinary::ApplyResult r = TemplateBinary::apply(kind, bytes, &lists);
        if (!r.problem.isEmpty())
            td::log(QStringLiteral("RecordList: ") + f.fileName() + QStringLiteral(": ") + r.problem);
    }
    return lists;
}

TemplateLists RecordList::currentTemplates() const
{
    return m_templateSource ? m_templateSource() : loadTemplates(Paths::downloadDir(QStringLiteral("templates")));
}

void RecordList::rebuild()
{
    rebuild(Paths::downloadDir(QStringLiteral("dbsett")), currentTemplates());
}

void RecordList::rebuild(const QString &recordsFolder, const TemplateLists &templates)
{
    m_items.clear();
    m_headers.clear();
    m_templates = templates;
    const QDir dir(recordsFolder);
    const QStringList files = dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    m_items.reserve(files.size());
    m_headers.reserve(files.size());
    for (const QString &name : files) {
        if (!Paths::isSafeName(name)) {
            td::log(QStringLiteral("RecordList: file name refused: ") + name);
            continue;
        }
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) {
            td::log(QStringLiteral("RecordList: can't open ") + f.fileName());
            continue;
        }
        // The tree needs the header only; the measured entries behind it can be long.
        const QByteArray head = f.read(RecordHeader::Size);
        if (head.size() < RecordHeader::Size) {
            td::log(QStringLiteral("RecordList: %1 is %2 bytes, shorter than a record header; left out")
                        .arg(name)
                        .arg(head.size()));
            continue;
        }
        const RecordHeader h = RecordHeader::fromBytes(head.constData());
        m_headers.append(h);
        m_items.append(RecordItem::fromHeader(name, h, m_templates));
    }
    emit rebuilt();
}

void RecordList::setTemplates(const TemplateLists &templates)
{
    m_templates = templates;
    for (int i = 0; i < m_items.size(); ++i)
        m_items[i] = RecordItem::fromHeader(m_items[i].name, m_headers[i], m_templates);
    emit textsChanged();
}

void RecordList::slot_files_got_dir(const QString &folder)
{
    const QString name = folder.startsWith(QLatin1Char('/')) ? folder.mid(1) : folder;
    if (name == QLatin1String("dbsett"))
        rebuild();
    else if (name == QLatin1String("templates"))
        setTemplates(currentTemplates());
}
