// Geometry of the main window's layout in its modes.
#include "window_fixture.h"

#include "window/units.h"

#include <QPainter>
#include <QScreen>

using namespace qarvel;
using namespace qarvel::window;
using namespace qarvel::window::testing;

namespace {

QRect overhang(const QWidget* panel) { return QRect(-2, -2, panel->width() + 4, panel->height() + 4); }

// Each widget starts right of the one before it: in this order, without overlap.
void expectLeftToRight(std::initializer_list<QWidget*> row) {
    const QWidget* before = nullptr;
    for (QWidget* w : row) {
        if (before) {
            EXPECT_LT(before->geometry().right(), w->x()) << w->objectName().toStdString();
        }
        before = w;
    }
}

}  // namespace

TEST(WindowLayout, EveryPartInItsPlaceForTheWindowSize) {
    FakeWindow f;
    f.open(1200, 700);
    auto& c = f.c;
    const int W = 1200, H = 700, sidebar = MainWindowLayout::kSidebarWidth;

    // The title-bar buttons end 8 pixels from the right edge; the tabs sit side by side.
    auto* b = c.windowButtons.data();
    expectLeftToRight({b[WindowButton::AlwaysOnTop], b[WindowButton::CompactMode], b[WindowButton::MainMenu],
                       b[WindowButton::Minimise], b[WindowButton::Maximise], b[WindowButton::Close]});
    EXPECT_EQ(b[WindowButton::Close]->geometry().right(), W - 9);
    expectLeftToRight({b[MainTab::Catalogue], b[MainTab::Player], b[MainTab::LiveTv], b[MainTab::Highlights]});
    EXPECT_EQ(b[MainTab::Player]->x(), b[MainTab::Catalogue]->geometry().right() + 1);

    // The pages fill the room between the tab row and the control bar.
    const QRect page = c.playerPage->geometry();
    for (QWidget* p : {c.cataloguePage, c.liveTvPage, c.highlightsPage})
        EXPECT_EQ(p->geometry(), page) << p->objectName().toStdString();
    EXPECT_EQ(page.width(), W - 4);
    EXPECT_EQ(c.controlBar->y(), page.bottom() + 1);
    EXPECT_EQ(c.controlBar->geometry().bottom(), H - 4);
    EXPECT_EQ(c.catalogueWaitPanel->geometry(), c.catalogueFrame->geometry());

    // The sidebars take the right edge of their page; the rest goes to the picture.
    for (auto [side, main, strip] : {std::tuple{c.playerSidebar, c.playerLeftArea, b[WindowButton::PlayerSidebarStrip]},
                                     std::tuple{c.channelSidebar, c.liveTvFrame, b[WindowButton::TvSidebarStrip]}}) {
        EXPECT_EQ(side->geometry(), QRect(page.width() - sidebar, 0, sidebar, page.height()));
        EXPECT_EQ(main->geometry(), QRect(0, 0, page.width() - sidebar, page.height()));
        EXPECT_EQ(strip->x(), side->x());
    }
    // The three lists share the room between the sidebar's header and footer.
    for (QWidget* list : {c.taskListFrame, c.localListFrame, c.episodeListFrame}) {
        EXPECT_EQ(list->y(), b[WindowButton::SidebarHeader]->geometry().bottom() + 1);
        EXPECT_EQ(list->geometry().bottom() + 1, c.sidebarFooter->y());
    }

    // Every pane reaches 2 pixels beyond its panel, hiding the browser's border.
    const std::pair<Pane, QWidget*> panes[] = {
        {Pane::Catalogue, c.catalogueFrame},     {Pane::WebPlayer, c.webPlayerFrame},
        {Pane::TaskList, c.taskListFrame},       {Pane::LocalList, c.localListFrame},
        {Pane::EpisodeList, c.episodeListFrame}, {Pane::PauseAd, c.pauseAdFrame},
        {Pane::StopAd, c.stopAdFrame},           {Pane::Highlights, c.highlightsPage},
        {Pane::LiveTv, c.liveTvFrame},           {Pane::ChannelList, c.channelSidebar}};
    for (auto [n, panel] : panes) EXPECT_EQ(c.webPanes[n]->geometry(), overhang(panel)) << "Web" << int(n);

    // Player area, bottom up: seek bar, status strip, picture; the advertisement area covers the picture.
    EXPECT_EQ(c.seekBar->geometry().bottom(), c.playerArea->height() - 1);
    EXPECT_EQ(c.statusStrip->geometry().bottom() + 1, c.seekBar->y());
    EXPECT_EQ(c.videoFrame->geometry(), QRect(0, 0, c.playerArea->width(), c.statusStrip->y()));
    EXPECT_EQ(c.adArea->geometry(), c.videoFrame->geometry());
    EXPECT_EQ(c.timeText->geometry().right(), c.playerArea->width() - 14);

    // Control bar: transport and volume from the left, the rest from the right.
    auto* t = c.transportButtons.data();
    expectLeftToRight({t[TransportButton::PlayPause], t[TransportButton::Stop], t[TransportButton::PreviousEpisode],
                       t[TransportButton::NextEpisode], t[TransportButton::Mute], c.volumeTrack,
                       t[TransportButton::OpenFile], t[TransportButton::FullScreen], t[TransportButton::Sidebar]});
    EXPECT_EQ(t[TransportButton::Sidebar]->geometry().right(), W - 23);

    // The outline: corners cut, the rest of the window kept.
    EXPECT_FALSE(c.mainWindow->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(c.mainWindow->mask().contains(QPoint(W - 1, H - 1)));
    EXPECT_TRUE(c.mainWindow->mask().contains(QPoint(1, 0)));
    EXPECT_TRUE(c.mainWindow->mask().contains(QPoint(W / 2, H / 2)));
}

TEST(WindowLayout, SnapsToTheMinimumSizeUnlessMaximised) {
    FakeWindow f;
    f.open(1200, 700);
    f.window->resize(600, 300);
    QApplication::processEvents();
    EXPECT_EQ(f.window->size(), QSize(900, 467));
    EXPECT_GE(twipsFromPixels(f.window->height()), MainWindowLayout::kMinHeightTwips);
    // Each dimension separately.
    f.window->resize(1000, 100);
    QApplication::processEvents();
    EXPECT_EQ(f.window->size(), QSize(1000, 467));
    // The layout followed the snapped size.
    EXPECT_EQ(f.c.windowButtons[WindowButton::Close]->x(), 1000 - 32);
    EXPECT_EQ(f.c.controlBar->y(), 467 - 46);

    // Maximised on a screen smaller than the minimum: the rule is skipped.
    f.window->showMaximized();
    QApplication::processEvents();
    const QSize screen = f.window->screen()->availableGeometry().size();
    ASSERT_LT(screen.width(), 900) << "the offscreen screen is expected to be small";
    EXPECT_EQ(f.window->size(), screen);
    EXPECT_EQ(f.c.windowButtons[WindowButton::Close]->x(), screen.width() - 32);
}

TEST(WindowLayout, SidebarClosedAndOpenedAgain) {
    FakeWindow f;
    f.open(1200, 700);
    auto& c = f.c;
    f.buttons->pressWindowButton(WindowButton::PlayerSidebarStrip);
    EXPECT_EQ(c.windowButtons[WindowButton::PlayerSidebarStrip]->tip(), QStringLiteral("显示侧栏"));
    EXPECT_TRUE(c.playerSidebar->isHidden());
    EXPECT_EQ(c.windowButtons[WindowButton::PlayerSidebarStrip]->geometry(), QRect(1196 - 4, 286, 3, 40));
    EXPECT_EQ(c.playerLeftArea->geometry(), QRect(0, 0, 1196, 615));
    EXPECT_EQ(c.playerArea->width(), 1196);
    EXPECT_EQ(c.seekBar->width(), 1196);
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::PlayerSidebarStrip]->picture(), 0, 0),
              codeOf(0, 11, 3, 0));  // the hidden face

    f.buttons->pressWindowButton(WindowButton::PlayerSidebarStrip);
    EXPECT_EQ(c.windowButtons[WindowButton::PlayerSidebarStrip]->tip(), QStringLiteral("关闭侧栏"));
    EXPECT_FALSE(c.playerSidebar->isHidden());
    EXPECT_EQ(c.windowButtons[WindowButton::PlayerSidebarStrip]->x(), 994);
    EXPECT_EQ(c.playerLeftArea->width(), 994);
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::PlayerSidebarStrip]->picture(), 0, 0), codeOf(0, 11, 0, 0));

    // The TV page's sidebar works the same way with its own strip.
    f.buttons->pressWindowButton(WindowButton::TvSidebarStrip);
    EXPECT_TRUE(c.channelSidebar->isHidden());
    EXPECT_EQ(c.windowButtons[WindowButton::TvSidebarStrip]->x(), 1192);
    EXPECT_EQ(c.liveTvFrame->width(), 1196);
    EXPECT_EQ(c.webPanes[Pane::LiveTv]->geometry(), QRect(-2, -2, 1200, 619));
    // And the state survives a resize.
    f.window->resize(1000, 600);
    QApplication::processEvents();
    EXPECT_EQ(c.windowButtons[WindowButton::TvSidebarStrip]->x(), 996 - 4);
    EXPECT_EQ(c.windowButtons[WindowButton::PlayerSidebarStrip]->x(), 996 - 202);
}

TEST(WindowLayout, CompactPlayer) {
    FakeWindow f;
    f.open(1200, 700);
    auto& c = f.c;
    c.filmTitle->setText(QStringLiteral("第1集"));
    f.state.CompactMode = 1;
    c.playerSidebar->hide();
    c.leaveCompactButton->show();
    f.window->resize(393, 320);
    QApplication::processEvents();
    EXPECT_EQ(f.window->size(), QSize(393, 320));
    EXPECT_EQ(c.leaveCompactButton->pos(), QPoint(393 - c.leaveCompactButton->width() - 10, 2));
    EXPECT_EQ(c.playerPage->geometry(), QRect(2, 20, 389, 297));
    EXPECT_EQ(c.playerLeftArea->geometry(), QRect(0, 0, 389, 297));
    EXPECT_EQ(c.webPlayerFrame->geometry(), QRect(0, 0, 389, 297));
    EXPECT_EQ(c.webPanes[Pane::WebPlayer]->geometry(), QRect(-2, -2, 393, 301));
    EXPECT_EQ(c.playerArea->geometry(), QRect(0, 0, 389, 297));
    EXPECT_EQ(c.seekBar->y(), 290);
    EXPECT_EQ(c.statusText->width(), 120);
    EXPECT_FALSE(c.statusText->autoSize());
    // A short title: the compact title fits its text.
    EXPECT_EQ(c.titleCaption->text(), QStringLiteral("第1集"));
    EXPECT_EQ(c.compactTitle->text(), QStringLiteral("第1集"));
    EXPECT_EQ(c.compactTitle->pos(), QPoint(13, 5));
    EXPECT_FALSE(c.compactTitle->wordWrap());

    // A long title wraps inside the room left of the exit button.
    c.filmTitle->setText(QString(40, QChar(0x96C6)));
    f.layout->LayoutCompact();
    EXPECT_TRUE(c.compactTitle->wordWrap());
    EXPECT_EQ(c.compactTitle->width(), c.leaveCompactButton->x() - 50);

    // Smaller than 4100 × 3000 twips snaps back.
    f.window->resize(100, 100);
    QApplication::processEvents();
    EXPECT_EQ(f.window->size(), QSize(274, 200));
    EXPECT_GE(twipsFromPixels(274), MainWindowLayout::kCompactMinWidthTwips);
    EXPECT_EQ(c.playerPage->geometry(), QRect(2, 20, 270, 177));
}

TEST(WindowLayout, CompactTv) {
    FakeWindow f;
    f.open(1200, 700);
    auto& c = f.c;
    f.state.CompactMode = 2;
    f.window->resize(393, 320);
    QApplication::processEvents();
    EXPECT_EQ(c.liveTvPage->geometry(), QRect(2, 20, 389, 297));
    EXPECT_EQ(c.liveTvFrame->geometry(), QRect(0, 0, 389, 297));
    EXPECT_EQ(c.webPanes[Pane::LiveTv]->geometry(), QRect(-2, -2, 393, 301));
    // The player page keeps its normal geometry.
    EXPECT_EQ(c.playerPage->geometry(), QRect(2, 39, 1196, 615));
}

TEST(WindowLayout, TabSwitching) {
    FakeWindow f;
    f.open(1200, 700);
    auto& c = f.c;
    // After the skin: tab 8 selected, its page shown, the others hidden.
    EXPECT_EQ(f.state.MainTab, MainTab::Catalogue);
    EXPECT_FALSE(c.cataloguePage->isHidden());
    EXPECT_TRUE(c.playerPage->isHidden());
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::CatalogueTab]->picture(), 0, 0), codeOf(0, 7, 100, 0));
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::PlayerTab]->picture(), 0, 0), codeOf(0, 8, 0, 0));
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::TaskListTab]->picture(), 0, 0), codeOf(0, 9, 60, 0));
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::EpisodeListTab]->picture(), 0, 0), codeOf(0, 9, 0, 21));

    f.buttons->pressWindowButton(WindowButton::PlayerTab);
    EXPECT_EQ(f.state.MainTab, MainTab::Player);
    EXPECT_TRUE(c.cataloguePage->isHidden());
    EXPECT_FALSE(c.playerPage->isHidden());
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::PlayerTab]->picture(), 0, 0), codeOf(0, 7, 0, 0));
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::CatalogueTab]->picture(), 0, 0), codeOf(0, 8, 100, 0));

    f.buttons->pressWindowButton(WindowButton::LocalListTab);
    EXPECT_EQ(f.state.SideTab, SideTab::LocalList);
    EXPECT_FALSE(c.localListFrame->isHidden());
    EXPECT_TRUE(c.taskListFrame->isHidden());
    EXPECT_EQ(c.sideListCommand->text(), QStringLiteral("∴ 清空列表"));
    f.buttons->pressWindowButton(WindowButton::EpisodeListTab);
    EXPECT_EQ(c.sideListCommand->text(), QStringLiteral("∴ 管理任务"));
    EXPECT_FALSE(c.episodeListFrame->isHidden());

    // The current tab again, not forced: nothing at all, not even its face.
    c.windowButtons[WindowButton::PlayerTab]->setPicture(QPixmap());
    f.layout->showMainTab(MainTab::Player, false);
    EXPECT_TRUE(c.windowButtons[WindowButton::PlayerTab]->picture().isNull());
    // Forced: repainted, the page stays.
    f.layout->showMainTab(MainTab::Player, true);
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::PlayerTab]->picture(), 0, 0), codeOf(0, 7, 0, 0));
    EXPECT_FALSE(c.playerPage->isHidden());
}

TEST(WindowLayout, FramePiecesAndPainting) {
    app();
    const auto pieces = framePieces(1200, 700, FrameKind::Normal);
    ASSERT_EQ(pieces.size(), 8u);
    // Sides first, top last: the top-right corner is the last piece.
    EXPECT_EQ(pieces.back().target, QRect(1170, 0, 30, 55));
    EXPECT_EQ(pieces.back().source, QRect(50, 0, 30, 55));
    EXPECT_EQ(pieces[0].target, QRect(0, 55, 35, 645));

    QImage img(1200, 700, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        paintFrame(p, codedStrip(101), 1200, 700, FrameKind::Normal);
    }
    EXPECT_EQ(img.pixel(0, 0), codeOf(0, 0, 0, 0));
    EXPECT_EQ(img.pixel(39, 54), codeOf(0, 0, 39, 54));      // top-left corner over the left border
    EXPECT_EQ(img.pixel(1199, 0), codeOf(0, 0, 79, 0));      // top-right corner
    EXPECT_EQ(img.pixel(0, 699), codeOf(0, 0, 0, 107));      // bottom-left corner
    EXPECT_EQ(img.pixel(1199, 699), codeOf(0, 0, 79, 107));  // bottom-right corner
    EXPECT_EQ(qRed(img.pixel(600, 699)), 1);                 // bottom edge from the strip
    EXPECT_EQ(qBlue(img.pixel(600, 699)), 107);
    EXPECT_EQ(img.pixel(600, 300), qRgb(0, 0, 0));  // the middle is left to the controls

    const auto compact = framePieces(400, 300, FrameKind::Compact);
    EXPECT_EQ(compact[0].target, QRect(0, 30, 35, 270));
    EXPECT_EQ(compact[0].source, QRect(0, 50, 35, 33));
    EXPECT_EQ(compact.back().target, QRect(370, 0, 30, 30));
}
