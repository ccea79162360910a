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
        c.Pic1 = make(new QWidget);
        c.wait = make(new QWidget);
        c.jia = make(new QLabel);
        c.w3 = make(new QLabel);
        c.ad_huan = make(new QWidget);
        c.adp = make(new QWidget);
        c.bo_pad = make(new QWidget);
        c.gtv = make(new QWidget);
        c.Pic2 = make(new QWidget);
        c.qvod = make(new QWidget);
        c.gunt1 = make(new QWidget);
        c.gunt2 = make(new QWidget);
        c.huan = make(new QWidget);
        c.bo_name = make(new QLabel);
        c.times = make(new QLabel);
        // Menus keep their pop-up window type only when given the parent at birth.
        c.myMenu = new QMenu(&root);
        c.webc = new QMenu(&root);
        c.qvod_m = new QMenu(&root);
        QPixmap error(8, 8);
        error.fill(Qt::red);
        c.w3->setPixmap(error);
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
    ctl.c.Pic1->hide();  // the waiting state of start-up
    ctl.c.wait->show();
    PaneEvents events(state, ctl.c);

    ASSERT_TRUE(navigateAndWait(web1.pane.get(), ctl.c.base));
    EXPECT_EQ(state.HomePageFailed, 1);
    EXPECT_TRUE(ctl.c.Pic1->isHidden());
    EXPECT_FALSE(ctl.c.wait->isHidden());
    EXPECT_EQ(ctl.c.jia->pixmap().cacheKey(), ctl.c.w3->pixmap().cacheKey());

    // A page that does load later leaves the error panel up.
    serviceUp = true;
    ASSERT_TRUE(navigateAndWait(web1.pane.get(), ctl.c.base + "other.htm"));
    EXPECT_EQ(state.HomePageFailed, 1);
    EXPECT_TRUE(ctl.c.Pic1->isHidden());

    QSignalSpy complete(web1.pane.get(), &WebPane::downloadComplete);
    events.jia_Click();
    EXPECT_EQ(state.HomePageFailed, 0);
    ASSERT_TRUE(waitUntil([&] { return complete.count() > 0; }));
    EXPECT_EQ(web1.seen.last(), ctl.c.base);
    EXPECT_FALSE(ctl.c.Pic1->isHidden());
    EXPECT_TRUE(ctl.c.wait->isHidden());
}

TEST(WebPaneEvents, FailuresOutsideTheServiceLeaveTheCatalogueAlone) {
    MainWindowState state;
    Controls ctl;
    PaneEvents events(state, ctl.c);
    events.Web1_NavigateError("http://ads.example/banner.htm");
    EXPECT_EQ(state.HomePageFailed, 0);
    EXPECT_FALSE(ctl.c.Pic1->isHidden());
    EXPECT_TRUE(ctl.c.jia->pixmap().isNull());
    // The engine writes the host in lower case.
    ctl.c.base = "http://LOCALHOST:8960/box/";
    PaneEvents upper(state, ctl.c);
    upper.Web1_NavigateError("http://localhost:8960/box/film.htm");
    EXPECT_EQ(state.HomePageFailed, 1);
    // An empty base would be part of every address.
    state.HomePageFailed = 0;
    ctl.c.base.clear();
    PaneEvents noBase(state, ctl.c);
    noBase.Web1_NavigateError("http://anything/");
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
    ctl.c.adp->hide();
    PaneEvents events(state, ctl.c);

    ASSERT_TRUE(navigateAndWait(web7.pane.get(), server.url("/box/js/ads/qvodad.html")));
    EXPECT_EQ(state.PauseAdState, 1);
    EXPECT_TRUE(ctl.c.ad_huan->isHidden());
    EXPECT_FALSE(ctl.c.adp->isHidden());

    events.Web8_NavigateError();
    EXPECT_EQ(state.StopAdState, 1);
    EXPECT_TRUE(ctl.c.bo_pad->isHidden());
}

TEST(WebPaneEvents, ContextMenusFollowThePaneRules) {
    MainWindowState state;
    Controls ctl;
    std::vector<Popup> shown;
    PaneEvents events(state, ctl.c);
    events.setMenuPopper([&](QMenu* m, const QPoint& p) { shown.push_back({m, p}); });

    events.paneContextMenu(1, "", QPoint(5, 6));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].menu, ctl.c.myMenu);
    EXPECT_EQ(shown[0].pos, QPoint(5, 6));

    events.paneContextMenu(3, "http://127.0.0.1:1/box/", QPoint(1, 1));
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(state.ContextLink, "");
    events.paneContextMenu(3, "open://4", QPoint(7, 8));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].menu, ctl.c.webc);
    EXPECT_EQ(state.ContextLink, "open://4");

    events.paneContextMenu(7, "", QPoint(1, 1));
    EXPECT_EQ(shown.size(), 2u);
    ctl.playerUrl = "/films/a.mp4";
    events.paneContextMenu(7, "", QPoint(9, 9));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].menu, ctl.c.qvod_m);

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
    EXPECT_EQ(shown[0].menu, ctl.c.webc);
    EXPECT_EQ(state.ContextLink, "open://9");
}

TEST(WebPaneEvents, DefaultPopperIgnoresEmptyMenus) {
    MainWindowState state;
    Controls ctl;
    PaneEvents events(state, ctl.c);
    events.paneContextMenu(1, "", QPoint(10, 10));
    EXPECT_FALSE(ctl.c.myMenu->isVisible());
    ctl.c.myMenu->addAction("item");
    events.paneContextMenu(1, "", QPoint(10, 10));
    EXPECT_TRUE(ctl.c.myMenu->isVisible());
    ctl.c.myMenu->hide();
}

TEST(WebPaneEvents, ClosingTheLiveTvViewShowsTheIdlePage) {
    MainWindowState state;
    state.CurrentView = View::LiveTv;
    Controls ctl;
    RecordingPane web10;
    web10.cancel = [](const QString&) { return true; };
    ctl.c.panes[paneSlot(Pane::LiveTv)] = web10.pane.get();
    PaneEvents events(state, ctl.c);
    events.gtv_Click();
    EXPECT_TRUE(ctl.c.gtv->isHidden());
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
    ctl.c.qvod->setGeometry(0, 0, 600, 400);
    ctl.c.qvod->hide();
    ctl.c.times->setGeometry(100, 3, 120, 18);
    ctl.c.times->setText("01:02/03:04");
    ctl.c.bo_name->setText("film");
    ctl.c.gunt1->setGeometry(200, 5, 10, 10);
    ctl.c.gunt2->setGeometry(0, 7, 200, 4);
    ctl.c.huan->setGeometry(30, 7, 300, 4);
    PaneEvents events(state, ctl.c);

    events.ggx_Click();
    EXPECT_EQ(ctl.c.gunt1->pos(), QPoint(0, 5));
    EXPECT_EQ(ctl.c.gunt2->geometry(), QRect(0, 7, 0, 4));
    EXPECT_EQ(ctl.c.huan->geometry(), QRect(0, 7, 0, 4));
    EXPECT_EQ(ctl.c.bo_name->text(), "");
    EXPECT_EQ(ctl.c.times->text(), "");
    EXPECT_EQ(ctl.c.times->pos(), QPoint(600 - 120 - 13, 3));
    EXPECT_TRUE(ctl.c.Pic2->isHidden());
    EXPECT_FALSE(ctl.c.qvod->isHidden());
    EXPECT_EQ(web2.seen, QStringList{"about:blank"});
    EXPECT_EQ(state.CurrentView, View::Nothing);
}

TEST(WebPaneEvents, MissingControlsAreSkipped) {
    MainWindowState state;
    PaneControls none;
    none.base = "http://127.0.0.1:1/box/";
    PaneEvents events(state, none);
    events.Web1_DownloadComplete();
    events.Web1_NavigateError("http://127.0.0.1:1/box/");
    EXPECT_EQ(state.HomePageFailed, 1);
    events.jia_Click();
    EXPECT_EQ(state.HomePageFailed, 0);
    events.Web7_NavigateError();
    events.Web8_NavigateError();
    events.paneContextMenu(1, "", {});
    events.paneContextMenu(3, "open://1", {});
    events.paneContextMenu(7, "", {});
    events.paneContextMenu(0, "", {});
    events.paneContextMenu(12, "", {});
    state.CurrentView = View::LiveTv;
    events.gtv_Click();
    events.ggx_Click();
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
