#include "playback/view_switcher.h"

#include "state/main_window_state.h"
#include "playback/stop_command.h"

#include <QWidget>

namespace qarvel::playback {

ViewSwitcher::ViewSwitcher(MainWindowState& state, StopCommand& stop, QWidget* webPlayerFrame, QWidget* playerArea,
                           std::function<void()> closeWebPlayer, std::function<void()> closeLiveTv)
    : state_(state),
      stop_(stop),
      webPlayerFrame_(webPlayerFrame),
      playerArea_(playerArea),
      closeWebPlayer_(std::move(closeWebPlayer)),
      closeLiveTv_(std::move(closeLiveTv)) {}

void ViewSwitcher::showView(View view) {
    // Also when the player view is chosen again: the film that played keeps
    // its position before the next one starts.
    if (state_.CurrentView == View::Player) stop_.stop();
    if (view != View::WebPlayer && state_.CurrentView == View::WebPlayer && closeWebPlayer_) closeWebPlayer_();
    if (view != View::LiveTv && state_.CurrentView == View::LiveTv && closeLiveTv_) closeLiveTv_();
    state_.CurrentView = view;
    const bool webPlayer = view == View::WebPlayer;
    if (webPlayerFrame_) webPlayerFrame_->setVisible(webPlayer);
    if (playerArea_) playerArea_->setVisible(!webPlayer);
}

}  // namespace qarvel::playback
