// The clock of what plays: the status poll on Timer1, Timer2 and Timer4, the
// next episode's sequencer, and the position kept at the session's end.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "app/wiring.h"
#include "common/build_config.h"
#include "engine/mpv_player.h"
#include "playback/status_poll.h"
#include "platform/text_fetcher.h"
#include "web/episode_sequencer.h"
#include "web/pane_navigator.h"
#include "window/skin_painter.h"

#include <QGuiApplication>
#include <QTimer>

namespace qarvel {

void wirePoll(Application& app) {
    AppParts& p = app.parts();
    MainWindow& w = *p.window;
    window::MainWindowControls& c = w.controls();
    MainWindowState& state = w.state();
    const SettingReader readSetting = settingReader(w);
    const auto showBalloon = balloonShower(w);
    p.sequencer = std::make_unique<web::EpisodeSequencer>(
        w.session(),
        web::SequencerServices{*p.fetcher, *p.navigator, *c.retryNextEpisodeTimer, readSetting, showBalloon},
        app.options().serviceBase);

    playback::PollControls pc;
    pc.statusText = c.statusText;
    pc.timeText = c.timeText;
    pc.playerArea = c.playerArea;
    pc.playButton = c.transportButtons[TransportButton::PlayPause];
    pc.seekBar = c.seekBar;
    pc.seekKnob = c.seekKnob;
    pc.playedBar = c.playedBar;
    pc.downloadedBar = c.downloadedBar;
    pc.adArea = c.adArea;
    pc.pauseAdFrame = c.pauseAdFrame;
    pc.stopAdFrame = c.stopAdFrame;
    pc.videoFrame = c.videoFrame;
    pc.nextEpisodeNotice = c.nextEpisodeNotice;
    web::EpisodeSequencer* sequencer = p.sequencer.get();
    web::PaneNavigator* navigator = p.navigator.get();
    window::SkinPainter* painter = p.painter.get();
    p.poll = std::make_unique<playback::StatusPoll>(
        state, w.session(), pc,
        playback::PollServices{
            .player = *p.player,
            .records = *p.records,
            .statusPollTimer = *c.statusPollTimer,
            .endOfPlayTimer = *c.endOfPlayTimer,
            .retryNextEpisodeTimer = *c.retryNextEpisodeTimer,
            .power = *p.power,
            .readSetting = readSetting,
            .showBalloon = showBalloon,
            .paintPlayFace = [painter](bool pause) { painter->PaintPlayFace(pause); },
            .FetchNextEpisode = [sequencer] { sequencer->FetchNextEpisode(); },
            .filmMoved = [sequencer] { sequencer->askAgainAtOnce(); },
            .navigateWeb2 = [navigator](const QString& address) { navigator->navigate(Pane::WebPlayer, address); }},
        QString::fromLatin1(config::kSentinelUrl));
    playback::StatusPoll* poll = p.poll.get();
    QObject::connect(c.statusPollTimer, &QTimer::timeout, c.statusPollTimer, [poll] { poll->pollPlayerStatus(); });
    QObject::connect(c.endOfPlayTimer, &QTimer::timeout, c.endOfPlayTimer, [poll] { poll->finishPlayback(); });
    QObject::connect(c.retryNextEpisodeTimer, &QTimer::timeout, c.retryNextEpisodeTimer,
                     [poll] { poll->retryNextEpisode(); });
    if (auto* mpv = qobject_cast<engine::MpvPlayer*>(p.player)) {
        QObject::connect(mpv, &engine::MpvPlayer::filmFailed, c.statusPollTimer, [poll] { poll->filmFailed(); });
        QObject::connect(mpv, &engine::MpvPlayer::firstFrame, c.statusPollTimer, [poll] { poll->filmStarted(); });
    }
    // The end of the session keeps where the viewer was: a quit (also by a
    // termination signal) and a logout. At a logout the position is stored
    // at once, since the session manager may end the process any moment
    // after, and then the exit runs without showing a window.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QObject::connect(gui, &QCoreApplication::aboutToQuit, c.statusPollTimer, [poll] { poll->storePosition(); });
        QTimer* timer1 = c.statusPollTimer;
        Application* application = &app;
        QObject::connect(gui, &QGuiApplication::commitDataRequest, timer1, [application, poll, timer1] {
            poll->storePosition();
            QMetaObject::invokeMethod(
                timer1, [application] { application->endSession(); }, Qt::QueuedConnection);
        });
    }
}

}  // namespace qarvel
