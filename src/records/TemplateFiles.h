#pragma once

#include "records/TemplateLists.h"
#include "records/TemplateTextCut.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

// A template list as files in a folder: the key's binary file "<dir>/<list name>" and its JSON
// copy "<dir>/JSON/<list name>.json". Both are written whole or not at all, and every
// failure comes back as a sentence for the user.
class TemplateFiles
{
    Q_DECLARE_TR_FUNCTIONS(TemplateFiles)
public:
    struct WriteResult
    {
        bool binaryWritten = false;
        bool jsonWritten = false;
        QString binaryPath;
        QStringList errors;           // one line per file that could not be written
        QVector<TemplateTextCut> cuts; // texts shortened to fit the key's fields
    };

    // Fits the list's texts to the key's fields (in place, so the caller can show what the
    // key will get), then writes both files. dir and its "JSON" subfolder are made when
    // missing.
    static WriteResult writeList(const QString &dir, TemplateKind kind, TemplateLists *lists,
                                 const QDateTime &when = QDateTime::currentDateTime());

    // Empty when "<dir>/<list name>" is a file of the list's exact size; otherwise a sentence
    // for the user saying why it must not go to the key.
    static QString checkListFile(const QString &dir, TemplateKind kind);

    static QString binaryPath(const QString &dir, TemplateKind kind);
    static QString jsonPath(const QString &dir, TemplateKind kind);
    // Fits every text of one list in place; returns what was cut.
    static QVector<TemplateTextCut> fitTexts(TemplateKind kind, TemplateLists *lists);
};
