#include "ui/records/RecordsFolderPanel.h"

#include "base/Log.h"
#include "ui/popups/PopupHost.h"
#include "ui/widgets/cParameter.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyProtocol.h"
#include "base/AtomicFile.h"
#include "records/RecordHeader.h"
#include "records/RecordMirror.h"
#include "records/RecordName.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QPushButton>

namespace {

const char kFolderStyle[] =
    "QPushButton {background-color: rgb(235, 235, 235); color: rgb(30, 30, 30); border: 1px solid rgb(170, 170, 170);"
    " border-radius: 6px; padding: 0 8px;} QPushButton:pressed {background-color: rgb(200, 210, 225);}"
    " QPushButton:disabled {color: rgb(160, 160, 160);}";

const char kEraseStyle[] =
    "QPushButton {background-color: rgb(180, 100, 100); color: rgb(255, 255, 255); border-radius: 6px; padding: 0 8px;}"
    " QPushButton:pressed {background-color: rgb(200, 150, 150);}"
    " QPushButton:disabled {background-color: rgb(200, 180, 180); color: rgb(235, 235, 235);}";

// A push button whose caption wraps onto a second line when a language needs the room; the
// caption is a label the clicks pass through.
QPushButton *makeButton(QWidget *parent, const char *name, const char *style, const char *textColour)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setMinimumHeight(56);
    b->setStyleSheet(QLatin1String(style));
    auto *caption = new QLabel(b);
    caption->setObjectName(QLatin1String(name) + QStringLiteral("_caption"));
    caption->setWordWrap(true);
    caption->setAlignment(Qt::AlignCenter);
    caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    caption->setStyleSheet(QStringLiteral("QLabel {background: transparent; color: %1;}").arg(QLatin1String(textColour)));
    QFont f = caption->font();
    f.setPointSize(11);
    caption->setFont(f);
    auto *inside = new QHBoxLayout(b);
    inside->setContentsMargins(6, 2, 6, 2);
    inside->addWidget(caption);
    return b;
}

void setCaption(QPushButton *b, const QString &text)
{
    if (auto *caption = b->findChild<QLabel *>())
        caption->setText(text);
    b->setAccessibleName(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')));
}

} // namespace

RecordsFolderPanel::RecordsFolderPanel(QWidget *container, FileExchange *files, KeyProtocol *protocol,
                                       QObject *parent)
    : QObject(parent)
    , m_files(files)
    , m_protocol(protocol)
{
    auto *box = new QWidget(container);
    box->setObjectName(QStringLiteral("wRecordsFolder"));
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    m_save = makeButton(box, "pbRecordsToFolder", kFolderStyle, "rgb(30, 30, 30)");
    m_copy = makeButton(box, "pbRecordsFromFolder", kFolderStyle, "rgb(30, 30, 30)");
    m_erase = makeButton(box, "pbEraseRecords", kEraseStyle, "rgb(255, 255, 255)");
    setCaption(m_save, tr("Save Records to folder on PC"));
    setCaption(m_copy, tr("Copy Records from PC folder to Key"));
    setCaption(m_erase, tr("Delete Records in Key") + QLatin1Char('\n') + tr("(need to restart the program)"));
    m_erase->setAccessibleName(tr("Delete Records in Key"));
    m_erase->setAccessibleDescription(tr("(need to restart the program)"));
    for (QPushButton *b : {m_save, m_copy, m_erase})
        row->addWidget(b, 1);
    container->layout()->addWidget(box);

    connect(m_save, &QPushButton::clicked, this, &RecordsFolderPanel::iBtnRecordsToFolder_Click);
    connect(m_copy, &QPushButton::clicked, this, &RecordsFolderPanel::iBtnRecordsFromFolder_Click);
    connect(m_erase, &QPushButton::clicked, this, &RecordsFolderPanel::iBtnEraseMemory_Click);
}

QString RecordsFolderPanel::chooseFolder(const QString &title) const
{
    if (m_chooseFolder)
        return m_chooseFolder(title, QDir::currentPath());
    return QFileDialog::getExistingDirectory(m_save->window(), title, QDir::currentPath());
}

void RecordsFolderPanel::iBtnRecordsToFolder_Click()
{
    const QString dir = chooseFolder(tr("Select a Directory for save records"));
    if (!dir.isEmpty())
        saveToFolder(dir);
}

void RecordsFolderPanel::iBtnRecordsFromFolder_Click()
{
    const QString dir = chooseFolder(tr("Select a Directory for get records"));
    if (!dir.isEmpty())
        copyFromFolder(dir);
}

bool RecordsFolderPanel::saveToFolder(const QString &dir)
{
    const QDir mirror(RecordMirror::folder());
    const QStringList names = mirror.entryList(QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        emit statusMessage(tr("There are no records to save"));
        return true;
    }
    // A copy over an older file of the same name replaces it whole; one that fails is told.
    QStringList failed;
    for (const QString &name : names) {
        QFile in(mirror.filePath(name));
        QString error;
        if (!in.open(QIODevice::ReadOnly)) {
            td::log(QStringLiteral("Save records: can't read ") + in.fileName());
            failed << name;
            continue;
        }
        if (!AtomicFile::write(QDir(dir).filePath(name), in.readAll(), &error))
            failed << name;
    }
    if (!failed.isEmpty()) {
        emit messageRequested(tr("Warning! %1 of %2 records were not saved to the folder!")
                                  .arg(failed.size())
                                  .arg(names.size()),
                              QStringLiteral("red"));
        return false;
    }
    td::log(QStringLiteral("Save records: %1 files to %2").arg(names.size()).arg(dir));
    emit statusMessage(tr("%1 records saved to %2").arg(names.size()).arg(dir));
    return true;
}

bool RecordsFolderPanel::copyFromFolder(const QString &dir)
{
    const QDir source(dir);
    const QFileInfoList files = source.entryInfoList({QStringLiteral("*")}, QDir::Files, QDir::Name);
    if (files.isEmpty()) {
        emit messageRequested(tr("Warning! Folder is empty!"), QStringLiteral("red"));
        return false;
    }
    // Only files that can be records go into the key's records folder.
    QStringList records;
    for (const QFileInfo &info : files) {
        RecordName::Parts parts;
        if (!RecordName::parse(info.fileName(), &parts) || info.size() < RecordHeader::Size) {
            td::log(QStringLiteral("Copy records: %1 is not a record file; not sent").arg(info.fileName()));
            continue;
        }
        records << info.absoluteFilePath();
    }
    if (records.isEmpty()) {
        emit messageRequested(tr("Warning! There are no record files in the folder!"), QStringLiteral("red"));
        return false;
    }
    int sent = 0;
    for (const QString &path : records) {
        // The last write of the folder fetches it back, so the mirror matches the key.
        if (m_files && m_files->PutFileToFolder(QStringLiteral("dbsett"), path, true))
            ++sent;
    }
    td::log(QStringLiteral("Copy records: %1 of %2 files queued from %3").arg(sent).arg(records.size()).arg(dir));
    emit statusMessage(tr("%1 records queued for the key").arg(sent));
    return sent == records.size();
}

void RecordsFolderPanel::iBtnEraseMemory_Click()
{
    if (!m_popups)
        return;
    cParameter question(tr("All records will be erased from the key. Continue?"), true, QString(),
                        QStringLiteral("red"));
    QPointer<RecordsFolderPanel> self(this);
    m_popups->PopupQuestionWindow(&question, tr("Yes"), tr("No"),
                                  [self](QWidget *) {
                                      if (self)
                                          self->eraseAll();
                                  },
                                  iFuncWhenYes());
}

void RecordsFolderPanel::eraseAll()
{
    if (m_popups) {
        cParameter message(tr("Warning! Records will be erased from key. Program will be closed. Please restart "
                              "programm if nessesary"),
                           true, QString(), QStringLiteral("red"));
        m_popups->PopupMessageWindowNotUSB(&message);
    }
    if (!m_protocol || !m_protocol->FE_Page_Delete(QString(), 1))
        td::log(QStringLiteral("FE_Page_Delete all: not sent, no key"));
}
