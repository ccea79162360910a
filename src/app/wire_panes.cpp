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
    pc.catalogueFrame = c.catalogueFrame;
    pc.catalogueWaitPanel = c.catalogueWaitPanel;
    pc.catalogueRetryPicture = c.catalogueRetryPicture;
    pc.catalogueErrorPicture = c.catalogueErrorPicture;
    pc.pauseAdFrame = c.pauseAdFrame;
    pc.idlePicture = c.idlePicture;
    pc.stopAdFrame = c.stopAdFrame;
    pc.liveTvCloseButton = c.liveTvCloseButton;
    pc.webPlayerFrame = c.webPlayerFrame;
    pc.playerArea = c.playerArea;
    pc.seekKnob = c.seekKnob;
    pc.playedBar = c.playedBar;
    pc.downloadedBar = c.downloadedBar;
    pc.filmTitle = c.filmTitle;
    pc.timeText = c.timeText;
    pc.mainPopupMenu = &w.menus().mainPopupMenu;
    pc.taskMenu = &w.menus().taskMenu;
    pc.playerPopupMenu = &w.menus().playerPopupMenu;
    pc.playerUrl = [player = p.player] { return player->url(); };
    pc.base = app.options().serviceBase;
    p.paneEvents = std::make_unique<web::PaneEvents>(w.state(), pc);
    QObject::connect(c.catalogueRetryPicture, &window::Label::clicked, p.paneEvents.get(),
                     &web::PaneEvents::retryCatalogue);
    QObject::connect(c.liveTvCloseButton, &window::PictureBox::clicked, p.paneEvents.get(),
                     &web::PaneEvents::closeLiveTv);
    QObject::connect(c.webPlayerCloseButton, &window::PictureBox::clicked, p.paneEvents.get(),
                     &web::PaneEvents::closeWebPlayer);
}

}  // namespace qarvel
