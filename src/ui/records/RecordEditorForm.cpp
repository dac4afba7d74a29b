#include "ui/records/RecordEditorForm.h"

#include "ui/widgets/ElidingComboBox.h"
#include "ui/widgets/cParameter.h"
#include "ui/records/RecordMeasureTable.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

constexpr int kRowHeight = 40;
constexpr int kCaptionWidth = 112;
constexpr int kFieldWidth = 100;

const char kFieldStyle[] =
    "QPushButton {background-color: rgb(222, 234, 248); color: rgb(0, 0, 0); border: 1px solid rgb(150, 170, 200); "
    "border-radius: 5px; }             QPushButton:pressed {background-color: rgb(190, 210, 235);}    "
    "QPushButton:disabled {background-color: rgb(140, 140, 140); color: rgb(170, 170, 170);}";

const char kOperationStyle[] =
    "QPushButton {background-color: rgb(90, 140, 200); color: rgb(255, 255, 255); border-radius: 6px;}"
    " QPushButton:pressed {background-color: rgb(70, 110, 170);}"
    " QPushButton:disabled {background-color: rgb(200, 205, 212); color: rgb(150, 150, 150);}";

const char kYesStyle[] =
    "QPushButton {background-color: rgb(100, 180, 100); color: rgb(255, 255, 255); border-width: 2px; "
    "border-radius: 5px; }             QPushButton:pressed {background-color: rgb(150, 200, 150);}";

const char kNoStyle[] =
    "QPushButton {background-color: rgb(180, 100, 100); color: rgb(255, 255, 255); border-width: 2px; "
    "border-radius: 5px; }             QPushButton:pressed {background-color: rgb(200, 150, 150);}";

// The order the value fields are laid out in, four to a row; hidden ones leave no gap.
const RecordParameter kOrder[] = {
    RecordParameter::RangeLow,   RecordParameter::RangeHigh,  RecordParameter::StartMom,  RecordParameter::AngleLow,
    RecordParameter::AngleHigh,  RecordParameter::Angle,      RecordParameter::PitchStep, RecordParameter::HeadMm,
    RecordParameter::CountTotal, RecordParameter::CountCon,
};
constexpr int kColumns = 4;

void setPointSize(QWidget *w, int points)
{
    QFont f = w->font();
    f.setPointSize(points);
    w->setFont(f);
}

QComboBox *makeCombo(QWidget *parent, const char *name)
{
    // Template texts run long ("Lebedev M.Yu. Shift 3, team 2"): where the column ends, the
    // box shows both ends of the text and the whole of it as its tool tip; the list opens as
    // wide as its longest entry.
    auto *combo = new ElidingComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setMinimumHeight(kRowHeight);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(8);
    combo->setMaxVisibleItems(12);
    setPointSize(combo, 12);
    return combo;
}

QLabel *makeCaption(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setFixedWidth(kCaptionWidth);
    label->setWordWrap(true);
    setPointSize(label, 11);
    return label;
}

void keepPlaceWhenHidden(QWidget *w)
{
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}

QPushButton *makeButton(QWidget *parent, const QString &name, const char *style, int height)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(name);
    b->setMinimumHeight(height);
    b->setStyleSheet(QLatin1String(style));
    setPointSize(b, 13);
    return b;
}

} // namespace

void RecordEditorForm::setupUi(const Containers &c)
{
    buildSelection(c.textFields);
    buildParameters(c.ranges);
    buildOperations(c.newRecord);

    table = new RecordMeasureTable(c.memory);
    table->setObjectName(QStringLiteral("twRecordMeasures"));
    table->setMinimumHeight(120);
    c.memory->layout()->addWidget(table);
    retranslateUi();
}

void RecordEditorForm::buildSelection(QWidget *frame)
{
    auto *box = new QWidget(frame);
    box->setObjectName(QStringLiteral("wRecordSelection"));
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    // Six rows of 40 px on a 720-pixel window: a wider gap cut the last one.
    grid->setVerticalSpacing(3);

    lbRecordCount = makeCaption(box, "lbRecordCount");
    cbPageNumber = makeCombo(box, "cbPageNumber");
    grid->addWidget(lbRecordCount, 0, 0);
    grid->addWidget(cbPageNumber, 0, 1);

    lbFio = makeCaption(box, "lbFio");
    cbFio = makeCombo(box, "cbFio");
    lbWheel = makeCaption(box, "lbWheel");
    cbWheel = makeCombo(box, "cbWheel");
    lbUzel = makeCaption(box, "lbUzel");
    cbUzel = makeCombo(box, "cbUzel");
    lbAlgorithm = makeCaption(box, "lbAlgorithm");
    cbAlgorithm = makeCombo(box, "cbAlgorithm");

    lbOperation = makeCaption(box, "lbOperation");
    leOperation = new QLineEdit(box);
    leOperation->setObjectName(QStringLiteral("leOperation"));
    leOperation->setMinimumHeight(kRowHeight);
    setPointSize(leOperation, 14);
    // Ten letters or digits, shown upper-case: the key builds record names from exactly that.
    leOperation->setInputMask(QStringLiteral(">NNNNNNNNNN;_"));
    leOperation->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-Z]{10}")), leOperation));
    leOperation->setText(QStringLiteral("0000000000"));

    grid->addWidget(lbFio, 1, 0);
    grid->addWidget(cbFio, 1, 1);
    grid->addWidget(lbWheel, 2, 0);
    grid->addWidget(cbWheel, 2, 1);
    grid->addWidget(lbOperation, 3, 0);
    grid->addWidget(leOperation, 3, 1);
    grid->addWidget(lbUzel, 4, 0);
    grid->addWidget(cbUzel, 4, 1);
    grid->addWidget(lbAlgorithm, 5, 0);
    grid->addWidget(cbAlgorithm, 5, 1);
    grid->setColumnStretch(1, 1);
    frame->layout()->addWidget(box);
}

void RecordEditorForm::buildParameters(QWidget *frame)
{
    auto *box = new QWidget(frame);
    box->setObjectName(QStringLiteral("wRecordValues"));
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    for (RecordParameter which : kOrder) {
        const RecordParameters::FieldInfo info = RecordParameters::field(which, 0);
        auto *p = new cParameter(info.caption, true, info.initial, QLatin1String(kFieldStyle), info.precision);
        p->setMinimum(info.min);
        p->setMaximum(info.max);
        p->button()->setObjectName(QStringLiteral("pbRecordValue%1").arg(int(which)));
        p->captionLabel()->setObjectName(QStringLiteral("lbRecordValue%1").arg(int(which)));
        p->button()->setFixedWidth(kFieldWidth);
        p->captionLabel()->setFixedWidth(kFieldWidth);
        p->captionLabel()->setWordWrap(true);
        p->captionLabel()->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        p->setSpacing(1);
        params[size_t(which)] = p;
    }
    m_valuesGrid = grid;
    arrangeParameters();
    // Measured tightenings are counted by the key; the field only shows them.
    params[size_t(RecordParameter::CountCon)]->setEnabled(false);
    frame->layout()->addWidget(box);
}

void RecordEditorForm::arrangeParameters()
{
    if (!m_valuesGrid)
        return;
    for (RecordParameter which : kOrder)
        m_valuesGrid->removeItem(params[size_t(which)]);
    int slot = 0;
    for (RecordParameter which : kOrder) {
        cParameter *p = params[size_t(which)];
        if (p->button()->isHidden())
            continue;
        m_valuesGrid->addLayout(p, slot / kColumns, slot % kColumns);
        ++slot;
    }
    // Hidden fields stay in the layout (it owns them) below the shown ones, taking no room.
    for (RecordParameter which : kOrder) {
        cParameter *p = params[size_t(which)];
        if (p->button()->isHidden()) {
            m_valuesGrid->addLayout(p, slot / kColumns, slot % kColumns);
            ++slot;
        }
    }
    for (int row = 0; row < m_valuesGrid->rowCount(); ++row)
        m_valuesGrid->setRowStretch(row, 0);
    m_valuesGrid->setRowStretch(m_valuesGrid->rowCount(), 1);
}

void RecordEditorForm::buildOperations(QWidget *frame)
{
    auto *box = new QWidget(frame);
    box->setObjectName(QStringLiteral("wRecordOperations"));
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);

    lbPageNumber = new QLabel(box);
    lbPageNumber->setObjectName(QStringLiteral("lbPageNumber"));
    lbPageNumber->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbPageNumber->setStyleSheet(QStringLiteral("QLabel {color: rgb(40, 70, 120); font-weight: bold;}"));
    setPointSize(lbPageNumber, 14);
    grid->addWidget(lbPageNumber, 0, 0, 1, Operations);

    lbStatus = new QLabel(box);
    lbStatus->setObjectName(QStringLiteral("lbRecordStatus"));
    lbStatus->setWordWrap(true);
    lbStatus->setMinimumHeight(38);
    setPointSize(lbStatus, 11);
    grid->addWidget(lbStatus, 1, 0, 1, Operations);

    static const char *const names[Operations] = {"Create", "Edit", "Delete"};
    for (int op = 0; op < Operations; ++op) {
        const QString base = QStringLiteral("pbNewRecord") + QLatin1String(names[op]);
        pbOperation[size_t(op)] = makeButton(box, base, kOperationStyle, 50);
        pbYes[size_t(op)] = makeButton(box, base + QStringLiteral("Yes"), kYesStyle, 44);
        pbNo[size_t(op)] = makeButton(box, base + QStringLiteral("No"), kNoStyle, 44);
        auto *pair = new QHBoxLayout;
        pair->setSpacing(6);
        pair->addWidget(pbYes[size_t(op)]);
        pair->addWidget(pbNo[size_t(op)]);
        keepPlaceWhenHidden(pbYes[size_t(op)]);
        keepPlaceWhenHidden(pbNo[size_t(op)]);
        pbYes[size_t(op)]->hide();
        pbNo[size_t(op)]->hide();
        grid->addWidget(pbOperation[size_t(op)], 2, op);
        grid->addLayout(pair, 3, op);
    }
    frame->layout()->addWidget(box);
}

void RecordEditorForm::retranslateUi()
{
    static_cast<ElidingComboBox *>(cbPageNumber)->setPlainToolTip(tr("Current number of record"));
    cbPageNumber->setAccessibleName(tr("Current number of record"));
    lbAlgorithm->setText(tr("Measure algorithm"));
    cbAlgorithm->setAccessibleName(tr("Measure algorithm"));
    leOperation->setToolTip(tr("After change number press Enter for apply"));
    lbPageNumber->setAccessibleName(tr("Record name"));
    // "Delete" elsewhere clears a typed digit; here it removes a record, and says so in Russian.
    static const struct
    {
        const char *source;
        const char *comment;
    } operations[Operations] = {{QT_TR_NOOP("Create"), nullptr},
                                {QT_TR_NOOP("Edit"), nullptr},
                                QT_TRANSLATE_NOOP3("RecordEditorForm", "Delete", "remove the record")};
    for (int op = 0; op < Operations; ++op) {
        const QString text = tr(operations[op].source, operations[op].comment);
        pbOperation[size_t(op)]->setText(text);
        pbOperation[size_t(op)]->setAccessibleName(text);
        pbYes[size_t(op)]->setText(tr("Yes"));
        pbYes[size_t(op)]->setAccessibleName(tr("Yes"));
        pbYes[size_t(op)]->setAccessibleDescription(text);
        pbNo[size_t(op)]->setText(tr("No"));
        pbNo[size_t(op)]->setAccessibleName(tr("No"));
        pbNo[size_t(op)]->setAccessibleDescription(text);
    }
    lbStatus->setAccessibleName(tr("Record status"));
    table->retranslate();
}
