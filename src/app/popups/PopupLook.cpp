#include "app/popups/PopupLook.h"

#include "app/Log.h"
#include "app/widgets/TextFit.h"

#include <QLabel>
#include <QLayout>
#include <QPixmap>

namespace td::popup {

void makePopupWindow(QWidget *popup)
{
    popup->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    popup->setWindowModality(Qt::ApplicationModal);
    popup->setWindowTitle(QStringLiteral("Form"));
}

void loadPicture(QLabel *label, const QString &file)
{
    const QPixmap picture(file);
    if (picture.isNull()) {
        td::log(QStringLiteral("Popup picture not loaded: %1").arg(file));
        label->hide();
        return;
    }
    label->setPixmap(picture);
}

void fitMessage(QLabel *label)
{
    // Geometry is only known once the window's layout has run.
    if (QWidget *window = label->window()) {
        if (QLayout *layout = window->layout())
            layout->activate();
    }
    QFont font = label->font();
    font.setPointSize(baseTextPoints);
    label->setFont(font);
    td::fitText(label, textFitMargin);
}

} // namespace td::popup
