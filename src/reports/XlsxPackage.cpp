#include "reports/XlsxPackage.h"

#include "base/AtomicFile.h"

#include <quazip5/quazip.h>
#include <quazip5/quazipfile.h>
#include <quazip5/quazipfileinfo.h>
#include <quazip5/quazipnewinfo.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <cmath>

namespace {

// A template is a few kilobytes; this bounds what a hostile or broken package can make us hold.
constexpr qint64 kMaxPackageBytes = 64 * 1024 * 1024;

QString resolvePart(const QString &baseDir, const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(target.mid(1));
    return QDir::cleanPath(baseDir.isEmpty() ? target : baseDir + QLatin1Char('/') + target);
}

// Relationship Id -> Target of a .rels part, and the target of the first relationship whose
// type ends with typeSuffix.
QHash<QString, QString> readRelationships(const QByteArray &xml, const QString &typeSuffix, QString *typed)
{
    QHash<QString, QString> out;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        if (r.readNext() == QXmlStreamReader::StartElement && r.name() == QLatin1String("Relationship")) {
            const auto a = r.attributes();
            const QString target = a.value(QLatin1String("Target")).toString();
            out.insert(a.value(QLatin1String("Id")).toString(), target);
            if (typed && typed->isEmpty() && !typeSuffix.isEmpty()
                && a.value(QLatin1String("Type")).endsWith(typeSuffix))
                *typed = target;
        }
    }
    return out;
}

QByteArray attributeValue(const QByteArray &tag, const char *name)
{
    const QByteArray key = QByteArray(" ") + name + "=\"";
    int at = tag.indexOf(key);
    if (at < 0)
        return {};
    at += key.size();
    const int end = tag.indexOf('"', at);
    return end < 0 ? QByteArray() : tag.mid(at, end - at);
}

// The start tag with the named attributes taken out (and the '<name' and '>' removed).
QByteArray otherAttributes(QByteArray tag, const QByteArray &element, std::initializer_list<const char *> drop)
{
    tag = tag.mid(1 + element.size());
    if (tag.endsWith("/>"))
        tag.chop(2);
    else if (tag.endsWith('>'))
        tag.chop(1);
    for (const char *name : drop) {
        const QByteArray key = QByteArray(" ") + name + "=\"";
        const int at = tag.indexOf(key);
        if (at < 0)
            continue;
        const int end = tag.indexOf('"', at + key.size());
        if (end >= 0)
            tag.remove(at, end + 1 - at);
    }
    return tag.trimmed().isEmpty() ? QByteArray() : QByteArray(" ") + tag.trimmed();
}

// Column number of a cell reference such as "AB12" (0 when it has no letters).
int columnOf(const QByteArray &ref)
{
    int col = 0;
    for (char c : ref) {
        if (c < 'A' || c > 'Z')
            break;
        col = col * 26 + (c - 'A' + 1);
    }
    return col;
}

// Finds the next element named name ('<name' then a space, '>' or '/') from pos; returns the
// start, sets *tagEnd to one past its start tag's '>' and *end to one past the element.
int nextElement(const QByteArray &xml, const QByteArray &name, int pos, int limit, int *tagEnd, int *end)
{
    const QByteArray open = "<" + name;
    while (true) {
        const int at = xml.indexOf(open, pos);
        if (at < 0 || at >= limit)
            return -1;
        const char next = at + open.size() < xml.size() ? xml.at(at + open.size()) : '\0';
        if (next != ' ' && next != '>' && next != '/' && next != '\n' && next != '\r' && next != '\t') {
            pos = at + 1;
            continue;
        }
        const int gt = xml.indexOf('>', at);
        if (gt < 0 || gt >= limit)
            return -1;
        *tagEnd = gt + 1;
        if (xml.at(gt - 1) == '/') {
            *end = gt + 1;
            return at;
        }
        const QByteArray close = "</" + name + ">";
        const int c = xml.indexOf(close, gt);
        if (c < 0 || c >= limit)
            return -1;
        *end = c + close.size();
        return at;
    }
}

QByteArray escapeXml(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const ushort u = c.unicode();
        // Characters XML 1.0 cannot carry (controls from a key's name) would make the
        // whole sheet unreadable; they are left out.
        if (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D)
            continue;
        if (u == 0xFFFE || u == 0xFFFF)
            continue;
        switch (u) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        default: out += c;
        }
    }
    return out.toUtf8();
}

bool isNumber(const QVariant &v)
{
    switch (int(v.type())) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

} // namespace

QString XlsxPackage::columnName(int column)
{
    QString name;
    while (column > 0) {
        const int rem = (column - 1) % 26;
        name.prepend(QChar('A' + rem));
        column = (column - 1) / 26;
    }
    return name;
}

bool XlsxPackage::fail(const QString &message)
{
    m_error = message;
    return false;
}

int XlsxPackage::entryIndex(const QString &name) const
{
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_entries.at(i).first == name)
            return i;
    return -1;
}

bool XlsxPackage::open(const QString &path)
{
    m_path = path;
    m_entries.clear();
    m_sheetParts.clear();
    m_sheets.clear();
    m_error.clear();
    if (!QFileInfo(path).isFile())
        return fail(tr("The workbook %1 does not exist.").arg(QDir::toNativeSeparators(path)));

    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return fail(tr("The workbook %1 is damaged (not a readable zip package).").arg(QDir::toNativeSeparators(path)));
    qint64 total = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!zip.getCurrentFileInfo(&info))
            return fail(tr("The workbook %1 is damaged.").arg(QDir::toNativeSeparators(path)));
        total += qint64(info.uncompressedSize);
        if (total > kMaxPackageBytes)
            return fail(tr("The workbook %1 is too large.").arg(QDir::toNativeSeparators(path)));
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::ReadOnly))
            return fail(tr("The workbook %1 is damaged.").arg(QDir::toNativeSeparators(path)));
        const QByteArray data = f.readAll();
        f.close();
        if (f.getZipError() != UNZ_OK || data.size() != qint64(info.uncompressedSize))
            return fail(tr("The workbook %1 is damaged.").arg(QDir::toNativeSeparators(path)));
        m_entries.append({info.name, data});
    }
    if (zip.getZipError() != UNZ_OK || m_entries.isEmpty())
        return fail(tr("The workbook %1 is damaged.").arg(QDir::toNativeSeparators(path)));

    QString workbookTarget;
    const int rootRels = entryIndex(QStringLiteral("_rels/.rels"));
    if (rootRels >= 0)
        readRelationships(m_entries.at(rootRels).second, QStringLiteral("/officeDocument"), &workbookTarget);
    const QString workbookPart = resolvePart(QString(), workbookTarget.isEmpty() ? QStringLiteral("xl/workbook.xml")
                                                                                 : workbookTarget);
    const int wb = entryIndex(workbookPart);
    if (wb < 0)
        return fail(tr("The workbook %1 has no workbook part.").arg(QDir::toNativeSeparators(path)));
    const QString wbDir = QFileInfo(workbookPart).path() == QLatin1String(".") ? QString()
                                                                               : QFileInfo(workbookPart).path();
    const QString relsPart = (wbDir.isEmpty() ? QString() : wbDir + QLatin1Char('/')) + QStringLiteral("_rels/")
                             + QFileInfo(workbookPart).fileName() + QStringLiteral(".rels");
    const int rels = entryIndex(relsPart);
    const QHash<QString, QString> targets = rels >= 0 ? readRelationships(m_entries.at(rels).second, QString(), nullptr)
                                                      : QHash<QString, QString>();
    QXmlStreamReader r(m_entries.at(wb).second);
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement || r.name() != QLatin1String("sheet"))
            continue;
        QString id;
        for (const QXmlStreamAttribute &a : r.attributes())
            if (a.name() == QLatin1String("id"))
                id = a.value().toString();
        const QString target = targets.value(id);
        if (!target.isEmpty())
            m_sheetParts.insert(r.attributes().value(QLatin1String("name")).toString().toLower(),
                                resolvePart(wbDir, target));
    }
    if (r.hasError())
        return fail(tr("The workbook %1 is damaged (%2).").arg(QDir::toNativeSeparators(path), r.errorString()));
    return true;
}

QString XlsxPackage::sheetPart(const QString &sheetName) const
{
    const QString part = m_sheetParts.value(sheetName.toLower());
    return entryIndex(part) >= 0 ? part : QString();
}

bool XlsxPackage::loadSheet(const QString &part)
{
    if (m_sheets.contains(part))
        return true;
    const int index = entryIndex(part);
    if (index < 0)
        return fail(tr("The sheet part %1 is missing.").arg(part));
    const QByteArray &xml = m_entries.at(index).second;
    Sheet sheet;
    int tagEnd = 0, end = 0;
    const int sd = nextElement(xml, "sheetData", 0, xml.size(), &tagEnd, &end);
    if (sd < 0)
        return fail(tr("The sheet %1 is damaged.").arg(part));
    int contentEnd = end;
    if (xml.at(tagEnd - 2) == '/') {
        // <sheetData/>: open it so rows can go in.
        sheet.head = xml.left(sd) + "<sheetData>";
        sheet.tail = "</sheetData>" + xml.mid(end);
        contentEnd = tagEnd;
    } else {
        sheet.head = xml.left(tagEnd);
        contentEnd = end - int(qstrlen("</sheetData>"));
        sheet.tail = xml.mid(contentEnd);
    }
    int pos = tagEnd;
    int lastRow = 0;
    while (true) {
        int rowTagEnd = 0, rowEnd = 0;
        const int at = nextElement(xml, "row", pos, contentEnd, &rowTagEnd, &rowEnd);
        if (at < 0)
            break;
        const QByteArray tag = xml.mid(at, rowTagEnd - at);
        const QByteArray r = attributeValue(tag, "r");
        const int rowNumber = r.isEmpty() ? lastRow + 1 : r.toInt();
        if (rowNumber <= 0)
            return fail(tr("The sheet %1 is damaged.").arg(part));
        lastRow = rowNumber;
        Row &row = sheet.rows[rowNumber];
        row.attributes = otherAttributes(tag, "row", {"r", "spans"});
        int cpos = rowTagEnd;
        int lastCol = 0;
        while (rowEnd > rowTagEnd) {
            int cTagEnd = 0, cEnd = 0;
            const int c = nextElement(xml, "c", cpos, rowEnd, &cTagEnd, &cEnd);
            if (c < 0)
                break;
            const QByteArray ctag = xml.mid(c, cTagEnd - c);
            const QByteArray ref = attributeValue(ctag, "r");
            const int col = ref.isEmpty() ? lastCol + 1 : columnOf(ref);
            if (col <= 0)
                return fail(tr("The sheet %1 is damaged.").arg(part));
            lastCol = col;
            QByteArray element = xml.mid(c, cEnd - c);
            if (ref.isEmpty()) // give it its reference so rows can be rebuilt in any order
                element.insert(2, " r=\"" + columnName(col).toLatin1() + QByteArray::number(rowNumber) + "\"");
            row.cells.insert(col, element);
            const QByteArray s = attributeValue(ctag, "s");
            if (!s.isEmpty())
                row.styles.insert(col, s);
            cpos = cEnd;
        }
        pos = rowEnd;
    }
    m_sheets.insert(part, sheet);
    return true;
}

bool XlsxPackage::setCell(const QString &part, int row, int column, const QVariant &value)
{
    if (row < 1 || row > 1048576 || column < 1 || column > 16384)
        return fail(tr("Cell (%1, %2) lies outside a worksheet.").arg(row).arg(column));
    if (!loadSheet(part))
        return false;
    Sheet &sheet = m_sheets[part];
    Row &r = sheet.rows[row];
    const QByteArray ref = columnName(column).toLatin1() + QByteArray::number(row);
    const QByteArray style = r.styles.value(column);
    QByteArray element = "<c r=\"" + ref + "\"";
    if (!style.isEmpty())
        element += " s=\"" + style + "\"";
    if (!value.isValid() || value.isNull()) {
        element += "/>";
    } else if (isNumber(value) && std::isfinite(value.toDouble())) {
        element += "><v>" + QByteArray::number(value.toDouble(), 'g', 15) + "</v></c>";
    } else {
        const QString text = value.toString();
        const bool keepSpace = !text.isEmpty() && (text.at(0).isSpace() || text.at(text.size() - 1).isSpace());
        element += " t=\"inlineStr\"><is><t";
        if (keepSpace)
            element += " xml:space=\"preserve\"";
        element += ">" + escapeXml(text) + "</t></is></c>";
    }
    r.cells.insert(column, element);
    sheet.changed = true;
    return true;
}

QByteArray XlsxPackage::renderSheet(const Sheet &sheet) const
{
    QByteArray body;
    int minRow = 0, maxRow = 0, minCol = 0, maxCol = 0;
    for (auto it = sheet.rows.cbegin(); it != sheet.rows.cend(); ++it) {
        const Row &row = it.value();
        body += "<row r=\"" + QByteArray::number(it.key()) + "\"" + row.attributes;
        if (row.cells.isEmpty()) {
            body += "/>";
            continue;
        }
        body += ">";
        for (auto c = row.cells.cbegin(); c != row.cells.cend(); ++c) {
            body += c.value();
            minCol = minCol == 0 ? c.key() : qMin(minCol, c.key());
            maxCol = qMax(maxCol, c.key());
            minRow = minRow == 0 ? it.key() : qMin(minRow, it.key());
            maxRow = qMax(maxRow, it.key());
        }
        body += "</row>";
    }
    QByteArray head = sheet.head;
    // The used range the sheet announces grows with the cells written into it.
    int tagEnd = 0, end = 0;
    const int dim = nextElement(head, "dimension", 0, head.size(), &tagEnd, &end);
    if (dim >= 0 && maxRow > 0) {
        const QByteArray range = columnName(minCol).toLatin1() + QByteArray::number(minRow) + ":"
                                 + columnName(maxCol).toLatin1() + QByteArray::number(maxRow);
        head.replace(dim, end - dim, "<dimension ref=\"" + range + "\"/>");
    }
    return head + body + sheet.tail;
}

bool XlsxPackage::save()
{
    if (m_path.isEmpty())
        return fail(tr("No workbook is open."));
    const QString temp = m_path + QStringLiteral(".saving");
    QFile::remove(temp);
    {
        QuaZip zip(temp);
        if (!zip.open(QuaZip::mdCreate))
            return fail(tr("The workbook %1 cannot be written.").arg(QDir::toNativeSeparators(m_path)));
        bool ok = true;
        for (const auto &entry : qAsConst(m_entries)) {
            const auto sheet = m_sheets.constFind(entry.first);
            const QByteArray data = sheet != m_sheets.cend() && sheet->changed ? renderSheet(*sheet) : entry.second;
            QuaZipFile f(&zip);
            QuaZipNewInfo info(entry.first);
            info.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                | QFileDevice::ReadOther);
            if (!f.open(QIODevice::WriteOnly, info, nullptr, 0, Z_DEFLATED, Z_DEFAULT_COMPRESSION)
                || f.write(data) != data.size()) {
                ok = false;
            }
            f.close();
            if (!ok || f.getZipError() != ZIP_OK) {
                ok = false;
                break;
            }
        }
        zip.close();
        if (!ok || zip.getZipError() != ZIP_OK) {
            QFile::remove(temp);
            return fail(tr("The workbook %1 cannot be written (disk full?).").arg(QDir::toNativeSeparators(m_path)));
        }
    }
    if (!AtomicFile::replace(temp, m_path))
        return fail(tr("The workbook %1 cannot be replaced.").arg(QDir::toNativeSeparators(m_path)));
    return true;
}
