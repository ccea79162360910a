#include "playback/stop_command.h"

#include "state/main_window_state.h"
#include "engine/player.h"
#include "playback/bar_labels.h"
#include "playback/film_position.h"
#include "playback/play_session.h"
#include "records/record_store.h"

#include <QLabel>
#include <QTimer>

namespace qarvel::playback {

StopCommand::StopCommand(MainWindowState& state, PlaySession& session, engine::Player& player,
                         records::RecordStore& records, QTimer& statusPollTimer, StopControls controls,
                         std::function<void()> paintStopped)
    : state_(state),
      session_(session),
      player_(player),
      records_(records),
      timer1_(statusPollTimer),
      c_(controls),
      paintStopped_(std::move(paintStopped)) {}

namespace {
void setShown(QWidget* w, bool shown) {
    if (w) w->setVisible(shown);
}
}  // namespace

void StopCommand::stop() {
    if (state_.CurrentView != View::Player) return;
    // Only the stop panel waits for its page; the picture goes either way.
    if (state_.StopAdState == 2) setShown(c_.stopAdFrame, true);
    setShown(c_.pauseAdFrame, false);
    setShown(c_.adArea, true);
    setShown(c_.videoFrame, false);
    storeFilmPosition(session_, records_, session_.positionReached());
    timer1_.stop();
    session_.stopped();
    clearPlayerBar({c_.seekKnob, c_.playedBar, c_.downloadedBar, c_.filmTitle, c_.timeText, c_.playerArea}, 3);
    player_.stop();
    if (c_.playButton) c_.playButton->setToolTip(kPlayTip);
    setBarText(c_.statusText, kStoppedText);
    if (paintStopped_) paintStopped_();
}

}  // namespace qarvel::playback
