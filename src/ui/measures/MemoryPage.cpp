#include "ui/measures/MemoryPage.h"

#include "base/Log.h"
#include "measures/MeasureCells.h"
#include "measures/MeasureMemory.h"
#include "records/MeasureAlgorithms.h"
#include "records/RecordMirror.h"
#include "reports/ReportDatabase.h"
#include "ui/popups/PopupHost.h"
#include "ui/widgets/cParameter.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const char kYellow[] =
    "QPushButton {background-color: rgb(240, 240, 160); color: rgb(0, 0, 0); border-width: 2px; border-radius: 5px; "
    "}             QPushButton:pressed {background-color: rgb(200, 200, 180);}       QPushButton:checked "
    "{background-color: rgb(255, 255, 80);}     QPushButton:disabled {background-color: rgb(160, 160, 120);}";
const char kRed[] =
    "QPushButton {background-color: rgb(240, 180, 180); color: rgb(0, 0, 0); border-width: 2px; border-radius: 5px; "
    "}             QPushButton:pressed {background-color: rgb(200, 180, 180);}       QPushButton:checked "
    "{background-color: rgb(255, 80, 80);}      QPushButton:disabled {background-color: rgb(160, 120, 120);}";
const char kGreen[] =
    "QPushButton {background-color: rgb(180, 240, 180); color: rgb(0, 0, 0); border-width: 2px; border-radius: 5px; "
    "}             QPushButton:pressed {background-color: rgb(180, 200, 180);}       QPushButton:checked "
    "{background-color: rgb(80, 255, 80);}      QPushButton:disabled {background-color: rgb(120, 160, 120);}";
const char kCleanStyle[] =
    "QPushButton {background-color: rgb(180, 100, 100); color: rgb(255, 255, 255); border-radius: 6px; padding: 0 "
    "10px;} QPushButton:pressed {background-color: rgb(200, 150, 150);}"
    " QPushButton:disabled {background-color: rgb(200, 180, 180); color: rgb(235, 235, 235);}";

QPushButton *makeButton(QWidget *parent, const char *name, int minHeight)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setMinimumHeight(minHeight);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

MemoryPage::MemoryPage(MeasureMemory *memory, QWidget *parent) : QWidget(parent), m_memory(memory)
{
    setObjectName(QStringLiteral("wMemoryPage"));
    m_resetTimer.setSingleShot(true);
    m_resetTimer.setInterval(ButtonResetMs);
    connect(&m_resetTimer, &QTimer::timeout, this, &MemoryPage::slot_iTimerSQLInsert);
    build();
    connect(m_memory, &MeasureMemory::recordLoaded, this, &MemoryPage::showRecord);
    connect(m_memory, &MeasureMemory::eraseRefused, this, [this](const QString &name, const QString &why) {
        m_refusals << (name.isEmpty() ? why : tr("%1: %2").arg(name, why));
        // A refusal before anything started ends the erase at once.
        if (!m_memory->eraser() || !m_memory->eraser()->isRunning())
            showRefusals();
    });
    connect(m_memory, &MeasureMemory::eraseFinished, this, [this](const QStringList &erased, const QStringList &) {
        if (erased.size() == 1 && m_cleaningOne)
            emit statusMessage(tr("Measures of %1 cleaned").arg(erased.first()));
        else if (!erased.isEmpty())
            emit statusMessage(tr("Measures of %1 records cleaned").arg(erased.size()));
        showRefusals();
    });
    // A report load announces each of a thousand records; the list is made once after them.
    m_countsTimer.setSingleShot(true);
    m_countsTimer.setInterval(0);
    connect(&m_countsTimer, &QTimer::timeout, this, &MemoryPage::refreshCounts);
    connect(m_memory, &MeasureMemory::storeChanged, &m_countsTimer, qOverload<>(&QTimer::start));
    retranslate();
    slot_iTimerSQLInsert();
    refreshCounts();
}

void MemoryPage::build()
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(6);

    m_recordTitle = new QLabel(this);
    m_recordTitle->setObjectName(QStringLiteral("lbMemoryRecord"));
    QFont title = m_recordTitle->font();
    title.setPointSize(12);
    title.setBold(true);
    m_recordTitle->setFont(title);
    m_recordDetails = new QLabel(this);
    m_recordDetails->setObjectName(QStringLiteral("lbMemoryRecordDetails"));
    m_recordDetails->setWordWrap(true);
    auto *head = new QHBoxLayout;
    head->addWidget(m_recordTitle);
    head->addWidget(m_recordDetails, 1);
    grid->addLayout(head, 0, 0, 1, 2);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("tvMemory"));
    m_table->setModel(m_memory->model());
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setWordWrap(false);
    QFont tableFont = m_table->font();
    tableFont.setPointSize(10);
    m_table->setFont(tableFont);
    m_table->horizontalHeader()->setFont(tableFont);
    // The header paints on its viewport, whose font the window's style sheet had fixed before
    // the header's was set: titles came out in the larger application font, wider than the
    // columns sized for this one, and cut at both ends.
    m_table->horizontalHeader()->viewport()->setFont(tableFont);
    m_table->horizontalHeader()->installEventFilter(this);
    m_table->horizontalHeader()->setResizeContentsPrecision(200);
    // Fixed row heights: the view never measures 64,000 rows to scroll.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(26);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setDefaultSectionSize(110);
    // Only the level texts (capped below) can lack room; they lose their middle, not an end.
    m_table->horizontalHeader()->setTextElideMode(Qt::ElideMiddle);
    m_table->setTextElideMode(Qt::ElideMiddle);
    m_table->verticalScrollBar()->setStyleSheet(QStringLiteral("QScrollBar:vertical {width: 28px;}"));
    grid->addWidget(m_table, 1, 0);

    m_blocks = new QListWidget(this);
    m_blocks->setObjectName(QStringLiteral("lwMemoryBlocks"));
    m_blocks->setMaximumWidth(200);
    m_blocks->setUniformItemSizes(true);
    connect(m_blocks, &QListWidget::itemClicked, this, &MemoryPage::onBlockClicked);
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("lbMemoryTotals"));
    m_totals->setWordWrap(true);
    auto *side = new QVBoxLayout;
    side->addWidget(m_totals);
    side->addWidget(m_blocks, 1);
    grid->addLayout(side, 1, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);

    // Two rows: in Russian the erase buttons, the two barcode fields and their button do not
    // fit one 1024-pixel row with their texts whole.
    auto *bottom = new QHBoxLayout;
    m_eraseAll = makeButton(this, "pbEraseMeasures", 44);
    m_eraseAll->setStyleSheet(QLatin1String(kCleanStyle));
    connect(m_eraseAll, &QPushButton::clicked, this, &MemoryPage::iBtnEraseMeasures_Click);
    m_eraseOne = makeButton(this, "pbTblMemoryLevelClean", 44);
    m_eraseOne->setStyleSheet(QLatin1String(kCleanStyle));
    connect(m_eraseOne, &QPushButton::clicked, this, &MemoryPage::iBtnTblMemoryLevelClean_Click);
    bottom->addWidget(m_eraseAll);
    bottom->addWidget(m_eraseOne);
    bottom->addStretch(1);
    auto *barcodes = new QHBoxLayout;

    m_barcodeTitle = new QLabel(this);
    m_barcode0 = new QLineEdit(this);
    m_barcode0->setObjectName(QStringLiteral("leBarcode0"));
    m_barcode1 = new QLineEdit(this);
    m_barcode1->setObjectName(QStringLiteral("leBarcode1"));
    for (QLineEdit *e : {m_barcode0, m_barcode1})
        e->setMinimumHeight(36);
    connect(m_barcode0, &QLineEdit::returnPressed, this, [this] { m_barcode1->setFocus(Qt::OtherFocusReason); });
    connect(m_barcode1, &QLineEdit::returnPressed, this, &MemoryPage::iBtnSQLInsert_Click);
    m_addBarcodes = makeButton(this, "pbSQLInsert", 44);
    connect(m_addBarcodes, &QPushButton::clicked, this, &MemoryPage::iBtnSQLInsert_Click);
    barcodes->addWidget(m_barcodeTitle);
    barcodes->addWidget(m_barcode0, 1);
    barcodes->addWidget(m_barcode1, 1);
    barcodes->addWidget(m_addBarcodes);
    grid->addLayout(bottom, 2, 0, 1, 2);
    grid->addLayout(barcodes, 3, 0, 1, 2);

    // New rows are the latest measures: kept in sight once a burst of loading is over.
    m_fitTimer.setSingleShot(true);
    m_fitTimer.setInterval(0);
    connect(&m_fitTimer, &QTimer::timeout, this, [this] {
        arrangeColumns();
        m_table->scrollToBottom();
    });
    connect(m_memory->model(), &QAbstractItemModel::modelReset, &m_fitTimer, qOverload<>(&QTimer::start));
    connect(m_memory->model(), &QAbstractItemModel::rowsInserted, &m_fitTimer, qOverload<>(&QTimer::start));
    // New titles (another language, other units) need other widths.
    connect(m_memory->model(), &QAbstractItemModel::headerDataChanged, &m_fitTimer, qOverload<>(&QTimer::start));
    arrangeColumns();
}

void MemoryPage::arrangeColumns()
{
    // The view puts the measured values first and the record's level texts, which the record
    // panel and the block list name already, after them; the model (and the CSV report made
    // from it) keeps its own column order.
    using M = MeasureMemoryModel;
    static const M::Column visual[] = {M::Date,        M::Time,   M::StaticMoment, M::ConnectionNumber,
                                       M::ControlResult, M::Result, M::AngleRanges,  M::Angle,
                                       M::Defect,      M::Notes,  M::Controller,   M::Level1,
                                       M::Level2,      M::Level3, M::Level4Name,   M::Level4Comment};
    const MeasureMemoryModel *model = m_memory->model();
    QVector<int> order;
    QVector<int> levels;
    for (M::Column kind : visual) {
        const int c = model->columnOf(kind);
        if (c < 0)
            continue;
        order << c;
        if (kind >= M::Level1 && kind <= M::Level4Comment)
            levels << c;
    }
    QHeaderView *header = m_table->horizontalHeader();
    for (int target = 0; target < order.size(); ++target) {
        const int from = header->visualIndex(order.at(target));
        if (from != target)
            header->moveSection(from, target);
    }
    // Sized from the header and the first rows only: the view never reads every row.
    m_table->resizeColumnsToContents();
    // The header's own hint leaves less room than it paints titles in (its margins count twice
    // there), so a title sized by it came out cut: each column is made as wide as its title
    // needs when painted, bold as a highlighted section draws it.
    QFont bold = header->font();
    bold.setBold(true);
    const QFontMetrics titleMetrics(bold);
    const int margins = 4 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 4;
    for (int c = 0; c < header->count(); ++c) {
        const int title = titleMetrics.horizontalAdvance(model->headerData(c, Qt::Horizontal).toString()) + margins;
        if (m_table->columnWidth(c) < title)
            m_table->setColumnWidth(c, title);
    }
    for (int c : qAsConst(levels))
        m_table->setColumnWidth(c, qMin(m_table->columnWidth(c), 160));
}

void MemoryPage::retranslate()
{
    m_eraseAll->setText(tr("Clean measures in Key"));
    m_eraseAll->setAccessibleName(tr("Clean measures in Key"));
    m_eraseOne->setText(tr("Clean only one current record"));
    m_eraseOne->setAccessibleName(tr("Clean only one current record"));
    m_barcodeTitle->setText(tr("Barcodes:"));
    m_barcode0->setPlaceholderText(tr("First barcode"));
    m_barcode0->setAccessibleName(tr("First barcode"));
    m_barcode1->setPlaceholderText(tr("Second barcode"));
    m_barcode1->setAccessibleName(tr("Second barcode"));
    // The fields show their whole hint and the button keeps one width for all it says, so a
    // scan's answer never shifts the row.
    for (QLineEdit *e : {m_barcode0, m_barcode1})
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(e->placeholderText()) + 24);
    int buttonText = 0;
    for (const QString &t : {tr("Add barcodes to record"), tr("Choose a record first!"), tr("Scan both barcodes!"),
                             tr("Barcodes already exist!"), tr("Barcodes added"), tr("Record already exist!"),
                             tr("Database is not available!")})
        buttonText = qMax(buttonText, m_addBarcodes->fontMetrics().horizontalAdvance(t));
    m_addBarcodes->setMinimumWidth(buttonText + 32);
    m_table->setAccessibleName(tr("Measured moments in memory"));
    m_blocks->setAccessibleName(tr("OK and NG per record"));
    if (!m_resetTimer.isActive())
        slot_iTimerSQLInsert();
    showRecord(m_recordName, m_header);
    refreshCounts();
}

bool MemoryPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_table->horizontalHeader()
        && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange || event->type() == QEvent::Show))
        m_fitTimer.start();
    return QWidget::eventFilter(watched, event);
}

void MemoryPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void MemoryPage::showRecord(const QString &name, const RecordHeader &header)
{
    m_recordName = name;
    m_header = header;
    if (name.isEmpty()) {
        m_recordTitle->setText(tr("No record loaded"));
        m_recordDetails->clear();
        return;
    }
    const auto block = m_memory->makeBlock(name, header);
    m_recordTitle->setText(name);
    QStringList parts{tr("Measures: %1/%2").arg(header.countCon).arg(header.countTotal),
                      MeasureAlgorithms::name(header.algorithm),
                      tr("Moment: %1").arg(MeasureCells::momentRangeText(header))};
    if (MeasureAlgorithms::measuresAngle(header.algorithm))
        parts << tr("Angle: %1").arg(MeasureCells::angleRangeText(header));
    parts << block.level2 << block.level4Name;
    m_recordDetails->setText(parts.join(QStringLiteral("  |  ")));
}

void MemoryPage::refreshCounts()
{
    const MeasureMemoryModel *model = m_memory->model();
    m_blocks->setUpdatesEnabled(false);
    m_blocks->clear();
    int ok = 0;
    int ng = 0;
    for (int b = 0; b < model->blockCount(); ++b) {
        const MeasureMemoryModel::Block &block = model->block(b);
        ok += block.ok;
        ng += block.ng;
        auto *item = new QListWidgetItem(tr("%1\nOK: %2  NG: %3").arg(block.name).arg(block.ok).arg(block.ng));
        item->setData(Qt::UserRole, block.firstRow);
        if (block.ng > 0)
            item->setForeground(Qt::red);
        m_blocks->addItem(item);
    }
    m_blocks->setUpdatesEnabled(true);
    m_totals->setText(tr("Records: %1\nOK: %2  NG: %3").arg(model->blockCount()).arg(ok).arg(ng));
}

void MemoryPage::onBlockClicked(QListWidgetItem *item)
{
    const int row = item->data(Qt::UserRole).toInt();
    m_table->scrollTo(m_memory->model()->index(row, 0), QAbstractItemView::PositionAtTop);
}

void MemoryPage::iBtnEraseMeasures_Click()
{
    const MeasureMemory::Summary s = m_memory->eraseAllSummary();
    if (s.records == 0) {
        emit statusMessage(tr("There are no measures to clean"));
        return;
    }
    // The record files are the only copy of the measures: nothing comes back after this.
    const QString text = tr("%1 measures in %2 records will be erased from the key. Continue?")
                             .arg(s.measures)
                             .arg(s.records);
    if (!m_popups) {
        td::log(QStringLiteral("Clean measures in Key: no popups to ask, nothing erased"));
        return;
    }
    cParameter question(text, true, QString(), QStringLiteral("red"));
    QPointer<MemoryPage> self(this);
    m_popups->PopupQuestionWindow(&question, tr("Yes"), tr("No"),
                                  [self](QWidget *) {
                                      if (!self)
                                          return;
                                      self->m_cleaningOne = false;
                                      if (self->m_memory->eraseAllMeasures())
                                          emit self->statusMessage(tr("Erasing measures on the key..."));
                                  },
                                  iFuncWhenYes());
}

void MemoryPage::iBtnTblMemoryLevelClean_Click()
{
    const QString name = m_currentRecord ? m_currentRecord() : QString();
    if (name.isEmpty()) {
        td::log(QStringLiteral("Clean only one current record: the level selection names no record"));
        return;
    }
    // Asked as for every record: the record file is the only copy of its measures.
    const int measures = RecordMirror::load(name).record.entries.size();
    if (!m_popups) {
        td::log(QStringLiteral("Clean only one current record: no popups to ask, nothing erased"));
        return;
    }
    const QString text = tr("%1 measures of the record %2 will be erased from the key. Continue?")
                             .arg(measures)
                             .arg(name);
    cParameter question(text, true, QString(), QStringLiteral("red"));
    QPointer<MemoryPage> self(this);
    m_popups->PopupQuestionWindow(&question, tr("Yes"), tr("No"),
                                  [self, name](QWidget *) {
                                      if (!self)
                                          return;
                                      self->m_cleaningOne = true;
                                      if (self->m_memory->eraseRecordMeasures(name))
                                          emit self->statusMessage(tr("Erasing measures on the key..."));
                                  },
                                  iFuncWhenYes());
}

void MemoryPage::showRefusals()
{
    if (m_refusals.isEmpty())
        return;
    emit messageRequested(tr("Measures not erased, the key keeps them:\n%1").arg(m_refusals.join(QLatin1Char('\n'))),
                          QStringLiteral("red"));
    m_refusals.clear();
}

void MemoryPage::setButtonLook(const QString &text, const char *style)
{
    m_addBarcodes->setText(text);
    m_addBarcodes->setAccessibleName(text);
    m_addBarcodes->setStyleSheet(QLatin1String(style));
}

void MemoryPage::iBtnSQLInsert_Click()
{
    const QString c0 = m_barcode0->text();
    const QString c1 = m_barcode1->text();
    if (m_recordName.isEmpty() || c0.isEmpty() || c1.isEmpty()) {
        // A pair belongs to a record; half a pair or no record would only block a real one.
        setButtonLook(m_recordName.isEmpty() ? tr("Choose a record first!") : tr("Scan both barcodes!"), kRed);
        m_resetTimer.start();
        return;
    }
    const ReportDatabase::AddCodes added =
        m_reportDb ? m_reportDb->addBarcodes(c0, c1, m_recordName) : ReportDatabase::AddCodes::NotAvailable;
    switch (added) {
    case ReportDatabase::AddCodes::AlreadyExists:
        setButtonLook(tr("Barcodes already exist!"), kRed);
        m_barcode0->clear();
        m_barcode1->clear();
        break;
    case ReportDatabase::AddCodes::Added:
        setButtonLook(tr("Barcodes added"), kGreen);
        m_barcode0->clear();
        m_barcode1->clear();
        break;
    case ReportDatabase::AddCodes::Refused:
        setButtonLook(tr("Record already exist!"), kRed);
        break;
    case ReportDatabase::AddCodes::NotAvailable:
        setButtonLook(tr("Database is not available!"), kRed);
        break;
    }
    // The next scan starts in the first field.
    m_barcode0->setFocus(Qt::OtherFocusReason);
    m_resetTimer.start();
}

void MemoryPage::slot_iTimerSQLInsert()
{
    setButtonLook(tr("Add barcodes to record"), kYellow);
}
