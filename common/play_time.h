#pragma once
// Play time as the player bar shows it.
#include <QString>

namespace qarvel {

// Seconds as "mm:ss", or "h:mm:ss" once there is an hour. Rounded to whole
// seconds (ties to even); negative or not-a-number input counts as 0.
QString FormatPlayTime(double seconds);

}  // namespace qarvel
