#include "ui/settings/ParametersPage.h"

#include "ui/widgets/FormParts.h"

#include <QFrame>
#include <QGridLayout>
#include <QScrollArea>
#include <QScroller>
#include <QVBoxLayout>

ParametersPage::ParametersPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pageLevels"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    // The panels keep their touch sizes and whole captions; where the window is too low for
    // all of them (the service options add two rows) the page scrolls instead of squeezing
    // rows over one another.
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("saParameters"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScroller::grabGesture(m_scroll->viewport(), QScroller::TouchGesture);
    auto *content = new QWidget(m_scroll);
    content->setObjectName(QStringLiteral("pageLevels_content"));
    m_grid = new QGridLayout(content);
    m_grid->setObjectName(QStringLiteral("pageLevels_layout"));
    m_grid->setContentsMargins(4, 4, 4, 4);
    m_grid->setSpacing(6);
    m_scroll->setWidget(content);
    // The page shows the window's background like the other pages, not a panel of its own.
    m_scroll->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    outer->addWidget(m_scroll);

    frMenuLevels = td::form::panel(content, "frMenuLevels");
    frKeyName = td::form::panel(content, "frKeyName");
    frWiFi = td::form::panel(content, "frWiFi");
    frSetup = td::form::panel(content, "frSetup");
    frOptions = td::form::panel(content, "frOptions");
    // Two columns of about the same height that do not share rows: the menu levels and the
    // names, the key's own settings and its Wi-Fi client.
    auto *left = new QVBoxLayout;
    left->addWidget(frMenuLevels);
    left->addWidget(frKeyName);
    auto *right = new QVBoxLayout;
    right->addWidget(frSetup);
    right->addWidget(frWiFi);
    for (QVBoxLayout *column : {left, right}) {
        column->setSpacing(6);
        column->addStretch(1);
    }
    m_grid->addLayout(left, 0, 0);
    m_grid->addLayout(right, 0, 1);
    m_grid->addWidget(frOptions, 1, 0, 1, 2);
    m_grid->setColumnStretch(0, 1);
    m_grid->setColumnStretch(1, 1);
    frOptions->hide();
}

void ParametersPage::addFullWidthRow(QWidget *w)
{
    m_grid->addWidget(w, m_grid->rowCount(), 0, 1, 2);
    // Spare height goes below everything rather than into the panels' rows.
    m_grid->setRowStretch(m_grid->rowCount(), 1);
}
