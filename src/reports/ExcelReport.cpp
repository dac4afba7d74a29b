#include "reports/ExcelReport.h"

#include "base/AtomicFile.h"
#include "base/Log.h"
#include "measures/MeasureJudgement.h"
#include "records/MeasureAlgorithms.h"
#include "records/TemplateLists.h"
#include "reports/ExcelAutomation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace {

enum Col { A = 1, B, C, D, E, F };

// A float as the key stores it, shown with the decimals the tables use and handed to the
// workbook as that number (12.34, not 12.340000152...).
double rounded(float v, int decimals) { return QString::number(double(v), 'f', decimals).toDouble(); }

} // namespace

QVector<ExcelReport::Cell> ExcelReport::cells(const RecordFile &record, const TemplateLists &lists,
                                              const ReportIdentity &identity, const DateTimeStamp &stamp)
{
    const RecordHeader &h = record.header;
    const bool angles = MeasureAlgorithms::measuresAngle(h.algorithm);
    const bool dated = MeasureAlgorithms::measuresCarryDate(h.algorithm) && identity.dataTime == 1;
    const QString dash = QStringLiteral("-");
    const QString space = QStringLiteral(" ");
    QVector<Cell> out;
    auto put = [&out](int row, int col, const QVariant &v) { out.append({row, col, v}); };

    put(2, C, identity.keyName.isEmpty() ? tr("report") : identity.keyName);
    for (int i = 0; i < 4; ++i)
        put(4 + 2 * i, A, identity.levelCaptions.value(i) + QLatin1Char(':'));
    put(4, D, lists.fioComboText(h.fioIndex));
    put(6, D, lists.wheelComboText(h.wheelIndex));
    put(8, D, h.operationNumber());
    put(10, D, lists.uzelComboText(h.uzelIndex));
    put(12, D, rounded(h.rangeHigh, 2));
    put(14, D, rounded(h.rangeLow, 2));
    put(16, D, angles ? QVariant(rounded(h.angleHigh, 1)) : QVariant(dash));
    put(18, D, angles ? QVariant(rounded(h.angleLow, 1)) : QVariant(dash));
    put(20, D, record.entries.size());
    put(22, D, int(h.countTotal));

    put(25, A, QStringLiteral("1"));
    put(25, B, QStringLiteral("1.0"));
    put(25, C, tr("empty"));
    put(25, D, QStringLiteral("1.0"));
    put(25, E, tr("time"));
    for (int r = 26; r <= 88; ++r)
        for (int c : {C, A, B, D, E})
            put(r, c, space);
    // The template has rows for 64 measures (25-88) and its footer below them: the signature
    // line in D90, the operator in A92/D92. A record with more measures gets every one of
    // them; the footer moves below the last instead of being written over.
    const int footerShift = qMax(0, int(record.entries.size()) - 64);
    if (footerShift > 0) {
        put(90, D, space);
        put(92, A, space);
        put(92, D, space);
    }

    for (int i = 0; i < record.entries.size(); ++i) {
        const MeasureEntry &e = record.entries.at(i);
        const int r = 25 + i;
        put(r, C, MeasureJudgement::isOk(e, h) ? tr("normal") : tr("deffect"));
        put(r, A, i + 1);
        put(r, B, rounded(std::fabs(e.moment), 2));
        // The defect as the record's measure table shows it: none within 0.0001.
        const double defect = std::fabs(e.correctedDefect) > 0.0001f ? rounded(std::fabs(e.correctedDefect), 2) : 0.0;
        put(r, D, defect > 0 ? QVariant(defect) : QVariant(dash));
        put(r, E, angles ? QString::number(double(e.angle), 'f', 1) : dash);
        auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        put(r, F, dated ? QStringLiteral("%1.%2.%3 %4:%5:%6")
                              .arg(two(e.day), two(e.month), two(e.year), two(e.hour), two(e.minute), two(e.second))
                        : space);
        put(1, B, stamp.date);
        put(1, E, stamp.time);
    }

    if (identity.units == 1) {
        put(24, B, tr("Moment Value, kgsm"));
        put(12, E, tr("kgsm"));
        put(14, E, tr("kgsm"));
    }
    if (footerShift > 0) {
        put(90 + footerShift, D, QStringLiteral("_____________ ") + tr("(sign)"));
        put(92 + footerShift, A, tr("Operator:"));
    }
    put(92 + footerShift, D, identity.operatorName);
    return out;
}

QString ExcelReport::outputPath(const QString &keyName, const DateTimeStamp &stamp)
{
    return ReportPaths::reportsDir() + QLatin1Char('/') + ReportPaths::safeReportName(keyName) + QLatin1Char('(')
           + stamp.file + QStringLiteral(").xlsx");
}

bool ExcelReport::write(const QString &templatePath, const QString &outPath, const QVector<Cell> &cells,
                        QString *error)
{
    const QString temp = ReportPaths::temporaryFor(outPath);
    auto failed = [&](const QString &what) {
        QFile::remove(temp);
        if (error)
            *error = what;
        td::log(QStringLiteral("Excel report failed: ") + what);
        return false;
    };
    if (!QFileInfo(templatePath).isFile())
        return failed(tr("Warning! Excel Template NOT found!"));
    if (!QDir().mkpath(QFileInfo(outPath).absolutePath()))
        return failed(tr("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(QFileInfo(outPath).absolutePath())));
    QFile::remove(temp);
    if (!QFile::copy(templatePath, temp))
        return failed(tr("The template cannot be copied to %1.").arg(QDir::toNativeSeparators(temp)));
    QFile::setPermissions(temp, QFile::permissions(temp) | QFileDevice::WriteOwner);

    std::unique_ptr<ExcelApplication> excel = ExcelApplication::create();
    if (!excel)
        return failed(tr("Excel cannot be started."));
    auto excelFailed = [&](const QString &step) {
        const QString why = excel->lastError();
        excel->Quit();
        return failed(why.isEmpty() ? step : step + QLatin1Char(' ') + why);
    };
    if (!excel->setVisible(true))
        return excelFailed(tr("Excel cannot be shown."));
    std::unique_ptr<ExcelWorkbooks> books = excel->Workbooks();
    if (!books)
        return excelFailed(tr("Excel offers no workbook."));
    std::unique_ptr<ExcelWorkbook> book = books->Open(temp);
    if (!book)
        return excelFailed(tr("The workbook cannot be opened."));
    std::unique_ptr<ExcelSheets> sheets = book->Sheets();
    std::unique_ptr<ExcelSheet> sheet = sheets ? sheets->Item(QStringLiteral("report")) : nullptr;
    if (!sheet)
        return excelFailed(tr("The template has no sheet \"report\"."));
    for (const Cell &c : cells) {
        std::unique_ptr<ExcelRange> range = sheet->Cells(c.row, c.column);
        if (!range || !range->setValue(c.value))
            return excelFailed(tr("Cell (%1, %2) cannot be written.").arg(c.row).arg(c.column));
    }
    if (!book->Save())
        return excelFailed(tr("The workbook cannot be saved."));
    if (!book->Close())
        return excelFailed(tr("The workbook cannot be closed."));
    excel->Quit();

    QString why;
    if (!AtomicFile::replace(temp, outPath, &why))
        return failed(tr("The workbook cannot be renamed to %1.").arg(QDir::toNativeSeparators(outPath)) + QLatin1Char(' ')
                      + why);
    return true;
}

QString ExcelReport::choiceRefusal(const QStringList &chosen)
{
    if (chosen.size() > 1)
        return tr("The Excel report holds one record, and %1 are chosen. Walk the levels down to one record.")
            .arg(chosen.size());
    if (chosen.isEmpty())
        return tr("No record is chosen: walk the levels down to one record first.");
    return QString();
}

bool ExcelReport::make(const RecordFile &record, const TemplateLists &lists, const ReportIdentity &identity,
                       const QString &templatePath, const QString &outPath, QString *error)
{
    if (record.entries.isEmpty()) {
        if (error)
            *error = tr("Empty Report can't be save!");
        return false;
    }
    return write(templatePath, outPath, cells(record, lists, identity, dateTimeStamp()), error);
}
