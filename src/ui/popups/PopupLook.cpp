#include "ui/popups/PopupLook.h"

#include "base/Log.h"
#include "ui/widgets/TextFit.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace td::popup {

void makePopupWindow(QWidget *popup)
{
    popup->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    popup->setWindowModality(Qt::ApplicationModal);
    popup->setWindowTitle(QStringLiteral("Form"));
}

Frame makeFrame(QWidget *popup, const QString &objectName, int width, int height)
{
    popup->setObjectName(objectName);
    makePopupWindow(popup);
    popup->setFixedSize(width, height);

    Frame frame;
    frame.grid = new QGridLayout(popup);
    frame.grid->setObjectName(QStringLiteral("gridLayout_2"));
    frame.info = new QVBoxLayout;
    frame.info->setObjectName(QStringLiteral("vlInfo"));
    frame.picture = new QLabel(popup);
    frame.picture->setObjectName(QStringLiteral("lbPicture"));
    frame.picture->setAlignment(Qt::AlignCenter);
    return frame;
}

QLabel *makeMessageLabel(QWidget *popup)
{
    auto *text = new QLabel(popup);
    text->setObjectName(QStringLiteral("lbText"));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    return text;
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
