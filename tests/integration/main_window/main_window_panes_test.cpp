// The main window with real browser panes against the demo service on
// loopback: first pages, the catalogue's error panel and its retry, and a
// program link reaching a pane's hook as the page wrote it.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "common/settings_file.h"
#include "platform/player_component.h"
#include "quiet_player.h"
#include "resources/skin_resources.h"
#include "service/demo_service.h"
#include "service/fault.h"
#include "support/recording_shell.h"
#include "support/run_script.h"
#include "support/wait_until.h"
#include "web/web_environment.h"
#include "web/web_pane.h"

#include <functional>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using qarvel::MainWindow;
using qarvel::testing::QuietPlayer;
namespace svc = qarvel::service;
namespace ep = qarvel::service::endpoint;

namespace {

QApplication* app() {
    static QApplication* a = [] {
        qarvel::web::prepareWebEngineEnvironment();
        static int argc = 1;
        static char name[] = "main_window_pane_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return a;
}

using qarvel::test::waitUntil;

// A whole window of panes loads slowly on a shared machine.
constexpr int kPanesMs = 15000;

using qarvel::test::runScript;

const QString kUser = QStringLiteral("00-1A-2B-3C-4D-5E");

struct Running {
    explicit Running(svc::DemoService& service) {
        app();
        EXPECT_TRUE(qarvel::WriteSetting(home.path() + "/config.dll", "user", "Name", kUser));
        base = QString::fromStdString(service.baseUrl());
        application = std::make_unique<qarvel::Application>(qarvel::ApplicationOptions{
            .files = qarvel::ProgramFiles::inFolder(home.path()), .serviceBase = base, .player = &player});
        application->showMainWindow();
        window = application->window();
    }
    qarvel::web::WebPane* pane(int n) { return window->pane(n); }
    QString url(int n) { return pane(n)->url().toString(); }

    QTemporaryDir home;
    QuietPlayer player;
    QString base;
    std::unique_ptr<qarvel::Application> application;
    MainWindow* window = nullptr;
};

}  // namespace

TEST(MainWindowPanes, EveryPaneReachesItsFirstPage) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Running r(service);
    auto& c = r.window->controls();
    for (int n = 1; n <= 11; ++n) ASSERT_NE(r.pane(n), nullptr) << n;

    // The usage ping arrives with the identifier as stored.
    EXPECT_TRUE(waitUntil([&] { return service.pingCount(kUser.toStdString()) >= 1; }, kPanesMs));
    // The catalogue replaces the waiting panel once it has loaded.
    EXPECT_TRUE(waitUntil([&] { return !c.catalogueFrame->isHidden() && c.catalogueWaitPanel->isHidden(); }, kPanesMs));
    EXPECT_EQ(r.window->state().HomePageFailed, 0);

    for (const char* endpoint : {ep::kHome, ep::kTvList, ep::kTvIdle, ep::kPauseAd, ep::kStopAd, ep::kHighlights})
        EXPECT_TRUE(waitUntil([&] { return service.requestCount(endpoint) >= 1; }, kPanesMs)) << endpoint;
    // A pane's address shows once its page is committed, a moment after the request.
    auto reaches = [&](int n, const std::function<bool(const QString&)>& expected) {
        return waitUntil([&] { return expected(r.url(n)); }, kPanesMs);
    };
    EXPECT_TRUE(reaches(1, [&](const QString& u) { return u == r.base; }));
    EXPECT_TRUE(reaches(2, [&](const QString& u) { return u == "about:blank"; }));
    EXPECT_TRUE(reaches(7, [&](const QString& u) { return u == r.base + "js/ads/qvodad.html"; }));
    EXPECT_TRUE(reaches(8, [&](const QString& u) { return u == r.base + "js/ads/bo.html"; }));
    EXPECT_TRUE(reaches(9, [&](const QString& u) { return u == r.base + "js/ads/jingcai.html"; }));
    EXPECT_TRUE(reaches(10, [&](const QString& u) { return u == r.base + "tv/ad.htm"; }));
    EXPECT_TRUE(reaches(11, [&](const QString& u) { return u == r.base + "tv/list.htm"; }));
    EXPECT_TRUE(reaches(3, [](const QString& u) { return u.endsWith("/c.htm"); }));
    EXPECT_TRUE(reaches(4, [](const QString& u) { return u.endsWith("/f.htm"); }));
    // Web5 carries the written dark page.
    EXPECT_TRUE(waitUntil(
        [&] {
            return runScript(r.pane(qarvel::Pane::EpisodeList), "getComputedStyle(document.body).backgroundColor")
                       .toString() == "rgb(33, 33, 33)";
        },
        kPanesMs));
}

TEST(MainWindowPanes, TheStartSendsTheCatalogueBeforeThePlayerAndTheWindowTakesIt) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    app();
    QTemporaryDir home;
    // When the player is made, the catalogue's pane, the only one yet, is on its way.
    int panesSentBeforeThePlayer = -1;
    auto sentPanes = [] {
        int sent = 0;
        for (QWidget* w : QApplication::allWidgets())
            if (auto* pane = qobject_cast<qarvel::web::WebPane*>(w)) sent += pane->wasSent() ? 1 : 0;
        return sent;
    };
    qarvel::Application application(
        qarvel::ApplicationOptions{.files = qarvel::ProgramFiles::inFolder(home.path()),
                                   .serviceBase = QString::fromStdString(service.baseUrl()),
                                   .makePlayer = [&](QString&) -> std::unique_ptr<qarvel::engine::Player> {
                                       panesSentBeforeThePlayer = sentPanes();
                                       return std::make_unique<QuietPlayer>();
                                   }});
    qarvel::platform::LinuxPlayerComponent component;
    qarvel::test::RecordingShell shell;
    ASSERT_EQ(application.start(component, shell), qarvel::StartupResult::WindowShown);
    EXPECT_EQ(panesSentBeforeThePlayer, 1);
    MainWindow& window = *application.window();
    auto* catalogue = window.pane(qarvel::Pane::Catalogue);
    EXPECT_EQ(catalogue->window(), &window);
    // The others wait for it; then it shows, and they follow.
    EXPECT_EQ(sentPanes(), 1);
    auto& c = window.controls();
    EXPECT_TRUE(waitUntil([&] { return !c.catalogueFrame->isHidden() && catalogue->isVisible(); }, kPanesMs));
    EXPECT_EQ(catalogue->url().toString(), QString::fromStdString(service.baseUrl()));
    EXPECT_TRUE(waitUntil([&] { return sentPanes() == qarvel::kPaneCount; }, kPanesMs));
}

TEST(MainWindowPanes, CatalogueErrorPanelHoldsUntilTheRetry) {
    // A port on which nothing answers yet: start, note it, stop.
    int port = 0;
    {
        svc::DemoService probe;
        ASSERT_TRUE(probe.start());
        port = probe.port();
    }
    svc::DemoService service(svc::Options{"127.0.0.1", port, {}});
    // The window starts while the service is down.
    app();
    QTemporaryDir home;
    QuietPlayer player;
    const QString base = QStringLiteral("http://127.0.0.1:%1/box/").arg(port);
    qarvel::Application application(qarvel::ApplicationOptions{
        .files = qarvel::ProgramFiles::inFolder(home.path()), .serviceBase = base, .player = &player});
    application.showMainWindow();
    MainWindow& window = *application.window();
    auto& c = window.controls();
    ASSERT_TRUE(waitUntil([&] { return window.state().HomePageFailed == 1; }, kPanesMs));
    EXPECT_TRUE(c.catalogueFrame->isHidden());
    EXPECT_FALSE(c.catalogueWaitPanel->isHidden());
    EXPECT_EQ(c.catalogueRetryPicture->pixmap().toImage(),
              c.catalogueErrorPicture->pixmap().toImage());  // the error picture

    // The service comes back; a page that loads does not lift the latch.
    ASSERT_TRUE(service.start()) << service.errorText();
    auto* catalogue = window.pane(qarvel::Pane::Catalogue);
    catalogue->navigate(base + "tv/list.htm");
    // The channel list asks for the same page as it starts: the catalogue's own load is waited for.
    ASSERT_TRUE(waitUntil(
        [&] { return catalogue->url().toString().endsWith("tv/list.htm") && !catalogue->page()->isLoading(); },
        kPanesMs));
    QTest::qWait(500);
    EXPECT_TRUE(c.catalogueFrame->isHidden());
    EXPECT_FALSE(c.catalogueWaitPanel->isHidden());

    // A click on the picture retries and the catalogue shows.
    QTest::mouseClick(c.catalogueRetryPicture, Qt::LeftButton);
    EXPECT_EQ(window.state().HomePageFailed, 0);
    EXPECT_TRUE(waitUntil([&] { return !c.catalogueFrame->isHidden() && c.catalogueWaitPanel->isHidden(); }, kPanesMs));
    EXPECT_TRUE(waitUntil([&] { return catalogue->url().toString() == base; }, kPanesMs))
        << catalogue->url().toString().toStdString();
}

TEST(MainWindowPanes, ProgramLinkReachesTheHookAsWritten) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Running r(service);
    auto* web1 = r.pane(qarvel::Pane::Catalogue);
    ASSERT_TRUE(waitUntil([&] { return !r.window->controls().catalogueFrame->isHidden(); }, kPanesMs));
    const QString before = web1->url().toString();
    QStringList seen;
    web1->setNavigationHook([&](const QString& raw) {
        seen << raw;
        return true;
    });
    const QString link =
        QStringLiteral("zvqvod://qvod&&&http%3A//127.0.0.1/a.mp4&&&%u7B2C%u4E00&&&%u7B2C1%u96C6&&&7&&&0&&&3&&&0");
    runScript(web1, QStringLiteral("var a = document.createElement('a'); a.href = '%1'; a.textContent = 'x';"
                                   "document.body.appendChild(a); a.click();")
                        .arg(link));
    ASSERT_TRUE(waitUntil([&] { return !seen.isEmpty(); }, 5000));
    EXPECT_EQ(seen.first(), link);
    QTest::qWait(300);
    EXPECT_EQ(web1->url().toString(), before);
    EXPECT_FALSE(r.window->controls().catalogueFrame->isHidden());
}
