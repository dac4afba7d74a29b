#include "ui/measures/MeasureViewsPage.h"

#include <QStackedWidget>
#include <QVBoxLayout>

MeasureViewsPage::MeasureViewsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("page"));
    auto *layout = new QVBoxLayout(this);
    stMain = new QStackedWidget(this);
    stMain->setObjectName(QStringLiteral("stMain"));
    layout->addWidget(stMain);
}
