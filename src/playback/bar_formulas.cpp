#include "playback/bar_formulas.h"

#include <algorithm>
#include <cmath>

namespace qarvel::playback {

namespace {
// Nearest integer, halves to even: the default rounding mode of the FPU.
int roundHalfEven(double value) { return int(std::nearbyint(value)); }
}  // namespace

int knobForPosition(double position, int duration, int span) {
    if (duration <= 0 || span <= 0) return 0;
    return int(std::lround(position / duration * span));
}

int positionForKnob(int left, int span, int duration, SeekRelease where) {
    if (span <= 0) return 0;
    double seconds = double(left) / span * duration;
    const bool earlier = where == SeekRelease::PlayedPart || (where == SeekRelease::Knob && left > 2);
    if (earlier) seconds -= 2;
    return roundHalfEven(seconds);
}

int volumeForKnob(int left, int span) {
    if (span <= 0) return 0;
    return int(double(left) / span * 100);  // truncates toward zero
}

int knobForVolume(int volume, int span) { return int(std::lround(double(span) * volume / 100)); }

int volumeKnobForTrackPress(int x, int span) { return x > span ? span : x; }

int clampKnob(int left, int span) { return std::clamp(left, 0, std::max(span, 0)); }

}  // namespace qarvel::playback
