#include "ui/templates/TemplatesPage.h"

#include "base/Log.h"
#include "base/Paths.h"
#include "ui/popups/PopupHost.h"
#include "ui/widgets/cParameter.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "records/TemplateBinary.h"
#include "records/TemplateFiles.h"
#include "records/TemplateJson.h"
#include "records/TemplateListsModel.h"
#include "ui/templates/TemplateTextRow.h"
#include "ui/templates/UzelTemplateRow.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScopedValueRollback>
#include <QScroller>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char kKeyFolder[] = "templates";
// A JSON export of the largest list is some 40 kB; anything far bigger is not one of ours.
constexpr qint64 kMaxJsonBytes = 4 * 1024 * 1024;

const char kTabStyle[] = "QTabBar::tab {min-height: 40px; min-width: 150px; padding: 4px 16px; font-size: 13pt;}";
const char kStripeStyle[] = "QFrame {background-color: rgb(236, 240, 246); border: none; border-radius: 6px;}";
const char kServiceButtonStyle[] =
    "QPushButton {background-color: rgb(235, 235, 235); color: rgb(30, 30, 30); border: 1px solid rgb(190, 190, "
    "190); border-radius: 6px; padding: 0 12px;} QPushButton:pressed {background-color: rgb(200, 210, 225);}";

QLabel *headerLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont f = label->font();
    f.setPointSize(11);
    f.setBold(true);
    label->setFont(f);
    label->setWordWrap(true);
    return label;
}

} // namespace

TemplatesPage::TemplatesPage(const Widgets &widgets, TemplateListsModel *model, FileExchange *files,
                             KeyModel *keyModel, QObject *parent)
    : QObject(parent)
    , m_w(widgets)
    , m_model(model)
    , m_files(files)
    , m_keyModel(keyModel)
{
    buildTabs();
    if (m_w.service)
        buildServiceButtons(m_w.service);

    m_w.fromJson->setToolTip(tr("Get template from JSON-file"));
    m_w.save->setToolTip(tr("Save template to key"));
    connect(m_w.fromJson, &QPushButton::clicked, this, &TemplatesPage::iBtnTemplatesGetFromJson_Click);
    connect(m_w.save, &QPushButton::clicked, this, &TemplatesPage::iBtnTemplatesApply_Click);
    connect(m_w.tabs, &QTabWidget::currentChanged, this, &TemplatesPage::tabWheelUzel_currentChanged);
    connect(m_model, &TemplateListsModel::entriesChanged, this, &TemplatesPage::onEntriesChanged);
    connect(m_model, &TemplateListsModel::modesChanged, this, &TemplatesPage::onModesChanged);

    if (m_w.rowsWhenIdle) {
        m_w.tabs->installEventFilter(this);
        if (m_w.tabs->isVisible())
            ensureRows(currentKind());
        QTimer::singleShot(0, this, &TemplatesPage::buildRowsWhileIdle);
    } else {
        for (TemplateKind kind : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel})
            ensureRows(kind);
    }
    m_lastTab = m_w.tabs->currentIndex();
    setDirty(currentKind(), false);
}

QWidget *TemplatesPage::makeListTab(const QString &objectName, const QStringList &headers, int stretchColumns,
                                    QGridLayout **grid)
{
    auto *scroll = new QScrollArea(m_w.tabs);
    scroll->setObjectName(objectName);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScroller::grabGesture(scroll->viewport(), QScroller::TouchGesture);
    auto *content = new QWidget(scroll);
    content->setObjectName(objectName + QStringLiteral("_content"));
    auto *g = new QGridLayout(content);
    g->setContentsMargins(6, 6, 6, 6);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(2);
    for (int k = 0; k < headers.size(); ++k)
        g->addWidget(headerLabel(headers.at(k), content), 0, 1 + k);
    // The first text is the one the key shows: it gets the most room.
    for (int c = 1; c <= stretchColumns; ++c)
        g->setColumnStretch(c, c == 1 && stretchColumns > 1 ? 3 : 2);
    scroll->setWidget(content);
    *grid = g;
    return scroll;
}

void TemplatesPage::buildTabs()
{
    m_w.tabs->setStyleSheet(QLatin1String(kTabStyle));
    QWidget *fioTab = makeListTab(QStringLiteral("saFioTemplates"),
                                  {tr("View on key display"), tr("Additional field 1"), tr("Additional field 2")}, 3,
                                  &m_grids[int(TemplateKind::Fio)]);
    QWidget *wheelTab = makeListTab(QStringLiteral("saWheelTemplates"), {tr("View on key display")}, 1,
                                    &m_grids[int(TemplateKind::Wheel)]);
    QWidget *uzelTab = makeListTab(QStringLiteral("saUzelTemplates"),
                                   {tr("Main info"), tr("String 1"), tr("String 2"), tr("Measure algorithm")}, 3,
                                   &m_grids[int(TemplateKind::Uzel)]);
    m_w.tabs->addTab(fioTab, tr("F.I.O."));
    m_w.tabs->addTab(wheelTab, tr("Wheel"));
    m_w.tabs->addTab(uzelTab, tr("Uzel"));
    m_w.tabs->setCurrentIndex(0);
}

void TemplatesPage::ensureRows(TemplateKind kind)
{
    buildRows(kind, TemplateListsModel::count(kind));
}

void TemplatesPage::buildRows(TemplateKind kind, int upTo)
{
    const int k = int(kind);
    const int total = TemplateListsModel::count(kind);
    upTo = std::min(upTo, total);
    if (m_rowsBuilt[k] >= upTo)
        return;
    QGridLayout *grid = m_grids[k];
    QWidget *content = grid->parentWidget();
    for (int i = m_rowsBuilt[k]; i < upTo; ++i) {
        switch (kind) {
        case TemplateKind::Fio: {
            auto *row = new TemplateTextRow(i, QStringLiteral("Fio"),
                                            {tr("View on key display"), tr("Additional field 1"),
                                             tr("Additional field 2")},
                                            FioTemplate::TextField, content, grid, 1 + i);
            connect(row, &TemplateTextRow::edited, this, &TemplatesPage::onRowEdited);
            m_fioRows.append(row);
            break;
        }
        case TemplateKind::Wheel: {
            auto *row = new TemplateTextRow(i, QStringLiteral("Wheel"), {tr("View on key display")},
                                            WheelTemplate::TextField, content, grid, 1 + i);
            connect(row, &TemplateTextRow::edited, this, &TemplatesPage::onRowEdited);
            m_wheelRows.append(row);
            break;
        }
        case TemplateKind::Uzel: {
            const int line = 1 + 2 * i;
            // Every other node row on a light band, so a row's two lines read as one.
            if (i % 2 == 0) {
                auto *stripe = new QFrame(content);
                stripe->setStyleSheet(QLatin1String(kStripeStyle));
                grid->addWidget(stripe, line, 0, 2, 5);
            }
            auto *row = new UzelTemplateRow(i, m_model, content, grid, line);
            connect(row, &UzelTemplateRow::edited, this, &TemplatesPage::onRowEdited);
            connect(row, &UzelTemplateRow::keypadRequested, this, &TemplatesPage::showKeypad);
            m_uzelRows.append(row);
            break;
        }
        }
        m_rowsBuilt[k] = i + 1;
        applyEntry(kind, i);
    }
    if (m_rowsBuilt[k] == total)
        grid->setRowStretch(kind == TemplateKind::Uzel ? 1 + 2 * total : 1 + total, 1);
}

void TemplatesPage::buildRowsWhileIdle()
{
    // A handful of rows per turn of the event loop keeps the window answering meanwhile.
    constexpr int rowsPerTurn = 5;
    for (TemplateKind kind : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        const int k = int(kind);
        if (m_rowsBuilt[k] < TemplateListsModel::count(kind)) {
            buildRows(kind, m_rowsBuilt[k] + rowsPerTurn);
            QTimer::singleShot(0, this, &TemplatesPage::buildRowsWhileIdle);
            return;
        }
    }
}

bool TemplatesPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_w.tabs && event->type() == QEvent::Show)
        ensureRows(currentKind());
    // Watched application-wide only while rows wait to be brought up to date: the person
    // touching the lists acts on what the model holds, never on a row about to change.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::TouchBegin:
    case QEvent::Wheel:
        if (watched->isWidgetType() && m_w.tabs->isAncestorOf(static_cast<QWidget *>(watched))) {
            for (TemplateKind kind : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel})
                applyPending(kind);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void TemplatesPage::buildServiceButtons(QWidget *container)
{
    auto *box = new QFrame(container);
    box->setObjectName(QStringLiteral("frTemplateFiles"));
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(headerLabel(tr("Templates"), box));
    const struct
    {
        const char *name;
        QString text;
        QString tip;
        void (TemplatesPage::*slot)();
    } buttons[] = {
        {"pbTemplatesToFolder", tr("Save templates to PC folder"), tr("Save all template lists into a folder on the PC"),
         &TemplatesPage::iBtnTemplatesToFolder_Click},
        {"pbTemplatesFromFolder", tr("Send templates from PC folder to key"),
         tr("Send the template lists of a PC folder to the key"), &TemplatesPage::iBtnTemplatesFromFolder_Click},
        {"pbTemplatesDefaults", tr("Fill templates with defaults"),
         tr("Replace all template lists in the key by default lists"), &TemplatesPage::iBtnTemplatesDefaults_Click},
    };
    for (const auto &b : buttons) {
        auto *button = new QPushButton(b.text, box);
        button->setObjectName(QLatin1String(b.name));
        button->setToolTip(b.tip);
        button->setAccessibleName(b.text);
        button->setMinimumHeight(44);
        button->setStyleSheet(QLatin1String(kServiceButtonStyle));
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, b.slot);
    }
    if (container->layout())
        container->layout()->addWidget(box);
}

TemplateKind TemplatesPage::currentKind() const
{
    switch (m_w.tabs->currentIndex()) {
    case 1:
        return TemplateKind::Wheel;
    case 2:
        return TemplateKind::Uzel;
    default:
        return TemplateKind::Fio;
    }
}

TemplateLists TemplatesPage::collect(TemplateKind kind) const
{
    // Rows are only a view of the model; building them or bringing them up to date changes
    // no state a caller sees.
    auto *self = const_cast<TemplatesPage *>(this);
    self->ensureRows(kind);
    self->applyPending(kind);
    TemplateLists lists = m_model->lists();
    switch (kind) {
    case TemplateKind::Fio:
        for (int i = 0; i < FioTemplate::Count; ++i) {
            const TemplateTextRow *row = m_fioRows.at(i);
            FioTemplate &e = lists.fio[size_t(i)];
            e.text1 = row->text(0);
            e.text2 = row->text(1);
            e.text3 = row->text(2);
            e.enabled = row->isOn();
            e.index = quint8(i);
        }
        break;
    case TemplateKind::Wheel:
        for (int i = 0; i < WheelTemplate::Count; ++i) {
            const TemplateTextRow *row = m_wheelRows.at(i);
            WheelTemplate &e = lists.wheel[size_t(i)];
            e.text = row->text(0);
            e.enabled = row->isOn();
            e.index = quint8(i);
        }
        break;
    case TemplateKind::Uzel:
        for (int i = 0; i < UzelTemplate::Count; ++i)
            lists.uzel[size_t(i)] = m_uzelRows.at(i)->entry();
        break;
    }
    return lists;
}

void TemplatesPage::applyEntry(TemplateKind kind, int index)
{
    const TemplateLists &l = m_model->lists();
    switch (kind) {
    case TemplateKind::Fio:
        if (TemplateTextRow *row = m_fioRows.value(index)) {
            const FioTemplate &e = l.fio[size_t(index)];
            row->setTexts({e.text1, e.text2, e.text3});
            row->setOn(e.enabled);
        }
        break;
    case TemplateKind::Wheel:
        if (TemplateTextRow *row = m_wheelRows.value(index)) {
            const WheelTemplate &e = l.wheel[size_t(index)];
            row->setTexts({e.text});
            row->setOn(e.enabled);
        }
        break;
    case TemplateKind::Uzel:
        if (UzelTemplateRow *row = m_uzelRows.value(index))
            row->setEntry(l.uzel[size_t(index)]);
        break;
    }
}

void TemplatesPage::onEntriesChanged(int kind, const QVector<int> &indexes)
{
    if (kind < 0 || kind > 2)
        return;
    const auto k = TemplateKind(kind);
    // What the person asked of this page shows at once. A list arriving from the key re-fills
    // up to a hundred rows of widgets (about 150 ms on a busy PC, in the middle of a
    // read-out): a few rows per turn of the event loop keep the window answering meanwhile.
    QVector<int> &pending = m_pending[kind];
    if (m_ownChange) {
        for (int i : indexes) {
            pending.removeAll(i);
            applyEntry(k, i);
        }
    } else {
        for (int i : indexes) {
            if (!pending.contains(i))
                pending.append(i);
        }
        if (!m_applyQueued && !pending.isEmpty()) {
            m_applyQueued = true;
            qApp->installEventFilter(this);
            QTimer::singleShot(0, this, &TemplatesPage::applyPendingWhileIdle);
        }
    }
    // The whole list now shows what the model holds: nothing of it is waiting to be saved.
    if (indexes.size() == TemplateListsModel::count(k))
        setDirty(k, false);
}

void TemplatesPage::applyPendingWhileIdle()
{
    constexpr int rowsPerTurn = 8;
    m_applyQueued = false;
    int budget = rowsPerTurn;
    for (TemplateKind kind : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        QVector<int> &pending = m_pending[int(kind)];
        while (budget > 0 && !pending.isEmpty()) {
            applyEntry(kind, pending.takeFirst());
            --budget;
        }
        if (!pending.isEmpty()) {
            m_applyQueued = true;
            QTimer::singleShot(0, this, &TemplatesPage::applyPendingWhileIdle);
            return;
        }
    }
    qApp->removeEventFilter(this);
}

void TemplatesPage::applyPending(TemplateKind kind)
{
    QVector<int> &pending = m_pending[int(kind)];
    for (int i : qAsConst(pending))
        applyEntry(kind, i);
    pending.clear();
}

void TemplatesPage::onModesChanged()
{
    for (UzelTemplateRow *row : qAsConst(m_uzelRows))
        row->refillAlgorithms();
}

void TemplatesPage::onRowEdited()
{
    // What the person typed wins over an entry still waiting to be shown in that row.
    TemplateKind kind = TemplateKind::Fio;
    int row = -1;
    if (auto *uzel = qobject_cast<UzelTemplateRow *>(sender())) {
        kind = TemplateKind::Uzel;
        row = m_uzelRows.indexOf(uzel);
    } else if ((row = m_wheelRows.indexOf(static_cast<TemplateTextRow *>(sender()))) >= 0) {
        kind = TemplateKind::Wheel;
    } else {
        row = m_fioRows.indexOf(static_cast<TemplateTextRow *>(sender()));
    }
    m_pending[int(kind)].removeAll(row);
    setDirty(kind, true);
}

void TemplatesPage::setDirty(TemplateKind kind, bool dirty)
{
    m_dirty[int(kind)] = dirty;
    if (!m_w.note)
        return;
    const bool shown = m_dirty[int(currentKind())];
    m_w.note->setText(shown ? tr("Changes not saved to the key") : QString());
}

void TemplatesPage::showKeypad(cParameter *aPar)
{
    if (m_popups)
        m_popups->showKeypad(aPar);
}

void TemplatesPage::tabWheelUzel_currentChanged(int aIndex)
{
    td::log(QStringLiteral("tabWheelUzel_currentChanged tabWheelUzel_Last=%1").arg(m_lastTab));
    td::log(QStringLiteral("tabWheelUzel_currentChanged aIndex=%1").arg(aIndex));
    m_lastTab = aIndex;
    if (m_w.tabs->isVisible())
        ensureRows(currentKind());
    setDirty(currentKind(), m_dirty[int(currentKind())]);
}

QString TemplatesPage::mirrorDir()
{
    return Paths::downloadDir(QLatin1String(kKeyFolder));
}

QString TemplatesPage::chooseFolder(const QString &title, const QString &start) const
{
    if (m_chooseFolder)
        return m_chooseFolder(title, start);
    QWidget *window = m_w.tabs ? m_w.tabs->window() : nullptr;
    return QFileDialog::getExistingDirectory(window, title, start);
}

void TemplatesPage::tellCuts(const QVector<TemplateTextCut> &cuts, QStringList *lines) const
{
    if (cuts.isEmpty())
        return;
    lines->append(tr("Texts too long for the key were shortened:"));
    for (const TemplateTextCut &c : cuts)
        lines->append(c.message());
}

void TemplatesPage::iBtnTemplatesApply_Click()
{
    saveList(currentKind());
}

bool TemplatesPage::saveList(TemplateKind kind)
{
    TemplateLists lists = collect(kind);
    const TemplateFiles::WriteResult r = TemplateFiles::writeList(mirrorDir(), kind, &lists);
    QStringList lines;
    if (!r.binaryWritten) {
        // The key must not get a list that the PC could not keep itself.
        lines << tr("Warning! Template was not saved and not sent to the key!") << r.errors;
        td::log(QStringLiteral("Templates: %1 not written, nothing sent").arg(r.binaryPath));
        emit messageRequested(lines.join(QLatin1Char('\n')), QStringLiteral("red"));
        return false;
    }
    // The model gets the list as the key will have it (texts cut), and the rows show that.
    {
        const QScopedValueRollback<bool> own(m_ownChange, true);
        m_model->setList(kind, lists);
    }
    setDirty(kind, false);

    bool sent = false;
    if (m_files)
        sent = m_files->PutFileToFolder(QLatin1String(kKeyFolder), r.binaryPath, false);
    if (!sent)
        lines << tr("Warning! Template was saved on the PC but could not be sent to the key!");
    if (!r.jsonWritten)
        lines << r.errors;
    tellCuts(r.cuts, &lines);
    if (!lines.isEmpty())
        emit messageRequested(lines.join(QLatin1Char('\n')), sent && r.jsonWritten ? QStringLiteral("yellow")
                                                                                    : QStringLiteral("red"));
    if (sent)
        emit statusMessage(tr("Template sent to the key: ") + QLatin1String(TemplateBinary::fileName(kind)));
    return sent && r.jsonWritten;
}

void TemplatesPage::iBtnTemplatesGetFromJson_Click()
{
    const QString dir = chooseFolder(tr("Select a Directory with JSON templates"), QDir::currentPath());
    if (dir.isEmpty())
        return;
    importJson(dir);
}

bool TemplatesPage::importJson(const QString &dir)
{
    const TemplateKind kind = currentKind();
    QFile file(dir + QLatin1Char('/') + QLatin1String(TemplateJson::fileName(kind)));
    if (!file.exists()) {
        emit messageRequested(tr("Warning! Template in JSON format not found!"), QStringLiteral("red"));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        emit messageRequested(tr("Warning! Template in JSON format not opened!"), QStringLiteral("red"));
        return false;
    }
    const QByteArray json = file.read(kMaxJsonBytes + 1);
    TemplateLists lists = collect(kind);
    TemplateJson::ImportResult r;
    if (json.size() <= kMaxJsonBytes)
        r = TemplateJson::read(kind, json, &lists);
    else
        r.problem = QStringLiteral("larger than %1 bytes").arg(kMaxJsonBytes);
    if (!r.ok) {
        td::log(QStringLiteral("Templates: JSON %1 not applied: %2").arg(file.fileName(), r.problem));
        emit messageRequested(tr("Warning! Template in JSON format is damaged!"), QStringLiteral("red"));
        return false;
    }
    if (!r.problem.isEmpty())
        td::log(QStringLiteral("Templates: JSON %1: %2").arg(file.fileName(), r.problem));
    {
        const QScopedValueRollback<bool> own(m_ownChange, true);
        m_model->setEntries(kind, lists, r.rows);
    }
    // Taken from the file, not yet in the key.
    setDirty(kind, true);
    QStringList lines;
    tellCuts(r.cuts, &lines);
    if (!lines.isEmpty())
        emit messageRequested(lines.join(QLatin1Char('\n')), QStringLiteral("yellow"));
    emit statusMessage(tr("Template read from the JSON file; press Save to send it to the key"));
    return true;
}

void TemplatesPage::iBtnTemplatesToFolder_Click()
{
    const QString dir = chooseFolder(tr("Select a Directory for save templates"), QDir::currentPath());
    if (dir.isEmpty())
        return;
    saveAllToFolder(dir);
}

bool TemplatesPage::saveAllToFolder(const QString &dir)
{
    QStringList errors;
    QVector<TemplateTextCut> cuts;
    for (TemplateKind kind : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        TemplateLists lists = collect(kind);
        const TemplateFiles::WriteResult r = TemplateFiles::writeList(dir, kind, &lists);
        errors << r.errors;
        cuts << r.cuts;
    }
    QStringList lines;
    if (!errors.isEmpty())
        lines << tr("Warning! Not all templates were saved!") << errors;
    tellCuts(cuts, &lines);
    if (!lines.isEmpty())
        emit messageRequested(lines.join(QLatin1Char('\n')), errors.isEmpty() ? QStringLiteral("yellow")
                                                                               : QStringLiteral("red"));
    if (errors.isEmpty())
        emit statusMessage(tr("Templates saved to ") + QDir::toNativeSeparators(dir));
    return errors.isEmpty();
}

void TemplatesPage::iBtnTemplatesFromFolder_Click()
{
    const QString dir = chooseFolder(tr("Select a Directory with templates"), QDir::currentPath());
    if (dir.isEmpty())
        return;
    ReadTemplatesFromFile(dir);
}

bool TemplatesPage::ReadTemplatesFromFile(const QString &dir)
{
    QStringList problems;
    int sent = 0;
    for (TemplateKind kind : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        // A file of the wrong size would land in the key's menus as garbage: it stays here.
        const QString problem = TemplateFiles::checkListFile(dir, kind);
        if (!problem.isEmpty()) {
            problems << problem;
            continue;
        }
        // Remembered, so the key's folder is read back once written and the page shows it.
        if (m_files
            && m_files->PutFileToFolder(QLatin1String(kKeyFolder), TemplateFiles::binaryPath(dir, kind), true))
            ++sent;
        else
            problems << tr("File %1 could not be sent").arg(TemplateFiles::binaryPath(dir, kind));
    }
    if (!problems.isEmpty()) {
        emit messageRequested(tr("Warning! Not all templates were sent to the key!") + QLatin1Char('\n')
                                  + problems.join(QLatin1Char('\n')),
                              QStringLiteral("red"));
        td::log(QStringLiteral("Templates: from folder %1: %2").arg(dir, problems.join(QStringLiteral("; "))));
    }
    if (sent > 0)
        emit statusMessage(tr("Templates sent to the key: %1 of 3").arg(sent));
    return problems.isEmpty();
}

void TemplatesPage::iBtnTemplatesDefaults_Click()
{
    if (!m_popups) {
        fillWithDefaults();
        return;
    }
    QPointer<TemplatesPage> self(this);
    cParameter question(tr("All templates in the key will be replaced by default lists."), true, QString(),
                        QStringLiteral("red"));
    m_popups->PopupQuestionWindow(
        &question,
        [self](QWidget *) {
            if (self)
                self->fillWithDefaults();
        },
        nullptr);
}

bool TemplatesPage::fillWithDefaults()
{
    const double nominal = m_keyModel ? m_keyModel->nominalMoment() : 0.0;
    double head = 0.0;
    if (m_basicHead)
        head = m_basicHead();
    else if (m_keyModel)
        head = m_keyModel->calibration().headstandartmm;
    TemplateLists lists = TemplateLists::defaults(float(nominal), float(head));

    const QString dir = mirrorDir();
    QStringList errors;
    bool binariesWritten = true;
    for (TemplateKind kind : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        const TemplateFiles::WriteResult r = TemplateFiles::writeList(dir, kind, &lists);
        binariesWritten = binariesWritten && r.binaryWritten;
        errors << r.errors;
    }
    if (!binariesWritten) {
        emit messageRequested(tr("Warning! Template was not saved and not sent to the key!") + QLatin1Char('\n')
                                  + errors.join(QLatin1Char('\n')),
                              QStringLiteral("red"));
        return false;
    }
    {
        const QScopedValueRollback<bool> own(m_ownChange, true);
        m_model->setLists(lists);
    }
    if (!errors.isEmpty())
        emit messageRequested(errors.join(QLatin1Char('\n')), QStringLiteral("red"));
    return ReadTemplatesFromFile(dir) && errors.isEmpty();
}
