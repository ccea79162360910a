#include "app/desktop_media_controls.h"

#include "engine/player.h"

namespace qarvel {

using engine::PlayState;
using platform::PlaybackStatus;

DesktopMediaControls::DesktopMediaControls(engine::Player& player, Handlers handlers)
    : player_(player), h_(std::move(handlers)) {}

void DesktopMediaControls::playPause() {
    if (status() == PlaybackStatus::Playing) pause();
    else play();
}

void DesktopMediaControls::seekTo(qint64 seconds) { player_.setPosition(int(seconds)); }

void DesktopMediaControls::setVolume(int volume) {
    player_.setVolume(volume);
    if (h_.volumeSet) h_.volumeSet(volume);
}

PlaybackStatus DesktopMediaControls::status() const {
    if (player_.url().isEmpty()) return PlaybackStatus::Stopped;
    switch (player_.playState()) {
    case PlayState::Paused: return PlaybackStatus::Paused;
    case PlayState::Idle:
    case PlayState::Stopped:
    case PlayState::PlayEnded:
    case PlayState::Stopping: return PlaybackStatus::Stopped;
    default: return PlaybackStatus::Playing;  // playing, or on its way to it
    }
}

platform::MediaInfo DesktopMediaControls::media() const {
    platform::MediaInfo info;
    info.address = player_.url();
    if (info.address.isEmpty()) return info;
    info.title = h_.title();
    info.episode = h_.episodeIndex() + 1;
    info.lengthSeconds = player_.duration();
    return info;
}

qint64 DesktopMediaControls::positionSeconds() const { return player_.url().isEmpty() ? 0 : player_.position(); }

int DesktopMediaControls::volume() const { return player_.volume(); }

void DesktopMediaControls::setRate(double rate) {
    if (h_.setRate) h_.setRate(rate);
}

double DesktopMediaControls::rate() const { return h_.rate ? h_.rate() : player_.speed(); }

}  // namespace qarvel
