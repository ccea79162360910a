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

void showTitle(QLabel* filmTitle, QWidget* statusStrip, const QString& text) {
    if (!filmTitle) return;
    setBarText(filmTitle, text);
    if (statusStrip) filmTitle->move((statusStrip->width() - filmTitle->width()) / 2, 3);
}

void clearPlayerBar(const BarControls& bar, int timesTop) {
    if (bar.seekKnob) bar.seekKnob->move(0, bar.seekKnob->y());
    if (bar.playedBar) bar.playedBar->resize(0, bar.playedBar->height());
    if (bar.downloadedBar) bar.downloadedBar->setGeometry(0, bar.downloadedBar->y(), 0, bar.downloadedBar->height());
    setBarText(bar.filmTitle, QString());
    if (bar.timeText) {
        if (bar.playerArea) bar.timeText->move(bar.playerArea->width() - bar.timeText->width() - 13, timesTop);
        setBarText(bar.timeText, QString());
    }
}

}  // namespace qarvel::playback
