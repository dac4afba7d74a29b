#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

class FileExchange;
class QLineEdit;
class QPushButton;

// The records page's tools for arbitrary key folders: a folder name and two buttons that
// fetch the whole folder or put chosen local files into it.
class FileExchangePanel : public QWidget
{
    Q_OBJECT
public:
    // Returns the local files the user chose (empty: cancelled).
    using FileChooser = std::function<QStringList(QWidget *parent)>;

    explicit FileExchangePanel(FileExchange *files, QWidget *parent = nullptr);

    // Replaces the file dialog (tests, scripted runs).
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
    QLineEdit *folderEdit() const { return m_folder; }

public slots:
    void iBtnGetAnyFile_Click();
    void iBtnPutAnyFile_Click();

private:
    FileExchange *m_files;
    QLineEdit *m_folder;
    QPushButton *m_get;
    QPushButton *m_put;
    FileChooser m_chooser;
};
