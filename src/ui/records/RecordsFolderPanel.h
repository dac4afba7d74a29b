#pragma once

#include <QObject>
#include <QString>

#include <functional>

class FileExchange;
class KeyProtocol;
class PopupHost;
class QPushButton;
class QWidget;

// The records-folder operations of the records page (frEraseRecords): save the local dbsett
// mirror to a PC folder, send a PC folder's record files to the key, and erase every record
// in the key (after which the program closes).
class RecordsFolderPanel : public QObject
{
    Q_OBJECT
public:
    // Asks for a folder: (dialog title, start folder) -> the chosen folder, empty when cancelled.
    using FolderChooser = std::function<QString(const QString &title, const QString &start)>;

    // files / protocol may be null (nothing is sent).
    RecordsFolderPanel(QWidget *container, FileExchange *files, KeyProtocol *protocol, QObject *parent = nullptr);

    // The question before erasing and the closing message; without it nothing is erased.
    void setPopups(PopupHost *popups) { m_popups = popups; }
    // Replaces the folder dialog (tests, automation).
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }

    QPushButton *saveButton() const { return m_save; }
    QPushButton *copyButton() const { return m_copy; }
    QPushButton *eraseButton() const { return m_erase; }

    // The flows with the folder already chosen. Each returns true when it did its whole job;
    // every failure has been told to the user.
    bool saveToFolder(const QString &dir);
    bool copyFromFolder(const QString &dir);
    // Shows the closing message and asks the key to erase every record.
    void eraseAll();

public slots:
    void iBtnRecordsToFolder_Click();
    void iBtnRecordsFromFolder_Click();
    // "Delete Records in Key": asks first, then eraseAll().
    void iBtnEraseMemory_Click();

signals:
    // A message for the user (text, cParameter colour name such as "red").
    void messageRequested(const QString &text, const QString &style);
    void statusMessage(const QString &text);

private:
    QString chooseFolder(const QString &title) const;

    FileExchange *m_files;
    KeyProtocol *m_protocol;
    PopupHost *m_popups = nullptr;
    FolderChooser m_chooseFolder;
    QPushButton *m_save = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_erase = nullptr;
};
