#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

// Variables a report template prints ($V{name}).
class QrReportDataManager
{
public:
    void setReportVariable(const QString &name, const QVariant &value) { m_vars.insert(name, value.toString()); }
    QString variable(const QString &name) const { return m_vars.value(name); }

private:
    QHash<QString, QString> m_vars;
};

// A small band report engine for the records list: an XML template (page header, one
// detail band per row of its SQL query, page footer) printed to an A4 PDF with QPdfWriter.
// Texts may hold $V{variable}, $F{query column}, $P{page} and $P{pages}; a <qrcode> element
// draws the QR code of a query column.
class QrReportEngine : public QObject
{
    Q_OBJECT
public:
    explicit QrReportEngine(QObject *parent = nullptr);
    ~QrReportEngine() override;

    // Reads and checks the template; false with lastError() when it is missing or malformed.
    bool loadFromFile(const QString &path, bool autoLoadPreviewOnChange = false);
    QrReportDataManager *dataManager() { return &m_data; }

    // The named database connection the template's query runs on; it must be open on the
    // thread that prints.
    void setConnectionName(const QString &name) { m_connection = name; }

    // Told after each row is drawn (rows drawn, rows in all); returning false stops the
    // print, which then fails and leaves nothing under its path.
    void setRowSink(std::function<bool(int done, int total)> sink) { m_rowSink = std::move(sink); }

    // Runs the query and writes the PDF under a temporary name, renamed onto path when
    // complete; false with lastError() otherwise (nothing is left under path).
    bool printToPDF(const QString &path);

    QString lastError() const { return m_error; }
    int lastPageCount() const { return m_pages; }

    struct Item;
    struct Band;

private:
    bool fail(const QString &message);

    QrReportDataManager m_data;
    QString m_connection;
    std::function<bool(int, int)> m_rowSink;
    QString m_error;
    QString m_query;
    double m_margin = 10;
    QVector<Band> *m_bands = nullptr; // header, detail, footer
    int m_pages = 0;
};
