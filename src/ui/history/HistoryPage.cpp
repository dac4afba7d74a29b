#include "ui/history/HistoryPage.h"

#include "base/Paths.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryExport.h"
#include "history/HistoryExportJob.h"
#include "history/HistoryLocation.h"
#include "history/HistorySettings.h"
#include "history/StationName.h"
#include "history/HistoryTableModel.h"
#include "history/JointStatistics.h"
#include "reports/ReportDatabase.h"
#include "history/HistoryService.h"
#include "ui/history/HistoryPanes.h"
#include "ui/history/StatisticsView.h"
#include "ui/widgets/JobProgressWidget.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QMenu>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <memory>
#include <tuple>

namespace {

QPushButton *button(QWidget *parent, const char *name)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setMinimumHeight(48);
    QFont f = b->font();
    f.setPointSize(12);
    b->setFont(f);
    return b;
}

QComboBox *choice(QWidget *parent, const char *name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMinimumHeight(40);
    // Eight characters: ten made the first filter row wider than the page; a longer value
    // scrolls in the field as in a line edit.
    c->setMinimumContentsLength(8);
    return c;
}

void setChoices(QComboBox *c, const QStringList &values)
{
    const QString keep = c->currentText();
    c->blockSignals(true);
    c->clear();
    c->addItem(QString());
    c->addItems(values);
    c->setCurrentText(keep);
    c->blockSignals(false);
}

} // namespace

HistoryPage::HistoryPage(HistoryService *service, QWidget *parent)
    : QWidget(parent), m_service(service), m_model(new HistoryTableModel(this))
{
    setObjectName(QStringLiteral("historyPage"));
    m_ask = [](const QString &title, const QString &proposed, const QString &filter) {
        return QFileDialog::getSaveFileName(nullptr, title, proposed, filter, nullptr, QFileDialog::DontUseNativeDialog);
    };
    auto *outer = new QVBoxLayout(this);
    // The settings page around it keeps the margins; the table gets the height.
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(6);

    // Two rows of filters, each a row of captioned fields of its own: columns shared by both
    // rows made every field as wide as the widest above or below it, more than the page has.
    auto *firstRow = new QHBoxLayout;
    auto *secondRow = new QHBoxLayout;
    for (QHBoxLayout *row : {firstRow, secondRow})
        row->setSpacing(8);
    auto cell = [](QHBoxLayout *row, QWidget *top, QWidget *field, int stretch) {
        auto *column = new QVBoxLayout;
        column->setSpacing(2);
        column->addWidget(top);
        column->addWidget(field);
        row->addLayout(column, stretch);
    };
    auto caption = [&](QHBoxLayout *row, QWidget *w, int stretch) {
        auto *l = new QLabel(this);
        l->setBuddy(w);
        m_captions << l;
        cell(row, l, w, stretch);
    };
    m_period = new QCheckBox(this);
    m_period->setObjectName(QStringLiteral("cbHistoryPeriod"));
    m_since = new QDateEdit(QDate::currentDate().addMonths(-1), this);
    m_since->setObjectName(QStringLiteral("deHistorySince"));
    m_until = new QDateEdit(QDate::currentDate(), this);
    m_until->setObjectName(QStringLiteral("deHistoryUntil"));
    for (QDateEdit *d : {m_since, m_until}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        d->setMinimumHeight(40);
        // A date cut at the arrow reads as another date.
        d->setMinimumWidth(d->sizeHint().width());
        d->setEnabled(false);
    }
    connect(m_period, &QCheckBox::toggled, m_since, &QWidget::setEnabled);
    connect(m_period, &QCheckBox::toggled, m_until, &QWidget::setEnabled);
    cell(firstRow, m_period, m_since, 0);
    caption(firstRow, m_until, 0);
    m_key = choice(this, "cbHistoryKey");
    m_operator = choice(this, "cbHistoryOperator");
    m_product = choice(this, "cbHistoryProduct");
    m_operation = choice(this, "cbHistoryOperation");
    m_station = choice(this, "cbHistoryStation");
    caption(firstRow, m_key, 1);
    caption(firstRow, m_operator, 1);
    caption(firstRow, m_product, 1);
    caption(firstRow, m_operation, 1);
    m_node = choice(this, "cbHistoryNode");
    m_record = choice(this, "cbHistoryRecord");
    m_verdict = new QComboBox(this);
    m_verdict->setObjectName(QStringLiteral("cbHistoryVerdict"));
    m_verdict->setMinimumHeight(40);
    m_verdict->addItems({QString(), QStringLiteral("OK"), QStringLiteral("NG")});
    m_barcode1 = new QLineEdit(this);
    m_barcode1->setObjectName(QStringLiteral("leHistoryBarcode1"));
    m_barcode2 = new QLineEdit(this);
    m_barcode2->setObjectName(QStringLiteral("leHistoryBarcode2"));
    for (QLineEdit *e : {m_barcode1, m_barcode2}) {
        e->setMinimumHeight(40);
        e->setClearButtonEnabled(true);
        connect(e, &QLineEdit::returnPressed, this, &HistoryPage::applyFilter);
    }
    caption(secondRow, m_node, 1);
    caption(secondRow, m_record, 1);
    caption(secondRow, m_verdict, 0);
    caption(secondRow, m_barcode1, 1);
    caption(secondRow, m_barcode2, 1);
    m_find = button(this, "pbHistoryFind");
    m_reset = button(this, "pbHistoryReset");
    secondRow->addWidget(m_find, 0, Qt::AlignBottom);
    secondRow->addWidget(m_reset, 0, Qt::AlignBottom);
    outer->addLayout(firstRow);
    outer->addLayout(secondRow);
    connect(m_find, &QPushButton::clicked, this, &HistoryPage::applyFilter);
    connect(m_reset, &QPushButton::clicked, this, &HistoryPage::resetFilter);

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lbHistoryCount"));
    QFont cf = m_count->font();
    cf.setPointSize(12);
    cf.setBold(true);
    m_count->setFont(cf);
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("lbHistoryNotice"));
    m_notice->setStyleSheet(QStringLiteral("color: red;"));
    m_notice->setWordWrap(true);
    m_notice->setVisible(false);
    m_csv = button(this, "pbHistoryCsv");
    m_dfq = button(this, "pbHistoryDfq");
    connect(m_csv, &QPushButton::clicked, this, [this] { askAndExport(false); });
    connect(m_dfq, &QPushButton::clicked, this, [this] { askAndExport(true); });

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("tvHistory"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->setDefaultSectionSize(28);
    m_table->horizontalHeader()->setDefaultSectionSize(120);
    // Rows are fetched a page at a time; sizing columns to contents would read them all.
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setUpHeader();
    // On a small screen the figures and charts scroll rather than being squeezed over one another.
    auto *statsScroll = new QScrollArea(this);
    statsScroll->setObjectName(QStringLiteral("saHistoryStatistics"));
    statsScroll->setWidgetResizable(true);
    statsScroll->setFrameShape(QFrame::NoFrame);
    m_stats = new StatisticsView(statsScroll);
    statsScroll->setWidget(m_stats);
    sizeColumns();
    restoreHeader();
    // Beside the statistics the table keeps at least its first three columns (time, key,
    // record) whole; the statistics their charts beside the figures.
    auto widths = [this, statsScroll] {
        const QHeaderView *header = m_table->horizontalHeader();
        int table = m_table->verticalHeader()->width() + 2 * m_table->frameWidth()
                    + m_table->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        for (int shown = 0, visual = 0; shown < 3 && visual < header->count(); ++visual) {
            const int logical = header->logicalIndex(visual);
            if (!header->isSectionHidden(logical)) {
                table += header->sectionSize(logical);
                ++shown;
            }
        }
        return qMakePair(table, m_stats->sideBySideWidth() + statsScroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    };
    m_panes = new HistoryPanes(m_table, statsScroll, widths, this);
    outer->addWidget(m_panes, 1);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { updateStatistics(); });
    connect(m_stats, &StatisticsView::printRequested, this, &HistoryPage::printStatistics);

    // Under the table: what the filter found and the exports; the database and the alarm
    // thresholds are set now and then, so they stay folded away behind a button.
    auto *actions = new QHBoxLayout;
    // The filter rows are full; the stations sit with what the filter found, the caption
    // beside the choice so the row under the table takes no more height than its buttons.
    {
        auto *l = new QLabel(this);
        l->setBuddy(m_station);
        m_captions << l;
        actions->addWidget(l);
        actions->addWidget(m_station);
    }
    m_actions = actions;
    // The count may say where the measures wait while a server is away: it gets the room.
    m_count->setWordWrap(true);
    // Where the history is and whether it answers, in words: the person at the station has to
    // know that the measures are safe while a server is away. Under the count, beside the
    // buttons, it costs the table no row.
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("lbHistoryState"));
    m_state->setWordWrap(true);
    m_state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *counts = new QVBoxLayout;
    counts->setSpacing(0);
    counts->addWidget(m_count);
    counts->addWidget(m_state);
    actions->addLayout(counts, 3);
    actions->addWidget(m_notice, 1);
    actions->addWidget(m_csv);
    actions->addWidget(m_dfq);
    m_settingsToggle = button(this, "pbHistorySettings");
    m_settingsToggle->setCheckable(true);
    actions->addWidget(m_settingsToggle);
    outer->addLayout(actions);
    auto *settingsBox = new QWidget(this);
    settingsBox->setObjectName(QStringLiteral("wHistorySettings"));
    settingsBox->setVisible(false);
    connect(m_settingsToggle, &QPushButton::toggled, settingsBox, &QWidget::setVisible);
    auto *settings = new QHBoxLayout(settingsBox);
    settings->setContentsMargins(0, 0, 0, 0);
    auto settingCaption = [&](QWidget *w) {
        auto *l = new QLabel(this);
        l->setBuddy(w);
        m_captions << l;
        settings->addWidget(l);
        settings->addWidget(w);
    };
    const HistorySettings stored = HistorySettings::load();
    m_database = new QLineEdit(service ? service->url() : stored.database, this);
    m_database->setObjectName(QStringLiteral("leHistoryDatabase"));
    m_database->setMinimumHeight(40);
    m_stationName = new QLineEdit(stored.station, this);
    m_stationName->setObjectName(QStringLiteral("leHistoryStationName"));
    m_stationName->setMinimumHeight(40);
    m_stationName->setMaxLength(StationName::MaxLength);
    // A server's whole address stays readable while it is typed.
    m_database->setMinimumWidth(
        m_database->fontMetrics().horizontalAdvance(QStringLiteral("postgresql://quality@history-server:5432/torquedesk"))
        + 24);
    m_cp = new QDoubleSpinBox(this);
    m_cp->setObjectName(QStringLiteral("dsbHistoryCp"));
    m_cpk = new QDoubleSpinBox(this);
    m_cpk->setObjectName(QStringLiteral("dsbHistoryCpk"));
    for (QDoubleSpinBox *s : {m_cp, m_cpk}) {
        s->setRange(0.1, 10);
        s->setDecimals(2);
        s->setSingleStep(0.01);
        s->setMinimumHeight(40);
    }
    m_cp->setValue(stored.thresholds.cp);
    m_cpk->setValue(stored.thresholds.cpk);
    m_stats->setThresholds(stored.thresholds);
    settingCaption(m_database);
    settings->setStretchFactor(m_database, 1);
    settingCaption(m_stationName);
    settingCaption(m_cp);
    settingCaption(m_cpk);
    m_apply = button(this, "pbHistoryApply");
    settings->addWidget(m_apply);
    outer->addWidget(settingsBox);
    connect(m_apply, &QPushButton::clicked, this, &HistoryPage::applySettings);

    connect(m_model, &HistoryTableModel::counted, this, &HistoryPage::updateCount);
    // The joint in view was waiting for its row to arrive.
    connect(m_model, &HistoryTableModel::pageArrived, this, [this] {
        if (m_statsStale)
            updateStatistics();
        if (m_choicesWanted) {
            m_choicesWanted = false;
            fillChoices();
        }
    });
    // An empty history has no page to wait for.
    connect(m_model, &HistoryTableModel::counted, this, [this](qint64 n) {
        if (n <= 0 && m_choicesWanted) {
            m_choicesWanted = false;
            fillChoices();
        }
    });
    if (m_service) {
        HistoryService *svc = m_service;
        HistoryTableModel::Source source;
        source.count = [svc](QObject *to, const HistoryFilter &f, std::function<void(qint64)> done) {
            svc->ask(
                to,
                [f](HistoryWorker &w) {
                    HistoryDatabase *db = w.store()->database();
                    return db->isOpen() ? db->count(f) : qint64(-1);
                },
                std::move(done));
        };
        source.page = [svc](QObject *to, const HistoryFilter &f, const HistorySort &sort, qint64 offset, int limit,
                            std::function<bool()> wanted,
                            std::function<void(const QVector<HistoryMeasure> &, bool)> done) {
            svc->ask(
                to,
                [f, sort, offset, limit, wanted](HistoryWorker &w) {
                    if (!wanted())
                        return qMakePair(QVector<HistoryMeasure>(), true);
                    HistoryDatabase *db = w.store()->database();
                    return qMakePair(db->isOpen() ? db->page(f, offset, limit, sort) : QVector<HistoryMeasure>(), false);
                },
                [done = std::move(done)](const QPair<QVector<HistoryMeasure>, bool> &r) { done(r.first, r.second); });
        };
        m_model->setSource(source);
        connect(m_service, &HistoryService::historyChanged, this, &HistoryPage::reload);
        connect(m_service, &HistoryService::stateChanged, this, &HistoryPage::updateState);
        connect(m_service, &HistoryService::answeringChanged, this, [this](bool answering) {
            updateState();
            if (!answering)
                emit statusMessage(m_notice->text());
        });
    }
    retranslate();
}

void HistoryPage::retranslate()
{
    m_period->setText(tr("Period from"));
    const QStringList captions = {tr("until"),         tr("Key serial"), tr("Operator"), tr("Product"),
                                  tr("Operation No."), tr("Node"), tr("Record"), tr("Result"),
                                  tr("Barcode 1"),     tr("Barcode 2"),    tr("Station"),    tr("History database"), tr("Station name"),
                                  tr("Alarm: Cp below"), tr("Cpk below")};
    for (int i = 0; i < m_captions.size() && i < captions.size(); ++i)
        m_captions[i]->setText(captions.at(i));
    m_verdict->setItemText(0, tr("All"));
    m_find->setText(tr("Find"));
    m_reset->setText(tr("Reset"));
    m_csv->setText(tr("Export CSV"));
    m_dfq->setText(tr("Export DFQ"));
    m_apply->setText(tr("Apply"));
    m_settingsToggle->setText(tr("Settings"));
    m_database->setPlaceholderText(tr("local file (postgresql://user@host:port/dbname for a server)"));
    m_stationName->setPlaceholderText(StationName::hostDefault());
    // Screen readers and automation find the controls by what they are called.
    m_period->setAccessibleName(m_period->text());
    m_since->setAccessibleName(tr("Period from"));
    for (QLabel *l : m_captions) {
        QWidget *w = l->buddy();
        if (!w)
            continue;
        w->setAccessibleName(l->text());
        // An editable choice is read through its text field, which a screen reader meets alone.
        if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->lineEdit())
            combo->lineEdit()->setAccessibleName(l->text());
    }
    for (QPushButton *b : {m_find, m_reset, m_csv, m_dfq, m_apply, m_settingsToggle})
        b->setAccessibleName(b->text());
    m_table->setAccessibleName(tr("Tightening history"));
    m_model->retranslate();
    if (m_found != -3)
        showCount();
    updateState();
}

void HistoryPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void HistoryPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_dirty)
        reload();
}

HistoryFilter HistoryPage::currentFilter() const
{
    HistoryFilter f;
    if (m_period->isChecked()) {
        f.since = m_since->date().toString(QStringLiteral("yyyy-MM-dd"));
        f.until = m_until->date().toString(QStringLiteral("yyyy-MM-dd"));
    }
    f.keySerial = m_key->currentText().trimmed();
    f.operatorText = m_operator->currentText().trimmed();
    f.product = m_product->currentText().trimmed();
    f.operationNumber = m_operation->currentText().trimmed();
    f.node = m_node->currentText().trimmed();
    f.recordName = m_record->currentText().trimmed();
    if (!m_station->currentText().trimmed().isEmpty())
        f.stations = QStringList{m_station->currentText().trimmed()};
    f.verdict = m_verdict->currentIndex() == 1   ? HistoryFilter::Verdict::Ok
                : m_verdict->currentIndex() == 2 ? HistoryFilter::Verdict::Ng
                                                 : HistoryFilter::Verdict::Any;
    for (QLineEdit *e : {m_barcode1, m_barcode2}) {
        if (!e->text().trimmed().isEmpty())
            f.barcodes << e->text().trimmed();
    }
    // A pair linked to a record after its measures were archived still finds them.
    if (f.barcodes.size() == 2 && m_reportDb && m_reportDb->isOpen())
        f.recordOfBarcodes = m_reportDb->findRecordByBarcodes(f.barcodes);
    return f;
}

void HistoryPage::applyFilter()
{
    m_statsStale = true;
    m_selectFirst = true;
    m_model->setFilter(currentFilter());
    m_found = -2;
    showCount();
    updateStatistics();
}

void HistoryPage::showCount()
{
    const bool away = m_service && m_service->state().server && !m_service->state().online;
    // A server that is away has not lost the measures: the queue on this PC holds them.
    m_count->setText(m_found == -2         ? tr("Counting the measures…")
                     : m_found < 0 && away ? tr("Server away: %1 measures kept on this PC").arg(m_service->state().queued)
                     : m_found < 0         ? tr("The history cannot be read now")
                                           : tr("Measures found: %1").arg(m_found));
}

void HistoryPage::updateCount(qint64 count)
{
    m_found = count;
    showCount();
    if (m_selectFirst && m_model->rowCount() > 0)
        m_table->selectRow(0);
    m_selectFirst = false;
    m_statsStale = true;
    updateStatistics();
}

void HistoryPage::resetFilter()
{
    m_period->setChecked(false);
    for (QComboBox *c : {m_key, m_operator, m_product, m_operation, m_node, m_record, m_station})
        c->setCurrentText(QString());
    m_verdict->setCurrentIndex(0);
    m_barcode1->clear();
    m_barcode2->clear();
    applyFilter();
}

void HistoryPage::reload()
{
    if (!isVisible()) {
        // Measures arrive in bursts while a key is read; the page counts once it is looked at.
        m_dirty = true;
        return;
    }
    m_dirty = false;
    // The choices read every row of six columns: asked once the first page is on screen, so
    // a large history shows its newest measures first.
    m_choicesWanted = true;
    applyFilter();
    updateState();
}

void HistoryPage::fillChoices()
{
    if (!m_service)
        return;
    static const QStringList columns = {QStringLiteral("key_serial"), QStringLiteral("operator_text"),
                                        QStringLiteral("product"),    QStringLiteral("operation_number"),
                                        QStringLiteral("node"),       QStringLiteral("record_name"),
                                        QStringLiteral("station")};
    m_service->ask(
        this,
        [](HistoryWorker &w) {
            QVector<QStringList> values;
            HistoryDatabase *db = w.store()->database();
            if (!db->isOpen())
                return values;
            for (const QString &column : columns)
                values << db->distinct(column);
            return values;
        },
        [this](const QVector<QStringList> &values) {
            if (values.size() != columns.size())
                return;
            const QList<QComboBox *> boxes = {m_key, m_operator, m_product, m_operation, m_node, m_record, m_station};
            for (int i = 0; i < boxes.size(); ++i)
                setChoices(boxes.at(i), values.at(i));
        });
}

void HistoryPage::updateStatistics()
{
    const HistoryFilter f = m_model->filter();
    QString record = f.recordName;
    if (record.isEmpty()) {
        const int row = m_table->currentIndex().isValid() ? m_table->currentIndex().row() : 0;
        if (m_model->rowCount() > 0 && !m_model->isLoaded(row)) {
            // The row's page is on its way; pageArrived brings us back.
            m_stats->showLoading(QString());
            m_statsStale = true;
            return;
        }
        record = m_model->measure(row).recordName;
    }
    if (record.isEmpty() || !m_service) {
        m_statsRecord.clear();
        m_stats->clear();
        m_statsStale = false;
        return;
    }
    // Moving within the same joint's rows changes nothing the view shows.
    if (record == m_statsRecord && f == m_statsFilter && !m_statsStale)
        return;
    m_statsRecord = record;
    m_statsFilter = f;
    m_statsStale = false;
    m_stats->showLoading(record);
    const quint64 asked = ++m_statsAsked;
    // The joint's capability is that of all its measures in the period and on the key, not of
    // the rows the result filter leaves in the table.
    const HistoryFilter scope = JointStatistics::scope(f, record);
    m_service->ask(
        this,
        [scope, record](HistoryWorker &w) {
            bool read = false;
            HistoryExport::Joint j = HistoryExport::joint(w.store()->database(), scope, record, &read);
            auto charts = read ? StatisticsCharts::prepare(j.moments) : nullptr;
            return std::make_tuple(read, j, w.store()->database()->lastError(), charts);
        },
        [this, asked, record, scope](const std::tuple<bool, HistoryExport::Joint, QString,
                                                      std::shared_ptr<const StatisticsCharts::Prepared>> &r) {
            if (asked != m_statsAsked)
                return;
            showStatistics(record, std::get<0>(r), std::get<1>(r), std::get<2>(r), std::get<3>(r));
            if (std::get<0>(r))
                askGroups(scope, record, asked);
        });
}

void HistoryPage::askGroups(const HistoryFilter &scope, const QString &record, quint64 asked)
{
    // Asked after the joint's own figures: those show at once, the groups a moment later.
    const Capability::Thresholds thresholds{m_cp->value(), m_cpk->value()};
    m_service->ask(
        this,
        [scope, record, thresholds](HistoryWorker &w) {
            QVector<JointStatistics::Group> groups;
            QString error;
            JointStatistics::groups(w.store()->database(), scope, record, thresholds, &groups, &error);
            return groups;
        },
        [this, asked](const QVector<JointStatistics::Group> &groups) {
            if (asked == m_statsAsked)
                m_stats->setGroups(groups);
        });
}

void HistoryPage::showStatistics(const QString &record, bool read, const HistoryExport::Joint &j, const QString &error,
                                 const std::shared_ptr<const StatisticsCharts::Prepared> &charts)
{
    if (!read) {
        // Figures of part of a joint's measures would look like the whole.
        m_stats->clear();
        m_statsStale = true;
        emit messageRequested(tr("The statistics of %1 could not be read: %2").arg(record, error), QStringLiteral("red"));
        return;
    }
    StatisticsView::Input in;
    in.recordName = j.recordName;
    in.unit = j.unit.isEmpty() ? QStringLiteral("Nm") : j.unit;
    in.moments = j.moments;
    in.ngCount = j.ngCount;
    in.momentLow = j.momentLow;
    in.momentHigh = j.momentHigh;
    in.angleChecked = j.angleChecked;
    in.angles = j.angles;
    in.angleLow = j.angleLow;
    in.angleHigh = j.angleHigh;
    in.scope = JointStatistics::scope(m_statsFilter, record);
    in.charts = charts;
    m_stats->setInput(in);
}

void HistoryPage::addAction(QWidget *control)
{
    if (!m_corner) {
        m_corner = new QWidget(this);
        m_corner->setObjectName(QStringLiteral("wHistoryCorner"));
        auto *row = new QHBoxLayout(m_corner);
        row->setContentsMargins(0, 0, 0, 0);
        connect(m_panes, &HistoryPanes::arrangementChanged, this, &HistoryPage::placeCorner);
    }
    control->setProperty("tallHeight", control->minimumHeight());
    m_corner->layout()->addWidget(control);
    placeCorner();
}

void HistoryPage::placeCorner()
{
    // Beside the tabs the frame's controls cost no height and leave the row under the table
    // to the count and the state, which then keep to one line each.
    const bool tabbed = !m_panes->sideBySide();
    m_actions->removeWidget(m_corner);
    if (tabbed) {
        m_panes->tabs()->setCornerWidget(m_corner);
    } else {
        m_panes->tabs()->setCornerWidget(nullptr);
        m_actions->insertWidget(m_actions->indexOf(m_settingsToggle), m_corner);
    }
    for (QWidget *control : m_corner->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        control->setMinimumHeight(tabbed ? 0 : control->property("tallHeight").toInt());
    m_corner->show();
}

QString HistoryPage::stateText() const
{
    return m_state->text();
}

void HistoryPage::updateState()
{
    const bool silent = m_service && !m_service->isAnswering();
    // A local file is only slow (a million rows counted); a server may be gone for a while.
    m_notice->setText(!silent                       ? QString()
                      : m_service->state().server ? tr("The history server is not answering; measures are kept on this PC")
                                                  : tr("The history is busy; the table fills in as its rows arrive"));
    m_notice->setVisible(silent);
    m_notice->setAccessibleName(m_notice->text());
    if (!m_service) {
        m_state->clear();
        return;
    }
    const HistoryState &s = m_service->state();
    const QString where = s.display.isEmpty() ? m_service->url() : s.display;
    QString text;
    QString style = QStringLiteral("color: rgb(0, 110, 0);");
    if (!s.open) {
        text = tr("History not available: %1").arg(where.isEmpty() ? tr("local file") : where);
        style = QStringLiteral("color: red;");
    } else if (s.server && !s.online) {
        const QDateTime since = m_service->offlineSince();
        text = tr("Server %1: unreachable since %2 — %3 measures kept on this PC, sent when it is back")
                   .arg(where, since.isValid() ? since.toString(QStringLiteral("HH:mm")) : QStringLiteral("?"))
                   .arg(s.queued);
        style = QStringLiteral("color: rgb(190, 0, 0); font-weight: bold;");
    } else if (s.server && s.setAside > 0) {
        // Refused rows never go on their own: someone has to look at them.
        text = tr("Server %1: connected; measures it refused are kept in %2 (table set_aside): %3")
                   .arg(where, QDir::toNativeSeparators(s.queuePath))
                   .arg(s.setAside);
        style = QStringLiteral("color: red;");
    } else if (s.server) {
        text = tr("Server %1: connected").arg(where);
    } else {
        // The file's name; its folder is in the tool tip, a path would take the row.
        text = tr("Local file %1").arg(QFileInfo(where).fileName());
    }
    m_state->setText(text);
    m_state->setToolTip(QDir::toNativeSeparators(where));
    m_state->setStyleSheet(style);
    m_state->setAccessibleName(text);
    if (m_found == -1)
        showCount();
}

void HistoryPage::setUpHeader()
{
    QHeaderView *header = m_table->horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(0, Qt::DescendingOrder);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    m_saveHeader = new QTimer(this);
    m_saveHeader->setSingleShot(true);
    m_saveHeader->setInterval(400);
    connect(m_saveHeader, &QTimer::timeout, this, &HistoryPage::saveHeader);
    for (auto signal : {&QHeaderView::sectionMoved, &QHeaderView::sectionResized})
        connect(header, signal, m_saveHeader, qOverload<>(&QTimer::start));
    connect(header, &QHeaderView::sortIndicatorChanged, this, [this](int column, Qt::SortOrder order) {
        HistorySort sort;
        sort.column = HistoryTableModel::sortColumn(column);
        sort.descending = order == Qt::DescendingOrder;
        m_model->setSort(sort);
        m_saveHeader->start();
    });
    // Which columns show: a menu on the header, as in a spreadsheet.
    connect(header, &QHeaderView::customContextMenuRequested, this, [this, header](const QPoint &at) {
        QMenu menu(this);
        menu.setAccessibleName(tr("Columns"));
        for (int c = 0; c < m_model->columnCount(); ++c) {
            QAction *a = menu.addAction(m_model->headerData(c, Qt::Horizontal).toString());
            a->setCheckable(true);
            a->setChecked(!header->isSectionHidden(c));
            connect(a, &QAction::toggled, this, [this, header, c](bool shown) {
                header->setSectionHidden(c, !shown);
                m_saveHeader->start();
            });
        }
        menu.exec(header->mapToGlobal(at));
    });
}

void HistoryPage::sizeColumns()
{
    // Wide enough for what a column holds at most, so no date or range is cut.
    const QFontMetrics fm = m_table->fontMetrics();
    const QStringList samples = {QStringLiteral("2026-12-31 23:59:59"), QStringLiteral("2907K000001 (Key 12)"),
                                 QStringLiteral("Wheel_nut_M14_J10"), QStringLiteral("9999"),
                                 QStringLiteral("1000.00 kgsm"),      QStringLiteral("360.0"),
                                 QStringLiteral("100.00"),            QStringLiteral("NG"),
                                 QStringLiteral("100.00-120.00"),     QStringLiteral("Ivanov I.I."),
                                 QStringLiteral("Product"),           QStringLiteral("Op 10"),
                                 QStringLiteral("Node"),              QStringLiteral("Ivanov I.I."),
                                 QStringLiteral("4607001 / PART-77"), QStringLiteral("calibration.clb"),
                                 QStringLiteral("2026-12-31 23:59:59")};
    QFont bold = m_table->horizontalHeader()->font();
    bold.setBold(true);
    const QFontMetrics header(bold);
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int title = header.horizontalAdvance(m_model->headerData(c, Qt::Horizontal).toString()) + 28;
        m_table->setColumnWidth(c, qMax(title, fm.horizontalAdvance(samples.value(c, QStringLiteral("MMMMMMMM"))) + 20));
    }
}

void HistoryPage::restoreHeader()
{
    QSettings ini(HistorySettings::path(), QSettings::IniFormat);
    const QByteArray state = ini.value(QStringLiteral("table/header")).toByteArray();
    QHeaderView *header = m_table->horizontalHeader();
    if (state.isEmpty() || !header->restoreState(state))
        return;
    HistorySort sort;
    sort.column = HistoryTableModel::sortColumn(header->sortIndicatorSection());
    sort.descending = header->sortIndicatorOrder() == Qt::DescendingOrder;
    m_model->setSort(sort);
}

void HistoryPage::saveHeader()
{
    QDir().mkpath(QFileInfo(HistorySettings::path()).absolutePath());
    QSettings ini(HistorySettings::path(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("table/header"), m_table->horizontalHeader()->saveState());
}

void HistoryPage::applySettings()
{
    HistorySettings settings;
    settings.database = m_database->text().trimmed();
    settings.station = StationName::normalized(m_stationName->text());
    const QString stationBefore = StationName::current();
    settings.thresholds.cp = m_cp->value();
    settings.thresholds.cpk = m_cpk->value();
    m_stats->setThresholds(settings.thresholds);
    QString error;
    if (!settings.save(&error))
        emit messageRequested(error, QStringLiteral("red"));
    // Reconnecting costs a moment (and a server's time-out): only for another address, or for
    // another name, which the history's writers take when they open.
    if (m_service && (settings.database != m_service->url() || StationName::current() != stationBefore)) {
        auto *once = new QObject(this);
        connect(m_service, &HistoryService::opened, once, [this, once](bool ok, const QString &why) {
            delete once;
            if (!ok)
                emit messageRequested(tr("The history database cannot be opened: %1").arg(why), QStringLiteral("red"));
        });
        m_service->openDatabase(settings.database);
    }
    reload();
}

void HistoryPage::askAndExport(bool dfq)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    const QString proposed = QDir(Paths::dataRoot()).filePath(QStringLiteral("reports/history(") + stamp
                                                              + (dfq ? QStringLiteral(").dfq") : QStringLiteral(").csv")));
    const QString path = m_ask(dfq ? tr("Export the history to DFQ") : tr("Export the history to CSV"), proposed,
                               dfq ? tr("Q-DAS transfer file (*.dfq);;All Files (*)")
                                   : tr("Measures (*.csv);;All Files (*)"));
    if (path.isEmpty())
        return;
    startExport(dfq, path);
}

void HistoryPage::exportCsv(const QString &path)
{
    startExport(false, path);
}

void HistoryPage::exportDfq(const QString &path)
{
    startExport(true, path);
}

void HistoryPage::startExport(bool dfq, const QString &path)
{
    HistoryLocation where;
    QString error;
    if (!m_service || m_exporting || !HistoryLocation::parse(m_service->url(), &where, &error)) {
        emit exportFinished(false);
        return;
    }
    m_exporting = true;
    for (QPushButton *b : {m_csv, m_dfq})
        b->setEnabled(false);
    auto *job = new HistoryExportJob(where, m_model->filter(),
                                     dfq ? HistoryExportJob::Format::Dfq : HistoryExportJob::Format::Csv, path);
    // The row shows the outcome; the page says what only it knows (the '?' written for DFQ).
    if (m_progress)
        m_progress->follow(job, dfq ? tr("History to DFQ") : tr("History to CSV"),
                           JobProgressWidget::SuccessNotice::RowOnly);
    auto written = std::make_shared<QPair<qint64, int>>(0, 0);
    connect(job, &HistoryExportJob::written, this, [written](qint64 rows, int replaced) {
        *written = qMakePair(rows, replaced);
    });
    connect(job, &Job::finished, this, [this, path, written](bool ok, const QString &why) {
        m_exporting = false;
        for (QPushButton *b : {m_csv, m_dfq})
            b->setEnabled(true);
        if (!ok) {
            // The progress row says it in red already.
            if (!m_progress)
                emit messageRequested(tr("The history was not exported: %1").arg(why), QStringLiteral("red"));
        } else if (written->second > 0) {
            emit messageRequested(tr("%1 measures exported; %2 characters the DFQ file cannot hold were written as '?'")
                                      .arg(written->first)
                                      .arg(written->second),
                                  QStringLiteral("blue"));
        } else {
            emit statusMessage(tr("%1 measures exported to %2").arg(written->first).arg(path));
        }
        emit exportFinished(ok);
    });
    startJob(job);
}

void HistoryPage::printStatistics()
{
    const QString path = m_ask(tr("Statistics to PDF"),
                               QDir(Paths::dataRoot()).filePath(QStringLiteral("reports/statistics(") + m_statsRecord
                                                                + QStringLiteral(").pdf")),
                               tr("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!m_stats->printToPdf(path, &error))
        emit messageRequested(error, QStringLiteral("red"));
}
