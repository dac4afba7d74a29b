#include "ui/frame/LogoPage.h"

#include "ui/widgets/FormParts.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

LogoPage::LogoPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pageLogo"));
    auto *layout = new QVBoxLayout(this);
    layout->addStretch(1);
    lbLogo = td::form::label(this, "lbLogo");
    lbLogo->setAlignment(Qt::AlignCenter);
    layout->addWidget(lbLogo);
    lbBusy = td::form::label(this, "lbBusy");
    lbBusy->setAlignment(Qt::AlignCenter);
    layout->addWidget(lbBusy);
    lbBusy2 = td::form::label(this, "lbBusy2");
    lbBusy2->setAlignment(Qt::AlignCenter);
    lbBusy2->hide();
    layout->addWidget(lbBusy2);
    lbBootText = td::form::label(this, "lbBootText", 14);
    lbBootText->setAlignment(Qt::AlignCenter);
    lbBootText->setWordWrap(true);
    layout->addWidget(lbBootText);
    teBootInfo = new QTextEdit(this);
    teBootInfo->setObjectName(QStringLiteral("teBootInfo"));
    teBootInfo->setFixedSize(370, 590);
    QFont small = teBootInfo->font();
    small.setPointSize(8);
    teBootInfo->setFont(small);
    teBootInfo->hide();
    layout->addWidget(teBootInfo, 0, Qt::AlignCenter);
    frIpList = new QFrame(this);
    frIpList->setObjectName(QStringLiteral("frIpList"));
    new QVBoxLayout(frIpList);
    frIpList->hide();
    layout->addWidget(frIpList, 0, Qt::AlignCenter);
    frLogoFooter = new QFrame(this);
    frLogoFooter->setObjectName(QStringLiteral("frLogoFooter"));
    auto *footer = new QVBoxLayout(frLogoFooter);
    lbInitPicture = td::form::label(frLogoFooter, "lbInitPicture");
    lbInitPicture->setAlignment(Qt::AlignCenter);
    footer->addWidget(lbInitPicture);
    lbKeyLost = td::form::label(frLogoFooter, "lbKeyLost", 16);
    lbKeyLost->setAlignment(Qt::AlignCenter);
    lbKeyLost->setStyleSheet(QStringLiteral("QLabel {color: rgb(200, 0, 0); font-weight: bold;}"));
    lbKeyLost->hide();
    footer->addWidget(lbKeyLost);
    lbConnectText = td::form::label(frLogoFooter, "lbConnectText", 16);
    lbConnectText->setAlignment(Qt::AlignCenter);
    lbConnectText->setWordWrap(true);
    footer->addWidget(lbConnectText);
    pbHistory = new QPushButton(frLogoFooter);
    pbHistory->setObjectName(QStringLiteral("pbOpenHistory"));
    pbHistory->setMinimumSize(220, 48);
    QFont big = pbHistory->font();
    big.setPointSize(13);
    pbHistory->setFont(big);
    footer->addWidget(pbHistory, 0, Qt::AlignHCenter);
    frLogoFooter->hide();
    layout->addWidget(frLogoFooter);
    layout->addStretch(1);
    retranslateUi();
}

void LogoPage::retranslateUi()
{
    lbKeyLost->setText(td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "The key was disconnected")));
    lbKeyLost->setAccessibleName(lbKeyLost->text());
    pbHistory->setText(td::form::text(QT_TRANSLATE_NOOP("MainWindowForm", "History")));
    pbHistory->setAccessibleName(pbHistory->text());
    pbHistory->setToolTip(td::form::text(
        QT_TRANSLATE_NOOP("MainWindowForm", "The tightening history and its statistics, without a key")));
    lbBootText->setText(td::form::text(
        QT_TRANSLATE_NOOP("MainWindowForm", "The boot process. Preparing the equipment for work. Please wait ...")));
}
