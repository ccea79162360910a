#include "playback/bar_labels.h"

#include <QLabel>
#include <QVariant>

namespace qarvel::playback {

void setBarText(QLabel* label, const QString& text) {
    // The poll sets its labels every second; an unchanged text costs nothing.
    if (!label || label->text() == text) return;
    label->setText(text);
    // A label the layout gave a width of its own keeps it (the status text
    // in compact mode); the others follow their text.
    const QVariant autoSize = label->property("autoSize");
    if (!autoSize.isValid() || autoSize.toBool()) label->adjustSize();
}

void showTitle(QLabel* bo_name, QWidget* bo_zt, const QString& text) {
    if (!bo_name) return;
    setBarText(bo_name, text);
    if (bo_zt) bo_name->move((bo_zt->width() - bo_name->width()) / 2, 3);
}

void clearPlayerBar(const BarControls& bar, int timesTop) {
    if (bar.gunt1) bar.gunt1->move(0, bar.gunt1->y());
    if (bar.gunt2) bar.gunt2->resize(0, bar.gunt2->height());
    if (bar.huan) bar.huan->setGeometry(0, bar.huan->y(), 0, bar.huan->height());
    setBarText(bar.bo_name, QString());
    if (bar.times) {
        if (bar.qvod) bar.times->move(bar.qvod->width() - bar.times->width() - 13, timesTop);
        setBarText(bar.times, QString());
    }
}

}  // namespace qarvel::playback
