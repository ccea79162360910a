#include "app/wire_series_skip.h"

#include "app/main_window/main_window.h"
#include "common/play_time.h"
#include "common/program_files.h"
#include "engine/mpv_player.h"
#include "playback/player_menu.h"
#include "playback/series_skip.h"
#include "playback/play_session.h"

#include <QTimer>

namespace qarvel {

namespace {

// "跳过片头片尾": on unless switched off ("1"), like the other options.
const QString kSection = QStringLiteral("S_q");
const QString kSkipKey = QStringLiteral("s_tiao");

// Owned by the poll timer, so that it goes with the window.
struct SeriesSkipParts : QObject {
    SeriesSkipParts(QObject* parent, const QString& path, playback::SeriesSkipHooks hooks)
        : QObject(parent), marks(path), skip(marks, std::move(hooks)) {}
    playback::SeriesMarks marks;
    playback::SeriesSkip skip;
};

// The film id of the network episode that plays in the player; 0 otherwise.
int seriesOf(const playback::PlaySession& session) {
    if (session.source() != playback::PlaySource::NetworkEpisode || !session.episode()) return 0;
    return session.episode()->id;
}

}  // namespace

void wireSeriesSkip(MainWindow& window, engine::Player& player, playback::PlayerMenu& menu, const ProgramFiles& files) {
    playback::PlaySession* session = &window.session();
    engine::Player* p = &player;
    QTimer* timer1 = window.controls().statusPollTimer;
    auto* parts = new SeriesSkipParts(
        timer1, files.seriesMarks,
        playback::SeriesSkipHooks{
            .series = [session] { return seriesOf(*session); },
            .position = [p] { return p->position(); },
            .playing = [p] { return p->playState() == engine::PlayState::Playing; },
            // The poll's resume step has run by the time the skip looks, and
            // left the position it took up as the resume position.
            .resumed = [session] { return session->resumeDone() && session->resumePosition() > playback::kStartSlack; },
            .seek = [p](int seconds) { p->setPosition(seconds); },
            // At its end the poll hands over to the next episode as after any film.
            .playNextEpisode = [p] { p->setPosition(p->duration()); }});
    playback::SeriesSkip* skip = &parts->skip;
    window::WindowSettings* settings = &window.settings();
    skip->setEnabled(settings->read(kSection, kSkipKey, QStringLiteral("2")).trimmed().toInt() != 1);

    TrayIcon* tray = &window.tray();
    auto marked = [tray, p](const QString& prefix) { tray->ShowTrayBalloon(prefix + FormatPlayTime(p->position())); };
    menu.addSeriesSkip({.canMark = [skip] { return skip->canMark(); },
                        .markOpening =
                            [skip, marked] {
                                if (skip->markOpeningEnd()) marked(playback::kOpeningMarkedPrefix);
                            },
                        .markEnding =
                            [skip, marked] {
                                if (skip->markEndingStart()) marked(playback::kEndingMarkedPrefix);
                            },
                        .skipping = skip->enabled(),
                        .setSkipping =
                            [skip, settings](bool on) {
                                skip->setEnabled(on);
                                settings->write(kSection, kSkipKey, on ? QStringLiteral("2") : QStringLiteral("1"));
                            }});

    // Connected after the poll: its resume step has run when the skip looks.
    QObject::connect(timer1, &QTimer::timeout, parts, [skip] { skip->tick(); });
    if (auto* mpv = qobject_cast<engine::MpvPlayer*>(&player))
        QObject::connect(mpv, &engine::MpvPlayer::firstFrame, parts, [skip] { skip->filmStarted(); });
}

}  // namespace qarvel
