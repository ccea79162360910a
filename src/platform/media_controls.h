#pragma once
// What the desktop's media controls (media keys, the panel's player widget)
// may do to the player and what they are shown. The program implements it
// with the same handlers as its own buttons, so a key press and a click
// leave the records and timers alike.
#include <QString>
#include <QtGlobal>

namespace qarvel::platform {

// The speeds the player offers the desktop.
inline constexpr double kMinimumRate = 0.5;
inline constexpr double kMaximumRate = 2.0;

enum class PlaybackStatus { Stopped, Playing, Paused };

struct MediaInfo {
    QString address;  // what plays; empty when nothing is loaded
    QString title;
    int episode = 0;  // 1-based episode of a series, 0 when not an episode
    qint64 lengthSeconds = 0;
};

class MediaControls {
public:
    virtual ~MediaControls() = default;
    virtual void playPause() = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual void next() = 0;
    virtual void previous() = 0;
    virtual void seekTo(qint64 seconds) = 0;
    virtual void setVolume(int volume) = 0;  // 0..100
    virtual void raise() = 0;                // bring the window to the front
    virtual void setRate(double rate) = 0;   // playback speed, kMinimumRate..kMaximumRate

    virtual PlaybackStatus status() const = 0;
    virtual MediaInfo media() const = 0;
    virtual qint64 positionSeconds() const = 0;
    virtual int volume() const = 0;  // 0..100
    virtual bool canGoNext() const = 0;
    virtual bool canGoPrevious() const = 0;
    virtual double rate() const = 0;
};

}  // namespace qarvel::platform
