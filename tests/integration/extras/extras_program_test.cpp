// The program follows its service: the scrolling notice cycles and opens its
// links, the pop-up notice appears bottom-right at its page's size, the side
// window shows at exit and closes, new-window links go to the desktop's
// browser, and control files that fail switch nothing on.
#include "integration/play/program_harness.h"

#include "extras/online_extras.h"
#include "extras/popup_window.h"
#include "extras/scrolling_notice.h"
#include "extras/side_window.h"
#include "extras/update_check.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>

using namespace playtest;
using qarvel::test::runEventsFor;

namespace {

int visibleWindows() {
    int n = 0;
    for (const QWidget* w : QApplication::topLevelWidgets()) n += w->isVisible() ? 1 : 0;
    return n;
}

// Notice on, everything else off.
const char kNoticeOnly[] = "0====0====0====1====0====1.0";

using Files = std::map<std::string, std::string>;

struct ExtrasProgram {
    explicit ExtrasProgram(const Files& files) {
        EXPECT_TRUE(service.start()) << service.errorText();
        for (const auto& [name, text] : files) service.setTextFile(name, text);
        p = std::make_unique<Program>(service.baseUrl());
    }
    // The update check, now rather than six seconds after start, through the
    // window's own timer.
    void checkNow() {
        p->c().updateCheckTimer->start(10);
        EXPECT_TRUE(waitUntil([&] { return service.requestCount(ep::kUpdateControl) >= 1; }));
        EXPECT_TRUE(waitUntil([&] { return !extras().updateCheck().fetchPending(); }));
    }
    qarvel::extras::OnlineExtras& extras() { return *p->application->parts().extras; }
    QString base() const { return QString::fromStdString(service.baseUrl()); }
    QImage bar() { return p->c().controlBar->grab().toImage(); }

    svc::DemoService service;
    std::unique_ptr<Program> p;
};

TEST(ServiceSwitches, TheNoticeCyclesThroughItsItemsAndAClickOpensTheLink) {
    ExtrasProgram x(Files{{ep::kUpdateControl, kNoticeOnly},
                          {ep::kNoticeList, "第一条通知||*$$$第二条通知：新片上线||http://127.0.0.1:9/box/new.htm"}});
    ASSERT_TRUE(x.p->started);
    x.checkNow();
    auto& notice = x.extras().notice();
    ASSERT_TRUE(waitUntil([&] { return notice.labels().size() == 2; }));
    qarvel::window::Label* first = notice.labels()[0];
    qarvel::window::Label* second = notice.labels()[1];
    ASSERT_TRUE(waitUntil([&] { return first->isVisible() && first->y() == x.p->state().NoticeBaseTop; }));
    EXPECT_EQ(first->text(), QStringLiteral("第一条通知"));
    const QImage one = x.bar();
    x.p->window().grabScreenshot(QStringLiteral("extras-notice-1.png"));
    // About five seconds later the second one has slid in.
    ASSERT_TRUE(waitUntil([&] { return second->isVisible() && second->y() == x.p->state().NoticeBaseTop; }, 8000));
    EXPECT_TRUE(first->isHidden());
    const QImage two = x.bar();
    x.p->window().grabScreenshot(QStringLiteral("extras-notice-2.png"));
    EXPECT_NE(one, two);

    QTest::mouseClick(second, Qt::LeftButton);
    EXPECT_EQ(x.p->shell.opened, QStringList{QStringLiteral("http://127.0.0.1:9/box/new.htm")});
    EXPECT_EQ(x.p->state().NoticeHover, 2);
    EXPECT_FALSE(second->font().underline());
    // Only the notice file was asked for; the other switches stayed off.
    EXPECT_EQ(x.service.requestCount(ep::kNoticeList), 1);
    EXPECT_EQ(x.service.requestCount(ep::kPopupControl), 0);
    EXPECT_EQ(x.extras().popup(), nullptr);
}

TEST(ServiceSwitches, ThePopUpNoticeAppearsBottomRightAtItsPageSize) {
    ExtrasProgram x(Files{{ep::kUpdateControl, "0====1====0====0====0====1.0"}});
    x.service.setTextFile(ep::kPopupControl, "1||1||0||" + x.service.baseUrl() + ep::kRecommend);
    ASSERT_TRUE(x.p->started);
    x.checkNow();
    ASSERT_TRUE(waitUntil([&] { return x.extras().popup() != nullptr; }));
    qarvel::extras::PopupWindow* popup = x.extras().popup();
    QSignalSpy shown(popup, &qarvel::extras::PopupWindow::pageShown);
    EXPECT_TRUE(popup->isHidden());
    ASSERT_TRUE(waitUntil([&] { return shown.count() == 1; }, 15000));
    EXPECT_TRUE(popup->isVisible());
    // The recommendation page's content is 299 × 247 pixels.
    EXPECT_EQ(popup->size(), QSize(299, 247));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(popup->x() + popup->width(), screen.right() + 1 - 1);
    EXPECT_EQ(popup->y() + popup->height(), screen.bottom() + 1 - 32);
    EXPECT_EQ(popup->Web1()->geometry(), QRect(-2, -2, 303, 251));
    // The page's body lost its margin and scroll bars.
    EXPECT_EQ(runScript(popup->Web1(), "document.body.style.overflow").toString(), "hidden");

    // A link of the page to a new window hides the notice and goes to the browser.
    ASSERT_TRUE(clickIn(popup->Web1(), "a[target=_blank]"));
    ASSERT_TRUE(waitUntil([&] { return popup->isHidden(); }));
    ASSERT_EQ(x.p->shell.opened.size(), 1);
    EXPECT_TRUE(x.p->shell.opened[0].startsWith(x.base())) << x.p->shell.opened[0].toStdString();
    EXPECT_TRUE(popup->nextPageTimer()->isActive());
}

TEST(ServiceSwitches, TheSideWindowShowsAtExitAndTheEndFollowsItsClose) {
    ExtrasProgram x(Files{{ep::kUpdateControl, "1====0====0====0====0====1.0"}});
    ASSERT_TRUE(x.p->started);
    // Not asked for before the control file said so.
    EXPECT_FALSE(x.extras().showSideWindowAtExit([] {}));
    x.checkNow();
    EXPECT_EQ(x.p->state().SideWindowOnExit, "1");
    x.p->window().hide();
    bool ended = false;
    ASSERT_TRUE(x.extras().showSideWindowAtExit([&] { ended = true; }));
    qarvel::extras::SideWindow* side = x.extras().sideWindow();
    ASSERT_TRUE(side->isVisible());
    EXPECT_TRUE(side->Picture1()->isHidden());
    ASSERT_TRUE(waitUntil([&] { return x.service.requestCount(ep::kRecommend) == 1; }));
    ASSERT_TRUE(waitUntil([&] { return side->Picture1()->isVisible(); }, 3000));
    EXPECT_FALSE(ended);
    // The program's own event loop, as main() runs it: the side window is
    // its last window, so its close ends the loop (the guard's code 7 would
    // mean it did not).
    QTimer::singleShot(0, side, [side] { QTest::mouseClick(side->Picture1(), Qt::LeftButton); });
    QObject guard;
    QTimer::singleShot(5000, &guard, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(side->isHidden());
}

TEST(ServiceSwitches, ANewWindowFromTheSidePageClosesItAndOpensTheLink) {
    ExtrasProgram x(Files{{ep::kUpdateControl, "1====0====0====0====0====1.0"}});
    ASSERT_TRUE(x.p->started);
    x.checkNow();
    bool ended = false;
    ASSERT_TRUE(x.extras().showSideWindowAtExit([&] { ended = true; }));
    qarvel::extras::SideWindow* side = x.extras().sideWindow();
    ASSERT_TRUE(waitUntil([&] { return bodyText(side->Web1()).contains(QStringLiteral("今日推荐")); }));
    ASSERT_TRUE(clickIn(side->Web1(), "a[target=_blank]"));
    ASSERT_TRUE(waitUntil([&] { return ended; }));
    EXPECT_TRUE(side->isHidden());
    ASSERT_EQ(x.p->shell.opened.size(), 1);
    EXPECT_TRUE(x.p->shell.opened[0].startsWith(x.base()));
}

TEST(ServiceSwitches, NewWindowLinksInThePanesGoToTheBrowserOnlyForWebAddresses) {
    ExtrasProgram x(Files{});
    ASSERT_TRUE(x.p->started);
    ASSERT_TRUE(x.p->catalogueShown());
    const int windows = visibleWindows();
    runScript(x.p->pane(qarvel::Pane::Catalogue), "window.open('" + x.base() + "tv/list.htm'); true");
    ASSERT_TRUE(waitUntil([&] { return x.p->shell.opened.size() == 1; }));
    EXPECT_EQ(x.p->shell.opened[0], x.base() + "tv/list.htm");
    runScript(x.p->pane(qarvel::Pane::Catalogue),
              "window.open('file:///etc/passwd'); window.open('javascript:1'); true");
    runEventsFor(500);
    EXPECT_EQ(x.p->shell.opened.size(), 1);
    EXPECT_EQ(visibleWindows(), windows);
    EXPECT_TRUE(x.p->pane(qarvel::Pane::Catalogue)->url().toString().endsWith("/box/"));
}

TEST(ServiceSwitches, TheUpdateOfferIsMadeAndTheMenuEntryRepeatsIt) {
    ExtrasProgram x(Files{{ep::kUpdateControl, "0====0====0====0====0====2.0\r\n"}});
    ASSERT_TRUE(x.p->started);
    x.checkNow();
    EXPECT_EQ(x.p->dialogs.asked, QStringList{QStringLiteral("提示：|检测到最新版本 2.0 ,你需要现在升级吗？")});
    x.extras().shengji();
    EXPECT_EQ(x.p->dialogs.asked.size(), 2);
    EXPECT_TRUE(x.p->shell.opened.isEmpty());  // declined
}

// What "everything off" looks like after the check has run.
void expectAllOff(ExtrasProgram& x, const std::string& why) {
    SCOPED_TRACE(why);
    auto& s = x.p->state();
    EXPECT_EQ(s.SideWindowOnExit, "0");
    EXPECT_TRUE(s.LatestVersion.isEmpty());
    EXPECT_EQ(s.PauseAdState == 2, false);
    EXPECT_EQ(s.StopAdState, 0);
    EXPECT_FALSE(x.p->c().noticeScrollTimer->isActive());
    EXPECT_TRUE(x.p->c().noticeLines[0]->text().isEmpty());
    EXPECT_EQ(x.extras().popup(), nullptr);
    EXPECT_EQ(x.service.requestCount(ep::kNoticeList), 0);
    EXPECT_EQ(x.service.requestCount(ep::kPopupControl), 0);
    EXPECT_TRUE(x.p->dialogs.asked.isEmpty());
    EXPECT_FALSE(x.extras().showSideWindowAtExit([] {}));
    x.extras().shengji();
    EXPECT_EQ(x.p->dialogs.informed, QStringList{QStringLiteral("提示：|你现在使用的是最新版本，无需升级!")});
}

TEST(ServiceSwitches, FailingControlFilesSwitchNothingOn) {
    svc::Fault cut;
    cut.cutAfterBytes = 10;
    const std::pair<const char*, svc::Fault> cases[] = {
        {"status 500", svc::Fault::errorStatus(500)},
        {"garbage", svc::Fault::garbage()},
        {"huge", svc::Fault::huge()},
        {"cut", cut},
        {"closed", svc::Fault::closed()},
    };
    for (const auto& [why, fault] : cases) {
        ExtrasProgram x(Files{});
        ASSERT_TRUE(x.service.setFault(ep::kUpdateControl, fault)) << why;
        ASSERT_TRUE(x.p->started) << why;
        x.checkNow();
        expectAllOff(x, why);
    }
}

TEST(ServiceSwitches, ASlowControlFileKeepsTheWindowRespondingUntilItArrives) {
    ExtrasProgram x(Files{{ep::kUpdateControl, kNoticeOnly}});
    ASSERT_TRUE(x.service.setFault(ep::kUpdateControl, svc::Fault::delay(3000)));
    ASSERT_TRUE(x.p->started);
    x.p->c().updateCheckTimer->start(10);
    ASSERT_TRUE(waitUntil([&] { return x.service.requestCount(ep::kUpdateControl) == 1; }));
    // The window's own timers keep running meanwhile, and nothing is on yet.
    QElapsedTimer clock;
    clock.start();
    int ticks = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] { ++ticks; });
    probe.start(100);
    runEventsFor(1500);
    EXPECT_GE(ticks, 10);
    EXPECT_TRUE(x.extras().updateCheck().fetchPending());
    EXPECT_FALSE(x.p->c().noticeScrollTimer->isActive());
    // Then it applies like any other answer.
    ASSERT_TRUE(waitUntil([&] { return x.p->c().noticeScrollTimer->isActive(); }, 8000));
    EXPECT_GE(clock.elapsed(), 1400);
}

}  // namespace
