#include "fake_player.h"

#include <algorithm>

namespace qarvel::fakes {

using engine::PlayState;

FakePlayer::FakePlayer(QObject* parent) : Player(parent) {}

int FakePlayer::count(const QString& call) const { return int(std::count(calls_.begin(), calls_.end(), call)); }

void FakePlayer::setUrl(const QString& address) {
    record("setUrl " + address);
    url_ = address;
    position_ = 0;
    state_ = PlayState::Idle;
}

void FakePlayer::setMute(bool muted) {
    record(QString("setMute %1").arg(muted ? 1 : 0));
    mute_ = muted;
}

void FakePlayer::setFullScreen(bool on) {
    record(QString("setFullScreen %1").arg(on ? 1 : 0));
    if (on == fullScreen_) return;
    fullScreen_ = on;
    emit fullScreenChanged(on);
}

void FakePlayer::setVolume(int volume) {
    record(QString("setVolume %1").arg(volume));
    volume_ = std::clamp(volume, 0, 100);
}

void FakePlayer::setPosition(int seconds) {
    record(QString("setPosition %1").arg(seconds));
    position_ = std::max(0, seconds);
}

void FakePlayer::play() {
    record("play");
    if (!url_.isEmpty()) state_ = PlayState::Playing;
}

void FakePlayer::pause() {
    record("pause");
    if (state_ == PlayState::Playing) state_ = PlayState::Paused;
}

void FakePlayer::stop() {
    record("stop");
    if (url_.isEmpty()) return;
    state_ = PlayState::Stopped;
    position_ = 0;
}

void FakePlayer::setDisplayMode(int mode) {
    record(QString("setDisplayMode %1").arg(mode));
    if (mode >= 0 && mode <= 4) displayMode_ = mode;
}

void FakePlayer::setSoundChannel(int mode) {
    record(QString("setSoundChannel %1").arg(mode));
    if (mode == 0 || mode == 1 || mode == 2 || mode == 4 || mode == 5) soundChannel_ = mode;
}

void FakePlayer::preloadNext(const QString& address) {
    record("preloadNext " + address);
    preloaded_ = address;
}

void FakePlayer::setAdPageUrl(const QString& address) {
    record("setAdPageUrl " + address);
    adPageUrl_ = address;
}

void FakePlayer::setSources(const QStringList& sources) {
    record("setSources " + sources.join(' '));
    sources_ = sources;
}

void FakePlayer::configurationChanged() { record("configurationChanged"); }

}  // namespace qarvel::fakes
