// The borderless window's edge band, drag, hover looks and compact-mode exit.
#include "window_fixture.h"

#include "window/units.h"

#include <QScreen>
#include <QTest>

using namespace qarvel;
using namespace qarvel::window;
using namespace qarvel::window::testing;

TEST(WindowChrome, EdgeZonesAndCursors) {
    const int W = 1200, H = 700;
    struct Case {
        int x, y, cursor, hit;
        Qt::CursorShape shape;
    };
    const Case cases[] = {
        {0, 0, 8, 13, Qt::SizeFDiagCursor},                                             // top-left
        {3, 3, 8, 13, Qt::SizeFDiagCursor},                                             // the band includes 3
        {3, 350, 9, 10, Qt::SizeHorCursor},                                             // left edge at x = 3
        {4, 350, 0, 0, Qt::ArrowCursor},                                                // x = 4 is interior
        {0, 697, 6, 16, Qt::SizeBDiagCursor},                                           // bottom-left (y ≥ H − 3)
        {0, 696, 9, 10, Qt::SizeHorCursor},      {600, 2, 7, 12, Qt::SizeVerCursor},    // top edge
        {600, 4, 0, 0, Qt::ArrowCursor},         {600, 699, 7, 15, Qt::SizeVerCursor},  // bottom edge
        {1197, 0, 6, 14, Qt::SizeBDiagCursor},                                          // top-right
        {1197, 350, 9, 11, Qt::SizeHorCursor},                                          // right edge at W − 3
        {1196, 350, 0, 0, Qt::ArrowCursor},                                             // W − 4 is interior
        {1198, 698, 8, 17, Qt::SizeFDiagCursor},  // 2 from the right and the bottom
    };
    for (const Case& k : cases) {
        const EdgeZone z = edgeZoneAt(k.x, k.y, W, H);
        EXPECT_EQ(z.cursor, k.cursor) << k.x << "," << k.y;
        EXPECT_EQ(z.hitCode, k.hit) << k.x << "," << k.y;
        EXPECT_EQ(cursorShape(z.cursor), k.shape) << k.x << "," << k.y;
    }
    EXPECT_EQ(edgeZoneAt(1198, 698, W, H).edges, Qt::RightEdge | Qt::BottomEdge);
    EXPECT_EQ(edgeZoneAt(0, 0, W, H).edges, Qt::LeftEdge | Qt::TopEdge);
}

TEST(WindowChrome, HoverOverTheBandShowsTheSizingCursor) {
    FakeWindow f;
    f.open(1200, 700);
    f.chrome->onWindowMouseMove(Qt::NoButton, 1198, 698);
    EXPECT_EQ(f.window->cursor().shape(), Qt::SizeFDiagCursor);
    EXPECT_FALSE(f.chrome->overInterior());
    f.chrome->onWindowMouseMove(Qt::NoButton, 4, 350);
    EXPECT_EQ(f.window->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(f.chrome->overInterior());
    // Hover colours are reset by any move over the surface.
    f.c.leaveCompactButton->setForeColour(colourFromNumber(kHoverColour));
    f.c.sideListCommand->setForeColour(colourFromNumber(kHoverColour));
    f.chrome->onWindowMouseMove(Qt::NoButton, 600, 20);
    EXPECT_EQ(numberFromColour(f.c.leaveCompactButton->foreColour()), kJbiColour);
    EXPECT_EQ(numberFromColour(f.c.sideListCommand->foreColour()), kQkColour);
}

TEST(WindowChrome, ResizeFromTheCornerStoresTheSizeInTwips) {
    FakeWindow f;
    f.open(1200, 700);
    // A press 2 pixels from the right and the bottom edge, a drag, a release.
    QTest::mousePress(f.window.get(), Qt::LeftButton, {}, QPoint(1198, 698));
    EXPECT_TRUE(f.chrome->sizingActive());
    EXPECT_EQ(f.window->cursor().shape(), Qt::SizeFDiagCursor);
    QTest::mouseMove(f.window.get(), QPoint(1148, 648));
    QApplication::processEvents();
    EXPECT_EQ(f.window->size(), QSize(1150, 650));
    QTest::mouseRelease(f.window.get(), Qt::LeftButton, {}, QPoint(1148, 648));
    EXPECT_FALSE(f.chrome->sizingActive());
    EXPECT_EQ(f.settings.values.value("S_q/h_w"), QString::number(1150 * 15));
    EXPECT_EQ(f.settings.values.value("S_q/h_h"), QString::number(650 * 15));
    // The layout followed.
    EXPECT_EQ(f.c.windowButtons[WindowButton::Close]->x(), 1150 - 32);
}

TEST(WindowChrome, ResizeInCompactModeIsNotStored) {
    FakeWindow f;
    f.open(1200, 700);
    f.state.CompactMode = 1;
    f.window->resize(393, 320);
    QApplication::processEvents();
    QTest::mousePress(f.window.get(), Qt::LeftButton, {}, QPoint(392, 160));
    QTest::mouseMove(f.window.get(), QPoint(452, 160));
    QTest::mouseRelease(f.window.get(), Qt::LeftButton, {}, QPoint(452, 160));
    EXPECT_EQ(f.window->width(), 453);
    EXPECT_EQ(f.settings.writes, 0);
}

TEST(WindowChrome, DraggingTheSurfaceMovesTheWindowButNotWhenMaximised) {
    FakeWindow f;
    f.open(1000, 600);
    f.window->move(50, 40);
    QApplication::processEvents();
    const QPoint start = f.window->pos();
    QTest::mousePress(f.window.get(), Qt::LeftButton, {}, QPoint(100, 20));
    QTest::mouseMove(f.window.get(), QPoint(110, 25));
    QTest::mouseMove(f.window.get(), QPoint(130, 45));
    QTest::mouseRelease(f.window.get(), Qt::LeftButton, {}, QPoint(130, 45));
    QApplication::processEvents();
    EXPECT_EQ(f.window->pos(), start + QPoint(30, 25));
    EXPECT_EQ(f.window->size(), QSize(1000, 600));
    EXPECT_EQ(f.settings.writes, 0);

    f.buttons->pressWindowButton(WindowButton::Maximise);
    QApplication::processEvents();
    ASSERT_TRUE(f.window->isMaximized());
    const QRect maximised = f.window->geometry();
    QTest::mousePress(f.window.get(), Qt::LeftButton, {}, QPoint(100, 20));
    QTest::mouseMove(f.window.get(), QPoint(150, 60));
    QTest::mouseRelease(f.window.get(), Qt::LeftButton, {}, QPoint(150, 60));
    EXPECT_EQ(f.window->geometry(), maximised);
    // Neither does a press in the band resize a maximised window.
    QTest::mousePress(f.window.get(), Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_FALSE(f.chrome->sizingActive());
    QTest::mouseRelease(f.window.get(), Qt::LeftButton, {}, QPoint(1, 1));
}

TEST(WindowChrome, TitleButtonHoverFacesAndBalloon) {
    FakeWindow f;
    f.open(1200, 700);
    auto& c = f.c;
    f.chrome->windowButtonMouseMove(0, 5, 5);
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::Minimise]->picture(), 0, 0), codeOf(0, 2, 72, 0));
    ASSERT_FALSE(c.buttonBalloon->isHidden());
    EXPECT_EQ(c.balloonText->text(), QStringLiteral("最小化"));
    EXPECT_EQ(c.balloonText->pos(), QPoint(2, 2));
    EXPECT_EQ(c.buttonBalloon->geometry(), QRect(c.windowButtons[WindowButton::Minimise]->x() - 5, 4 + 24 + 3,
                                                 c.balloonText->width() + 5, c.balloonText->height() + 5));
    f.chrome->windowButtonMouseMove(0, -1, -1);
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::Minimise]->picture(), 0, 0), codeOf(0, 1, 72, 0));
    EXPECT_TRUE(c.buttonBalloon->isHidden());

    // Always on top: the tooltip decides between the off and the on faces.
    f.chrome->windowButtonMouseMove(4, 3, 3);
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::AlwaysOnTop]->picture(), 0, 0), codeOf(0, 6, 24, 0));
    c.windowButtons[WindowButton::AlwaysOnTop]->setTip(QStringLiteral("取消置顶"));
    f.chrome->windowButtonMouseMove(4, 3, 3);
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::AlwaysOnTop]->picture(), 0, 0), codeOf(0, 6, 72, 0));
    f.chrome->windowButtonMouseMove(4, 30, 3);
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::AlwaysOnTop]->picture(), 0, 0), codeOf(0, 6, 48, 0));

    // Maximised: the maximise button shows the restore faces.
    f.buttons->pressWindowButton(WindowButton::Maximise);
    QApplication::processEvents();
    EXPECT_EQ(c.windowButtons[WindowButton::Maximise]->tip(), QStringLiteral("还原"));
    f.chrome->windowButtonMouseMove(1, 10, 10);
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::Maximise]->picture(), 0, 0), codeOf(0, 5, 24, 0));
    EXPECT_EQ(c.balloonText->text(), QStringLiteral("还原"));
    // A click hides the balloon first.
    f.buttons->pressWindowButton(WindowButton::Maximise);
    EXPECT_TRUE(c.buttonBalloon->isHidden());
    EXPECT_EQ(c.windowButtons[WindowButton::Maximise]->tip(), QStringLiteral("最大化"));
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::Maximise]->picture(), 0, 0), codeOf(0, 1, 96, 0));

    // Buttons beyond 7 do not react; 6 and 7 only hide the balloon.
    f.chrome->windowButtonMouseMove(2, 1, 1);
    f.chrome->windowButtonMouseMove(7, 1, 1);
    EXPECT_FALSE(c.buttonBalloon->isHidden());
    f.chrome->windowButtonMouseMove(7, 500, 1);
    EXPECT_TRUE(c.buttonBalloon->isHidden());
}

TEST(WindowChrome, RightButtonSwallowsTheNextClick) {
    FakeWindow f;
    f.open(1200, 700);
    f.buttons->windowButtonMouseDown(9, Qt::RightButton);
    f.buttons->pressWindowButton(WindowButton::PlayerTab);
    EXPECT_EQ(f.state.MainTab, MainTab::Catalogue);
    EXPECT_EQ(f.state.RightButtonFlag, 0);
    f.buttons->windowButtonMouseDown(9, Qt::LeftButton);
    f.buttons->pressWindowButton(WindowButton::PlayerTab);
    EXPECT_EQ(f.state.MainTab, MainTab::Player);

    // A right press on the surface: the next double click does nothing.
    QTest::mousePress(f.window.get(), Qt::RightButton, {}, QPoint(600, 20));
    QTest::mouseRelease(f.window.get(), Qt::RightButton, {}, QPoint(600, 20));
    EXPECT_EQ(f.state.RightButtonFlag, 1);
    f.buttons->onWindowDoubleClick();
    EXPECT_FALSE(f.window->isMaximized());
    EXPECT_EQ(f.state.RightButtonFlag, 0);
    f.buttons->onWindowDoubleClick();
    EXPECT_TRUE(f.window->isMaximized());
}

TEST(WindowChrome, LeavingCompactModeRestoresTheStoredSize) {
    FakeWindow f;
    f.open(1200, 700);
    auto& c = f.c;
    // Compact player, as the compact button leaves it.
    f.state.CompactMode = 1;
    for (PictureBox* b : c.windowButtons) b->hide();
    c.logo->hide();
    c.titleCaption->hide();
    c.controlBar->hide();
    c.playerSidebar->hide();
    c.webPlayerCloseButton->hide();
    c.compactTitle->show();
    c.leaveCompactButton->show();
    f.window->resize(393, 320);
    QApplication::processEvents();

    f.settings.values["S_q/h_w"] = "15000";
    f.settings.values["S_q/h_h"] = "9000";
    c.leaveCompactButton->setForeColour(colourFromNumber(kHoverColour));
    QTest::mouseClick(c.leaveCompactButton, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(f.state.CompactMode, 0);
    EXPECT_EQ(f.state.SavedWidth, 15000);
    EXPECT_EQ(f.state.SavedHeight, 9000);
    EXPECT_EQ(f.window->size(), QSize(1000, 600));
    const QRect screen = f.window->screen()->geometry();
    EXPECT_EQ(f.window->pos(),
              QPoint(screen.x() + (screen.width() - 1000) / 2, screen.y() + (screen.height() - 600) / 2));
    for (PictureBox* b : c.windowButtons) EXPECT_FALSE(b->isHidden()) << b->objectName().toStdString();
    EXPECT_TRUE(c.leaveCompactButton->isHidden());
    EXPECT_TRUE(c.compactTitle->isHidden());
    EXPECT_FALSE(c.playerSidebar->isHidden());  // the sidebar was open before
    EXPECT_FALSE(c.webPlayerCloseButton->isHidden());
    EXPECT_FALSE(c.controlBar->isHidden());
    EXPECT_EQ(c.titleCaption->text(), QStringLiteral("Qarvel影视盒 1.0"));
    // The normal layout is back.
    EXPECT_EQ(c.playerPage->geometry(), QRect(2, 39, 996, 515));
    EXPECT_EQ(c.statusText->width(), c.statusText->sizeHint().width());
}

TEST(WindowChrome, LeavingCompactModeWithoutAStoredSizeKeepsTheMinimum) {
    FakeWindow f;
    f.open(1200, 700);
    auto& c = f.c;
    f.state.CompactMode = 2;
    c.channelSidebar->hide();
    c.windowButtons[WindowButton::TvSidebarStrip]->setTip(QStringLiteral("显示侧栏"));  // was closed before
    f.window->resize(393, 320);
    QApplication::processEvents();
    f.settings.values["S_q/h_w"] = "0";
    f.settings.values["S_q/h_h"] = "garbage";
    f.chrome->leaveCompactMode();
    QApplication::processEvents();
    EXPECT_GE(twipsFromPixels(f.window->width()), 13500);
    EXPECT_GE(twipsFromPixels(f.window->height()), 7000);
    EXPECT_EQ(f.state.SavedHeight, 0);
    EXPECT_TRUE(c.channelSidebar->isHidden());
    EXPECT_FALSE(c.liveTvCloseButton->isHidden());
    const QRect screen = f.window->screen()->geometry();
    EXPECT_EQ(f.window->x(), screen.x() + (screen.width() - f.window->width()) / 2);
}

TEST(WindowChrome, PlatformResizeIsStoredWhenItGoesQuietAndWhenThePointerComesBack) {
    FakeWindow f;
    f.open(1200, 700);
    // A platform that runs the resize itself: size changes arrive without
    // pointer events, and the release goes to the platform.
    Qt::Edges asked{};
    f.chrome->startSystemResize = [&](Qt::Edges e) {
        asked = e;
        return true;
    };
    f.chrome->onWindowMouseDown(Qt::LeftButton, 1199, 350);
    EXPECT_EQ(asked, Qt::RightEdge);
    ASSERT_TRUE(f.chrome->sizingActive());
    f.window->resize(1100, 700);
    QTest::qWait(600);
    EXPECT_EQ(f.settings.values.value("S_q/h_w"), QString::number(1100 * 15));
    // The resize goes on after a pause.
    f.window->resize(1050, 690);
    QTest::qWait(600);
    EXPECT_EQ(f.settings.values.value("S_q/h_w"), QString::number(1050 * 15));
    EXPECT_EQ(f.settings.values.value("S_q/h_h"), QString::number(690 * 15));
    // The pointer comes back with the button up: the resize is over.
    f.window->resize(1040, 690);
    f.chrome->onWindowMouseMove(Qt::NoButton, 500, 300);
    EXPECT_FALSE(f.chrome->sizingActive());
    EXPECT_EQ(f.settings.values.value("S_q/h_w"), QString::number(1040 * 15));
    // Later size changes are not the user's.
    const int writes = f.settings.writes;
    f.window->resize(1000, 650);
    QTest::qWait(600);
    EXPECT_EQ(f.settings.writes, writes);

    // A move handed over to the platform moves nothing here.
    bool moveAsked = false;
    f.chrome->startSystemMove = [&] { return moveAsked = true; };
    const QPoint pos = f.window->pos();
    f.chrome->onWindowMouseDown(Qt::LeftButton, 300, 20);
    f.chrome->onWindowMouseMove(Qt::LeftButton, 320, 30);
    EXPECT_TRUE(moveAsked);
    EXPECT_EQ(f.window->pos(), pos);
}
