#include "playback/transport_commands.h"

#include "common/display_width.h"
#include "engine/player.h"
#include "playback/bar_labels.h"
#include "playback/play_session.h"
#include "playback/status_poll.h"
#include "playback/stop_command.h"
#include "playback/view_switcher.h"
#include "records/record_store.h"
#include "records/record_write_check.h"
#include "state/main_window_state.h"
#include "state/skin_sprites.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace qarvel::playback {

namespace {

const QString kCancelOnTop = QStringLiteral("取消置顶");

void setShown(QWidget* w, bool shown) {
    if (w) w->setVisible(shown);
}

}  // namespace

TransportFace transportFace(int index, bool hover, const QString& tip) {
    if (index < 0 || index >= kTransportButtonCount) return {};
    const bool other = (index == TransportButton::PlayPause && tip == kPauseTip) ||
                       (index == TransportButton::Mute && tip == kUnmuteTip);
    const SkinPiece p = sprites::transportButton(index, hover, other);
    return {p.slot, p.x, p.width, p.height};
}

TransportCommands::TransportCommands(MainWindowState& state, PlaySession& session, TransportControls controls,
                                     TransportServices services)
    : state_(state), session_(session), c_(controls), s_(std::move(services)) {}

void TransportCommands::pressTransportButton(int index) {
    hideBalloon();
    if (state_.RightButtonFlag == 1) {
        state_.RightButtonFlag = 0;
        return;
    }
    switch (index) {
    case TransportButton::PlayPause: playPause(); break;
    case TransportButton::Stop: stop(); break;
    case TransportButton::Mute: toggleMute(); break;
    case TransportButton::FullScreen: fullScreen(); break;
    case TransportButton::OpenFile: openFile(); break;
    case TransportButton::PreviousEpisode: previousEpisode(); break;
    case TransportButton::Sidebar: toggleSidebar(); break;
    case TransportButton::NextEpisode: nextEpisode(); break;
    default: break;
    }
}

void TransportCommands::transportButtonMouseDown(int, int button) {
    state_.RightButtonFlag = button != Qt::LeftButton ? 1 : 0;
}

void TransportCommands::transportButtonMouseMove(int index, QPoint pos) {
    if (index < 0 || index >= kTransportButtonCount || !c_.transportButtons[index]) return;
    QWidget* b = c_.transportButtons[index];
    if (c_.mainWindow) c_.mainWindow->unsetCursor();
    const bool inside = pos.x() >= 0 && pos.y() >= 0 && pos.x() <= b->width() && pos.y() <= b->height();
    paint(index, inside);
    if (inside) {
        if (state_.MainTab == MainTab::Player) showBalloon(index);
    } else {
        hideBalloon();
    }
}

void TransportCommands::playPause() {
    if (state_.CurrentView != View::Player) return;
    if (!s_.statusPollTimer.isActive()) s_.statusPollTimer.start();
    if (tip(TransportButton::PlayPause) == kPauseTip) {
        if (state_.PauseAdState == 2) {
            setShown(c_.pauseAdFrame, true);
            setShown(c_.stopAdFrame, false);
        }
        setShown(c_.adArea, true);
        setShown(c_.videoFrame, false);
        s_.player.pause();
        setBarText(c_.statusText, kPausedText);
        setTip(TransportButton::PlayPause, kPlayTip);
        paint(TransportButton::PlayPause, false);
    } else {
        session_.setResumeDone(false);
        s_.player.play();
        setTip(TransportButton::PlayPause, kPauseTip);
        paint(TransportButton::PlayPause, false);
        if (state_.MainTab != MainTab::Player && s_.pressWindowButton) s_.pressWindowButton(WindowButton::PlayerTab);
        setShown(c_.adArea, false);
        setShown(c_.videoFrame, true);
    }
}

void TransportCommands::stop() { s_.stop.stop(); }

void TransportCommands::toggleMute() {
    const bool muting = tip(TransportButton::Mute) == kMuteTip;
    const QString next = muting ? kUnmuteTip : kMuteTip;
    setTip(TransportButton::Mute, next);
    if (s_.setMuteCaption) s_.setMuteCaption(next);
    s_.player.setMute(muting);
    paint(TransportButton::Mute, false);
}

void TransportCommands::fullScreen() {
    if (s_.player.playState() != engine::PlayState::Playing) return;
    if (c_.onTopButton && c_.onTopButton->toolTip() == kCancelOnTop && s_.pressWindowButton)
        s_.pressWindowButton(WindowButton::AlwaysOnTop);
    if (s_.pressWindowButton) s_.pressWindowButton(WindowButton::PlayerTab);
    s_.player.setFullScreen(true);
    paint(TransportButton::FullScreen, false);
}

void TransportCommands::openFile() {
    paint(TransportButton::OpenFile, false);
    hideBalloon();
    const QString path = s_.chooseFile ? s_.chooseFile(kOpenFileTitle, kOpenFileFilter) : QString();
    if (path.isEmpty()) return;
    s_.views.showView(View::Player);
    s_.player.setUrl(path);
    s_.player.play();
    s_.statusPollTimer.start();
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString name = cut < 0 ? QString() : path.mid(cut + 1);
    showTitle(c_.filmTitle, c_.statusStrip, CutToWidth(name, kTitleWidth));
    (void)records::recordWriteFailed(s_.records.AddLocalRecord(name, path, 0), "adding the opened file");
    session_.recordLocalFile(path);
    if (s_.pressWindowButton) {
        s_.pressWindowButton(WindowButton::LocalListTab);
        s_.pressWindowButton(WindowButton::PlayerTab);
    }
}

void TransportCommands::previousEpisode() {
    QWidget* b = c_.transportButtons[TransportButton::PreviousEpisode];
    if (b) b->setEnabled(false);
    if (s_.StepEpisode) s_.StepEpisode(1);
    if (b) b->setEnabled(true);
    paint(TransportButton::PreviousEpisode, false);
}

void TransportCommands::toggleSidebar() {
    if (!s_.pressWindowButton) return;
    if (state_.MainTab == MainTab::Player) s_.pressWindowButton(WindowButton::PlayerSidebarStrip);
    else if (state_.MainTab == MainTab::LiveTv) s_.pressWindowButton(WindowButton::TvSidebarStrip);
}

void TransportCommands::nextEpisode() {
    QWidget* b = c_.transportButtons[TransportButton::NextEpisode];
    if (b) b->setEnabled(false);
    if (s_.StepEpisode) s_.StepEpisode(2);
    if (b) b->setEnabled(true);
    paint(TransportButton::NextEpisode, false);
}

void TransportCommands::paint(int index, bool hover) {
    if (s_.paintFace) s_.paintFace(index, transportFace(index, hover, tip(index)));
}

void TransportCommands::setTip(int index, const QString& tip) {
    if (c_.transportButtons[index]) c_.transportButtons[index]->setToolTip(tip);
}

QString TransportCommands::tip(int index) const {
    return c_.transportButtons[index] ? c_.transportButtons[index]->toolTip() : QString();
}

void TransportCommands::hideBalloon() { setShown(c_.buttonBalloon, false); }

void TransportCommands::showBalloon(int index) {
    QWidget* b = c_.transportButtons[index];
    if (!c_.buttonBalloon || !c_.balloonText || !c_.mainWindow) return;
    setBarText(c_.balloonText, tip(index));
    c_.balloonText->move(3, 3);
    const int left = b->mapTo(c_.mainWindow, QPoint(0, 0)).x();
    const QSize size(c_.balloonText->width() + 6, c_.balloonText->height() + 6);
    c_.buttonBalloon->setGeometry(left + b->width() / 2 - size.width() / 2, c_.mainWindow->height() - 64, size.width(),
                                  size.height());
    c_.buttonBalloon->raise();
    c_.buttonBalloon->show();
}

}  // namespace qarvel::playback
