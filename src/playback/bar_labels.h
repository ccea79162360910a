#pragma once
// The labels of the player bar: the title `bo_name`, centred in its strip
// `bo_zt`, the status text `zhun` and the time `times`.
#include <QString>

class QLabel;
class QWidget;

namespace qarvel::playback {

// Width of the film title in the label, in display units.
inline constexpr int kTitleWidth = 30;

// Sets the text of one of the bar's labels, which are sized to their text.
// A null label is skipped.
void setBarText(QLabel* label, const QString& text);

// Shows text in bo_name, sized to it, at left (width of bo_zt - its width) / 2
// and top 3. A null control is skipped.
void showTitle(QLabel* bo_name, QWidget* bo_zt, const QString& text);

}  // namespace qarvel::playback
