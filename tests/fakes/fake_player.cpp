#include "fake_player.h"

#include <algorithm>

namespace qarvel::fakes {

using engine::PlayState;

FakePlayer::FakePlayer(QObject* parent) : Player(parent) {}

int FakePlayer::count(const QString& call) const { return int(std::count(m_calls.begin(), m_calls.end(), call)); }

void FakePlayer::setUrl(const QString& address) {
    record("setUrl " + address);
    m_url = address;
    m_position = 0;
    m_state = PlayState::Idle;
}

void FakePlayer::setMute(bool muted) {
    record(QString("setMute %1").arg(muted ? 1 : 0));
    m_mute = muted;
}

void FakePlayer::setFullScreen(bool on) {
    record(QString("setFullScreen %1").arg(on ? 1 : 0));
    if (on == m_fullScreen) return;
    m_fullScreen = on;
    emit fullScreenChanged(on);
}

void FakePlayer::setVolume(int volume) {
    record(QString("setVolume %1").arg(volume));
    m_volume = std::clamp(volume, 0, 100);
}

void FakePlayer::setPosition(int seconds) {
    record(QString("setPosition %1").arg(seconds));
    m_position = std::max(0, seconds);
}

void FakePlayer::play() {
    record("play");
    if (!m_url.isEmpty()) m_state = PlayState::Playing;
}

void FakePlayer::pause() {
    record("pause");
    if (m_state == PlayState::Playing) m_state = PlayState::Paused;
}

void FakePlayer::stop() {
    record("stop");
    if (m_url.isEmpty()) return;
    m_state = PlayState::Stopped;
    m_position = 0;
}

void FakePlayer::setDisplayMode(int mode) {
    record(QString("setDisplayMode %1").arg(mode));
    if (mode >= 0 && mode <= 4) m_displayMode = mode;
}

void FakePlayer::setSoundChannel(int mode) {
    record(QString("setSoundChannel %1").arg(mode));
    if (mode == 0 || mode == 1 || mode == 2 || mode == 4 || mode == 5) m_soundChannel = mode;
}

void FakePlayer::preloadNext(const QString& address) {
    record("preloadNext " + address);
    m_preloaded = address;
}

void FakePlayer::setAdPageUrl(const QString& address) {
    record("setAdPageUrl " + address);
    m_adPageUrl = address;
}

void FakePlayer::setSources(const QStringList& sources) {
    record("setSources " + sources.join(' '));
    m_sources = sources;
}

void FakePlayer::configurationChanged() { record("configurationChanged"); }

}  // namespace qarvel::fakes
