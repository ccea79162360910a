#pragma once
// For runs nobody watches (CI, a machine without a display): save a picture
// of the window after a while and leave after a set time.
#include <QString>
#include <functional>

namespace qarvel {

// Calls save(path) after shotAfterMs (when path is not empty) and quits the
// application after quitAfterMs (when above 0).
void scheduleUnattendedRun(std::function<bool(const QString&)> save, const QString& path, int shotAfterMs,
                           int quitAfterMs);

}  // namespace qarvel
