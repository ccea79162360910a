#include "playback/bar_labels.h"

#include <QLabel>

namespace qarvel::playback {

void setBarText(QLabel* label, const QString& text) {
    if (!label) return;
    label->setText(text);
    label->adjustSize();
}

void showTitle(QLabel* bo_name, QWidget* bo_zt, const QString& text) {
    if (!bo_name) return;
    setBarText(bo_name, text);
    if (bo_zt) bo_name->move((bo_zt->width() - bo_name->width()) / 2, 3);
}

}  // namespace qarvel::playback
