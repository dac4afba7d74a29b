#include "ui/popups/PopupA.h"

#include "base/Log.h"
#include "ui/popups/PopupLook.h"
#include "ui/widgets/TextFit.h"
#include "ui/widgets/cParameter.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {
constexpr int popupWidth = 348;
constexpr int popupHeight = 600;
constexpr int headerHeight = 60;
constexpr int editHeight = 60;
constexpr int keyMinWidth = 96;
constexpr int keyMinHeight = 72;
constexpr int keyPoints = 24;
constexpr int editPoints = 24;
constexpr int headerPoints = 14;
constexpr int headerFitMargin = 20;
constexpr int shortIntegerDigits = 4;
constexpr int maxTextLength = 8;
const QChar point = QLatin1Char('.');
const QChar minus = QLatin1Char('-');
} // namespace

PopupA::PopupA(QWidget *parent, int selectDelayMs)
    : QWidget(parent)
    , m_selectDelay(selectDelayMs)
{
    setObjectName(QStringLiteral("PopupA"));
    td::popup::makePopupWindow(this);
    setFixedSize(popupWidth, popupHeight);
    setStyleSheet(QStringLiteral("QMainWindow {background-color: rgb(150, 150, 150); }"));

    auto *grid = new QGridLayout(this);
    grid->setObjectName(QStringLiteral("gridLayout"));

    m_header = new QLabel(this);
    m_header->setObjectName(QStringLiteral("lbHeader"));
    m_header->setAlignment(Qt::AlignCenter);
    m_header->setWordWrap(true);
    m_header->setFixedHeight(headerHeight);
    m_header->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("leValue"));
    m_edit->setAccessibleName(tr("Value"));
    // Everything typed goes through the key rules below, the hardware keyboard included.
    m_edit->setReadOnly(true);
    m_edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_edit->setFixedHeight(editHeight);
    QFont editFont = m_edit->font();
    editFont.setPointSize(editPoints);
    m_edit->setFont(editFont);
    m_edit->installEventFilter(this);

    m_keys = new QGridLayout;
    m_keys->setObjectName(QStringLiteral("grKeyboard"));

    using Slot = void (PopupA::*)();
    static const Slot digitSlots[10] = {
        &PopupA::pb0_clicked, &PopupA::pb1_clicked, &PopupA::pb2_clicked, &PopupA::pb3_clicked,
        &PopupA::pb4_clicked, &PopupA::pb5_clicked, &PopupA::pb6_clicked, &PopupA::pb7_clicked,
        &PopupA::pb8_clicked, &PopupA::pb9_clicked,
    };
    for (int digit = 0; digit < 10; ++digit) {
        const QString text = QString::number(digit);
        m_digits[digit] = makeKey(QStringLiteral("pb") + text, text, text);
        connect(m_digits[digit], &QPushButton::clicked, this, digitSlots[digit]);
    }
    m_dot = makeKey(QStringLiteral("pbDot"), QStringLiteral("."), tr("Point"));
    m_sign = makeKey(QStringLiteral("pbSign"), QStringLiteral("\u00B1"), tr("Change sign"));
    m_delete = makeKey(QStringLiteral("pbDel"), tr("Del"), tr("Delete"));
    m_cancel = makeKey(QStringLiteral("pbCancel"), tr("Cancel"), tr("Cancel"));
    m_ok = makeKey(QStringLiteral("pbOK"), tr("OK"), tr("OK"));
    connect(m_dot, &QPushButton::clicked, this, &PopupA::pbDot_clicked);
    connect(m_sign, &QPushButton::clicked, this, &PopupA::pbSign_clicked);
    connect(m_delete, &QPushButton::clicked, this, &PopupA::pbDel_clicked);
    connect(m_cancel, &QPushButton::clicked, this, &PopupA::pbCancel_clicked);
    connect(m_ok, &QPushButton::clicked, this, &PopupA::pbOK_clicked);

    // Phone-style rows: 7 8 9 on top.
    for (int digit = 1; digit < 10; ++digit)
        m_keys->addWidget(m_digits[digit], 2 - (digit - 1) / 3, (digit - 1) % 3);
    arrangeKeys(true, false);

    grid->addWidget(m_header, 0, 0);
    grid->addWidget(m_edit, 1, 0);
    grid->addLayout(m_keys, 2, 0);
    grid->setRowStretch(2, 1);
}

QPushButton *PopupA::makeKey(const QString &name, const QString &text, const QString &accessible)
{
    auto *key = new QPushButton(text, this);
    key->setObjectName(name);
    key->setAccessibleName(accessible);
    key->setMinimumSize(keyMinWidth, keyMinHeight);
    key->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // Touching a key must leave the focus (and the selection) on the entry line.
    key->setFocusPolicy(Qt::NoFocus);
    QFont font = key->font();
    font.setPointSize(keyPoints);
    key->setFont(font);
    return key;
}

void PopupA::arrangeKeys(bool withPoint, bool withSign)
{
    for (QWidget *key : {static_cast<QWidget *>(m_digits[0]), static_cast<QWidget *>(m_sign),
                         static_cast<QWidget *>(m_delete), static_cast<QWidget *>(m_dot),
                         static_cast<QWidget *>(m_cancel), static_cast<QWidget *>(m_ok)})
        m_keys->removeWidget(key);

    if (withSign) {
        m_keys->addWidget(m_sign, 3, 0);
        m_keys->addWidget(m_digits[0], 3, 1);
    } else {
        m_keys->addWidget(m_digits[0], 3, 0, 1, 2);
    }
    m_keys->addWidget(m_delete, 3, 2);

    if (withPoint) {
        m_keys->addWidget(m_dot, 4, 0);
        m_keys->addWidget(m_cancel, 4, 1);
        m_keys->addWidget(m_ok, 4, 2);
    } else {
        // Without the point the cancel/OK pair takes the whole row.
        m_keys->addWidget(m_cancel, 4, 0);
        m_keys->addWidget(m_ok, 4, 1, 1, 2);
    }
    m_dot->setVisible(withPoint);
    m_sign->setVisible(withSign);
}

bool PopupA::setParameter(cParameter *aPar)
{
    if (!aPar) {
        td::log(QStringLiteral("Keypad asked to edit no parameter"));
        return false;
    }
    m_parameter = aPar;
    m_fresh = true;
    m_edit->setText(aPar->text());
    arrangeKeys(aPar->isNumeric(), aPar->minimum() < 0);
    setHeader(aPar->caption() + QStringLiteral(" [") + boundsText() + QLatin1Char(']'));
    return true;
}

QString PopupA::boundsText() const
{
    if (!m_parameter)
        return QString();
    const double low = m_parameter->minimum();
    const double high = m_parameter->maximum();
    if (m_parameter->isNumeric())
        return QString::number(low, 'g', 6) + QStringLiteral("..") + QString::number(high, 'g', 6);
    return QString::number(low, 'f', 2) + QStringLiteral("..") + QString::number(high, 'f', 2);
}

void PopupA::setHeader(const QString &text)
{
    m_header->setText(text);
    QFont font = m_header->font();
    font.setPointSize(headerPoints);
    m_header->setFont(font);
    if (QLayout *grid = layout())
        grid->activate();
    td::fitText(m_header, headerFitMargin);
}

QString PopupA::headerText() const
{
    return m_header->text();
}

QString PopupA::lineText() const
{
    return m_edit->text();
}

int PopupA::integerDigitLimit() const
{
    if (!m_parameter)
        return shortIntegerDigits;
    const double magnitude =
        std::max(std::fabs(m_parameter->minimum()), std::fabs(m_parameter->maximum()));
    // Whole digits the largest bound needs, so that every value of the range can be typed
    // (a port field of 32000..32500 needs five); never fewer than four, and with room for
    // a point inside eight characters.
    if (!std::isfinite(magnitude) || magnitude >= 1e7)
        return maxTextLength - 1;
    const int digits = magnitude < 1.0 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    return std::clamp(digits, shortIntegerDigits, maxTextLength - 1);
}

void PopupA::typeDigit(int digit)
{
    if (m_fresh) {
        m_edit->clear();
        m_fresh = false;
    }
    const QString text = m_edit->text();
    const bool negative = text.startsWith(minus);
    QString body = negative ? text.mid(1) : text;
    const bool hasPoint = body.contains(point);
    if (!hasPoint && body.size() < integerDigitLimit()) {
        // A lone leading zero is replaced, not followed.
        if (body == QLatin1String("0"))
            body.clear();
    } else if (!(hasPoint && body.size() < maxTextLength)) {
        return;
    }
    body += QString::number(digit);
    m_edit->setText(negative ? minus + body : body);
}

void PopupA::pressKey(int key)
{
    if (key >= 0 && key <= 9) {
        typeDigit(key);
        return;
    }
    switch (key) {
    case KeyPoint:
        if (!m_edit->text().contains(point))
            m_edit->setText(m_edit->text() + point);
        break;
    case KeyCancel:
        close();
        break;
    case KeyOK:
        accept();
        break;
    case KeyDelete:
        m_edit->clear();
        break;
    case KeySign: {
        if (!m_sign->isVisibleTo(this))
            break;
        if (m_fresh) {
            m_edit->clear();
            m_fresh = false;
        }
        const QString text = m_edit->text();
        m_edit->setText(text.startsWith(minus) ? text.mid(1) : minus + text);
        break;
    }
    default:
        break;
    }
}

void PopupA::accept()
{
    const QString typed = m_edit->text();
    if (typed.isEmpty())
        return;
    if (!m_parameter) {
        td::log(QStringLiteral("Keypad: the edited parameter no longer exists, entry dropped"));
        close();
        return;
    }
    if (!m_parameter->inRange(typed)) {
        setHeader(typed + QLatin1Char(' ') + tr("out of") + QStringLiteral(" [") + boundsText()
                  + QLatin1Char(']'));
        m_fresh = true;
        return;
    }
    // Closed before the store: the change signal may open the keypad for the next field.
    QPointer<cParameter> target = m_parameter;
    close();
    target->setChanged(true);
    const bool stored = target->isNumeric() ? target->setValue(typed.toDouble())
                                            : target->setText(typed);
    if (!stored && target)
        target->setChanged(false);
}

void PopupA::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_edit->setFocus();
    QTimer::singleShot(m_selectDelay, m_edit, &QLineEdit::selectAll);
}

bool PopupA::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        pressKey(key - Qt::Key_0);
    else if ((key == Qt::Key_Period || key == Qt::Key_Comma) && m_dot->isVisibleTo(this))
        pressKey(KeyPoint);
    else if (key == Qt::Key_Minus)
        pressKey(KeySign);
    else if (key == Qt::Key_Backspace || key == Qt::Key_Delete)
        pressKey(KeyDelete);
    else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        pressKey(KeyOK);
    else if (key == Qt::Key_Escape)
        pressKey(KeyCancel);
    else
        return QWidget::eventFilter(watched, event);
    return true;
}

void PopupA::pb0_clicked() { pressKey(0); }
void PopupA::pb1_clicked() { pressKey(1); }
void PopupA::pb2_clicked() { pressKey(2); }
void PopupA::pb3_clicked() { pressKey(3); }
void PopupA::pb4_clicked() { pressKey(4); }
void PopupA::pb5_clicked() { pressKey(5); }
void PopupA::pb6_clicked() { pressKey(6); }
void PopupA::pb7_clicked() { pressKey(7); }
void PopupA::pb8_clicked() { pressKey(8); }
void PopupA::pb9_clicked() { pressKey(9); }
void PopupA::pbDot_clicked() { pressKey(KeyPoint); }
void PopupA::pbCancel_clicked() { pressKey(KeyCancel); }
void PopupA::pbDel_clicked() { pressKey(KeyDelete); }
void PopupA::pbOK_clicked() { pressKey(KeyOK); }
void PopupA::pbSign_clicked() { pressKey(KeySign); }
