// The main window's handling of its panes' events: the catalogue's error
// panel and its latch, the advertisement panes' failure states, which pane
// shows which menu, the view resets and the panes' first pages.
#include "web_test_support.h"

#include "state/main_window_state.h"
#include "web/first_pages.h"
#include "web/pane_events.h"

#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QSignalSpy>
#include <QWidget>
#include <atomic>
#include <gtest/gtest.h>

namespace qarvel::web::test {
namespace {

// The controls of the main window that the handlers touch, in a plain widget.
struct Controls {
    Controls() {
        auto make = [this](auto* w) {
            w->setParent(&root);
            return w;
        };
        c.catalogueFrame = make(new QWidget);
        c.catalogueWaitPanel = make(new QWidget);
        c.catalogueRetryPicture = make(new QLabel);
        c.catalogueErrorPicture = make(new QLabel);
        c.pauseAdFrame = make(new QWidget);
        c.idlePicture = make(new QWidget);
        c.stopAdFrame = make(new QWidget);
        c.liveTvCloseButton = make(new QWidget);
        c.webPlayerFrame = make(new QWidget);
        c.playerArea = make(new QWidget);
        c.seekKnob = make(new QWidget);
        c.playedBar = make(new QWidget);
        c.downloadedBar = make(new QWidget);
        c.filmTitle = make(new QLabel);
        c.timeText = make(new QLabel);
        // Menus keep their pop-up window type only when given the parent at birth.
        c.mainPopupMenu = new QMenu(&root);
        c.taskMenu = new QMenu(&root);
        c.playerPopupMenu = new QMenu(&root);
        QPixmap error(8, 8);
        error.fill(Qt::red);
        c.catalogueErrorPicture->setPixmap(error);
        c.playerUrl = [this] { return playerUrl; };
        c.base = "http://127.0.0.1:1/box/";
    }
    QWidget root;
    PaneControls c;
    QString playerUrl;
};

struct Popup {
    QMenu* menu;
    QPoint pos;
};

TEST(WebPaneEvents, CatalogueFailureLatchesTheErrorPanelUntilRetry) {
    std::atomic<bool> serviceUp{false};
    LoopbackServer server;
    server.http().Get(R"(/box/.*)", [&](const httplib::Request&, httplib::Response& res) {
        res.status = serviceUp ? 200 : 503;
        res.set_content("<html><body>catalogue</body></html>", "text/html");
    });
    server.start();

    MainWindowState state;
    Controls ctl;
    RecordingPane web1;
    ctl.c.panes[paneSlot(Pane::Catalogue)] = web1.pane.get();
    ctl.c.base = server.url("/box/");
    ctl.c.catalogueFrame->hide();  // the waiting state of start-up
    ctl.c.catalogueWaitPanel->show();
    PaneEvents events(state, ctl.c);

    ASSERT_TRUE(navigateAndWait(web1.pane.get(), ctl.c.base));
    EXPECT_EQ(state.HomePageFailed, 1);
    EXPECT_TRUE(ctl.c.catalogueFrame->isHidden());
    EXPECT_FALSE(ctl.c.catalogueWaitPanel->isHidden());
    EXPECT_EQ(ctl.c.catalogueRetryPicture->pixmap().cacheKey(), ctl.c.catalogueErrorPicture->pixmap().cacheKey());

    // A page that does load later leaves the error panel up.
    serviceUp = true;
    ASSERT_TRUE(navigateAndWait(web1.pane.get(), ctl.c.base + "other.htm"));
    EXPECT_EQ(state.HomePageFailed, 1);
    EXPECT_TRUE(ctl.c.catalogueFrame->isHidden());

    QSignalSpy complete(web1.pane.get(), &WebPane::downloadComplete);
    events.retryCatalogue();
    EXPECT_EQ(state.HomePageFailed, 0);
    ASSERT_TRUE(waitUntil([&] { return complete.count() > 0; }));
    EXPECT_EQ(web1.seen.last(), ctl.c.base);
    EXPECT_FALSE(ctl.c.catalogueFrame->isHidden());
    EXPECT_TRUE(ctl.c.catalogueWaitPanel->isHidden());
}

TEST(WebPaneEvents, FailuresOutsideTheServiceLeaveTheCatalogueAlone) {
    MainWindowState state;
    Controls ctl;
    PaneEvents events(state, ctl.c);
    events.onCatalogueLoadFailed("http://ads.example/banner.htm");
    EXPECT_EQ(state.HomePageFailed, 0);
    EXPECT_FALSE(ctl.c.catalogueFrame->isHidden());
    EXPECT_TRUE(ctl.c.catalogueRetryPicture->pixmap().isNull());
    // The engine writes the host in lower case.
    ctl.c.base = "http://LOCALHOST:8960/box/";
    PaneEvents upper(state, ctl.c);
    upper.onCatalogueLoadFailed("http://localhost:8960/box/film.htm");
    EXPECT_EQ(state.HomePageFailed, 1);
    // An empty base would be part of every address.
    state.HomePageFailed = 0;
    ctl.c.base.clear();
    PaneEvents noBase(state, ctl.c);
    noBase.onCatalogueLoadFailed("http://anything/");
    EXPECT_EQ(state.HomePageFailed, 0);
}

TEST(WebPaneEvents, FailedAdvertisementPagesHideTheirPanels) {
    LoopbackServer server;
    server.http().Get("/box/js/ads/qvodad.html",
                      [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    server.start();
    MainWindowState state;
    Controls ctl;
    RecordingPane web7;
    ctl.c.panes[paneSlot(Pane::PauseAd)] = web7.pane.get();
    ctl.c.idlePicture->hide();
    PaneEvents events(state, ctl.c);

    ASSERT_TRUE(navigateAndWait(web7.pane.get(), server.url("/box/js/ads/qvodad.html")));
    EXPECT_EQ(state.PauseAdState, 1);
    EXPECT_TRUE(ctl.c.pauseAdFrame->isHidden());
    EXPECT_FALSE(ctl.c.idlePicture->isHidden());

    events.onStopAdLoadFailed();
    EXPECT_EQ(state.StopAdState, 1);
    EXPECT_TRUE(ctl.c.stopAdFrame->isHidden());
}

TEST(WebPaneEvents, ContextMenusFollowThePaneRules) {
    MainWindowState state;
    Controls ctl;
    std::vector<Popup> shown;
    PaneEvents events(state, ctl.c);
    events.setMenuPopper([&](QMenu* m, const QPoint& p) { shown.push_back({m, p}); });

    events.paneContextMenu(1, "", QPoint(5, 6));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].menu, ctl.c.mainPopupMenu);
    EXPECT_EQ(shown[0].pos, QPoint(5, 6));

    events.paneContextMenu(3, "http://127.0.0.1:1/box/", QPoint(1, 1));
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(state.ContextLink, "");
    events.paneContextMenu(3, "open://4", QPoint(7, 8));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].menu, ctl.c.taskMenu);
    EXPECT_EQ(state.ContextLink, "open://4");

    events.paneContextMenu(7, "", QPoint(1, 1));
    EXPECT_EQ(shown.size(), 2u);
    ctl.playerUrl = "/films/a.mp4";
    events.paneContextMenu(7, "", QPoint(9, 9));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].menu, ctl.c.playerPopupMenu);

    for (int n : {2, 4, 5, 6, 8, 9, 10, 11}) events.paneContextMenu(n, "open://1", QPoint(1, 1));
    EXPECT_EQ(shown.size(), 3u);
    EXPECT_EQ(state.ContextLink, "open://4");
}

TEST(WebPaneEvents, PaneRightClicksReachTheRules) {
    MainWindowState state;
    Controls ctl;
    RecordingPane web3;
    RecordingPane web6;
    ctl.c.panes[paneSlot(Pane::TaskList)] = web3.pane.get();
    ctl.c.panes[paneSlot(Pane::UsagePing)] = web6.pane.get();
    std::vector<Popup> shown;
    PaneEvents events(state, ctl.c);
    events.setMenuPopper([&](QMenu* m, const QPoint& p) { shown.push_back({m, p}); });

    emit web6.pane->contextMenuRequested("open://2", QPoint(3, 3));
    emit web3.pane->contextMenuRequested("open://9", QPoint(4, 4));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].menu, ctl.c.taskMenu);
    EXPECT_EQ(state.ContextLink, "open://9");
}

TEST(WebPaneEvents, DefaultPopperIgnoresEmptyMenus) {
    MainWindowState state;
    Controls ctl;
    PaneEvents events(state, ctl.c);
    events.paneContextMenu(1, "", QPoint(10, 10));
    EXPECT_FALSE(ctl.c.mainPopupMenu->isVisible());
    ctl.c.mainPopupMenu->addAction("item");
    events.paneContextMenu(1, "", QPoint(10, 10));
    EXPECT_TRUE(ctl.c.mainPopupMenu->isVisible());
    ctl.c.mainPopupMenu->hide();
}

TEST(WebPaneEvents, ClosingTheLiveTvViewShowsTheIdlePage) {
    MainWindowState state;
    state.CurrentView = View::LiveTv;
    Controls ctl;
    RecordingPane web10;
    web10.cancel = [](const QString&) { return true; };
    ctl.c.panes[paneSlot(Pane::LiveTv)] = web10.pane.get();
    PaneEvents events(state, ctl.c);
    events.closeLiveTv();
    EXPECT_TRUE(ctl.c.liveTvCloseButton->isHidden());
    EXPECT_EQ(state.CurrentView, View::Nothing);
    EXPECT_EQ(web10.seen, QStringList{"http://127.0.0.1:1/box/tv/ad.htm"});
}

TEST(WebPaneEvents, ClosingTheWebPlayerViewResetsThePlayerBar) {
    MainWindowState state;
    state.CurrentView = View::WebPlayer;
    Controls ctl;
    RecordingPane web2;
    web2.cancel = [](const QString&) { return true; };
    ctl.c.panes[paneSlot(Pane::WebPlayer)] = web2.pane.get();
    ctl.c.playerArea->setGeometry(0, 0, 600, 400);
    ctl.c.playerArea->hide();
    ctl.c.timeText->setGeometry(100, 3, 120, 18);
    ctl.c.timeText->setText("01:02/03:04");
    ctl.c.filmTitle->setText("film");
    ctl.c.seekKnob->setGeometry(200, 5, 10, 10);
    ctl.c.playedBar->setGeometry(0, 7, 200, 4);
    ctl.c.downloadedBar->setGeometry(30, 7, 300, 4);
    PaneEvents events(state, ctl.c);

    events.closeWebPlayer();
    EXPECT_EQ(ctl.c.seekKnob->pos(), QPoint(0, 5));
    EXPECT_EQ(ctl.c.playedBar->geometry(), QRect(0, 7, 0, 4));
    EXPECT_EQ(ctl.c.downloadedBar->geometry(), QRect(0, 7, 0, 4));
    EXPECT_EQ(ctl.c.filmTitle->text(), "");
    EXPECT_EQ(ctl.c.timeText->text(), "");
    EXPECT_EQ(ctl.c.timeText->pos(), QPoint(600 - 120 - 13, 3));
    EXPECT_TRUE(ctl.c.webPlayerFrame->isHidden());
    EXPECT_FALSE(ctl.c.playerArea->isHidden());
    EXPECT_EQ(web2.seen, QStringList{"about:blank"});
    EXPECT_EQ(state.CurrentView, View::Nothing);
}

TEST(WebPaneEvents, MissingControlsAreSkipped) {
    MainWindowState state;
    PaneControls none;
    none.base = "http://127.0.0.1:1/box/";
    PaneEvents events(state, none);
    events.onCatalogueLoaded();
    events.onCatalogueLoadFailed("http://127.0.0.1:1/box/");
    EXPECT_EQ(state.HomePageFailed, 1);
    events.retryCatalogue();
    EXPECT_EQ(state.HomePageFailed, 0);
    events.onPauseAdLoadFailed();
    events.onStopAdLoadFailed();
    events.paneContextMenu(1, "", {});
    events.paneContextMenu(3, "open://1", {});
    events.paneContextMenu(7, "", {});
    events.paneContextMenu(0, "", {});
    events.paneContextMenu(12, "", {});
    state.CurrentView = View::LiveTv;
    events.closeLiveTv();
    events.closeWebPlayer();
    EXPECT_EQ(state.PauseAdState, 1);
    EXPECT_EQ(state.StopAdState, 1);
    EXPECT_EQ(state.CurrentView, View::Nothing);
    EXPECT_EQ(state.ContextLink, "open://1");
}

TEST(WebFirstPages, EveryPaneGetsItsFirstPage) {
    std::array<std::unique_ptr<RecordingPane>, 11> recs;
    PaneSet panes{};
    QStringList order;
    for (int i = 0; i < 11; ++i) {
        recs[i] = std::make_unique<RecordingPane>();
        panes[i] = recs[i]->pane.get();
        // Nothing is loaded: the test checks what each pane is asked to show.
        recs[i]->cancel = [&order, i](const QString&) {
            order << QString::number(i + 1);
            return true;
        };
    }
    const QString base = "http://127.0.0.1:1/box/";
    navigateFirstPages(panes, base, qarvel::ProgramFiles::inFolder("/opt/qarvel/"), "00-1A-2B-3C-4D-5E");
    // The catalogue goes alone; a pane sent elsewhere meanwhile keeps that page.
    EXPECT_EQ(order.join(','), "1");
    panes[paneSlot(Pane::ChannelList)]->navigate("http://127.0.0.1:1/box/tv/other.htm");
    ASSERT_TRUE(waitUntil([&] { return order.size() == 11; }));

    auto first = [&](int n) { return recs[n - 1]->seen.value(0); };
    EXPECT_EQ(first(1), base);
    EXPECT_EQ(first(2), "about:blank");
    EXPECT_EQ(first(3), "/opt/qarvel/c.htm");
    EXPECT_EQ(first(4), "/opt/qarvel/f.htm");
    EXPECT_EQ(first(5), "about:blank");
    EXPECT_EQ(first(6), base + "tj/tj.asp?id=00-1A-2B-3C-4D-5E");
    EXPECT_EQ(first(7), base + "js/ads/qvodad.html");
    EXPECT_EQ(first(8), base + "js/ads/bo.html");
    EXPECT_EQ(first(9), base + "js/ads/jingcai.html");
    EXPECT_EQ(first(10), base + "tv/ad.htm");
    EXPECT_EQ(first(11), base + "tv/other.htm");
    EXPECT_EQ(order.join(','), "1,11,3,4,2,5,9,8,7,10,6");
    for (const auto& r : recs) EXPECT_EQ(r->seen.size(), 1);

    // Web5 shows the dark empty page written after its blank page.
    ASSERT_TRUE(waitUntil([&] {
        return runScript(panes[paneSlot(Pane::EpisodeList)],
                         "document.body ? getComputedStyle(document.body).backgroundColor : ''")
                   .toString() == "rgb(33, 33, 33)";
    }));
}

}  // namespace
}  // namespace qarvel::web::test
