#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class Job;
class JobProgressWidget;
class PopupHost;
class QAbstractItemModel;
class TemplateListsModel;

// The report buttons' behaviour: the CSV of the memory table, the workbook of the record in
// the editor, the QR list of every local record, and the reports folder. The reports are
// jobs of the core (the same the command line runs) on threads of their own; this class asks
// for file names, copies what the jobs read from the window, starts them and keeps what the
// window keeps between runs. A second report of a kind already being made is refused with
// a message: two lists racing for the same folder would only confuse.
class ReportActions : public QObject
{
    Q_OBJECT
public:
    // Asks for a file name to save to (title, proposed path, filter; *selectedFilter gets
    // the filter chosen). Empty: the user cancelled.
    using SaveNameAsker = std::function<QString(const QString &title, const QString &proposed,
                                                const QString &filter, QString *selectedFilter)>;

    explicit ReportActions(QObject *parent = nullptr);
    ~ReportActions() override;

    void setMemoryModel(const QAbstractItemModel *model) { m_memory = model; }
    // The records the page on screen offers for the workbook (names in the dbsett mirror): the
    // record being edited, or what the main form's record tab shows. The workbook holds one.
    void setRecordNamesProvider(std::function<QStringList()> provider) { m_recordNames = std::move(provider); }
    void setTemplateLists(const TemplateListsModel *lists) { m_lists = lists; }
    void setPopups(PopupHost *popups) { m_popups = popups; }
    // Where running reports and their outcomes are shown.
    void setProgressWidget(JobProgressWidget *progress) { m_progress = progress; }
    // The non-native save dialog unless replaced (tests answer it themselves).
    void setSaveNameAsker(SaveNameAsker asker) { m_ask = std::move(asker); }
    // The desktop's URL handler unless replaced; false when nothing could open the address.
    void setUrlOpener(std::function<bool(const QUrl &)> opener) { m_open = std::move(opener); }

    QString lastExcelReport() const { return m_lastExcel; }
    enum class Kind { Csv, Excel, QrList };
    bool isRunning(Kind kind) const { return m_running[int(kind)]; }

public slots:
    void iBtnSaveReport_Click();
    void iBtnStart_Click();
    void iBtnQRGenerate_Click();
    void iBtnOpenReport_Click();

signals:
    // A message for the user (text, cParameter colour name such as "red").
    void messageRequested(const QString &text, const QString &style);
    // A report is complete under its final name.
    void reportSaved(const QString &path);
    // A report job ended without its file (the reason is shown by the progress widget).
    void reportFailed(const QString &error);
    // For the status line: where a report went.
    void statusMessage(const QString &text);

private:
    void fail(const QString &text);
    void open(const QString &path);
    // True (and said) while a report of kind is being made.
    bool refuseWhileRunning(Kind kind);
    // Starts job and marks its kind running until it ends; onSaved runs on the GUI thread after success.
    void launch(Kind kind, Job *job, const QString &title, const QString &path, bool announce,
                std::function<void()> onSaved = {});

    const QAbstractItemModel *m_memory = nullptr;
    const TemplateListsModel *m_lists = nullptr;
    PopupHost *m_popups = nullptr;
    JobProgressWidget *m_progress = nullptr;
    bool m_running[3] = {false, false, false};
    std::function<QStringList()> m_recordNames;
    SaveNameAsker m_ask;
    std::function<bool(const QUrl &)> m_open;
    QString m_lastExcel;
};
