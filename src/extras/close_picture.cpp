#include "extras/close_picture.h"

#include "window/picture_box.h"

namespace qarvel::extras {

window::Label* makeClosePicture(QWidget* parent, const QString& name) {
    auto* picture = new window::Label(QStringLiteral("×"), parent);
    picture->setObjectName(name);
    picture->setAlignment(Qt::AlignCenter);
    picture->setFixedSize(16, 16);
    picture->setCursor(Qt::PointingHandCursor);
    picture->setStyleSheet(QStringLiteral("background:#505050;color:white;font-weight:bold;"));
    picture->setToolTip(QStringLiteral("关闭"));
    return picture;
}

}  // namespace qarvel::extras
