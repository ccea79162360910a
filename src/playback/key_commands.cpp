#include "playback/key_commands.h"

#include "engine/player.h"
#include "playback/player_bar_mouse.h"
#include "playback/transport_commands.h"
#include "playback/view_switcher.h"
#include "state/main_window_state.h"

#include <QCoreApplication>
#include <QTimer>

namespace qarvel::playback {

KeyCommands::KeyCommands(MainWindowState& state, engine::Player& player, QTimer& statusPollTimer,
                         TransportCommands& transport, PlayerBarMouse& bars)
    : state_(state), player_(player), timer1_(statusPollTimer), transport_(transport), bars_(bars) {}

bool KeyCommands::onPlayerKey(int key) {
    if (state_.CurrentView != View::Player) return false;
    // Whatever waits to be handled (a click, a poll) goes first.
    QCoreApplication::processEvents();
    bool used = true;
    switch (key) {
    case Qt::Key_Space: transport_.pressTransportButton(TransportButton::PlayPause); break;
    case Qt::Key_Left: seekBack(); break;
    case Qt::Key_Right: seekForward(); break;
    case Qt::Key_Up: changeVolume(kVolumeStep); break;
    case Qt::Key_Down: changeVolume(-kVolumeStep); break;
    default: used = false; break;
    }
    timer1_.start();
    return used;
}

bool KeyCommands::extraKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    // Letters are text everywhere else: only bare ones, and only while the
    // player's tab shows (a page of another tab may be taking typing).
    if (state_.CurrentView != View::Player || state_.MainTab != MainTab::Player) return false;
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::ShiftModifier)) return false;
    const std::function<void()>* action = nullptr;
    switch (key) {
    case Qt::Key_X: action = &extras_.slower; break;
    case Qt::Key_C: action = &extras_.faster; break;
    case Qt::Key_Z: action = &extras_.normal; break;
    case Qt::Key_S: action = &extras_.capture; break;
    default: return false;
    }
    if (!*action) return false;
    (*action)();
    return true;
}

void KeyCommands::seekBack() {
    // The poll stays off meanwhile, or it would put the knob back.
    timer1_.stop();
    if (player_.position() < 1) return;
    player_.setPosition(player_.position() - kSeekStepSeconds);
    if (player_.position() < 0) player_.setPosition(0);
    bars_.showSeek(player_.position());
}

void KeyCommands::seekForward() {
    timer1_.stop();
    if (player_.position() < 1) return;
    player_.setPosition(player_.position() + kSeekStepSeconds);
    QCoreApplication::processEvents();
    bars_.afterSeekGuard();
    bars_.showSeek(player_.position() + kSeekStepSeconds);
}

void KeyCommands::changeVolume(int step) {
    if (player_.mute()) transport_.pressTransportButton(TransportButton::Mute);
    player_.setVolume(player_.volume() + step);
    bars_.showVolume();
}

}  // namespace qarvel::playback
