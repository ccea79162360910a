#pragma once
// The labels and the seek bar of the player bar: the title `bo_name`,
// centred in its strip `bo_zt`, the status text `zhun` and the time `times`.
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
void showTitle(QLabel* bo_name, QWidget* bo_zt, const QString& text);

// Empties the seek bar (knob at 0, played and downloaded parts of width 0),
// the title and the time, and puts `times` at the right of the player area
// (left = width of qvod - its width - 13) at timesTop. Null controls are skipped.
struct BarControls {
    QWidget* gunt1 = nullptr;
    QWidget* gunt2 = nullptr;
    QWidget* huan = nullptr;
    QLabel* bo_name = nullptr;
    QLabel* times = nullptr;
    QWidget* qvod = nullptr;
};
void clearPlayerBar(const BarControls& bar, int timesTop);

}  // namespace qarvel::playback
