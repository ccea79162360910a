// The scrolling notice's steps with recorded desktop: the slide, the change
// every 102 steps, the hold under the mouse, clicks, and a timer that waits
// in one piece while nothing moves.
#include "extras/scrolling_notice.h"

#include "extras_fakes.h"
#include "platform/text_fetcher.h"
#include "state/main_window_state.h"
#include "window/picture_box.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace qarvel::extras::test {
namespace {

struct Rig {
    Rig() {
        bar.resize(800, 43);
        firstNoticeLine = new window::Label(QString(), &bar);
        firstNoticeLine->setAutoSize(true);
        firstNoticeLine->setForeColour(window::colourFromNumber(ScrollingNotice::kNormalColour));
        firstNoticeLine->move(470, 18);
        notice = std::make_unique<ScrollingNotice>(state, NoticeControls{&bar, firstNoticeLine, &noticeScrollTimer},
                                                   NoticeServices{fetcher, shell, [this] { ++hoverResets; }},
                                                   "http://127.0.0.1:9/box/");
        noticeScrollTimer.setInterval(50);
    }
    // Runs the timer's expiries until `done` or `limitMs` of timer time;
    // returns the timer time spent.
    int runUntil(const std::function<bool()>& done, int limitMs = 60000) {
        int spent = 0;
        while (!done() && spent < limitMs && noticeScrollTimer.isActive()) {
            spent += noticeScrollTimer.interval();
            notice->scrollNotice();
        }
        return spent;
    }
    window::Label* label(int k) { return notice->labels().value(k); }

    QApplication* application = app();  // before any widget
    MainWindowState state;
    window::PictureBox bar;
    window::Label* firstNoticeLine = nullptr;
    QTimer noticeScrollTimer;
    platform::TextFetcher fetcher;
    RecordingShell shell;
    int hoverResets = 0;
    std::unique_ptr<ScrollingNotice> notice;
};

const QString kThree = "第一条||http://127.0.0.1/box/$$$第二条||*$$$第三条||zuvovod://1-0-0-x";

TEST(ScrollingNotice, ItemsGetLabelsBelowTheirRestingPlaceAndTheTimerStarts) {
    Rig r;
    r.notice->apply(kThree + "$$$");
    ASSERT_EQ(r.notice->labels().size(), 3);
    EXPECT_EQ(r.label(1)->objectName(), "La_1");
    EXPECT_EQ(r.label(2)->text(), "第三条");
    EXPECT_EQ(r.label(2)->y(), 30);
    EXPECT_TRUE(r.label(1)->isHidden());
    EXPECT_EQ(r.state.NoticeLastIndex, 2);
    EXPECT_EQ(r.state.NoticeBaseTop, 18);
    EXPECT_EQ(r.state.NoticeLinks[0], "http://127.0.0.1/box/");
    EXPECT_TRUE(r.noticeScrollTimer.isActive());
    EXPECT_EQ(r.noticeScrollTimer.interval(), 50);
}

TEST(ScrollingNotice, ANoticeSlidesUpThenRestsAndChangesEveryFiveSecondsAndAHundredMs) {
    Rig r;
    r.notice->apply(kThree);
    // Six 50 ms steps of 2 up.
    EXPECT_EQ(r.runUntil([&] { return r.label(0)->y() == 18; }), 300);
    EXPECT_FALSE(r.label(0)->isHidden());
    // At rest the timer waits in one piece until the change is due.
    EXPECT_GT(r.noticeScrollTimer.interval(), 1000);
    const int toChange = 300 + r.runUntil([&] { return r.state.NoticeCurrent == 1; });
    EXPECT_EQ(toChange, 102 * 50);
    EXPECT_TRUE(r.label(0)->isHidden());
    EXPECT_EQ(r.label(0)->y(), 30);
    // The next one slides in, and after the last comes the first again.
    EXPECT_EQ(r.runUntil([&] { return r.state.NoticeCurrent == 2; }), 102 * 50);
    EXPECT_EQ(r.runUntil([&] { return r.state.NoticeCurrent == 0; }), 102 * 50);
    r.runUntil([&] { return !r.label(0)->isHidden(); });
    EXPECT_FALSE(r.label(0)->isHidden());
}

TEST(ScrollingNotice, HoverHoldsAndUnderlinesUntilTheMouseIsOnTheBar) {
    Rig r;
    r.notice->apply(kThree);
    r.notice->noticeLineMouseMove(0);
    EXPECT_TRUE(r.label(0)->font().underline());
    EXPECT_EQ(r.state.NoticeHover, 1);
    r.runUntil([&] { return false; }, 3 * 102 * 50);
    EXPECT_EQ(r.state.NoticeCurrent, 0);  // held through three count-overs
    r.notice->controlBarMouseMove();
    EXPECT_FALSE(r.label(0)->font().underline());
    EXPECT_EQ(r.state.NoticeHover, 0);
    EXPECT_EQ(r.hoverResets, 1);
    EXPECT_LE(r.runUntil([&] { return r.state.NoticeCurrent == 1; }), 102 * 50);
}

TEST(ScrollingNotice, AClickOpensOnlyBrowserLinksAndEndsTheHoverLook) {
    Rig r;
    r.notice->apply(kThree);
    for (int k = 0; k < 3; ++k) {
        r.state.NoticeCurrent = k;
        r.state.NoticeHover = 0;
        r.notice->noticeLineMouseMove(k);
        r.notice->openNoticeLink(k);
        EXPECT_FALSE(r.label(k)->font().underline());
        EXPECT_EQ(r.state.NoticeHover, 2);
        // Hovering does nothing until the mouse has left the notice.
        r.notice->noticeLineMouseMove(k);
        EXPECT_FALSE(r.label(k)->font().underline());
    }
    // "*" opens nothing; a program link never goes to the desktop.
    EXPECT_EQ(r.shell.opened, QStringList{"http://127.0.0.1/box/"});
    // The cycle went on meanwhile.
    EXPECT_TRUE(r.noticeScrollTimer.isActive());
}

TEST(ScrollingNotice, ASingleNoticeStaysWhereItIsShownAndNothingRuns) {
    Rig r;
    r.notice->apply("只有一条||*");
    EXPECT_EQ(r.firstNoticeLine->pos(), QPoint(470, 16));
    EXPECT_FALSE(r.firstNoticeLine->isHidden());
    EXPECT_FALSE(r.noticeScrollTimer.isActive());
}

TEST(ScrollingNotice, AtMostFiftyOneLabelsAndNothingForAFileWithoutNotices) {
    Rig r;
    r.notice->apply("没有通知");
    r.notice->apply(QString());
    EXPECT_EQ(r.notice->labels().size(), 1);
    EXPECT_FALSE(r.noticeScrollTimer.isActive());
    EXPECT_EQ(r.state.NoticeShowMs, 0);
    QStringList items;
    for (int i = 0; i < 60; ++i) items << QStringLiteral("通知%1||*").arg(i);
    r.notice->apply(items.join("$$$"));
    EXPECT_EQ(r.notice->labels().size(), 51);
    EXPECT_EQ(r.state.NoticeLastIndex, 50);
}

}  // namespace
}  // namespace qarvel::extras::test
