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

#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace qarvel::playback {

namespace {

constexpr int kPlayerTab = 9;
constexpr int kOnTopButton = 4;
constexpr int kLeftSidebarStrip = 6;
constexpr int kTvTab = 13;
constexpr int kRightSidebarStrip = 15;
constexpr int kLocalListTab = 7;
const QString kCancelOnTop = QStringLiteral("取消置顶");

void setShown(QWidget* w, bool shown) {
    if (w) w->setVisible(shown);
}

// Normal and hover x of each button's face in its strip; buttons 0 and 2
// have a second pair for their other state.
struct FaceRow {
    int sprite, normal, hover, otherNormal, otherHover;
};
constexpr FaceRow kFaces[8] = {
    {12, 0, 58, 116, 174}, {13, 0, 25, 0, 25}, {14, 0, 25, 50, 75},  {16, 50, 50, 50, 50},
    {16, 25, 25, 25, 25},  {18, 0, 25, 0, 25}, {16, 75, 75, 75, 75}, {18, 50, 75, 50, 75},
};
// Buttons 3, 4 and 6 take their hover face from the strip after their own.
constexpr bool hoverFromNextStrip(int index) { return index == 3 || index == 4 || index == 6; }

}  // namespace

TransportFace transportFace(int index, bool hover, const QString& tip) {
    if (index < 0 || index > 7) return {};
    const FaceRow& row = kFaces[index];
    const bool other = (index == kPlayPauseButton && tip == kPauseTip) || (index == kMuteButton && tip == kUnmuteTip);
    TransportFace face;
    face.sprite = hover && hoverFromNextStrip(index) ? row.sprite + 1 : row.sprite;
    face.x = other ? (hover ? row.otherHover : row.otherNormal) : (hover ? row.hover : row.normal);
    if (index == kPlayPauseButton) {
        face.width = 58;
        face.height = 43;
    }
    return face;
}

TransportCommands::TransportCommands(MainWindowState& state, PlaySession& session, TransportControls controls,
                                     TransportServices services)
    : state_(state), session_(session), c_(controls), s_(std::move(services)) {}

void TransportCommands::bo_but_Click(int index) {
    hideBalloon();
    if (state_.RightButtonFlag == 1) {
        state_.RightButtonFlag = 0;
        return;
    }
    switch (index) {
    case kPlayPauseButton: playPause(); break;
    case kStopButton: stop(); break;
    case kMuteButton: toggleMute(); break;
    case kFullScreenButton: fullScreen(); break;
    case kOpenFileButton: openFile(); break;
    case kPreviousButton: previousEpisode(); break;
    case kSidebarButton: toggleSidebar(); break;
    case kNextButton: nextEpisode(); break;
    default: break;
    }
}

void TransportCommands::bo_but_MouseDown(int, int button) { state_.RightButtonFlag = button != Qt::LeftButton ? 1 : 0; }

void TransportCommands::bo_but_MouseMove(int index, QPoint pos) {
    if (index < 0 || index > 7 || !c_.bo_but[index]) return;
    QWidget* b = c_.bo_but[index];
    if (c_.BA1) c_.BA1->unsetCursor();
    const bool inside = pos.x() >= 0 && pos.y() >= 0 && pos.x() <= b->width() && pos.y() <= b->height();
    paint(index, inside);
    if (inside) {
        if (state_.MainTab == kPlayerTab) showBalloon(index);
    } else {
        hideBalloon();
    }
}

void TransportCommands::playPause() {
    if (state_.CurrentView != kPlayerView) return;
    if (!s_.Timer1.isActive()) s_.Timer1.start();
    if (tip(kPlayPauseButton) == kPauseTip) {
        if (state_.PauseAdState == 2) {
            setShown(c_.ad_huan, true);
            setShown(c_.bo_pad, false);
        }
        setShown(c_.bo_ad, true);
        setShown(c_.Qvodx, false);
        s_.player.pause();
        setBarText(c_.zhun, kPausedText);
        setTip(kPlayPauseButton, kPlayTip);
        paint(kPlayPauseButton, false);
    } else {
        session_.setResumeDone(false);
        s_.player.play();
        setTip(kPlayPauseButton, kPauseTip);
        paint(kPlayPauseButton, false);
        if (state_.MainTab != kPlayerTab && s_.npc_Click) s_.npc_Click(kPlayerTab);
        setShown(c_.bo_ad, false);
        setShown(c_.Qvodx, true);
    }
}

void TransportCommands::stop() { s_.stop.stop(); }

void TransportCommands::toggleMute() {
    const bool muting = tip(kMuteButton) == kMuteTip;
    const QString next = muting ? kUnmuteTip : kMuteTip;
    setTip(kMuteButton, next);
    if (s_.setMuteCaption) s_.setMuteCaption(next);
    s_.player.setMute(muting);
    paint(kMuteButton, false);
}

void TransportCommands::fullScreen() {
    if (s_.player.playState() != engine::PlayState::Playing) return;
    if (c_.onTopButton && c_.onTopButton->toolTip() == kCancelOnTop && s_.npc_Click) s_.npc_Click(kOnTopButton);
    if (s_.npc_Click) s_.npc_Click(kPlayerTab);
    s_.player.setFullScreen(true);
    paint(kFullScreenButton, false);
}

void TransportCommands::openFile() {
    paint(kOpenFileButton, false);
    hideBalloon();
    const QString path = s_.chooseFile ? s_.chooseFile(kOpenFileTitle, kOpenFileFilter) : QString();
    if (path.isEmpty()) return;
    s_.views.SwitchView(kPlayerView);
    s_.player.setUrl(path);
    s_.player.play();
    s_.Timer1.start();
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString name = cut < 0 ? QString() : path.mid(cut + 1);
    showTitle(c_.bo_name, c_.bo_zt, CutToWidth(name, kTitleWidth));
    if (records::recordWriteFailed(s_.records.AddLocalRecord(name, path, 0), "adding the opened file") &&
        s_.recordWriteFailed)
        s_.recordWriteFailed();
    session_.recordLocalFile(path);
    if (s_.npc_Click) {
        s_.npc_Click(kLocalListTab);
        s_.npc_Click(kPlayerTab);
    }
}

void TransportCommands::previousEpisode() {
    QWidget* b = c_.bo_but[kPreviousButton];
    if (b) b->setEnabled(false);
    if (s_.StepEpisode) s_.StepEpisode(1);
    if (b) b->setEnabled(true);
    paint(kPreviousButton, false);
}

void TransportCommands::toggleSidebar() {
    if (!s_.npc_Click) return;
    if (state_.MainTab == kPlayerTab) s_.npc_Click(kLeftSidebarStrip);
    else if (state_.MainTab == kTvTab) s_.npc_Click(kRightSidebarStrip);
}

void TransportCommands::nextEpisode() {
    QWidget* b = c_.bo_but[kNextButton];
    if (b) b->setEnabled(false);
    if (s_.StepEpisode) s_.StepEpisode(2);
    if (b) b->setEnabled(true);
    paint(kNextButton, false);
}

void TransportCommands::paint(int index, bool hover) {
    if (s_.paintFace) s_.paintFace(index, transportFace(index, hover, tip(index)));
}

void TransportCommands::setTip(int index, const QString& tip) {
    if (c_.bo_but[index]) c_.bo_but[index]->setToolTip(tip);
}

QString TransportCommands::tip(int index) const { return c_.bo_but[index] ? c_.bo_but[index]->toolTip() : QString(); }

void TransportCommands::hideBalloon() { setShown(c_.P1, false); }

void TransportCommands::showBalloon(int index) {
    QWidget* b = c_.bo_but[index];
    if (!c_.P1 || !c_.bo_tip || !c_.BA1) return;
    setBarText(c_.bo_tip, tip(index));
    c_.bo_tip->move(3, 3);
    const int left = b->mapTo(c_.BA1, QPoint(0, 0)).x();
    const QSize size(c_.bo_tip->width() + 6, c_.bo_tip->height() + 6);
    c_.P1->setGeometry(left + b->width() / 2 - size.width() / 2, c_.BA1->height() - 64, size.width(), size.height());
    c_.P1->raise();
    c_.P1->show();
}

}  // namespace qarvel::playback
