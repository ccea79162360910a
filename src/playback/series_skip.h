#pragma once
// Skipping the opening and the ending of a series. The viewer marks, while an
// episode plays, where the opening ends and where the ending starts; later
// episodes of the same series then start after the opening and go on to the
// next episode where the ending starts. A film resumed at a stored position
// stays there: resume wins over the opening. Seeking into the ending on
// purpose lets it play; only playing into it goes on.
//
// Knows the player and the window only through its hooks.
#include "playback/series_marks.h"

#include <QString>
#include <functional>

namespace qarvel::playback {

struct SeriesSkipHooks {
    std::function<int()> series;       // film id of the episode that plays; 0: no episode of a series
    std::function<int()> position;     // seconds played
    std::function<bool()> playing;     // the film plays (not loading, paused or ended)
    std::function<bool()> resumed;     // the film was taken to a stored position
    std::function<void(int seconds)> seek;
    std::function<void()> playNextEpisode;  // goes on as at the film's end
};

// What the balloon says after a mark was set, before the position.
inline const QString kOpeningMarkedPrefix = QStringLiteral("片头结束已设为 ");
inline const QString kEndingMarkedPrefix = QStringLiteral("片尾开始已设为 ");

// A film counts as starting from its beginning up to here (seconds): the
// first poll that sees it playing may come a moment late.
inline constexpr int kStartSlack = 5;

class SeriesSkip {
public:
    SeriesSkip(SeriesMarks& marks, SeriesSkipHooks hooks);

    bool enabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }

    // Whether an episode of a series plays, so that a mark can be set.
    bool canMark() const;
    // Take the current position as the series' opening end or ending start;
    // the episode that plays is left as it is. False when no series plays.
    bool markOpeningEnd();
    bool markEndingStart();

    // A new film began to show.
    void filmStarted();
    // Once a second, after the status poll.
    void tick();

private:
    bool mark(bool openingEnd);

    SeriesMarks& marks_;
    SeriesSkipHooks hooks_;
    bool enabled_ = true;
    bool openingDue_ = false;  // the film's opening is still to be looked at
    bool endingDone_ = false;  // the film already went on at its ending
    int lastPosition_ = -1;    // position at the last tick, -1 before the first
};

}  // namespace qarvel::playback
