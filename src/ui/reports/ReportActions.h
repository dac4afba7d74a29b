#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

class PopupHost;
class QAbstractItemModel;
class QrReportEngine;
class TemplateListsModel;

// The report buttons' behaviour: the CSV of the memory table, the workbook of the record in
// the editor, the QR list of every local record, and the reports folder. The reports are
// made by the core (the same code the command line runs); this class asks for file names,
// shows the outcome and keeps what the window keeps between runs.
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
    // The non-native save dialog unless replaced (tests answer it themselves).
    void setSaveNameAsker(SaveNameAsker asker) { m_ask = std::move(asker); }
    // The desktop's URL handler unless replaced; false when nothing could open the address.
    void setUrlOpener(std::function<bool(const QUrl &)> opener) { m_open = std::move(opener); }

    QString lastExcelReport() const { return m_lastExcel; }

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
    // For the status line: where a report went.
    void statusMessage(const QString &text);

private:
    void fail(const QString &text);
    void open(const QString &path);

    const QAbstractItemModel *m_memory = nullptr;
    const TemplateListsModel *m_lists = nullptr;
    PopupHost *m_popups = nullptr;
    std::function<QStringList()> m_recordNames;
    SaveNameAsker m_ask;
    std::function<bool(const QUrl &)> m_open;
    std::unique_ptr<QrReportEngine> m_engine;
    QString m_lastExcel;
};
