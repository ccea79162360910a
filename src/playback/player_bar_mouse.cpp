#include "playback/player_bar_mouse.h"

#include "common/play_time.h"
#include "engine/player.h"
#include "playback/bar_formulas.h"
#include "playback/bar_labels.h"
#include "playback/transport_commands.h"
#include "state/main_window_state.h"

#include <QLabel>
#include <QWidget>

namespace qarvel::playback {

PlayerBarMouse::PlayerBarMouse(MainWindowState& state, PlayerBarControls controls, engine::Player& player,
                               TransportCommands& transport, std::function<void()> popupPlayerMenu)
    : state_(state),
      c_(controls),
      player_(player),
      transport_(transport),
      popupPlayerMenu_(std::move(popupPlayerMenu)) {}

int PlayerBarMouse::seekSpan() const { return c_.gunt && c_.gunt1 ? c_.gunt->width() - c_.gunt1->width() : 0; }

int PlayerBarMouse::volumeSpan() const { return c_.yin && c_.bo_v ? c_.yin->width() - c_.bo_v->width() : 0; }

void PlayerBarMouse::moveSeekKnob(int left) {
    seekLeft_ = left;
    if (c_.gunt1) c_.gunt1->move(left, c_.gunt1->y());
    if (c_.gunt2) c_.gunt2->resize(qMax(left, 0), c_.gunt2->height());
}

void PlayerBarMouse::seekTo(int left, int where) {
    player_.setPosition(positionForKnob(left, seekSpan(), player_.duration(), SeekRelease(where)));
    afterSeekGuard();
}

void PlayerBarMouse::afterSeekGuard() {
    const int duration = player_.duration();
    if (duration < player_.position()) player_.setPosition(duration - 2);
}

void PlayerBarMouse::gunt_MouseDown(int button, QPoint pos) {
    if (button != Qt::LeftButton || player_.url().isEmpty()) return;
    moveSeekKnob(pos.x());
}

void PlayerBarMouse::gunt_MouseUp() {
    if (player_.url().isEmpty()) return;
    seekTo(seekLeft_, int(SeekRelease::Track));
}

void PlayerBarMouse::gunt1_MouseMove(int buttons, QPoint pos) {
    if (!(buttons & Qt::LeftButton) || player_.url().isEmpty()) return;
    const int from = c_.gunt1 ? c_.gunt1->x() : seekLeft_;
    moveSeekKnob(clampKnob(from + pos.x(), seekSpan()));
}

void PlayerBarMouse::gunt1_MouseUp() { seekTo(c_.gunt1 ? c_.gunt1->x() : seekLeft_, int(SeekRelease::Knob)); }

void PlayerBarMouse::playedPart_MouseDown(int button, QPoint pos) {
    if (button != Qt::LeftButton) return;
    moveSeekKnob(pos.x());
}

void PlayerBarMouse::playedPart_MouseUp() { seekTo(seekLeft_, int(SeekRelease::PlayedPart)); }

void PlayerBarMouse::unmute() {
    if (player_.mute()) transport_.bo_but_Click(TransportButton::Mute);
}

void PlayerBarMouse::setVolumeKnob(int left) {
    if (c_.bo_y) c_.bo_y->resize(left, c_.bo_y->height());
    if (c_.bo_v) c_.bo_v->move(left, c_.bo_v->y());
    player_.setVolume(volumeForKnob(left, volumeSpan()));
    setBarText(c_.zhun, kVolumePrefix + QString::number(player_.volume()) + u'%');
}

void PlayerBarMouse::yin_MouseDown(int button, QPoint pos) {
    if (button != Qt::LeftButton) return;
    unmute();
    setVolumeKnob(volumeKnobForTrackPress(pos.x(), volumeSpan()));
}

void PlayerBarMouse::bo_y_MouseDown(int button, QPoint pos) {
    if (button != Qt::LeftButton) return;
    unmute();
    setVolumeKnob(volumeKnobForTrackPress(pos.x(), volumeSpan()));
}

void PlayerBarMouse::bo_v_MouseMove(int buttons, QPoint pos) {
    if (!(buttons & Qt::LeftButton)) return;
    unmute();
    const int from = c_.bo_v ? c_.bo_v->x() : 0;
    setVolumeKnob(clampKnob(from + pos.x(), volumeSpan()));
}

void PlayerBarMouse::adp_MouseDown(int button) {
    if (button == Qt::LeftButton) transport_.bo_but_Click(TransportButton::PlayPause);
    else if (button == Qt::RightButton && !player_.url().isEmpty() && popupPlayerMenu_) popupPlayerMenu_();
}

void PlayerBarMouse::picture_MouseDown(int button) {
    if (button == Qt::RightButton && popupPlayerMenu_) popupPlayerMenu_();
}

void PlayerBarMouse::picture_MouseMove() {
    if (c_.BA1) c_.BA1->unsetCursor();
}

void PlayerBarMouse::picture_DblClick() { transport_.bo_but_Click(TransportButton::FullScreen); }

void PlayerBarMouse::bo_ad_MouseDown(int button) {
    if (button == Qt::RightButton && !player_.url().isEmpty() && popupPlayerMenu_) popupPlayerMenu_();
}

void PlayerBarMouse::bo_ad_MouseMove() {
    if (c_.BA1) c_.BA1->unsetCursor();
    if (c_.jbiAtRest) c_.jbiAtRest();
}

void PlayerBarMouse::showSeek(double knobPosition) {
    const int duration = player_.duration();
    moveSeekKnob(knobForPosition(knobPosition, duration, seekSpan()));
    setBarText(c_.times, FormatPlayTime(player_.position()) + QStringLiteral(" / ") + FormatPlayTime(duration));
}

void PlayerBarMouse::showVolume() {
    const int volume = player_.volume();
    setBarText(c_.zhun, kVolumePrefix + QString::number(volume) + u'%');
    const int left = knobForVolume(volume, volumeSpan());
    if (c_.bo_v) c_.bo_v->move(left, c_.bo_v->y());
    if (c_.bo_y) c_.bo_y->resize(left, c_.bo_y->height());
}

}  // namespace qarvel::playback
