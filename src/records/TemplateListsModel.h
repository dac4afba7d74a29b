#pragma once

#include "records/ModesVisibility.h"
#include "records/TemplateLists.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

// The template lists the program works with, shared by the templates page (which edits and
// saves them), the record editor (its three combos and the node pre-fill), the level tree and
// the reports (text lookup). It also carries the key's "ModesVisibility" table and the key
// mode that together decide which algorithms the combos offer and which fields they show.
//
// The protocol session owns one; it reloads from the local "templates" mirror whenever the
// key's folder (or one of its files) has arrived.
class TemplateListsModel : public QObject
{
    Q_OBJECT
public:
    explicit TemplateListsModel(QObject *parent = nullptr);

    const TemplateLists &lists() const { return m_lists; }
    const ModesVisibility &modes() const { return m_modes; }
    // The key's mode (device setting TypeKey: 0 "Basic" .. 4 "Axial force").
    int keyMode() const { return m_keyMode; }
    // Codes of the algorithms the key offers in its current mode, in code order.
    QVector<int> availableAlgorithms() const { return m_modes.availableAlgorithms(m_keyMode); }
    bool isVisible(int algorithm, RecordParameter p) const { return m_modes.isVisible(algorithm, p); }

    // Shorthands of TemplateLists' lookups, with their "error FIO" / "error WHEEL" /
    // "error UZEL" answers for indexes outside the lists.
    QString fioText(int index, int part) const { return m_lists.fioText(index, part); }
    QString wheelText(int index, int part = 0) const { return m_lists.wheelText(index, part); }
    QString uzelText(int index, int part) const { return m_lists.uzelText(index, part); }
    // Whether an entry may be chosen for a new record; false for an index outside the list.
    bool isEnabled(TemplateKind kind, int index) const;
    // Number of entries of a list (10 / 50 / 100).
    static int count(TemplateKind kind);

    // Replaces every entry of every list.
    void setLists(const TemplateLists &lists);
    // Copies the given entries of one list from `from` (indexes outside the list are ignored).
    void setEntries(TemplateKind kind, const TemplateLists &from, const QVector<int> &indexes);
    // Every entry of one list.
    void setList(TemplateKind kind, const TemplateLists &from);

    void setKeyMode(int mode);
    void setModes(const ModesVisibility &modes);

    // Reads one of "FioTypes", "WheelTypes", "UzelTypes", "ModesVisibility" from dir and
    // applies it; each list entry goes to the slot its own index byte names. Returns false
    // (and logs) when the file is missing, unreadable, or not one of the four.
    bool loadFile(const QString &dir, const QString &fileName);
    // All four files of dir; returns the number of files applied.
    int loadFolder(const QString &dir);

    // Back to empty lists and the everything-shown table (another key, or no key).
    void reset();

public slots:
    // FileExchange: a whole fetched folder is complete ("/templates" reloads the lists).
    void slot_files_got_dir(const QString &folder);
    // FileExchange: one file the key handed over (folder, file); a template file reloads.
    void slot_files_got_file(const QStringList &folderAndFile);

signals:
    // Entries of one list changed (kind is int(TemplateKind)); indexes in ascending order.
    void entriesChanged(int kind, const QVector<int> &indexes);
    // Anything in any list changed; cheap listeners just rebuild.
    void changed();
    // The algorithms on offer or the fields shown may be different now.
    void modesChanged();
    // The template folder of the key has been read into the model (after slot_files_got_dir).
    void receivedFromKey();

private:
    TemplateLists m_lists;
    ModesVisibility m_modes;
    int m_keyMode = 0;
};
