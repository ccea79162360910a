#pragma once
// The small close picture in the corner of the notice windows.
#include <QWidget>

namespace qarvel::window {
class Label;
}

namespace qarvel::extras {

window::Label* makeClosePicture(QWidget* parent, const QString& name);

}  // namespace qarvel::extras
