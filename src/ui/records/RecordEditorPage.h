#pragma once

#include "ui/records/RecordEditorForm.h"
#include "records/RecordHeader.h"
#include "records/RecordParameters.h"
#include "records/TemplateEntries.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class FileExchange;
class KeyModel;
class KeyProtocol;
class PopupHost;
class QLabel;
class QWidget;
class RecordList;
class TemplateListsModel;
class cParameter;

// The record editor of the records page ("Viewer"): shows the record named by the four
// editor inputs or chosen in the record-name combo, and creates, edits or deletes it.
//
// Each operation is armed first and confirmed with its own Yes / No pair. While one is
// armed the other operations, the record selection and the window's navigation are locked,
// so Yes always acts on the record that was shown when the operation was armed.
//
// A written record goes to the local dbsett mirror (atomically) and then to the key; once
// the key confirms it, the key is told to make it its current record. A record is deleted
// by asking the key; the mirror follows when the key reports the change.
class RecordEditorPage : public QObject
{
    Q_OBJECT
public:
    enum class State { Idle, ArmedCreate, ArmedEdit, ArmedDelete };

    struct Widgets
    {
        RecordEditorForm::Containers containers;
        // Controls outside the page that leave it (left menu, Settings / Back).
        QList<QWidget *> navigation;
    };

    // Any of the models may be null in tests: nothing is sent without files / protocol,
    // dates are hidden without keyModel.
    RecordEditorPage(const Widgets &widgets, RecordList *records, TemplateListsModel *templates,
                     FileExchange *files, KeyProtocol *protocol, KeyModel *keyModel,
                     QObject *parent = nullptr);

    // Keypad for the value fields; without it values cannot be typed.
    void setPopups(PopupHost *popups) { m_popups = popups; }
    // Whether the records page is on screen (the low-angle field of code 9 takes its
    // 0..10 range only there). Shown by default.
    void setRecordsPageShownProvider(std::function<bool()> provider) { m_pageShown = std::move(provider); }

    RecordEditorForm &form() { return m_form; }
    State state() const { return m_state; }
    QString recordName() const;
    bool recordExists() const { return m_exists; }
    QString statusText() const;
    // The code the algorithm combo stands for now.
    int currentAlgorithm() const;
    cParameter *parameter(RecordParameter p) const { return m_form.params[size_t(p)]; }
    // The header Yes would write now: editor values, no measures, status 0.
    RecordHeader collectHeader() const;

public slots:
    // Shows the record named by the F.I.O., Wheel, operation-number and Uzel inputs.
    void slot_GetRecordStatus();
    // Record-name combo: shows the record of that name.
    void iCmbPageNumberOP_Changed(int index);
    // Algorithm combo: captions, ranges and visible fields for the chosen code.
    void iBtnAlgOP_Changed(int index);
    void iBtnNewRecordCreate_Click();
    void iBtnNewRecordEdit_Click();
    void iBtnNewRecordDelete_Click();
    // The six Yes / No buttons, told apart by the sender.
    void iBtnNewRecordYesNo_Click();
    // A value field changed: keeps Low Moment <= High Moment.
    void iParRangegOPChanged_Changed();
    // The key confirmed a written file; for a record it becomes the key's current one.
    // Runs for one confirmation (it disconnects itself).
    void slot_files_put_file_RecordUpdated(const QStringList &folderAndFile);
    // Arms slot_files_put_file_RecordUpdated for the next confirmation (whoever sent a
    // record file and wants the key to show it).
    void expectRecordUpdated();
    // Shows a record by name; an empty name builds it from the editor inputs.
    void showRecord(const QString &name);
    // Drops an armed operation as its No would (the key went away, the record tabs reset).
    void cancelOperation();
    // The records page came on screen: the shown record's fields take their on-page look.
    void refreshForRecordsPage();
    // The caption of a menu level names its input (0 F.I.O., 1 Wheel, 2 operation number,
    // 3 Uzel); a blank caption brings back the built-in one.
    void setLevelCaption(int level, const QString &caption);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // A message for the user (text, cParameter colour name such as "red").
    void messageRequested(const QString &text, const QString &style);
    void statusMessage(const QString &text);
    // A record was shown (exists: its file is in the mirror).
    void recordShown(const QString &name, bool exists);

private slots:
    void onRecordsRebuilt();
    void onTemplatesChanged();
    void onModesChanged();
    void onParameterClicked(cParameter *aPar);

private:
    using Operation = RecordEditorForm::Operation;

    void connectWidgets();
    void arm(Operation op);
    void finishOperation(Operation op);
    void setSelectionLocked(bool locked);
    void setStatus(const QString &text);
    void setOperationEnabled(Operation op, bool enabled);
    void showExisting(const RecordHeader &header, bool headerComplete, int entryCount);
    void showNew();
    void prefillFromNode(int uzelIndex);
    void showHeaderValues(const RecordHeader &h);
    void offerOperations(bool exists);
    void fillAlgorithmCombo(int keepCode);
    void selectAlgorithm(int code);
    void applyAlgorithm(int code);
    void setValue(RecordParameter p, double value);
    void colourCaption(QLabel *caption, TemplateKind kind, int index);
    void colourCaptions();
    void writeRecord(Operation op);
    void deleteRecord();
    bool angleLowFollowsAlgorithm() const;
    QString nameFromInputs() const;

    RecordEditorForm m_form;
    QList<QPointer<QWidget>> m_navigation;
    RecordList *m_records;
    TemplateListsModel *m_templates;
    // The record whose confirmation makes it the key's current one (empty: any record).
    QString m_recordAwaited;
    FileExchange *m_files;
    KeyProtocol *m_protocol;
    KeyModel *m_keyModel;
    PopupHost *m_popups = nullptr;
    std::function<bool()> m_pageShown;

    State m_state = State::Idle;
    bool m_exists = false;
    RecordHeader m_shownHeader;
    std::array<bool, RecordEditorForm::Operations> m_enabledBeforeArming{};
    std::array<QString, 4> m_defaultCaptions;
};
