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

int PlayerBarMouse::seekSpan() const {
    return c_.seekBar && c_.seekKnob ? c_.seekBar->width() - c_.seekKnob->width() : 0;
}

int PlayerBarMouse::volumeSpan() const {
    return c_.volumeTrack && c_.volumeKnob ? c_.volumeTrack->width() - c_.volumeKnob->width() : 0;
}

void PlayerBarMouse::moveSeekKnob(int left) {
    seekLeft_ = left;
    if (c_.seekKnob) c_.seekKnob->move(left, c_.seekKnob->y());
    if (c_.playedBar) c_.playedBar->resize(qMax(left, 0), c_.playedBar->height());
}

void PlayerBarMouse::seekTo(int left, int where) {
    player_.setPosition(positionForKnob(left, seekSpan(), player_.duration(), SeekRelease(where)));
    afterSeekGuard();
}

void PlayerBarMouse::afterSeekGuard() {
    const int duration = player_.duration();
    if (duration < player_.position()) player_.setPosition(duration - 2);
}

void PlayerBarMouse::seekBarMouseDown(int button, QPoint pos) {
    if (button != Qt::LeftButton || player_.url().isEmpty()) return;
    moveSeekKnob(pos.x());
}

void PlayerBarMouse::seekBarMouseUp() {
    if (player_.url().isEmpty()) return;
    seekTo(seekLeft_, int(SeekRelease::Track));
}

void PlayerBarMouse::seekKnobMouseMove(int buttons, QPoint pos) {
    if (!(buttons & Qt::LeftButton) || player_.url().isEmpty()) return;
    const int from = c_.seekKnob ? c_.seekKnob->x() : seekLeft_;
    moveSeekKnob(clampKnob(from + pos.x(), seekSpan()));
}

void PlayerBarMouse::seekKnobMouseUp() { seekTo(c_.seekKnob ? c_.seekKnob->x() : seekLeft_, int(SeekRelease::Knob)); }

void PlayerBarMouse::playedBarMouseDown(int button, QPoint pos) {
    if (button != Qt::LeftButton) return;
    moveSeekKnob(pos.x());
}

void PlayerBarMouse::playedBarMouseUp() { seekTo(seekLeft_, int(SeekRelease::PlayedPart)); }

void PlayerBarMouse::unmute() {
    if (player_.mute()) transport_.pressTransportButton(TransportButton::Mute);
}

void PlayerBarMouse::setVolumeKnob(int left) {
    if (c_.volumeFill) c_.volumeFill->resize(left, c_.volumeFill->height());
    if (c_.volumeKnob) c_.volumeKnob->move(left, c_.volumeKnob->y());
    player_.setVolume(volumeForKnob(left, volumeSpan()));
    setBarText(c_.statusText, kVolumePrefix + QString::number(player_.volume()) + u'%');
}

void PlayerBarMouse::volumeTrackMouseDown(int button, QPoint pos) {
    if (button != Qt::LeftButton) return;
    unmute();
    setVolumeKnob(volumeKnobForTrackPress(pos.x(), volumeSpan()));
}

void PlayerBarMouse::volumeFillMouseDown(int button, QPoint pos) {
    if (button != Qt::LeftButton) return;
    unmute();
    setVolumeKnob(volumeKnobForTrackPress(pos.x(), volumeSpan()));
}

void PlayerBarMouse::volumeKnobMouseMove(int buttons, QPoint pos) {
    if (!(buttons & Qt::LeftButton)) return;
    unmute();
    const int from = c_.volumeKnob ? c_.volumeKnob->x() : 0;
    setVolumeKnob(clampKnob(from + pos.x(), volumeSpan()));
}

void PlayerBarMouse::idlePictureMouseDown(int button) {
    if (button == Qt::LeftButton) transport_.pressTransportButton(TransportButton::PlayPause);
    else if (button == Qt::RightButton && !player_.url().isEmpty() && popupPlayerMenu_) popupPlayerMenu_();
}

void PlayerBarMouse::videoMouseDown(int button) {
    if (button == Qt::RightButton && popupPlayerMenu_) popupPlayerMenu_();
}

void PlayerBarMouse::videoMouseMove() {
    if (c_.mainWindow) c_.mainWindow->unsetCursor();
}

void PlayerBarMouse::videoDoubleClick() { transport_.pressTransportButton(TransportButton::FullScreen); }

void PlayerBarMouse::adAreaMouseDown(int button) {
    if (button == Qt::RightButton && !player_.url().isEmpty() && popupPlayerMenu_) popupPlayerMenu_();
}

void PlayerBarMouse::adAreaMouseMove() {
    if (c_.mainWindow) c_.mainWindow->unsetCursor();
    if (c_.jbiAtRest) c_.jbiAtRest();
}

void PlayerBarMouse::showSeek(double knobPosition) {
    const int duration = player_.duration();
    moveSeekKnob(knobForPosition(knobPosition, duration, seekSpan()));
    setBarText(c_.timeText, FormatPlayTime(player_.position()) + QStringLiteral(" / ") + FormatPlayTime(duration));
}

void PlayerBarMouse::showVolume() {
    const int volume = player_.volume();
    setBarText(c_.statusText, kVolumePrefix + QString::number(volume) + u'%');
    const int left = knobForVolume(volume, volumeSpan());
    if (c_.volumeKnob) c_.volumeKnob->move(left, c_.volumeKnob->y());
    if (c_.volumeFill) c_.volumeFill->resize(left, c_.volumeFill->height());
}

}  // namespace qarvel::playback
