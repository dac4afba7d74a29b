#pragma once

#include "records/TemplateEntries.h"
#include "records/TemplateLists.h"
#include "records/TemplateTextCut.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class FileExchange;
class KeyModel;
class PopupHost;
class QGridLayout;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;
class TemplateListsModel;
class TemplateTextRow;
class UzelTemplateRow;
class cParameter;

// The "Types" page: one tab per template list with a row per entry, "Save" (the current
// list to the key), "From JSON" (the current list from a JSON file), and the service
// buttons that save all lists to a PC folder, send a PC folder's lists to the key and fill
// the key with default lists.
//
// The rows show the shared TemplateListsModel: whatever reaches the model (the key's files,
// a JSON import, a save) is applied to the rows, and a save puts the rows into the model, so
// the record editor, the level tree and the reports follow.
class TemplatesPage : public QObject
{
    Q_OBJECT
public:
    struct Widgets
    {
        QTabWidget *tabs = nullptr;      // tabWheelUzel
        QPushButton *fromJson = nullptr; // pbTemplatesFromJson
        QPushButton *save = nullptr;     // pbTemplatesSave
        QLabel *note = nullptr;          // optional: tells when the shown list is not saved
        QWidget *service = nullptr;      // optional: container for the three folder buttons
        // Build the rows a few at a time while the event loop is idle rather than at once (the
        // 100 node rows cost more than the rest of the start-up together). A list needed
        // sooner (its tab on screen, a save) is completed on the spot.
        bool rowsWhenIdle = false;
    };
    // Asks for a folder: (dialog title, start folder) -> the chosen folder, empty when cancelled.
    using FolderChooser = std::function<QString(const QString &title, const QString &start)>;

    // files and keyModel may be null (nothing is sent; defaults use a nominal moment of 0).
    TemplatesPage(const Widgets &widgets, TemplateListsModel *model, FileExchange *files, KeyModel *keyModel,
                  QObject *parent = nullptr);

    // Keypad for the value fields and the question before filling with defaults; without
    // it values cannot be typed and defaults are filled without asking.
    void setPopups(PopupHost *popups) { m_popups = popups; }
    // The calibration page's "Basic Head" value; by default the head size the key reported.
    void setBasicHeadProvider(std::function<double()> provider) { m_basicHead = std::move(provider); }
    // Replaces the folder dialog (tests, automation).
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }

    TemplateKind currentKind() const;
    // The lists as the model holds them with the given list taken from the rows.
    TemplateLists collect(TemplateKind kind) const;
    bool hasUnsavedChanges(TemplateKind kind) const { return m_dirty[int(kind)]; }

    // Null for a row not built yet (see Widgets::rowsWhenIdle).
    TemplateTextRow *fioRow(int i) const { return m_fioRows.value(i); }
    TemplateTextRow *wheelRow(int i) const { return m_wheelRows.value(i); }
    UzelTemplateRow *uzelRow(int i) const { return m_uzelRows.value(i); }

    // The flows behind the buttons, with the folder already chosen. Each returns true when
    // it did its whole job; every failure has been told to the user.
    bool saveList(TemplateKind kind);
    bool importJson(const QString &dir);
    bool saveAllToFolder(const QString &dir);
    bool ReadTemplatesFromFile(const QString &dir);
    bool fillWithDefaults();

public slots:
    void iBtnTemplatesApply_Click();
    void iBtnTemplatesGetFromJson_Click();
    void tabWheelUzel_currentChanged(int aIndex);
    void iBtnTemplatesToFolder_Click();
    void iBtnTemplatesFromFolder_Click();
    void iBtnTemplatesDefaults_Click();

signals:
    // A message for the user (text, cParameter colour name such as "red").
    void messageRequested(const QString &text, const QString &style);
    void statusMessage(const QString &text);

private slots:
    void onEntriesChanged(int kind, const QVector<int> &indexes);
    void onModesChanged();
    void onRowEdited();
    void showKeypad(cParameter *aPar);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTabs();
    void ensureRows(TemplateKind kind);
    void buildRows(TemplateKind kind, int upTo);
    void buildRowsWhileIdle();
    void buildServiceButtons(QWidget *container);
    QWidget *makeListTab(const QString &objectName, const QStringList &headers, int stretchColumns, QGridLayout **grid);
    void applyEntry(TemplateKind kind, int index);
    void applyPendingWhileIdle();
    void applyPending(TemplateKind kind);
    void setDirty(TemplateKind kind, bool dirty);
    QString chooseFolder(const QString &title, const QString &start) const;
    void tellCuts(const QVector<TemplateTextCut> &cuts, QStringList *lines) const;
    static QString mirrorDir();

    Widgets m_w;
    TemplateListsModel *m_model;
    FileExchange *m_files;
    KeyModel *m_keyModel;
    PopupHost *m_popups = nullptr;
    std::function<double()> m_basicHead;
    FolderChooser m_chooseFolder;
    QList<TemplateTextRow *> m_fioRows;
    QList<TemplateTextRow *> m_wheelRows;
    QList<UzelTemplateRow *> m_uzelRows;
    QGridLayout *m_grids[3] = {nullptr, nullptr, nullptr};
    int m_rowsBuilt[3] = {0, 0, 0};
    // Entries the model changed that the rows do not show yet, first changed first.
    QVector<int> m_pending[3];
    bool m_applyQueued = false;
    bool m_ownChange = false; // the model is changing at this page's request
    bool m_dirty[3] = {false, false, false};
    int m_lastTab = 0;
};
