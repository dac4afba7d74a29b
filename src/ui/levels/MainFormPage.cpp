#include "ui/levels/MainFormPage.h"

#include "ui/widgets/FormParts.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const char *kSelectGreenStyle =
    "QPushButton {background-color: rgb(100, 180, 100); color: rgb(255, 255, 255); border-width: 2px; "
    "border-radius: 5px; }             QPushButton:pressed {background-color: rgb(150, 200, 150);}";

} // namespace

MainFormPage::MainFormPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("page_menu"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    frLevels = new QFrame(this);
    frLevels->setObjectName(QStringLiteral("frLevels"));
    auto *levelsLayout = new QVBoxLayout(frLevels);
    levelsLayout->setContentsMargins(0, 0, 0, 0);
    tabLevels = new QTabWidget(frLevels);
    tabLevels->setObjectName(QStringLiteral("tabLevels"));
    for (int i = 0; i < 5; ++i) {
        auto *tab = new QWidget(tabLevels);
        tab->setObjectName(QStringLiteral("tabLevel%1").arg(i));
        new QGridLayout(tab);
        tabLevels->addTab(tab, QString());
    }
    levelsLayout->addWidget(tabLevels);
    layout->addWidget(frLevels, 1);

    frMainFormControls = new QFrame(this);
    frMainFormControls->setObjectName(QStringLiteral("frMainFormControls"));
    auto *controls = new QHBoxLayout(frMainFormControls);
    controls->setContentsMargins(0, 0, 0, 0);
    lbRotation = td::form::label(frMainFormControls, "lbRotation");
    lbRotation->setFixedSize(64, 64);
    lbRotation->setScaledContents(true);
    controls->addWidget(lbRotation);
    frWarning = new QFrame(frMainFormControls);
    frWarning->setObjectName(QStringLiteral("frWarning"));
    auto *warning = new QHBoxLayout(frWarning);
    lbWarningPicture = td::form::label(frWarning, "lbWarningPicture");
    lbWarningPicture->setFixedSize(48, 48);
    lbWarningPicture->setScaledContents(true);
    lbWarningText = td::form::label(frWarning, "lbWarningText", 11);
    lbWarningText->setWordWrap(true);
    warning->addWidget(lbWarningPicture);
    warning->addWidget(lbWarningText, 1);
    frWarning->hide();
    controls->addWidget(frWarning, 1);
    leKeyMessage = new QLineEdit(frMainFormControls);
    leKeyMessage->setObjectName(QStringLiteral("leKeyMessage"));
    leKeyMessage->setMinimumHeight(48);
    // The bar also carries the four report buttons on a 1024-pixel window; a wider minimum
    // squeezed those below their captions. The field takes whatever room is left.
    leKeyMessage->setMinimumWidth(140);
    QFont msgFont = leKeyMessage->font();
    msgFont.setPointSize(14);
    leKeyMessage->setFont(msgFont);
    controls->addWidget(leKeyMessage, 1);
    pbLockKey = td::form::button(frMainFormControls, "pbLockKey");
    pbUnlockKey = td::form::button(frMainFormControls, "pbUnlockKey");
    pbSendMessage = td::form::button(frMainFormControls, "pbSendMessage");
    pbLockKey->setIcon(QIcon(QStringLiteral(":resource/images/lock.png")));
    pbUnlockKey->setIcon(QIcon(QStringLiteral(":resource/images/unlock.png")));
    pbSendMessage->setIcon(QIcon(QStringLiteral(":resource/images/message1.png")));
    for (QPushButton *b : {pbLockKey, pbUnlockKey, pbSendMessage}) {
        b->setFixedSize(56, 56);
        b->setIconSize(QSize(40, 40));
        controls->addWidget(b);
    }
    pbSelectReport = td::form::button(frMainFormControls, "pbSelectReport");
    pbSelectReport->setCheckable(true);
    pbSelectReport->setMinimumWidth(130);
    pbSelectReport->setStyleSheet(QLatin1String(kSelectGreenStyle));
    controls->addWidget(pbSelectReport);
    layout->addWidget(frMainFormControls);
    retranslateUi();
}

void MainFormPage::retranslateUi()
{
    leKeyMessage->setPlaceholderText(td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "Type text here")));
    leKeyMessage->setAccessibleName(td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "Message")));
    const QString lock = td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "Lock key"));
    pbLockKey->setToolTip(lock);
    pbLockKey->setAccessibleName(lock);
    const QString unlock = td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "Unlock key"));
    pbUnlockKey->setToolTip(unlock);
    pbUnlockKey->setAccessibleName(unlock);
    const QString send = td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "Send text message to key"));
    pbSendMessage->setToolTip(send);
    pbSendMessage->setAccessibleName(send);
    const QString select = td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "Select"));
    pbSelectReport->setText(select);
    pbSelectReport->setToolTip(td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "Select elements for make report")));
    pbSelectReport->setAccessibleName(select);
    for (int i = 0; i < tabLevels->count(); ++i)
        tabLevels->setTabText(i, i < 4 ? td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "Level %1")).arg(i + 1)
                                       : td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "Report")));
}
