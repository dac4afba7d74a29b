#include "ui/widgets/FormParts.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace td::form {

QLabel *label(QWidget *parent, const char *name, int pointSize)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    if (pointSize > 0) {
        QFont f = l->font();
        f.setPointSize(pointSize);
        l->setFont(f);
    }
    return l;
}

QPushButton *button(QWidget *parent, const char *name, int minHeight)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setMinimumHeight(minHeight);
    return b;
}

QFrame *panel(QWidget *parent, const char *name)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(8, 8, 8, 8);
    return frame;
}

QGridLayout *settingsGrid(QWidget *page, const char *name)
{
    page->setObjectName(QLatin1String(name));
    auto *grid = new QGridLayout(page);
    grid->setObjectName(QLatin1String(name) + QStringLiteral("_layout"));
    grid->setContentsMargins(6, 6, 6, 6);
    return grid;
}

QString text(const char *source)
{
    return QCoreApplication::translate("MainWindowForm", source);
}

} // namespace td::form
