#include "ui/exchange/FileExchangePanel.h"

#include "protocol/FileExchange.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

FileExchangePanel::FileExchangePanel(FileExchange *files, QWidget *parent)
    : QWidget(parent), m_files(files), m_folder(new QLineEdit(this)),
      m_get(new QPushButton(tr("Get ANY file from key"), this)),
      m_put(new QPushButton(tr("Put ANY file to key"), this))
{
    setObjectName(QStringLiteral("frFileExchange"));
    m_folder->setObjectName(QStringLiteral("leKeyFolder"));
    m_folder->setPlaceholderText(tr("Type folder name in key"));
    m_folder->setAccessibleName(tr("Type folder name in key"));
    m_get->setObjectName(QStringLiteral("btnGetAnyFile"));
    m_get->setAccessibleName(m_get->text());
    m_put->setObjectName(QStringLiteral("btnPutAnyFile"));
    m_put->setAccessibleName(m_put->text());

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_folder, 1);
    layout->addWidget(m_get);
    layout->addWidget(m_put);

    connect(m_get, &QPushButton::clicked, this, &FileExchangePanel::iBtnGetAnyFile_Click);
    connect(m_put, &QPushButton::clicked, this, &FileExchangePanel::iBtnPutAnyFile_Click);

    m_chooser = [](QWidget *parentWidget) {
        return QFileDialog::getOpenFileNames(parentWidget, tr("Load Files"), QString(),
                                             tr("File (*.*);;All Files (*)"));
    };
}

void FileExchangePanel::iBtnGetAnyFile_Click()
{
    if (m_files)
        m_files->GetFromKey(m_folder->text(), QStringLiteral("*"));
}

void FileExchangePanel::iBtnPutAnyFile_Click()
{
    if (!m_files || !m_chooser)
        return;
    const QString folder = m_folder->text();
    const QStringList chosen = m_chooser(this);
    // Remembered: once the last of them is written the folder is fetched back, so the
    // mirror shows what the key really holds.
    for (const QString &path : chosen)
        m_files->PutFileToFolder(folder, path, true);
}
