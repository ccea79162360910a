// The desktop's media controls (MPRIS) and the screen saver's inhibition
// while a film plays; only with a desktop bus.
#include "app/application.h"
#include "app/desktop_media_controls.h"
#include "app/main_window/main_window.h"
#include "app/program_folder.h"
#include "app/system_services.h"
#include "app/wiring.h"
#include "engine/player.h"
#include "platform/desktop_bus.h"
#include "platform/mpris_service.h"
#include "platform/screen_inhibitor.h"
#include "playback/playback_speed.h"
#include "playback/transport_commands.h"
#include "web/episode_sequencer.h"
#include "window/main_window_layout.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimer>

namespace qarvel {

void wireDesktop(Application& app) {
    if (!app.options().desktopBus) return;
    AppParts& p = app.parts();
    MainWindow* w = p.window.get();
    engine::Player* player = p.player;
    playback::TransportCommands* transport = p.transport.get();
    web::EpisodeSequencer* sequencer = p.sequencer.get();
    window::MainWindowLayout* layout = p.layout.get();
    QLabel* title = w->controls().filmTitle;
    // The desktop's media controls are the player bar's buttons: the records
    // and timers behave exactly as with the mouse.
    const auto playing = [player] { return player->playState() == engine::PlayState::Playing; };
    p.mediaControls = std::make_unique<DesktopMediaControls>(
        *p.player,
        DesktopMediaControls::Handlers{.play =
                                           [transport, playing] {
                                               if (!playing()) transport->playPause();
                                           },
                                       .pause =
                                           [transport, playing] {
                                               if (playing()) transport->playPause();
                                           },
                                       .stop = [transport] { transport->stop(); },
                                       .stepEpisode =
                                           [transport](int direction) {
                                               direction == 1 ? transport->previousEpisode() : transport->nextEpisode();
                                           },
                                       .canStep = [sequencer](int direction) { return sequencer->canStep(direction); },
                                       .episodeIndex = [sequencer] { return sequencer->episodeIndex(); },
                                       .title = [title] { return title->text(); },
                                       .volumeSet = [layout](int volume) { layout->placeVolumeKnob(volume); },
                                       .raise =
                                           [w] {
                                               w->showNormal();
                                               w->raise();
                                               w->activateWindow();
                                           },
                                       .rate = [speed = p.speed.get()] { return speed->speed(); },
                                       .setRate = [speed = p.speed.get()](double rate) { speed->setSpeed(rate); }});
    QString entry = kDesktopEntryName;
    entry.chop(int(qstrlen(".desktop")));
    p.mpris = std::make_unique<platform::MprisService>(*p.mediaControls, app.options().desktopBus->session, entry);
    p.inhibitor = std::make_unique<platform::DBusScreenInhibitor>(*app.options().desktopBus, QStringLiteral("播放中"));

    // What the desktop shows and whether the screen may blank follow the
    // player, whichever way it was told to play, pause or stop.
    auto* watch = new QTimer(w);
    watch->setInterval(1000);
    platform::MprisService* mpris = p.mpris.get();
    platform::ScreenInhibitor* inhibitor = p.inhibitor.get();
    QObject::connect(watch, &QTimer::timeout, watch, [mpris, inhibitor, player] {
        mpris->refresh();
        inhibitor->setInhibited(player->playState() == engine::PlayState::Playing);
    });
    watch->start();
    if (auto* core = QCoreApplication::instance())
        QObject::connect(core, &QCoreApplication::aboutToQuit, watch, [inhibitor] { inhibitor->setInhibited(false); });
}

}  // namespace qarvel
