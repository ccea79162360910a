#include "playback/status_poll.h"

#include "common/play_time.h"
#include "engine/cache/media_address.h"
#include "engine/player.h"
#include "platform/power_off.h"
#include "playback/bar_labels.h"
#include "playback/film_position.h"
#include "playback/play_session.h"
#include "playback/playback_speed.h"
#include "playback/stop_command.h"
#include "state/main_window_state.h"

#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QTime>
#include <QTimer>
#include <QWidget>

namespace qarvel::playback {

// One poll's view of the player: every value is read once per tick.
struct StatusPoll::Reading {
    int position = 0;
    int duration = 0;
    int progress = 0;
    int rate = 0;
    int bitRate = 0;
    int state = 0;
};

namespace {

// Share of the film (thousandths) past which the next episode is prepared.
constexpr int kBufferNextShare = 601;
// Playing moves the position by about a second per poll; a late poll on a
// busy machine by a few. Anything else is a seek.
constexpr int kLongestPlayStep = 5;

void setShown(QWidget* w, bool shown) {
    if (w && w->isHidden() == shown) w->setVisible(shown);
}
bool shown(QWidget* w) { return w && !w->isHidden(); }
bool hidden(QWidget* w) { return w && w->isHidden(); }

// A setting compared as a number; one that is no number is 0.
int settingNumber(const QString& text) { return text.trimmed().toInt(); }

QString defaultClockText() { return QLocale().toString(QTime::currentTime(), QLocale::ShortFormat); }

}  // namespace

StatusPoll::StatusPoll(MainWindowState& state, PlaySession& session, PollControls controls, PollServices services,
                       QString sentinel)
    : state_(state), session_(session), c_(controls), s_(std::move(services)), sentinel_(std::move(sentinel)) {
    if (!s_.clockText) s_.clockText = defaultClockText;
}

void StatusPoll::pollPlayerStatus() {
    engine::Player& p = s_.player;
    if (p.url().isEmpty()) {
        setPlayTip(kPlayTip, false);
        setBarText(c_.statusText, kReadyText);
        if (c_.downloadedBar && c_.downloadedBar->x() != -30) c_.downloadedBar->move(-30, c_.downloadedBar->y());
        placeTimes(s_.clockText());
        return;
    }
    Reading now = read();
    session_.setPositionReached(now.position);
    noticeMove(p.url(), now.position);

    if (!endTest(now)) return;
    bufferNext(now);
    show(now);
}

void StatusPoll::filmStarted() {
    if (!s_.statusPollTimer.isActive() || s_.player.url().isEmpty()) return;
    Reading now = read();
    show(now);
}

StatusPoll::Reading StatusPoll::read() const {
    const engine::Player& p = s_.player;
    Reading now;
    now.position = p.position();
    now.duration = p.duration();
    now.progress = p.downloadProgress();
    now.rate = p.transferRate();
    now.state = int(p.playState());
    now.bitRate = p.bitRate();
    return now;
}

void StatusPoll::show(Reading& now) {
    state_.TransferRateCache = int16_t(now.rate);
    state_.PlayStateCache = int16_t(now.state);
    showPanels(now);
    showStatus(now);
    showBars(now);
}

// False when the poll ends here.
bool StatusPoll::endTest(const Reading& now) {
    const bool atEnd = now.position > now.duration - 2 && now.position > 0;
    if (!atEnd) {
        ended_ = false;
        keepPosition(now);
        return true;
    }
    // The record already holds 0 when the last poll saw the end too.
    if (!ended_) storeFilmPosition(session_, s_.records, 0);
    ended_ = true;
    if (!s_.endOfPlayTimer.isActive()) s_.endOfPlayTimer.start();
    if (!balloonsWanted()) return false;
    if (state_.ShutDownAfterPlay) s_.showBalloon(kShutdownBalloon);
    else if (session_.next() == NextEpisode::Available) s_.showBalloon(kNextEpisodeBalloon);
    return true;
}

void StatusPoll::bufferNext(const Reading& now) {
    if (now.progress <= kBufferNextShare || session_.nextBuffered()) return;
    if (!session_.nextAddress().isEmpty()) {
        s_.player.preloadNext(session_.nextAddress());
        session_.setNextBuffered(true);
        if (balloonsWanted()) s_.showBalloon(kBufferNextBalloon);
    } else if (session_.next() != NextEpisode::Last && s_.FetchNextEpisode) {
        s_.FetchNextEpisode();
    }
}

void StatusPoll::showPanels(Reading& now) {
    switch (now.state) {
    case 0:
    case 1:
        setShown(c_.pauseAdFrame, false);
        if (state_.StopAdState == 2 && hidden(c_.stopAdFrame)) setShown(c_.stopAdFrame, true);
        if (hidden(c_.adArea)) {
            setShown(c_.adArea, true);
            setShown(c_.videoFrame, false);
        }
        break;
    case 3:
        resume(now);
        if (shown(c_.adArea)) {
            setShown(c_.adArea, false);
            setShown(c_.videoFrame, true);
        }
        session_.setResumePosition(now.position);
        setShown(c_.nextEpisodeNotice, false);
        if (c_.playButton && c_.playButton->toolTip() == kPlayTip) setPlayTip(kPauseTip, true);
        break;
    default:
        if (state_.PauseAdState == 2 && hidden(c_.pauseAdFrame)) {
            setShown(c_.pauseAdFrame, true);
            setShown(c_.stopAdFrame, false);
        }
        if (hidden(c_.adArea)) {
            setShown(c_.adArea, true);
            setShown(c_.videoFrame, false);
        }
        break;
    }
}

void StatusPoll::resume(Reading& now) {
    if (session_.resumePosition() <= 0 || session_.resumeDone()) return;
    const int stored = session_.resumePosition();
    if (now.position < stored) {
        int target = -1;
        if (session_.recordKind() == RecordKind::LocalFile) {
            target = stored;
        } else {
            // Only as far as the film has arrived; a little before its edge.
            const qint64 arrived = qRound64(double(now.progress) / 1000.0 * now.duration);
            if (arrived > stored) target = stored;
            else if (arrived > 200) target = int(arrived - 50);
        }
        if (target >= 0) {
            s_.player.setPosition(target);
            // The player reads back the position asked for until it got there.
            now.position = target;
        }
    }
    session_.setResumeDone(true);
}

void StatusPoll::showStatus(const Reading& now) {
    const QString rate = QString::number(state_.TransferRateCache);
    const bool moving = state_.TransferRateCache > 0;
    // Playing, paused or buffering away from 1.0×, the text says how fast.
    const QString speed = speedSuffix(s_.player.speed());
    switch (now.state) {
    case 0:
        // A film the player gave up on keeps saying why.
        setBarText(c_.statusText, gaveUp() ? failureText() : QStringLiteral("停止播放"));
        setPlayTip(kPlayTip, false);
        if (s_.player.fullScreen()) s_.player.setFullScreen(false);
        break;
    case 1:
        setBarText(c_.statusText, kStoppedText);
        setPlayTip(kPlayTip, false);
        break;
    case 2:
        setBarText(c_.statusText,
                   (moving ? QStringLiteral("已暂停 (") + rate + QStringLiteral("Kbps/S)") : QStringLiteral("已暂停")) +
                       speed);
        if (c_.playButton && c_.playButton->toolTip() != kPlayTip) setPlayTip(kPlayTip, true);
        break;
    case 3:
        setBarText(c_.statusText,
                   (moving && now.position > 6
                        ? QStringLiteral("播放中(") + rate + QStringLiteral(" Kbps/S)")
                        : QStringLiteral("播放中(") + QString::number(now.bitRate) + QStringLiteral(" Kbps)")) +
                       speed);
        break;
    case 4: setBarText(c_.statusText, QStringLiteral("正在缓冲 (") + rate + QStringLiteral("Kbps/S)") + speed); break;
    case 5: setBarText(c_.statusText, QStringLiteral("等待中")); break;
    case 6: setBarText(c_.statusText, QStringLiteral("播放结束")); break;
    case 7: setBarText(c_.statusText, QStringLiteral("准备读")); break;
    case 8: setBarText(c_.statusText, QStringLiteral("重连中")); break;
    case 9: setBarText(c_.statusText, QStringLiteral("BT种子下载中")); break;
    case 10: setBarText(c_.statusText, QStringLiteral("正在连接 (") + rate + QStringLiteral("KB/S)")); break;
    case 11: setBarText(c_.statusText, QStringLiteral("正在停止")); break;
    default: break;
    }
}

void StatusPoll::showBars(const Reading& now) {
    placeTimes(FormatPlayTime(now.position) + QStringLiteral(" / ") + FormatPlayTime(now.duration));
    if (c_.seekBar && c_.seekKnob) {
        const int left =
            now.duration != 0
                ? qRound(double(now.position) / now.duration * (c_.seekBar->width() - c_.seekKnob->width()))
                : 0;
        if (c_.seekKnob->x() != left) c_.seekKnob->move(left, c_.seekKnob->y());
        if (c_.playedBar && c_.playedBar->width() != left) c_.playedBar->resize(left, c_.playedBar->height());
        const QString tip = FormatPlayTime(now.position);
        if (c_.seekKnob->toolTip() != tip) c_.seekKnob->setToolTip(tip);
    }
    if (c_.downloadedBar) {
        const QRect bar = now.progress < 1
                              ? QRect(-30, c_.downloadedBar->y(), 0, c_.downloadedBar->height())
                              : QRect(0, 0, c_.seekBar ? qRound(c_.seekBar->width() * now.progress / 1000.0) : 0,
                                      c_.downloadedBar->height());
        if (c_.downloadedBar->geometry() != bar) c_.downloadedBar->setGeometry(bar);
    }
}

void StatusPoll::keepPosition(const Reading& now) {
    if (++ticksSinceSave_ < kPositionSaveTicks) return;
    ticksSinceSave_ = 0;
    if (now.position == savedPosition_) return;
    storeFilmPosition(session_, s_.records, now.position);
    savedPosition_ = now.position;
}

QString filmName(const QString& address) {
    const engine::MediaAddress a = engine::classifyAddress(address);
    QString name;
    switch (a.kind) {
    case engine::AddressKind::LocalFile: name = QFileInfo(a.localPath).fileName(); break;
    case engine::AddressKind::Qvod: name = a.qvod.name; break;
    case engine::AddressKind::Http:
    case engine::AddressKind::Stream: name = a.url.fileName(); break;
    default: break;
    }
    return name.isEmpty() ? address : name;
}

bool StatusPoll::gaveUp() const { return !failedUrl_.isEmpty() && failedUrl_ == s_.player.url(); }

QString StatusPoll::failureText() const { return kCannotPlayPrefix + filmName(failedUrl_); }

void StatusPoll::filmFailed() {
    failedUrl_ = s_.player.url();
    if (failedUrl_.isEmpty()) return;
    setBarText(c_.statusText, failureText());
    // Whatever the balloon setting: nothing else tells why nothing plays.
    if (s_.showBalloon) s_.showBalloon(failureText());
}

void StatusPoll::noticeMove(const QString& url, int position) {
    const bool moved = url != lastUrl_ || position < lastPosition_ - 1 || position > lastPosition_ + kLongestPlayStep;
    if (moved && !lastUrl_.isEmpty() && s_.filmMoved) s_.filmMoved();
    lastUrl_ = url;
    lastPosition_ = position;
}

void StatusPoll::storePosition() {
    if (ended_ || s_.player.url().isEmpty()) return;
    storeFilmPosition(session_, s_.records, session_.positionReached());
}

void StatusPoll::placeTimes(const QString& text) {
    if (!c_.timeText) return;
    setBarText(c_.timeText, text);
    if (!c_.playerArea) return;
    const QPoint at(c_.playerArea->width() - c_.timeText->width() - 13, 2);
    if (c_.timeText->pos() != at) c_.timeText->move(at);
}

void StatusPoll::setPlayTip(const QString& tip, bool paint) {
    if (!c_.playButton) return;
    if (c_.playButton->toolTip() != tip) c_.playButton->setToolTip(tip);
    if (paint && s_.paintPlayFace) s_.paintPlayFace(tip == kPauseTip);
}

bool StatusPoll::balloonsWanted() {
    state_.BalloonSetting = s_.readSetting
                                ? s_.readSetting(QStringLiteral("S_q"), QStringLiteral("s_pao"), QStringLiteral("0"))
                                : QStringLiteral("0");
    return settingNumber(state_.BalloonSetting) == 2;
}

void StatusPoll::finishPlayback() {
    setShown(c_.adArea, true);
    setShown(c_.videoFrame, false);
    setBarText(c_.statusText, kPlayFinishedText);
    s_.endOfPlayTimer.stop();
    if (state_.ShutDownAfterPlay) {
        s_.statusPollTimer.stop();
        s_.power.ShutDownComputer();
        return;
    }
    session_.ended();
    if (session_.next() == NextEpisode::Failed) {
        if (s_.navigateWeb2) s_.navigateWeb2(sentinel_);
    } else if (session_.next() == NextEpisode::Available) {
        s_.statusPollTimer.stop();
        setShown(c_.nextEpisodeNotice, true);
        if (s_.navigateWeb2) s_.navigateWeb2(sentinel_);
    }
}

void StatusPoll::retryNextEpisode() {
    if (!session_.retryTick()) return;
    s_.retryNextEpisodeTimer.stop();
    if (s_.FetchNextEpisode) s_.FetchNextEpisode();
    session_.setNextBuffered(false);
}

}  // namespace qarvel::playback
