#include "common/play_time.h"

#include <algorithm>
#include <cmath>

namespace qarvel {

QString FormatPlayTime(double seconds) {
    // Beyond this the text would be nonsense anyway; it keeps the cast defined.
    constexpr double kLongest = 1e12;
    if (!(seconds > 0)) seconds = 0;
    const qint64 s = qint64(std::nearbyint(std::min(seconds, kLongest)));
    const qint64 h = s / 3600;
    const qint64 m = (s % 3600) / 60;
    const qint64 sec = s % 60;
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2").arg(m, 2, 10, QLatin1Char('0')).arg(sec, 2, 10, QLatin1Char('0'));
    return h == 0 ? minutesAndSeconds : QString::number(h) + u':' + minutesAndSeconds;
}

}  // namespace qarvel
