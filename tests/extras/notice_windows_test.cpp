// The pop-up notice's timers step by step (first delay, interval, repeat,
// end of the series) and the side window's close picture and self-close.
#include "extras/popup_window.h"
#include "extras/side_window.h"

#include "extras_fakes.h"
#include "platform/text_fetcher.h"
#include "support/wait_until.h"
#include "window/picture_box.h"

#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

namespace qarvel::extras::test {
namespace {

// Nothing listens on the discard port: pages fail fast, nothing is shown.
const QString kBase = "http://127.0.0.1:9/box/";

struct PopupRig {
    PopupRig() : window((app(), PopupServices{fetcher, shell, [] { return QRect(0, 0, 1600, 1000); }}), kBase) {}
    void ticks(QTimer* timer, int n) {
        for (int i = 0; i < n && timer->isActive(); ++i)
            timer == window.firstPageTimer() ? window.waitForFirstPage() : window.showNextPage();
    }
    platform::TextFetcher fetcher;
    RecordingShell shell;
    PopupWindow window;
};

TEST(PopupWindow, DefaultsShowTheFirstPageAfterTwoMinutesAndEndAfterTheLastInterval) {
    PopupRig r;
    QSignalSpy finished(&r.window, &PopupWindow::finished);
    r.window.apply("0||0||0||http://127.0.0.1:9/a.htm$$$http://127.0.0.1:9/b.htm");
    ASSERT_TRUE(r.window.firstPageTimer()->isActive());
    r.ticks(r.window.firstPageTimer(), 119);
    EXPECT_TRUE(r.window.firstPageTimer()->isActive());
    EXPECT_FALSE(r.window.nextPageTimer()->isActive());
    r.ticks(r.window.firstPageTimer(), 1);
    EXPECT_FALSE(r.window.firstPageTimer()->isActive());
    EXPECT_TRUE(r.window.nextPageTimer()->isActive());
    EXPECT_EQ(r.window.pageIndex(), 0);
    r.ticks(r.window.nextPageTimer(), 29);
    EXPECT_EQ(r.window.pageIndex(), 0);
    r.ticks(r.window.nextPageTimer(), 1);
    EXPECT_EQ(r.window.pageIndex(), 1);
    r.ticks(r.window.nextPageTimer(), 29);
    EXPECT_EQ(finished.count(), 0);
    r.ticks(r.window.nextPageTimer(), 1);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(r.window.nextPageTimer()->isActive());
    EXPECT_TRUE(r.window.isHidden());
}

TEST(PopupWindow, ARepeatingSeriesComesBackForEver) {
    PopupRig r;
    QSignalSpy finished(&r.window, &PopupWindow::finished);
    r.window.apply("10||5||1||http://127.0.0.1:9/a.htm");
    r.ticks(r.window.firstPageTimer(), 10);
    ASSERT_TRUE(r.window.nextPageTimer()->isActive());
    for (int round = 0; round < 20; ++round) {
        r.ticks(r.window.nextPageTimer(), 5);
        EXPECT_EQ(r.window.pageIndex(), 0);
    }
    EXPECT_TRUE(r.window.nextPageTimer()->isActive());
    EXPECT_EQ(finished.count(), 0);
}

TEST(PopupWindow, NoControlFileLeavesTheWindowSilent) {
    for (const QString& bad : {QString(), QStringLiteral("当前没有通知"), QStringLiteral("60|30|0|http://h/")}) {
        PopupRig r;
        r.window.apply(bad);
        EXPECT_FALSE(r.window.firstPageTimer()->isActive());
        EXPECT_FALSE(r.window.nextPageTimer()->isActive());
        EXPECT_TRUE(r.window.isHidden());
    }
}

TEST(PopupWindow, TheClosePictureHidesButTheSeriesGoesOn) {
    PopupRig r;
    r.window.apply("1||1||1||http://127.0.0.1:9/a.htm");
    r.ticks(r.window.firstPageTimer(), 1);
    r.window.show();
    r.window.hidePopup();
    EXPECT_TRUE(r.window.isHidden());
    EXPECT_TRUE(r.window.nextPageTimer()->isActive());
    EXPECT_TRUE(r.window.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(r.window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(r.window.windowFlags() & Qt::FramelessWindowHint);
}

TEST(SideWindow, TheClosePictureAppearsAfterOneSecondAndTheWindowClosesItselfAtTwenty) {
    app();
    RecordingShell shell;
    SideWindow side(shell, kBase);
    QSignalSpy closed(&side, &SideWindow::closed);
    side.show();
    EXPECT_EQ(side.size(), QSize(299, 247));
    EXPECT_EQ(side.windowTitle(), "推荐");
    EXPECT_TRUE(side.Picture1()->isHidden());
    EXPECT_EQ(side.closePictureTimer()->interval(), 1000);
    EXPECT_EQ(side.closeTimer()->interval(), 20000);
    EXPECT_EQ(side.Picture1()->x(), side.width() - 55);
    side.showClosePicture();
    EXPECT_FALSE(side.Picture1()->isHidden());
    EXPECT_FALSE(side.closePictureTimer()->isActive());
    EXPECT_EQ(closed.count(), 0);
    side.closeSideWindow();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(side.isHidden());
}

TEST(SideWindow, TheClosePictureClosesItOnce) {
    app();
    RecordingShell shell;
    SideWindow side(shell, kBase);
    QSignalSpy closed(&side, &SideWindow::closed);
    side.show();
    side.closeFromPicture();
    side.closeSideWindow();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(side.isHidden());
    EXPECT_FALSE(side.closeTimer()->isActive());
}

}  // namespace
}  // namespace qarvel::extras::test
