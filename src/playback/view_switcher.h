#pragma once
// What the player area shows: 1 the web player page (Web2 in Pic2), 2 the
// player, 3 live TV. Leaving the player view stops the film first, so its
// position reaches its record; leaving the web player or live TV resets them.
#include <functional>

class QWidget;

namespace qarvel {
struct MainWindowState;
}

namespace qarvel::playback {

class StopCommand;

inline constexpr int kWebPlayerView = 1;
inline constexpr int kPlayerView = 2;
inline constexpr int kLiveTvView = 3;

class ViewSwitcher {
public:
    // ggx_Click closes the web player view, gtv_Click the live-TV view (the
    // pane handlers); either may be empty. Pic2 and qvod may be null.
    ViewSwitcher(MainWindowState& state, StopCommand& stop, QWidget* Pic2, QWidget* qvod,
                 std::function<void()> ggx_Click, std::function<void()> gtv_Click);

    void SwitchView(int view);

private:
    MainWindowState& state_;
    StopCommand& stop_;
    QWidget* Pic2_;
    QWidget* qvod_;
    std::function<void()> ggx_Click_;
    std::function<void()> gtv_Click_;
};

}  // namespace qarvel::playback
