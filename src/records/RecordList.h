#pragma once

#include "records/RecordItem.h"
#include "records/TemplateLists.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// The records of the local dbsett mirror as the program shows them: one item per record file,
// in file-name order, with the texts of the template lists that came from the same key.
// The level tree, the record editor's record-name combo and its count label all read this one
// list; whoever shows records subscribes to rebuilt().
class RecordList : public QObject
{
    Q_OBJECT
public:
    explicit RecordList(QObject *parent = nullptr);

    const QVector<RecordItem> &items() const { return m_items; }
    QStringList names() const;
    int count() const { return m_items.size(); }
    // Position of the record named name, -1 when the mirror has no such record.
    int indexOf(const QString &name) const;
    const TemplateLists &templates() const { return m_templates; }

    // The template lists in a templates mirror folder; a missing or short file leaves the
    // entries it does not hold empty.
    static TemplateLists loadTemplates(const QString &templatesFolder);
    // Where rebuild() takes the template texts from; without one, the templates mirror.
    void setTemplateSource(std::function<TemplateLists()> source) { m_templateSource = std::move(source); }

public slots:
    // Re-reads the dbsett and templates mirrors of the data root.
    void rebuild();
    // Re-reads recordsFolder with the given texts. Files that cannot be a record (a name that
    // could leave the folder, fewer bytes than a header) are left out and logged, so a damaged
    // mirror never shows a record that is not there.
    void rebuild(const QString &recordsFolder, const TemplateLists &templates);
    // New template texts for the records already read (the templates page saved a list).
    void setTemplates(const TemplateLists &templates);
    // FileExchange: "/dbsett" complete rebuilds the list, "/templates" renews the texts.
    void slot_files_got_dir(const QString &folder);

signals:
    // The list was read again (also when it came out empty).
    void rebuilt();
    // Only the texts changed; the records are the same.
    void textsChanged();

private:
    QVector<RecordItem> m_items;
    QVector<RecordHeader> m_headers; // kept so new template texts need no second read
    TemplateLists m_templates;
    std::function<TemplateLists()> m_templateSource;

    TemplateLists currentTemplates() const;
};
