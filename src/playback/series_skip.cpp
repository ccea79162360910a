#include "playback/series_skip.h"

namespace qarvel::playback {

namespace {

// Playing moves the position by about a second per tick, a late tick by a
// few; a longer step is a seek.
constexpr int kLongestPlayStep = 5;

}  // namespace

SeriesSkip::SeriesSkip(SeriesMarks& marks, SeriesSkipHooks hooks) : marks_(marks), hooks_(std::move(hooks)) {}

bool SeriesSkip::canMark() const { return hooks_.series() > 0; }

bool SeriesSkip::markOpeningEnd() { return mark(true); }
bool SeriesSkip::markEndingStart() { return mark(false); }

bool SeriesSkip::mark(bool openingEnd) {
    const int series = hooks_.series();
    if (series <= 0) return false;
    const int at = hooks_.position();
    // The episode that plays is left as it is: marked in its opening, the
    // rest of it is not skipped; marked at its ending, the viewer watches it.
    if (openingEnd) {
        openingDue_ = false;
        marks_.setOpeningEnd(series, at);
    } else {
        endingDone_ = true;
        marks_.setEndingStart(series, at);
    }
    return true;
}

void SeriesSkip::filmStarted() {
    openingDue_ = true;
    endingDone_ = false;
    lastPosition_ = -1;
}

void SeriesSkip::tick() {
    const int now = hooks_.position();
    const int last = lastPosition_;
    lastPosition_ = now;
    const int series = hooks_.series();
    if (!enabled_ || series <= 0 || !hooks_.playing()) return;
    const SeriesMark mark = marks_.mark(series);
    if (openingDue_) {
        openingDue_ = false;
        if (mark.openingEnd > now && now <= kStartSlack && !hooks_.resumed()) {
            hooks_.seek(mark.openingEnd);
            lastPosition_ = mark.openingEnd;
            return;
        }
    }
    const bool playedIntoEnding = mark.endingStart > 0 && last >= 0 && last < mark.endingStart &&
                                  now >= mark.endingStart && now - last <= kLongestPlayStep;
    if (playedIntoEnding && !endingDone_) {
        endingDone_ = true;
        hooks_.playNextEpisode();
    }
}

}  // namespace qarvel::playback
