#include "ui/calibration/CalibrationPage.h"

#include "base/Log.h"
#include "config/CalibrationFile.h"
#include "config/CalibrationHistory.h"
#include "config/LiveValues.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "ui/popups/PopupHost.h"
#include "ui/settings/KeySettingsStyle.h"
#include "ui/widgets/cParameter.h"
#include "ui/widgets/cSwitcher.h"

#include <QDate>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

using namespace td::settingsui;
using F = CalibrationFields;

namespace {


const char *kObjectNames[F::Count] = {"parCalNm",     "parCalRight",     "parCalLeft",      "parCalNol",
                                      "parCalNm2",    "parCalRight2",    "parCalLeft2",     "parCalHead",
                                      "parCalKeyLength", "parCalGyroDeviation", "parCalAngleCorrection",
                                      "parCalOffset", "parCalAmplify"};

} // namespace

CalibrationPage::CalibrationPage(QWidget *calibrationPage, KeyModel *model, KeyProtocol *protocol,
                                 FileExchange *files, PopupHost *popups, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_protocol(protocol)
    , m_popups(popups)
{
    if (QFrame *f = namedFrame(calibrationPage, "frSettingsCalibrateRight", "Calibration page")) {
        m_lockedFrame = f;
        f->installEventFilter(this);
        addFields(f, &m_adcHeading, "lbCalAdcHeading", {F::Nm, F::Right, F::Left, F::Nol}, 4);
        auto *row = new QHBoxLayout;
        m_nolCaption = makeLabel(f, "lbCalNolCaption", 11);
        m_nolValue = makeLabel(f, "lbCalNolValue", 14, true);
        row->addWidget(m_nolCaption);
        row->addWidget(m_nolValue);
        row->addStretch(1);
        m_extend = new cSwitcher(QString(), QString(), true, false, false);
        m_extend->setSize(56, 48);
        m_extend->setCaptionFontSize(12);
        m_extend->button()->setObjectName(QStringLiteral("swCalExtend"));
        connect(m_extend, &cSwitcher::click_button, this, &CalibrationPage::iSwPoints_Click);
        row->addLayout(m_extend);
        contentLayout(f)->addLayout(row);
        auto *ext = new QHBoxLayout;
        for (F::Field e : {F::Nm2, F::Right2, F::Left2})
            ext->addLayout(makeField(e));
        contentLayout(f)->addLayout(ext);
        contentLayout(f)->addStretch(1);
    }
    if (QFrame *f = namedFrame(calibrationPage, "frSettingsHead", "Calibration page"))
        addFields(f, &m_sizesHeading, "lbCalSizesHeading", {F::Head, F::KeyLength}, 2);
    if (QFrame *f = namedFrame(calibrationPage, "frAmplifier", "Calibration page"))
        addFields(f, &m_amplifierHeading, "lbCalAmplifierHeading", {F::Offset, F::Amplify}, 2);
    if (QFrame *f = namedFrame(calibrationPage, "frAngleCorrection", "Calibration page"))
        addFields(f, &m_angleHeading, "lbCalAngleHeading", {F::GyroDeviation, F::AngleCorrection}, 2);
    if (QFrame *f = namedFrame(calibrationPage, "frCalFiles", "Calibration page")) {
        auto *row = new QHBoxLayout;
        m_save = makeApplyButton(f, "pbCalWrite", 52);
        m_load = makeApplyButton(f, "pbCalRead", 52);
        row->addWidget(m_save);
        row->addWidget(m_load);
        contentLayout(f)->addLayout(row);
        connect(m_save, &QPushButton::clicked, this, &CalibrationPage::iBtnCalWrite_Click);
        connect(m_load, &QPushButton::clicked, this, &CalibrationPage::iBtnCalRead_Click);
    }

    // Live values and the calibration history: reading only, no code needed.
    auto *row = new QGridLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    m_period = new cParameter(QString(), true, 0.0, QLatin1String(fieldStyle()), 0);
    m_period->setMinimum(0);
    m_period->setMaximum(1000);
    m_period->button()->setObjectName(QStringLiteral("parCalPeriod"));
    m_period->button()->setMinimumWidth(120);
    if (m_popups)
        connect(m_period, &cParameter::click_button, m_popups, &PopupHost::showKeypad);
    connect(m_period, &cParameter::changed_valueD, this, &CalibrationPage::iParDebugTimer_Changed);
    m_momentCaption = makeLabel(this, "lbLiveMomentCaption", 11);
    m_angleCaption = makeLabel(this, "lbLiveAngleCaption", 11);
    m_moment = makeLabel(this, "lbLiveMoment", 16, true);
    m_angle = makeLabel(this, "lbLiveAngle", 16, true);
    m_moment->setText(QStringLiteral("-"));
    m_angle->setText(QStringLiteral("-"));
    m_history = makeLabel(this, "lbCalHistory", 11);
    m_history->setWordWrap(true);
    row->addLayout(m_period, 0, 0, 2, 1);
    row->addWidget(m_momentCaption, 0, 1);
    row->addWidget(m_moment, 1, 1);
    row->addWidget(m_angleCaption, 0, 2);
    row->addWidget(m_angle, 1, 2);
    row->addWidget(m_history, 0, 3, 2, 1);
    row->setColumnStretch(3, 1);
    m_lockHint = makeLabel(this, "lbCalLocked", 12, true);
    m_lockHint->setWordWrap(true);
    m_lockHint->setStyleSheet(QStringLiteral("QLabel {color: rgb(160, 90, 0);}"));
    row->addWidget(m_lockHint, 2, 0, 1, 4);

    m_live = new LiveValues(protocol, files, this);
    m_live->setObjectName(QStringLiteral("liveValues"));
    connect(m_live, &LiveValues::valuesChanged, this, [this](double moment, double angle, const QString &) {
        m_moment->setText(QLocale::c().toString(moment, 'f', 2));
        m_angle->setText(QLocale::c().toString(angle, 'f', 1) + QChar(0x00B0));
    });
    connect(m_live, &LiveValues::valuesCleared, this, [this] {
        m_moment->setText(QStringLiteral("-"));
        m_angle->setText(QStringLiteral("-"));
    });

    retranslate();
    enableExtended(false);
    if (m_model) {
        connect(m_model, &KeyModel::calibrationChanged, this, &CalibrationPage::showCalibration);
        connect(m_model, &KeyModel::calibrationChanged, this, &CalibrationPage::showHistory);
        connect(m_model, &KeyModel::deviceSettingsChanged, this, &CalibrationPage::showHistory);
    }
}

cParameter *CalibrationPage::makeField(F::Field f)
{
    const F::Info &s = F::info(f);
    cParameter *p = s.precision < 0
        ? new cParameter(F::caption(f), true, QStringLiteral("0"), QLatin1String(fieldStyle()))
        : new cParameter(F::caption(f), true, 0.0, QLatin1String(fieldStyle()), s.precision);
    p->setMinimum(s.minimum);
    p->setMaximum(s.maximum);
    p->setCaptionFontSize(10);
    p->button()->setObjectName(QLatin1String(kObjectNames[f]));
    p->button()->setMinimumWidth(96);
    if (m_popups)
        connect(p, &cParameter::click_button, m_popups, &PopupHost::showKeypad);
    // Only the keypad's store raises these, once per committed value: a reply from the key
    // fills the fields without writing anything back.
    connect(p, &cParameter::changed_valueD, this, &CalibrationPage::iCalibrateNmChanged);
    connect(p, &cParameter::changed_valueS, this, &CalibrationPage::iCalibrateNmChanged);
    m_fields[size_t(f)] = p;
    return p;
}

void CalibrationPage::addFields(QFrame *frame, QLabel **heading, const char *headingName,
                                std::initializer_list<F::Field> fields, int columns)
{
    QVBoxLayout *outer = contentLayout(frame);
    *heading = makeLabel(frame, headingName, 12, true);
    outer->addWidget(*heading);
    auto *grid = new QGridLayout;
    int i = 0;
    for (F::Field f : fields) {
        grid->addLayout(makeField(f), i / columns, i % columns);
        ++i;
    }
    outer->addLayout(grid);
}

CalibrationFields CalibrationPage::fieldsOnPage() const
{
    CalibrationFields out = m_kept;
    for (int i = 0; i < F::Count; ++i) {
        const cParameter *p = m_fields[size_t(i)];
        if (!p)
            continue;
        out.setValue(F::Field(i), p->isNumeric() ? p->value() : p->text().toDouble());
    }
    if (m_extend)
        out.setUsed(m_extend->checked());
    return out;
}

void CalibrationPage::iCalibrateNmChanged()
{
    if (m_protocol)
        m_protocol->FE_SettingsCalibrate_Write(fieldsOnPage().toWire());
}

void CalibrationPage::iSwPoints_Click()
{
    enableExtended(m_extend->checked());
    iCalibrateNmChanged();
}

void CalibrationPage::enableExtended(bool on)
{
    for (F::Field f : {F::Left2, F::Right2, F::Nm2}) {
        if (cParameter *p = m_fields[size_t(f)])
            p->setEnabled(on);
    }
}

void CalibrationPage::showCalibration()
{
    if (!m_model)
        return;
    m_kept.setFromKey(m_model->calibration());
    for (int i = 0; i < F::Count; ++i) {
        cParameter *p = m_fields[size_t(i)];
        if (!p)
            continue;
        const double v = m_kept.value(F::Field(i));
        if (!p->isNumeric()) {
            p->setText(QString::number(qint64(v)));
        } else if (!p->setValue(v)) {
            // Outside what the field accepts from the keypad, but it is what the key holds;
            // showing anything else would send a value the key never had on the next write.
            p->setText(QString::number(v, 'f', F::info(F::Field(i)).precision));
        }
    }
    if (m_extend)
        m_extend->setChecked(m_kept.used());
    enableExtended(m_kept.used());
    if (m_nolValue)
        m_nolValue->setText(QString::number(qint64(m_kept.value(F::Nol))));
}

void CalibrationPage::showHistory()
{
    if (!m_model)
        return;
    const QByteArray serial = m_model->deviceSettings().SerialNo;
    const CalibrationHistory::Summary s = CalibrationHistory::of(serial);
    if (s.count == 0) {
        m_history->setText(serial.isEmpty() ? QString() : tr("No calibration of this key is archived on this PC."));
        m_history->setStyleSheet(QString());
        return;
    }
    const QString fmt = QStringLiteral("dd.MM.yyyy");
    if (s.calibrated.isValid())
        m_history->setText(tr("Last calibration: %1 (%2 archived). Next calibration due: %3")
                               .arg(s.calibrated.toString(fmt))
                               .arg(s.count)
                               .arg(s.due().toString(fmt)));
    else
        m_history->setText(tr("The key does not say when it was calibrated. This calibration was first seen on this "
                              "PC on %1 (%2 archived). Next calibration due: %3, counted from that day.")
                               .arg(s.newest.date().toString(fmt))
                               .arg(s.count)
                               .arg(s.due().toString(fmt)));
    m_history->setStyleSheet(s.overdue(QDate::currentDate()) ? QStringLiteral("QLabel {color: rgb(220, 0, 0);}")
                                                             : QString());
}

QString CalibrationPage::chooseFile(bool save)
{
    if (m_chooser)
        return m_chooser(save);
    const QString title = tr("File Calibrate settings");
    const QString filter = tr("Calibrate settings (*.clb);;All Files (*.*)");
    return save ? QFileDialog::getSaveFileName(window(), title, QString(), filter)
                : QFileDialog::getOpenFileName(window(), title, QString(), filter);
}

void CalibrationPage::iBtnCalWrite_Click()
{
    const QString path = chooseFile(true);
    if (path.isEmpty())
        return;
    const QByteArray text = m_model ? m_model->calibrationText() : QByteArray();
    if (text.isEmpty()) {
        emit messageRequested(tr("Warning! No calibration has been read from the key yet"), QStringLiteral("red"));
        return;
    }
    QString error;
    if (!CalibrationFile::write(path, text, &error)) {
        td::log(QStringLiteral("Calibration file not written: ") + error);
        emit messageRequested(tr("Warning! The calibration file was not written: ") + error, QStringLiteral("red"));
        return;
    }
    emit statusMessage(tr("Calibration saved to %1").arg(QDir::toNativeSeparators(path)));
}

void CalibrationPage::iBtnCalRead_Click()
{
    const QString path = chooseFile(false);
    if (path.isEmpty())
        return;
    const CalibrationFile::Loaded loaded =
        CalibrationFile::read(path, m_model ? m_model->calibration() : CalibrationValues());
    if (!loaded.ok()) {
        td::log(QStringLiteral("Calibration file refused: ") + path + QStringLiteral(": ") + loaded.problem);
        emit messageRequested(loaded.problem, QStringLiteral("red"));
        return;
    }
    if (!m_protocol)
        return;
    m_protocol->FE_SettingsCalibrate_Write(loaded.values);
    m_protocol->FE_SettingsCalibrate_Read();
}

void CalibrationPage::iParDebugTimer_Changed()
{
    m_live->setPeriod(int(m_period->value()));
    if (!m_live->isRunning()) {
        m_moment->setText(QStringLiteral("-"));
        m_angle->setText(QStringLiteral("-"));
    }
}

void CalibrationPage::retranslate()
{
    auto heading = [](QLabel *l, const QString &text) {
        if (l)
            l->setText(text);
    };
    heading(m_adcHeading, tr("Calibrating parameters (ADC):"));
    heading(m_sizesHeading, tr("Parameters of Sizes:"));
    heading(m_amplifierHeading, tr("Parameters of Amplifier:"));
    heading(m_angleHeading, tr("Parameters Angle correction:"));
    heading(m_nolCaption, tr("ADC Nol Value"));
    for (int i = 0; i < F::Count; ++i) {
        if (cParameter *p = m_fields[size_t(i)]) {
            p->setCaptionText(F::caption(F::Field(i)));
            p->button()->setAccessibleName(F::caption(F::Field(i)));
        }
    }
    if (m_extend) {
        m_extend->setCaption(tr("Extend calibrating"));
        m_extend->button()->setAccessibleName(tr("Extend calibrating"));
    }
    if (m_save) {
        m_save->setText(tr("Save calibrate settings"));
        m_save->setToolTip(tr("to file on PC"));
        m_save->setAccessibleName(tr("Save calibrate settings"));
        m_load->setText(tr("Get calibrate settings"));
        m_load->setToolTip(tr("from file on PC and put to key"));
        m_load->setAccessibleName(tr("Get calibrate settings"));
    }
    m_period->setCaptionText(tr("Period M&A Values"));
    m_period->button()->setToolTip(tr("Enter period of getting moment values (mSec)"));
    m_period->button()->setAccessibleName(tr("Period M&A Values"));
    m_momentCaption->setText(tr("Moment:"));
    m_angleCaption->setText(tr("Angle:"));
    m_lockHint->setText(tr("The calibration is locked. The metrologist's access code unlocks it: type the code into "
                           "the message field of the main screen, then press Settings."));
    m_lockHint->setAccessibleName(m_lockHint->text());
    showLock();
    showHistory();
}

void CalibrationPage::showLock()
{
    if (m_lockHint)
        m_lockHint->setVisible(m_lockedFrame && !m_lockedFrame->isEnabled());
}

bool CalibrationPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lockedFrame && event->type() == QEvent::EnabledChange)
        showLock();
    return QWidget::eventFilter(watched, event);
}

void CalibrationPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
