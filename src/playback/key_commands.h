#pragma once
// The keyboard in the player view: space plays or pauses, left and right seek
// ten seconds, up and down change the volume by ten; X, C and Z play slower,
// faster and at normal speed, S captures the frame. The window hands every
// key press to Form_KeyDown before the control with the focus sees it.
#include <Qt>
#include <functional>

class QTimer;

namespace qarvel {
struct MainWindowState;
namespace engine {
class Player;
}
}  // namespace qarvel

namespace qarvel::playback {

class PlayerBarMouse;
class TransportCommands;

inline constexpr int kSeekStepSeconds = 10;
inline constexpr int kVolumeStep = 10;

// What the speed and capture keys do; an unset one leaves its key alone.
struct KeyExtras {
    std::function<void()> slower;   // X
    std::function<void()> faster;   // C
    std::function<void()> normal;   // Z
    std::function<void()> capture;  // S
};

class KeyCommands {
public:
    KeyCommands(MainWindowState& state, engine::Player& player, QTimer& statusPollTimer, TransportCommands& transport,
                PlayerBarMouse& bars);

    // key: a Qt::Key. True when the key was one of the player's and the
    // player view is shown: the key is then used up.
    bool onPlayerKey(int key);

    // The speed and capture keys, bare, while the player's tab shows; true
    // when the key was used up.
    bool extraKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void setExtras(KeyExtras extras) { extras_ = std::move(extras); }

private:
    void seekBack();
    void seekForward();
    void changeVolume(int step);

    MainWindowState& state_;
    engine::Player& player_;
    QTimer& timer1_;
    TransportCommands& transport_;
    PlayerBarMouse& bars_;
    KeyExtras extras_;
};

}  // namespace qarvel::playback
