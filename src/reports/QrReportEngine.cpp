#include "reports/QrReportEngine.h"

#include "base/AtomicFile.h"
#include "reports/QrCode.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QXmlStreamReader>

#include <memory>

// Positions and sizes in millimetres, relative to the band.
struct QrReportEngine::Item
{
    enum Kind { Text, QrCode, Line } kind = Text;
    double x = 0, y = 0, w = 0, h = 0; // a line runs from (x, y) to (x + w, y + h)
    double size = 10;                  // font points
    bool bold = false;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    QString text;  // with placeholders
    QString field; // QR code data column
};

struct QrReportEngine::Band
{
    double height = 0;
    QVector<Item> items;
};

namespace {

enum BandIndex { Header = 0, Detail = 1, Footer = 2 };

double number(const QXmlStreamAttributes &a, const char *name, double fallback = 0)
{
    bool ok = false;
    const double v = a.value(QLatin1String(name)).toDouble(&ok);
    return ok ? v : fallback;
}

QString expand(const QString &text, const QrReportDataManager &vars, const QSqlRecord *row, int page, int pages)
{
    static const QRegularExpression re(QStringLiteral("\\$([VFP])\\{([A-Za-z0-9_#]+)\\}"));
    QString out;
    int last = 0;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        out += text.midRef(last, m.capturedStart() - last);
        const QString kind = m.captured(1), name = m.captured(2);
        if (kind == QLatin1String("V"))
            out += vars.variable(name);
        else if (kind == QLatin1String("F"))
            out += row ? row->value(name).toString() : QString();
        else if (name == QLatin1String("page"))
            out += QString::number(page);
        else if (name == QLatin1String("pages"))
            out += QString::number(pages);
        last = m.capturedEnd();
    }
    out += text.midRef(last);
    return out;
}

} // namespace

QrReportEngine::QrReportEngine(QObject *parent) : QObject(parent), m_bands(new QVector<Band>(3)) {}

QrReportEngine::~QrReportEngine() { delete m_bands; }

bool QrReportEngine::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool QrReportEngine::loadFromFile(const QString &path, bool)
{
    *m_bands = QVector<Band>(3);
    m_query.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail(tr("The report template %1 cannot be read.").arg(QDir::toNativeSeparators(path)));
    QXmlStreamReader r(&f);
    int band = -1;
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = r.attributes();
        const auto name = r.name();
        if (name == QLatin1String("report")) {
            m_margin = number(a, "margin", 10);
        } else if (name == QLatin1String("datasource")) {
            m_query = a.value(QLatin1String("query")).toString();
        } else if (name == QLatin1String("pageheader") || name == QLatin1String("detail")
                   || name == QLatin1String("pagefooter")) {
            band = name == QLatin1String("pageheader") ? Header : name == QLatin1String("detail") ? Detail : Footer;
            (*m_bands)[band].height = number(a, "height");
        } else if (band >= 0 && (name == QLatin1String("text") || name == QLatin1String("qrcode")
                                 || name == QLatin1String("line"))) {
            Item item;
            item.kind = name == QLatin1String("text") ? Item::Text : name == QLatin1String("qrcode") ? Item::QrCode : Item::Line;
            item.x = number(a, "x");
            item.y = number(a, "y");
            item.w = number(a, item.kind == Item::QrCode ? "size" : "width");
            item.h = number(a, item.kind == Item::QrCode ? "size" : "height");
            item.size = number(a, "size", 10);
            item.bold = a.value(QLatin1String("bold")) == QLatin1String("true");
            const auto align = a.value(QLatin1String("align"));
            if (align == QLatin1String("right"))
                item.align = Qt::AlignRight | Qt::AlignVCenter;
            else if (align == QLatin1String("center"))
                item.align = Qt::AlignHCenter | Qt::AlignVCenter;
            item.field = a.value(QLatin1String("field")).toString();
            if (item.kind == Item::Text)
                item.text = r.readElementText();
            (*m_bands)[band].items.append(item);
        }
    }
    if (r.hasError())
        return fail(tr("The report template %1 is malformed: %2").arg(QDir::toNativeSeparators(path), r.errorString()));
    if (m_query.isEmpty() || (*m_bands)[Detail].height <= 0)
        return fail(tr("The report template %1 has no query or no detail band.").arg(QDir::toNativeSeparators(path)));
    return true;
}

bool QrReportEngine::printToPDF(const QString &path)
{
    if (m_query.isEmpty())
        return fail(tr("No report template is loaded."));
    QSqlDatabase db = m_connection.isEmpty() ? QSqlDatabase() : QSqlDatabase::database(m_connection, false);
    if (!db.isOpen())
        return fail(tr("The report database is not open."));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(m_query))
        return fail(tr("The report query failed: %1").arg(q.lastError().text()));
    QVector<QSqlRecord> rows;
    while (q.next())
        rows.append(q.record());

    const QVector<Band> &bands = *m_bands;
    const double pageHeight = 297.0 - 2 * m_margin;
    const double detailSpace = pageHeight - bands[Header].height - bands[Footer].height;
    const int perPage = qMax(1, int(detailSpace / bands[Detail].height));
    const int pages = qMax(1, int((rows.size() + perPage - 1) / perPage));

    const QString temp = path + QStringLiteral(".part");
    QFile::remove(temp);
    {
        QPdfWriter writer(temp);
        writer.setCreator(QStringLiteral("TorqueDesk"));
        writer.setTitle(expand(tr("QR-codes list $V{protocol}"), m_data, nullptr, 0, 0));
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                         QPageLayout::Millimeter));
        QPainter p;
        if (!p.begin(&writer)) {
            QFile::remove(temp);
            return fail(tr("The PDF %1 cannot be written.").arg(QDir::toNativeSeparators(path)));
        }
        const double mm = writer.resolution() / 25.4;
        auto drawBand = [&](const Band &band, double top, const QSqlRecord *row, int page) {
            for (const Item &item : band.items) {
                const QRectF rect((m_margin + item.x) * mm, (top + item.y) * mm, item.w * mm, item.h * mm);
                if (item.kind == Item::Line) {
                    p.setPen(QPen(Qt::black, 0.2 * mm));
                    p.drawLine(rect.topLeft(), rect.bottomRight());
                } else if (item.kind == Item::QrCode) {
                    QPainterPath code;
                    const QByteArray data = row ? row->value(item.field).toString().toUtf8() : QByteArray();
                    if (!data.isEmpty() && QrCode::encode(data, &code, rect) > 0)
                        p.fillPath(code, Qt::black);
                } else {
                    QFont font;
                    font.setPointSizeF(item.size);
                    font.setBold(item.bold);
                    p.setFont(font);
                    p.setPen(Qt::black);
                    const QString text = expand(item.text, m_data, row, page, pages);
                    const QString shown = QFontMetricsF(font, &writer).elidedText(text, Qt::ElideRight, rect.width());
                    p.drawText(rect, int(item.align), shown);
                }
            }
        };
        for (int page = 1; page <= pages; ++page) {
            if (page > 1 && !writer.newPage()) {
                p.end();
                QFile::remove(temp);
                return fail(tr("The PDF %1 cannot be written.").arg(QDir::toNativeSeparators(path)));
            }
            double top = m_margin;
            drawBand(bands[Header], top, nullptr, page);
            top += bands[Header].height;
            const int first = (page - 1) * perPage;
            for (int i = first; i < rows.size() && i < first + perPage; ++i) {
                drawBand(bands[Detail], top, &rows.at(i), page);
                top += bands[Detail].height;
                if (m_rowSink && !m_rowSink(i + 1, rows.size())) {
                    p.end();
                    QFile::remove(temp);
                    return fail(tr("Cancelled."));
                }
            }
            drawBand(bands[Footer], m_margin + pageHeight - bands[Footer].height, nullptr, page);
        }
        if (!p.end()) {
            QFile::remove(temp);
            return fail(tr("The PDF %1 cannot be written.").arg(QDir::toNativeSeparators(path)));
        }
    }
    // QPdfWriter says nothing when its file could not be written; an empty or missing file
    // is how that shows.
    if (QFileInfo(temp).size() <= 0) {
        QFile::remove(temp);
        return fail(tr("The PDF %1 cannot be written.").arg(QDir::toNativeSeparators(path)));
    }
    QString why;
    if (!AtomicFile::replace(temp, path, &why))
        return fail(tr("The PDF %1 cannot be written.").arg(QDir::toNativeSeparators(path)) + QLatin1Char(' ') + why);
    m_pages = pages;
    return true;
}
