#include "playback/view_switcher.h"

#include "state/main_window_state.h"
#include "playback/stop_command.h"

#include <QWidget>

namespace qarvel::playback {

ViewSwitcher::ViewSwitcher(MainWindowState& state, StopCommand& stop, QWidget* Pic2, QWidget* qvod,
                           std::function<void()> ggx_Click, std::function<void()> gtv_Click)
    : state_(state),
      stop_(stop),
      Pic2_(Pic2),
      qvod_(qvod),
      ggx_Click_(std::move(ggx_Click)),
      gtv_Click_(std::move(gtv_Click)) {}

void ViewSwitcher::SwitchView(View view) {
    // Also when the player view is chosen again: the film that played keeps
    // its position before the next one starts.
    if (state_.CurrentView == View::Player) stop_.stop();
    if (view != View::WebPlayer && state_.CurrentView == View::WebPlayer && ggx_Click_) ggx_Click_();
    if (view != View::LiveTv && state_.CurrentView == View::LiveTv && gtv_Click_) gtv_Click_();
    state_.CurrentView = view;
    const bool webPlayer = view == View::WebPlayer;
    if (Pic2_) Pic2_->setVisible(webPlayer);
    if (qvod_) qvod_->setVisible(!webPlayer);
}

}  // namespace qarvel::playback
