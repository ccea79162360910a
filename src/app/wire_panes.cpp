// The pane handlers: what the browser panes' loads and the catalogue's
// buttons do to the window.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "app/wiring.h"
#include "engine/player.h"
#include "web/pane_events.h"

#include <algorithm>

namespace qarvel {

void wirePanes(Application& app) {
    AppParts& p = app.parts();
    MainWindow& w = *p.window;
    window::MainWindowControls& c = w.controls();
    const web::PaneSet panes = panesOf(w);
    if (std::all_of(panes.begin(), panes.end(), [](const web::WebPane* pane) { return pane == nullptr; })) return;
    // The pane handlers keep a table of plain widgets of their own, so that
    // they stand without the window's widget classes.
    web::PaneControls pc;
    pc.panes = panes;
    pc.Pic1 = c.Pic1;
    pc.wait = c.wait;
    pc.jia = c.jia;
    pc.w3 = c.w3;
    pc.ad_huan = c.ad_huan;
    pc.adp = c.adp;
    pc.bo_pad = c.bo_pad;
    pc.gtv = c.gtv;
    pc.Pic2 = c.Pic2;
    pc.qvod = c.qvod;
    pc.gunt1 = c.gunt1;
    pc.gunt2 = c.gunt2;
    pc.huan = c.huan;
    pc.bo_name = c.bo_name;
    pc.times = c.times;
    pc.myMenu = &w.menus().myMenu;
    pc.webc = &w.menus().webc;
    pc.qvod_m = &w.menus().qvod_m;
    pc.playerUrl = [player = p.player] { return player->url(); };
    pc.base = app.options().serviceBase;
    p.paneEvents = std::make_unique<web::PaneEvents>(w.state(), pc);
    QObject::connect(c.jia, &window::Label::clicked, p.paneEvents.get(), &web::PaneEvents::jia_Click);
    QObject::connect(c.gtv, &window::PictureBox::clicked, p.paneEvents.get(), &web::PaneEvents::gtv_Click);
    QObject::connect(c.ggx, &window::PictureBox::clicked, p.paneEvents.get(), &web::PaneEvents::ggx_Click);
}

}  // namespace qarvel
