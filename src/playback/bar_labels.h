#pragma once
// The labels and the seek bar of the player bar: the title `filmTitle`,
// centred in its strip `statusStrip`, the status text `statusText` and the time `timeText`.
#include <QString>

class QLabel;
class QWidget;

namespace qarvel::playback {

// Width of the film title in the label, in display units.
inline constexpr int kTitleWidth = 30;

// Sets the text of one of the bar's labels, which are sized to their text
// unless their "autoSize" property is false. A null label is skipped.
void setBarText(QLabel* label, const QString& text);

// Shows text in bo_name, sized to it, at left (width of bo_zt - its width) / 2
// and top 3. A null control is skipped.
void showTitle(QLabel* filmTitle, QWidget* statusStrip, const QString& text);

// Empties the seek bar (knob at 0, played and downloaded parts of width 0),
// the title and the time, and puts `timeText` at the right of the player area
// (left = width of qvod - its width - 13) at timesTop. Null controls are skipped.
struct BarControls {
    QWidget* seekKnob = nullptr;
    QWidget* playedBar = nullptr;
    QWidget* downloadedBar = nullptr;
    QLabel* filmTitle = nullptr;
    QLabel* timeText = nullptr;
    QWidget* playerArea = nullptr;
};
void clearPlayerBar(const BarControls& bar, int timesTop);

}  // namespace qarvel::playback
