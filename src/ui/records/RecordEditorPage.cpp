#include "ui/records/RecordEditorPage.h"

#include "base/Log.h"
#include "ui/popups/PopupHost.h"
#include "ui/widgets/cParameter.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "records/MeasureAlgorithms.h"
#include "records/RecordList.h"
#include "ui/records/RecordMeasureTable.h"
#include "records/RecordMirror.h"
#include "records/RecordName.h"
#include "ui/templates/TemplateCombo.h"
#include "records/TemplateListsModel.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <cmath>

namespace {

const char kStatusStyle[] = "QLabel {color: rgb(30, 90, 30);}";
const char kAttentionStyle[] = "QLabel {color: rgb(200, 60, 0); font-weight: bold;}";

// The combo index a header value selects; -1 when the list has no such entry.
int comboIndex(const QComboBox *combo, int value)
{
    return value >= 0 && value < combo->count() ? value : -1;
}

// A new record starts from its node template's values.
RecordHeader headerFromNode(const UzelTemplate &node)
{
    RecordHeader h;
    h.algorithm = node.algorithm;
    h.countTotal = node.countBolts;
    h.rangeLow = node.lowMoment;
    h.rangeHigh = node.highMoment;
    h.headMm = node.headMm;
    h.angleLow = node.lowAngle;
    h.angleHigh = node.highAngle;
    h.startMom = node.startMoment;
    h.angle = node.angle;
    h.pitchStep = node.pitchStep;
    return h;
}

} // namespace

RecordEditorPage::RecordEditorPage(const Widgets &widgets, RecordList *records, TemplateListsModel *templates,
                                   FileExchange *files, KeyProtocol *protocol, KeyModel *keyModel,
                                   QObject *parent)
    : QObject(parent)
    , m_records(records)
    , m_templates(templates)
    , m_files(files)
    , m_protocol(protocol)
    , m_keyModel(keyModel)
{
    for (QWidget *w : widgets.navigation)
        m_navigation.append(w);
    m_form.setupUi(widgets.containers);
    // The form is no widget of its own: its operation buttons follow a language switched at
    // run time through their container.
    if (widgets.containers.newRecord)
        widgets.containers.newRecord->installEventFilter(this);
    m_defaultCaptions = {tr("F.I.O."), tr("Product №"), tr("Operation Number"), tr("Uzel type")};
    for (int level = 0; level < 4; ++level)
        setLevelCaption(level, QString());

    m_form.lbRecordCount->setText(tr("Record Number") + QStringLiteral(" (0") + tr(" pcs)"));
    onTemplatesChanged();
    fillAlgorithmCombo(0);
    connectWidgets();

    if (m_records) {
        connect(m_records, &RecordList::rebuilt, this, &RecordEditorPage::onRecordsRebuilt);
        onRecordsRebuilt();
    } else {
        slot_GetRecordStatus();
    }
    if (m_templates) {
        connect(m_templates, &TemplateListsModel::changed, this, &RecordEditorPage::onTemplatesChanged);
        connect(m_templates, &TemplateListsModel::modesChanged, this, &RecordEditorPage::onModesChanged);
        connect(m_templates, &TemplateListsModel::receivedFromKey, this, &RecordEditorPage::onModesChanged);
    }
}

void RecordEditorPage::connectWidgets()
{
    connect(m_form.leOperation, &QLineEdit::editingFinished, this, &RecordEditorPage::slot_GetRecordStatus);
    for (QComboBox *combo : {m_form.cbFio, m_form.cbWheel, m_form.cbUzel})
        connect(combo, QOverload<int>::of(&QComboBox::activated), this, &RecordEditorPage::slot_GetRecordStatus);
    connect(m_form.cbPageNumber, QOverload<int>::of(&QComboBox::activated), this,
            &RecordEditorPage::iCmbPageNumberOP_Changed);
    connect(m_form.cbAlgorithm, QOverload<int>::of(&QComboBox::activated), this, &RecordEditorPage::iBtnAlgOP_Changed);
    connect(m_form.pbOperation[RecordEditorForm::Create], &QPushButton::clicked, this,
            &RecordEditorPage::iBtnNewRecordCreate_Click);
    connect(m_form.pbOperation[RecordEditorForm::Edit], &QPushButton::clicked, this,
            &RecordEditorPage::iBtnNewRecordEdit_Click);
    connect(m_form.pbOperation[RecordEditorForm::Delete], &QPushButton::clicked, this,
            &RecordEditorPage::iBtnNewRecordDelete_Click);
    for (int op = 0; op < RecordEditorForm::Operations; ++op) {
        connect(m_form.pbYes[size_t(op)], &QPushButton::clicked, this, &RecordEditorPage::iBtnNewRecordYesNo_Click);
        connect(m_form.pbNo[size_t(op)], &QPushButton::clicked, this, &RecordEditorPage::iBtnNewRecordYesNo_Click);
    }
    for (cParameter *p : m_form.params) {
        if (p == parameter(RecordParameter::CountCon))
            continue;
        connect(p, &cParameter::click_button, this, &RecordEditorPage::onParameterClicked);
        connect(p, &cParameter::changed_valueD, this, &RecordEditorPage::iParRangegOPChanged_Changed);
    }
}

bool RecordEditorPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        m_form.retranslateUi();
    return QObject::eventFilter(watched, event);
}

QString RecordEditorPage::recordName() const
{
    return m_form.lbPageNumber->text();
}

QString RecordEditorPage::statusText() const
{
    return m_form.lbStatus->text();
}

int RecordEditorPage::currentAlgorithm() const
{
    return MeasureAlgorithms::codeFromText(m_form.cbAlgorithm->currentText());
}

QString RecordEditorPage::nameFromInputs() const
{
    return RecordName::make(m_form.cbFio->currentIndex(), m_form.cbWheel->currentIndex(), m_form.leOperation->text(),
                            m_form.cbUzel->currentIndex());
}

bool RecordEditorPage::angleLowFollowsAlgorithm() const
{
    return m_pageShown ? m_pageShown() : true;
}

// --- showing a record

void RecordEditorPage::slot_GetRecordStatus()
{
    if (m_state != State::Idle)
        return;
    showRecord(QString());
}

void RecordEditorPage::iCmbPageNumberOP_Changed(int index)
{
    if (m_state != State::Idle || index < 0)
        return;
    const QString name = m_form.cbPageNumber->itemText(index);
    m_form.lbPageNumber->setText(name);
    showRecord(name);
}

void RecordEditorPage::showRecord(const QString &name)
{
    QString shown = name;
    if (shown.isEmpty()) {
        const QString operation = m_form.leOperation->text();
        if (!RecordName::isValidOperationNumber(operation) || m_form.cbFio->currentIndex() < 0
            || m_form.cbWheel->currentIndex() < 0 || m_form.cbUzel->currentIndex() < 0) {
            // No record can carry this name; nothing may be created under it.
            m_exists = false;
            m_form.lbPageNumber->clear();
            for (int op = 0; op < RecordEditorForm::Operations; ++op)
                setOperationEnabled(Operation(op), false);
            setStatus(tr("Type all ten letters or digits of the operation number."));
            return;
        }
        shown = nameFromInputs();
    }
    m_form.lbPageNumber->setText(shown);

    const RecordMirror::Loaded loaded = RecordMirror::load(shown);
    m_exists = loaded.exists;
    if (loaded.exists) {
        m_shownHeader = loaded.record.header;
        showExisting(loaded.record.header, loaded.headerComplete, loaded.record.entries.size());
        const RecordHeader &h = loaded.record.header;
        m_form.table->showEntries(loaded.record.entries, h.algorithm, h.rangeLow, h.rangeHigh,
                                  m_keyModel && m_keyModel->deviceSettings().DataTime == 1);
    } else {
        m_shownHeader = RecordHeader();
        showNew();
        m_form.table->showEntries({}, currentAlgorithm(), 0, 0, false);
    }
    emit recordShown(shown, loaded.exists);
}

void RecordEditorPage::showExisting(const RecordHeader &h, bool headerComplete, int entryCount)
{
    if (headerComplete) {
        showHeaderValues(h);
        setValue(RecordParameter::CountCon, entryCount);
        m_form.leOperation->setText(h.operationNumber());
        const struct
        {
            QComboBox *combo;
            int value;
        } picks[] = {{m_form.cbWheel, h.wheelIndex}, {m_form.cbUzel, h.uzelIndex}, {m_form.cbFio, h.fioIndex}};
        for (const auto &pick : picks) {
            const int index = comboIndex(pick.combo, pick.value);
            if (index < 0)
                td::log(QStringLiteral("Record %1: template index %2 is not in its list")
                            .arg(recordName())
                            .arg(pick.value));
            pick.combo->setCurrentIndex(index);
        }
    } else {
        // Too short to hold a header: the record is there and may be rewritten or deleted,
        // but its values are unknown, so the node template's stand in for them.
        prefillFromNode(m_form.cbUzel->currentIndex());
        setValue(RecordParameter::CountCon, 0);
    }
    colourCaptions();
    offerOperations(true);
}

void RecordEditorPage::showNew()
{
    offerOperations(false);
    prefillFromNode(m_form.cbUzel->currentIndex());
    setValue(RecordParameter::CountCon, 0);
    colourCaptions();
}

// An existing record can be edited or deleted, a missing one only created.
void RecordEditorPage::offerOperations(bool exists)
{
    setOperationEnabled(RecordEditorForm::Create, !exists);
    setOperationEnabled(RecordEditorForm::Edit, exists);
    setOperationEnabled(RecordEditorForm::Delete, exists);
    setStatus(exists ? tr("Record is exist. You can edit this record.")
                     : tr("Record don't exist. You can create NEW record."));
}

void RecordEditorPage::prefillFromNode(int uzelIndex)
{
    UzelTemplate node;
    if (m_templates && uzelIndex >= 0 && uzelIndex < UzelTemplate::Count)
        node = m_templates->lists().uzel[size_t(uzelIndex)];
    showHeaderValues(headerFromNode(node));
}

// The measured count is not among them: it is the caller's to show.
void RecordEditorPage::showHeaderValues(const RecordHeader &h)
{
    selectAlgorithm(h.algorithm);
    applyAlgorithm(currentAlgorithm());
    setValue(RecordParameter::CountTotal, h.countTotal);
    setValue(RecordParameter::RangeLow, h.rangeLow);
    setValue(RecordParameter::RangeHigh, h.rangeHigh);
    setValue(RecordParameter::HeadMm, h.headMm);
    setValue(RecordParameter::AngleLow, h.angleLow);
    setValue(RecordParameter::AngleHigh, h.angleHigh);
    setValue(RecordParameter::StartMom, h.startMom);
    setValue(RecordParameter::Angle, h.angle);
    setValue(RecordParameter::PitchStep, h.pitchStep);
}

void RecordEditorPage::setValue(RecordParameter p, double value)
{
    cParameter *field = parameter(p);
    double shown = value;
    if (std::isnan(shown))
        shown = field->minimum();
    shown = qBound(field->minimum(), shown, field->maximum());
    if (shown != value)
        td::log(QStringLiteral("Record %1: %2 = %3 is outside %4..%5, shown as %6")
                    .arg(recordName(), field->caption())
                    .arg(value)
                    .arg(field->minimum())
                    .arg(field->maximum())
                    .arg(shown));
    field->setValue(shown);
}

void RecordEditorPage::colourCaption(QLabel *caption, TemplateKind kind, int index)
{
    const bool enabled = m_templates ? m_templates->isEnabled(kind, index) : index >= 0;
    caption->setStyleSheet(enabled ? QStringLiteral("QLabel {color: rgb(0, 0, 0);}")
                                   : QStringLiteral("QLabel {color: rgb(255, 0, 0);}"));
    caption->setToolTip(enabled ? QString() : tr("Current record consist not enabled template"));
}

void RecordEditorPage::colourCaptions()
{
    colourCaption(m_form.lbFio, TemplateKind::Fio, m_form.cbFio->currentIndex());
    colourCaption(m_form.lbWheel, TemplateKind::Wheel, m_form.cbWheel->currentIndex());
    colourCaption(m_form.lbUzel, TemplateKind::Uzel, m_form.cbUzel->currentIndex());
}

// --- algorithm

void RecordEditorPage::fillAlgorithmCombo(int keepCode)
{
    QComboBox *combo = m_form.cbAlgorithm;
    const QSignalBlocker block(combo);
    combo->clear();
    QVector<int> codes;
    if (m_templates) {
        codes = m_templates->availableAlgorithms();
    } else {
        for (int code = 0; code < MeasureAlgorithms::Count; ++code)
            codes.append(code);
    }
    for (int code : codes)
        combo->addItem(MeasureAlgorithms::name(code));
    selectAlgorithm(keepCode);
}

void RecordEditorPage::selectAlgorithm(int code)
{
    QComboBox *combo = m_form.cbAlgorithm;
    const QString name = MeasureAlgorithms::name(code);
    int index = combo->findText(name);
    if (index < 0) {
        // The key's mode does not offer this algorithm, yet the record uses it: listing it
        // keeps an edit from silently turning the record into another algorithm.
        if (MeasureAlgorithms::isValid(code))
            td::log(QStringLiteral("Algorithm %1 is not offered in the key's mode; listed for this record").arg(code));
        else
            td::log(QStringLiteral("Unknown algorithm %1, shown as %2").arg(code).arg(name));
        combo->addItem(name);
        index = combo->count() - 1;
    }
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(index);
}

void RecordEditorPage::iBtnAlgOP_Changed(int index)
{
    Q_UNUSED(index)
    applyAlgorithm(currentAlgorithm());
}

void RecordEditorPage::applyAlgorithm(int code)
{
    const bool follow = angleLowFollowsAlgorithm();
    for (int i = 0; i < RecordParameters::Count; ++i) {
        const RecordParameter p = RecordParameter(i);
        const RecordParameters::FieldInfo info = RecordParameters::field(p, code, follow);
        cParameter *field = parameter(p);
        field->setCaptionText(info.caption);
        field->button()->setToolTip(info.toolTip);
        field->captionLabel()->setToolTip(info.toolTip);
        field->setMinimum(info.min);
        field->setMaximum(info.max);
        // A value the new range does not hold would reach the key as it stands.
        const double v = field->value();
        if (!field->inRange(v))
            field->setValue(qBound(info.min, std::isnan(v) ? info.min : v, info.max));
        if (field->precision() != info.precision)
            field->setPrecision(info.precision);
        if (!field->inRange(field->value()))
            field->setValue(qBound(info.min, field->value(), info.max));
        if (i < RecordParameters::VisibilityColumns)
            field->setVisible(m_templates ? m_templates->isVisible(code, p) : true);
    }
    m_form.arrangeParameters();
}

// --- value fields

void RecordEditorPage::onParameterClicked(cParameter *aPar)
{
    if (m_popups && aPar)
        m_popups->showKeypad(aPar);
}

void RecordEditorPage::iParRangegOPChanged_Changed()
{
    auto *changed = qobject_cast<cParameter *>(sender());
    cParameter *lowField = parameter(RecordParameter::RangeLow);
    cParameter *highField = parameter(RecordParameter::RangeHigh);
    RecordParameter which;
    if (changed == lowField)
        which = RecordParameter::RangeLow;
    else if (changed == highField)
        which = RecordParameter::RangeHigh;
    else
        return;
    float low = float(lowField->value());
    float high = float(highField->value());
    if (!RecordParameters::orderMomentRange(which, &low, &high))
        return;
    if (which == RecordParameter::RangeLow)
        lowField->setValue(low);
    else
        highField->setValue(high);
}

// --- state machine

void RecordEditorPage::setOperationEnabled(Operation op, bool enabled)
{
    m_form.pbOperation[size_t(op)]->setEnabled(enabled);
}

void RecordEditorPage::setStatus(const QString &text)
{
    const bool attention = text.startsWith(tr("Attention!"));
    m_form.lbStatus->setStyleSheet(QLatin1String(attention ? kAttentionStyle : kStatusStyle));
    m_form.lbStatus->setText(text);
}

void RecordEditorPage::setSelectionLocked(bool locked)
{
    for (const QPointer<QWidget> &w : m_navigation) {
        if (w)
            w->setEnabled(!locked);
    }
    for (QWidget *w : {static_cast<QWidget *>(m_form.cbPageNumber), static_cast<QWidget *>(m_form.cbFio),
                       static_cast<QWidget *>(m_form.cbWheel), static_cast<QWidget *>(m_form.leOperation),
                       static_cast<QWidget *>(m_form.cbUzel)})
        w->setEnabled(!locked);
}

void RecordEditorPage::arm(Operation op)
{
    if (m_state != State::Idle)
        return;
    for (int i = 0; i < RecordEditorForm::Operations; ++i) {
        m_enabledBeforeArming[size_t(i)] = m_form.pbOperation[size_t(i)]->isEnabled();
        setOperationEnabled(Operation(i), false);
    }
    m_state = op == RecordEditorForm::Create ? State::ArmedCreate
              : op == RecordEditorForm::Edit ? State::ArmedEdit
                                             : State::ArmedDelete;
    setSelectionLocked(true);
    m_form.pbYes[size_t(op)]->show();
    m_form.pbNo[size_t(op)]->show();
}

void RecordEditorPage::iBtnNewRecordCreate_Click()
{
    arm(RecordEditorForm::Create);
}

void RecordEditorPage::iBtnNewRecordEdit_Click()
{
    if (m_state != State::Idle)
        return;
    setStatus(tr("Attention! After edition record, count of measured moments will be erased!"));
    arm(RecordEditorForm::Edit);
}

void RecordEditorPage::iBtnNewRecordDelete_Click()
{
    if (m_state != State::Idle)
        return;
    setStatus(tr("Attention! Current record will be deleted!"));
    arm(RecordEditorForm::Delete);
}

// Hides the pair and gives the page back its navigation; the buttons are as before arming
// until the caller says otherwise.
void RecordEditorPage::finishOperation(Operation op)
{
    m_form.pbYes[size_t(op)]->hide();
    m_form.pbNo[size_t(op)]->hide();
    for (int i = 0; i < RecordEditorForm::Operations; ++i)
        setOperationEnabled(Operation(i), m_enabledBeforeArming[size_t(i)]);
    m_state = State::Idle;
    setSelectionLocked(false);
}

void RecordEditorPage::iBtnNewRecordYesNo_Click()
{
    QObject *from = sender();
    for (int i = 0; i < RecordEditorForm::Operations; ++i) {
        const Operation op = Operation(i);
        if (from == m_form.pbNo[size_t(i)]) {
            finishOperation(op);
            setOperationEnabled(op, true);
            if (op != RecordEditorForm::Create)
                setStatus(tr("Record is exist. You can edit this record."));
            return;
        }
        if (from == m_form.pbYes[size_t(i)]) {
            if (op == RecordEditorForm::Delete)
                deleteRecord();
            else
                writeRecord(op);
            return;
        }
    }
}

void RecordEditorPage::cancelOperation()
{
    switch (m_state) {
    case State::Idle:
        return;
    case State::ArmedCreate:
        finishOperation(RecordEditorForm::Create);
        break;
    case State::ArmedEdit:
        finishOperation(RecordEditorForm::Edit);
        setStatus(tr("Record is exist. You can edit this record."));
        break;
    case State::ArmedDelete:
        finishOperation(RecordEditorForm::Delete);
        setStatus(tr("Record is exist. You can edit this record."));
        break;
    }
}

// --- writing and deleting

RecordHeader RecordEditorPage::collectHeader() const
{
    RecordHeader h;
    h.setOperationNumber(m_form.leOperation->text());
    h.algorithm = quint8(currentAlgorithm());
    // A combo that could not show the record's entry keeps the index the record had.
    const auto index = [](const QComboBox *combo, quint8 fallback) {
        const int i = combo->currentIndex();
        return i >= 0 && i <= 0xFF ? quint8(i) : fallback;
    };
    h.fioIndex = index(m_form.cbFio, m_shownHeader.fioIndex);
    h.wheelIndex = index(m_form.cbWheel, m_shownHeader.wheelIndex);
    h.uzelIndex = index(m_form.cbUzel, m_shownHeader.uzelIndex);
    h.status = 0;
    h.countCon = 0;
    h.countTotal = quint16(std::trunc(qBound(0.0, parameter(RecordParameter::CountTotal)->value(), 65535.0)));
    h.rangeLow = float(parameter(RecordParameter::RangeLow)->value());
    h.rangeHigh = float(parameter(RecordParameter::RangeHigh)->value());
    h.angleLow = float(parameter(RecordParameter::AngleLow)->value());
    h.angleHigh = float(parameter(RecordParameter::AngleHigh)->value());
    h.startMom = float(parameter(RecordParameter::StartMom)->value());
    h.pitchStep = float(parameter(RecordParameter::PitchStep)->value());
    h.angle = float(parameter(RecordParameter::Angle)->value());
    h.headMm = float(parameter(RecordParameter::HeadMm)->value());
    return h;
}

void RecordEditorPage::writeRecord(Operation op)
{
    const QString name = recordName();
    RecordFile record;
    record.header = collectHeader();
    QString error;
    if (!RecordMirror::write(name, record, &error)) {
        // Nothing went to the key; the editor goes back to what the mirror really holds.
        finishOperation(op);
        emit messageRequested(tr("Warning! Record can't be saved!") + QLatin1Char('\n') + error,
                              QStringLiteral("red"));
        showRecord(name);
        return;
    }
    td::log(QStringLiteral("Record %1 written to the mirror").arg(name));
    if (m_files) {
        expectRecordUpdated();
        m_recordAwaited = name;
        if (!m_files->PutFileToFolder(QStringLiteral("dbsett"), RecordMirror::path(name), false)) {
            td::log(QStringLiteral("Record %1 was not sent to the key").arg(name));
            // No confirmation will come for it; another record's must not count.
            disconnect(m_files, &FileExchange::files_put_file, this,
                       &RecordEditorPage::slot_files_put_file_RecordUpdated);
            m_recordAwaited.clear();
        }
    }
    finishOperation(op);
    m_exists = true;
    m_shownHeader = record.header;
    setStatus(tr("Record is exist. You can edit this record."));
    setOperationEnabled(RecordEditorForm::Create, false);
    setOperationEnabled(op == RecordEditorForm::Edit ? RecordEditorForm::Edit : RecordEditorForm::Delete, true);
    setValue(RecordParameter::CountCon, 0);
    m_form.table->showEntries({}, record.header.algorithm, 0, 0, false);
    // The mirror changed: the record-name combo, the count and the level tree follow.
    if (m_records)
        m_records->rebuild();
}

void RecordEditorPage::deleteRecord()
{
    const QString name = recordName();
    finishOperation(RecordEditorForm::Delete);
    setOperationEnabled(RecordEditorForm::Delete, false);
    if (!m_protocol || !m_protocol->FE_Page_Delete(name, 0)) {
        td::log(QStringLiteral("FE_Page_Delete for %1 not sent: no key").arg(name));
        setOperationEnabled(RecordEditorForm::Delete, m_exists);
        emit statusMessage(tr("The key is not connected"));
    }
}

void RecordEditorPage::expectRecordUpdated()
{
    if (!m_files)
        return;
    connect(m_files, &FileExchange::files_put_file, this, &RecordEditorPage::slot_files_put_file_RecordUpdated,
            Qt::UniqueConnection);
}

void RecordEditorPage::slot_files_put_file_RecordUpdated(const QStringList &folderAndFile)
{
    if (folderAndFile.size() != 2)
        return;
    const QString folder = folderAndFile.at(0);
    const QString file = folderAndFile.at(1);
    // Only a record can become the key's current page; wait for it.
    if (folder != QLatin1String("dbsett") && folder != QLatin1String("/dbsett"))
        return;
    if (!m_recordAwaited.isEmpty() && file != m_recordAwaited)
        return;
    m_recordAwaited.clear();
    if (m_files)
        disconnect(m_files, &FileExchange::files_put_file, this, &RecordEditorPage::slot_files_put_file_RecordUpdated);
    if (m_protocol)
        m_protocol->FE_PageCurrent_Write(file);
    td::log(QStringLiteral("PUT to Key in DIR:") + folder + QStringLiteral("FILE:") + file);
}

// --- models

void RecordEditorPage::onRecordsRebuilt()
{
    if (!m_records)
        return;
    const QStringList names = m_records->names();
    const QString before = recordName();
    QComboBox *combo = m_form.cbPageNumber;
    {
        const QSignalBlocker block(combo);
        combo->clear();
        combo->addItems(names);
    }
    m_form.lbRecordCount->setText(tr("Record Number") + QStringLiteral(" (") + QString::number(names.size())
                                  + tr(" pcs)"));
    if (names.isEmpty()) {
        if (m_state == State::Idle)
            showRecord(QString());
        return;
    }
    int index = names.indexOf(before);
    if (index < 0)
        index = names.size() - 1;
    {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(index);
    }
    // An armed operation keeps the record it was armed for.
    if (m_state == State::Idle)
        iCmbPageNumberOP_Changed(index);
}

void RecordEditorPage::onTemplatesChanged()
{
    if (!m_templates)
        return;
    TemplateCombo::fill(m_form.cbFio, TemplateKind::Fio, m_templates->lists());
    TemplateCombo::fill(m_form.cbWheel, TemplateKind::Wheel, m_templates->lists());
    TemplateCombo::fill(m_form.cbUzel, TemplateKind::Uzel, m_templates->lists());
    colourCaptions();
}

void RecordEditorPage::onModesChanged()
{
    const int code = currentAlgorithm();
    fillAlgorithmCombo(code);
    applyAlgorithm(currentAlgorithm());
}

void RecordEditorPage::refreshForRecordsPage()
{
    if (m_state != State::Idle)
        return;
    // A shown record is read again so a value the off-page range had to clamp comes back.
    if (m_exists)
        showRecord(recordName());
    else
        applyAlgorithm(currentAlgorithm());
}

void RecordEditorPage::setLevelCaption(int level, const QString &caption)
{
    QLabel *labels[] = {m_form.lbFio, m_form.lbWheel, m_form.lbOperation, m_form.lbUzel};
    QWidget *inputs[] = {m_form.cbFio, m_form.cbWheel, m_form.leOperation, m_form.cbUzel};
    if (level < 0 || level > 3)
        return;
    const QString text = caption.trimmed().isEmpty() ? m_defaultCaptions[size_t(level)] : caption.trimmed();
    labels[level]->setText(text);
    inputs[level]->setAccessibleName(text);
}
