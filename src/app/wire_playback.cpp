// What plays: the stop command, the view switcher and the link protocol
// that turns the panes' links into films, records and lists.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "app/wiring.h"
#include "platform/process_finder.h"
#include "platform/text_fetcher.h"
#include "platform/user_dialogs.h"
#include "playback/stop_command.h"
#include "playback/view_switcher.h"
#include "records/record_store.h"
#include "web/link_router.h"
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
    p.records = std::make_unique<records::RecordStore>(*p.pages);

    playback::StopControls stopControls;
    stopControls.bo_pad = c.bo_pad;
    stopControls.ad_huan = c.ad_huan;
    stopControls.bo_ad = c.bo_ad;
    stopControls.Qvodx = c.Qvodx;
    stopControls.gunt1 = c.gunt1;
    stopControls.gunt2 = c.gunt2;
    stopControls.huan = c.huan;
    stopControls.bo_name = c.bo_name;
    stopControls.times = c.times;
    stopControls.qvod = c.qvod;
    stopControls.zhun = c.zhun;
    stopControls.playButton = c.bo_but[TransportButton::PlayPause];
    p.stop = std::make_unique<playback::StopCommand>(state, w.session(), *p.player, *p.records, *c.Timer1, stopControls,
                                                     [painter = p.painter.get()] { painter->PaintStopped(); });
    web::PaneEvents* paneEvents = p.paneEvents.get();
    auto ggx = [paneEvents] {
        if (paneEvents) paneEvents->ggx_Click();
    };
    auto gtv = [paneEvents] {
        if (paneEvents) paneEvents->gtv_Click();
    };
    p.views = std::make_unique<playback::ViewSwitcher>(state, *p.stop, c.Pic2, c.qvod, ggx, gtv);

    window::WindowButtons* buttons = p.buttons.get();
    p.router = std::make_unique<web::LinkRouter>(
        state, w.session(), web::LinkRouterControls{c.bo_name, c.bo_zt, c.zhun, c.gtv},
        web::LinkRouterServices{.player = *p.player,
                                .records = *p.records,
                                .views = *p.views,
                                .panes = *p.navigator,
                                .fetcher = *p.fetcher,
                                .processes = *p.processes,
                                .dialogs = *p.dialogs,
                                .Timer1 = *c.Timer1,
                                .npc_Click = [buttons](int index) { buttons->npc_Click(index); },
                                .readSetting = settingReader(w),
                                .showBalloon = balloonShower(w)},
        app.options().serviceBase);
    p.router->installHooks(panes);
}

}  // namespace qarvel
