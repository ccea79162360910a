#pragma once
// The desktop's media controls as the program carries them out: each command
// runs the handler the matching button runs, given by the wiring place.
#include "platform/media_controls.h"

#include <functional>

namespace qarvel {
namespace engine {
class Player;
}

class DesktopMediaControls final : public platform::MediaControls {
public:
    struct Handlers {
        std::function<void()> play;
        std::function<void()> pause;
        std::function<void()> stop;
        std::function<void(int direction)> stepEpisode;  // 1 back, 2 forward
        std::function<bool(int direction)> canStep;
        std::function<int()> episodeIndex;  // 0-based, -1 when no series plays
        std::function<QString()> title;
        std::function<void(int volume)> volumeSet;  // after the player's volume changed
        std::function<void()> raise;
        std::function<double()> rate;              // the playback speed
        std::function<void(double rate)> setRate;  // sets it as the speed menu does
    };
    DesktopMediaControls(engine::Player& player, Handlers handlers);

    void playPause() override;
    void play() override { h_.play(); }
    void pause() override { h_.pause(); }
    void stop() override { h_.stop(); }
    void next() override { h_.stepEpisode(2); }
    void previous() override { h_.stepEpisode(1); }
    void seekTo(qint64 seconds) override;
    void setVolume(int volume) override;
    void raise() override { h_.raise(); }
    void setRate(double rate) override;

    platform::PlaybackStatus status() const override;
    platform::MediaInfo media() const override;
    qint64 positionSeconds() const override;
    int volume() const override;
    bool canGoNext() const override { return h_.canStep(2); }
    bool canGoPrevious() const override { return h_.canStep(1); }
    double rate() const override;

private:
    engine::Player& player_;
    Handlers h_;
};

}  // namespace qarvel
