#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QMap>
#include <QString>
#include <QVariant>
#include <QVector>

// An .xlsx workbook edited in place: every part of the package is read, the cells written go
// into the sheet's XML, and saving writes the whole package back. Parts and XML outside the
// written cells stay byte for byte as they were, so the template's styles, column widths,
// merged cells and print settings survive. Text goes in as inline strings, numbers as numbers,
// and a written cell keeps the style of the cell it replaces.
class XlsxPackage
{
    Q_DECLARE_TR_FUNCTIONS(XlsxPackage)
public:
    // Reads the package; false with error() when the file is missing, not a zip, damaged or
    // lacks a workbook part.
    bool open(const QString &path);

    // The package path of the worksheet shown with that name (compared without case, as
    // Excel does); empty when there is none.
    QString sheetPart(const QString &sheetName) const;

    // Sets one cell (row and column from 1). A number becomes a number cell, any other value
    // an inline string; an invalid QVariant empties the cell but keeps its style.
    bool setCell(const QString &sheetPart, int row, int column, const QVariant &value);

    // Writes the package back to the path it was opened from (complete or not at all).
    bool save();

    QString error() const { return m_error; }

    // "A", "B", ... "Z", "AA" for column 1, 2, ... 26, 27.
    static QString columnName(int column);

private:
    struct Row
    {
        QByteArray attributes;         // the row's own attributes except r and spans
        QMap<int, QByteArray> cells;   // column -> whole <c> element
        QMap<int, QByteArray> styles;  // column -> s attribute value of the cell found there
    };
    struct Sheet
    {
        QByteArray head; // everything before the rows
        QByteArray tail; // everything after them
        QMap<int, Row> rows;
        bool changed = false;
    };

    bool loadSheet(const QString &part);
    QByteArray renderSheet(const Sheet &sheet) const;
    int entryIndex(const QString &name) const;
    bool fail(const QString &message);

    QString m_path;
    QVector<QPair<QString, QByteArray>> m_entries; // in package order
    QHash<QString, QString> m_sheetParts;          // lower-case sheet name -> part path
    QHash<QString, Sheet> m_sheets;
    QString m_error;
};
