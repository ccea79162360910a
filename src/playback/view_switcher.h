#pragma once
// What the player area shows (View): the web player page (Web2 in Pic2), the
// player, or live TV. Leaving the player view stops the film first, so its
// position reaches its record; leaving the web player or live TV resets them.
#include "state/window_ids.h"

#include <functional>

class QWidget;

namespace qarvel {
struct MainWindowState;
}

namespace qarvel::playback {

class StopCommand;

class ViewSwitcher {
public:
    // ggx_Click closes the web player view, gtv_Click the live-TV view (the
    // pane handlers); either may be empty. Pic2 and qvod may be null.
    ViewSwitcher(MainWindowState& state, StopCommand& stop, QWidget* webPlayerFrame, QWidget* playerArea,
                 std::function<void()> closeWebPlayer, std::function<void()> closeLiveTv);

    void showView(View view);

private:
    MainWindowState& state_;
    StopCommand& stop_;
    QWidget* webPlayerFrame_;
    QWidget* playerArea_;
    std::function<void()> closeWebPlayer_;
    std::function<void()> closeLiveTv_;
};

}  // namespace qarvel::playback
