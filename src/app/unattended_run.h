#pragma once
// For runs nobody watches (CI, a machine without a display): save a picture
// of a window after a while and leave after a set time.
#include <QString>

class QWidget;

namespace qarvel {

// Saves a PNG of the widget after shotAfterMs (when path is not empty) and
// quits the application after quitAfterMs (when above 0).
void scheduleUnattendedRun(QWidget* window, const QString& path, int shotAfterMs, int quitAfterMs);

}  // namespace qarvel
