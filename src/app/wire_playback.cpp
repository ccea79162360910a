// What plays: the stop command, the view switcher and the link protocol
// that turns the panes' links into films, records and lists.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "app/wiring.h"
#include "engine/player.h"
#include "platform/process_finder.h"
#include "platform/text_fetcher.h"
#include "platform/user_dialogs.h"
#include "playback/stop_command.h"
#include "playback/view_switcher.h"
#include "records/record_store.h"
#include "web/link_router.h"
#include "web/list_pane_reloads.h"
#include "web/pane_events.h"
#include "web/pane_navigator.h"
#include "window/skin_painter.h"
#include "window/window_buttons.h"

namespace qarvel {

void wirePlayback(Application& app) {
    AppParts& p = app.parts();
    MainWindow& w = *p.window;
    window::MainWindowControls& c = w.controls();
    MainWindowState& state = w.state();
    const web::PaneSet panes = panesOf(w);
    p.fetcher = std::make_unique<platform::TextFetcher>();
    p.navigator = std::make_unique<web::PaneSetNavigator>(panes);
    p.listReloads = std::make_unique<web::ListPaneReloads>(*p.navigator, [player = p.player] {
        const engine::PlayState state = player->playState();
        return state == engine::PlayState::Connecting || state == engine::PlayState::PreparingToRead ||
               state == engine::PlayState::DownloadingSeed;
    });
    p.records = std::make_unique<records::RecordStore>(*p.pages);

    playback::StopControls stopControls;
    stopControls.stopAdFrame = c.stopAdFrame;
    stopControls.pauseAdFrame = c.pauseAdFrame;
    stopControls.adArea = c.adArea;
    stopControls.videoFrame = c.videoFrame;
    stopControls.seekKnob = c.seekKnob;
    stopControls.playedBar = c.playedBar;
    stopControls.downloadedBar = c.downloadedBar;
    stopControls.filmTitle = c.filmTitle;
    stopControls.timeText = c.timeText;
    stopControls.playerArea = c.playerArea;
    stopControls.statusText = c.statusText;
    stopControls.playButton = c.transportButtons[TransportButton::PlayPause];
    p.stop =
        std::make_unique<playback::StopCommand>(state, w.session(), *p.player, *p.records, *c.statusPollTimer,
                                                stopControls, [painter = p.painter.get()] { painter->PaintStopped(); });
    web::PaneEvents* paneEvents = p.paneEvents.get();
    auto webPlayerCloseButton = [paneEvents] {
        if (paneEvents) paneEvents->closeWebPlayer();
    };
    auto liveTvCloseButton = [paneEvents] {
        if (paneEvents) paneEvents->closeLiveTv();
    };
    p.views = std::make_unique<playback::ViewSwitcher>(state, *p.stop, c.webPlayerFrame, c.playerArea,
                                                       webPlayerCloseButton, liveTvCloseButton);

    window::WindowButtons* buttons = p.buttons.get();
    p.router = std::make_unique<web::LinkRouter>(
        state, w.session(), web::LinkRouterControls{c.filmTitle, c.statusStrip, c.statusText, c.liveTvCloseButton},
        web::LinkRouterServices{.player = *p.player,
                                .records = *p.records,
                                .views = *p.views,
                                .panes = *p.navigator,
                                .fetcher = *p.fetcher,
                                .processes = *p.processes,
                                .dialogs = *p.dialogs,
                                .statusPollTimer = *c.statusPollTimer,
                                .pressWindowButton = [buttons](int index) { buttons->pressWindowButton(index); },
                                .readSetting = settingReader(w),
                                .showBalloon = balloonShower(w)},
        app.options().serviceBase);
    p.router->installHooks(panes);
}

}  // namespace qarvel
