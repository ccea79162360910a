// Geometry of the main window's layout in its modes.
#include "window_fixture.h"

#include "window/units.h"

#include <QPainter>
#include <QScreen>

using namespace qarvel::window;
using namespace qarvel::window::testing;

namespace {

QRect overhang(const QWidget* panel) { return QRect(-2, -2, panel->width() + 4, panel->height() + 4); }

}  // namespace

TEST(WindowLayout, NormalWindowOf1200By700) {
    FakeWindow f;
    f.open(1200, 700);
    auto& c = f.c;
    ASSERT_EQ(c.BA1->size(), QSize(1200, 700));

    // Title-bar buttons right to left from the close button.
    EXPECT_EQ(c.npc[2]->geometry(), QRect(1168, 4, 24, 24));
    EXPECT_EQ(c.npc[1]->x(), 1144);
    EXPECT_EQ(c.npc[0]->x(), 1120);
    EXPECT_EQ(c.npc[5]->x(), 1092);
    EXPECT_EQ(c.npc[3]->x(), 1068);
    EXPECT_EQ(c.npc[4]->x(), 1044);
    EXPECT_EQ(c.npc[8]->geometry(), QRect(200, 0, 100, 37));
    EXPECT_EQ(c.npc[9]->geometry(), QRect(300, 0, 100, 37));
    EXPECT_EQ(c.npc[13]->geometry(), QRect(400, 0, 100, 37));
    EXPECT_EQ(c.npc[14]->geometry(), QRect(500, 0, 100, 37));
    EXPECT_EQ(c.Imi->pos(), QPoint(10, 7));
    EXPECT_EQ(c.ni_name->pos(), QPoint(40, 13));

    // Pages and the control bar.
    const QRect page(2, 39, 1196, 615);
    for (QWidget* p : {c.zz, c.zzp, c.tv, c.ying}) EXPECT_EQ(p->geometry(), page) << p->objectName().toStdString();
    EXPECT_EQ(c.bo_foot->geometry(), QRect(2, 654, 1196, 43));

    // Catalogue page: pane with its overhang, waiting panel over it, picture centred 20 above the middle.
    EXPECT_EQ(c.Pic1->geometry(), QRect(0, 0, 1196, 615));
    EXPECT_EQ(c.wait->geometry(), c.Pic1->geometry());
    EXPECT_EQ(c.Web[1]->geometry(), QRect(-2, -2, 1200, 619));
    EXPECT_EQ(c.jia->x(), (1196 - c.jia->width()) / 2);
    EXPECT_EQ(c.jia->y(), (615 - c.jia->height()) / 2 - 20);

    // Player page with the sidebar open.
    EXPECT_EQ(c.l2->geometry(), QRect(994, 0, 202, 615));
    EXPECT_EQ(c.npc[6]->geometry(), QRect(994, (615 - 43) / 2, 3, 40));
    EXPECT_EQ(c.L1->geometry(), QRect(0, 0, 994, 615));
    EXPECT_EQ(c.Pic2->geometry(), QRect(0, 0, 994, 615));
    EXPECT_EQ(c.ggx->pos(), QPoint(994 - c.ggx->width(), 0));
    EXPECT_EQ(c.npc[10]->geometry(), QRect(0, 0, 202, 28));
    EXPECT_EQ(c.npc[11]->geometry(), QRect(8, 4, 60, 21));
    EXPECT_EQ(c.npc[12]->geometry(), QRect(71, 4, 60, 21));
    EXPECT_EQ(c.npc[7]->geometry(), QRect(134, 4, 60, 21));
    EXPECT_EQ(c.shan->geometry(), QRect(0, 595, 202, 20));
    EXPECT_EQ(c.qk->pos(), QPoint(122, 6));
    for (QWidget* p : {c.Pic3, c.Pic4, c.Pic5}) EXPECT_EQ(p->geometry(), QRect(0, 28, 202, 567));

    // Every pane 2 pixels outside its panel.
    const std::pair<int, QWidget*> panes[] = {{1, c.Pic1},    {2, c.Pic2},    {3, c.Pic3},   {4, c.Pic4},
                                              {5, c.Pic5},    {7, c.ad_huan}, {8, c.bo_pad}, {9, c.ying},
                                              {10, c.tvleft}, {11, c.tvright}};
    for (auto [n, panel] : panes) EXPECT_EQ(c.Web[n]->geometry(), overhang(panel)) << "Web" << n;

    // Live-TV page.
    EXPECT_EQ(c.tvright->geometry(), QRect(994, 0, 202, 615));
    EXPECT_EQ(c.tvleft->geometry(), QRect(0, 0, 994, 615));
    EXPECT_EQ(c.npc[15]->geometry(), QRect(994, 286, 3, 40));
    EXPECT_EQ(c.gtv->pos(), QPoint(994 - c.gtv->width(), 0));

    // Player area.
    EXPECT_EQ(c.qvod->geometry(), QRect(0, 0, 994, 615));
    EXPECT_EQ(c.gunt->geometry(), QRect(0, 608, 994, 7));
    EXPECT_EQ(c.bo_zt->geometry(), QRect(0, 586, 994, 22));
    EXPECT_EQ(c.Qvodx->geometry(), QRect(0, 0, 994, 586));
    EXPECT_EQ(c.bo_ad->geometry(), QRect(0, 0, 994, 586));
    EXPECT_EQ(c.adp->pos(), QPoint((994 - c.adp->width()) / 2, (586 - c.adp->height() - 30) / 2));
    EXPECT_EQ(c.bo_pad->geometry(), QRect((994 - 468) / 2, c.adp->y() + c.adp->height() + 30, 468, 60));
    EXPECT_EQ(c.ad_huan->geometry(), QRect((994 - 450) / 2, (586 - 260) / 2, 450, 260));
    EXPECT_EQ(c.next_s->pos(), QPoint(c.adp->x(), c.adp->y() + c.adp->height() + 10));
    EXPECT_EQ(c.zhun->pos(), QPoint(13, 3));
    EXPECT_EQ(c.zhun->width(), c.zhun->sizeHint().width());
    EXPECT_EQ(c.times->pos(), QPoint(994 - c.times->width() - 13, 3));

    // Control bar.
    EXPECT_EQ(c.bo_but[0]->geometry(), QRect(20, 0, 58, 43));
    EXPECT_EQ(c.bo_but[1]->geometry(), QRect(85, 11, 25, 25));
    EXPECT_EQ(c.bo_but[5]->x(), 114);
    EXPECT_EQ(c.bo_but[7]->x(), 143);
    EXPECT_EQ(c.bo_but[2]->x(), 173);
    EXPECT_EQ(c.yin->geometry(), QRect(199, 11, 80, 24));
    EXPECT_EQ(c.bo_but[6]->geometry(), QRect(1153, 11, 25, 25));
    EXPECT_EQ(c.bo_but[3]->x(), 1127);
    EXPECT_EQ(c.bo_but[4]->x(), 1101);
    EXPECT_EQ(c.La[0]->pos(), QPoint(470, 18));

    // The outline: corners cut, the rest of the window kept.
    EXPECT_FALSE(c.BA1->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(c.BA1->mask().contains(QPoint(1199, 699)));
    EXPECT_TRUE(c.BA1->mask().contains(QPoint(1, 0)));
    EXPECT_TRUE(c.BA1->mask().contains(QPoint(600, 350)));
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
    EXPECT_EQ(f.c.npc[2]->x(), 1000 - 32);
    EXPECT_EQ(f.c.bo_foot->y(), 467 - 46);

    // Maximised on a screen smaller than the minimum: the rule is skipped.
    f.window->showMaximized();
    QApplication::processEvents();
    const QSize screen = f.window->screen()->availableGeometry().size();
    ASSERT_LT(screen.width(), 900) << "the offscreen screen is expected to be small";
    EXPECT_EQ(f.window->size(), screen);
    EXPECT_EQ(f.c.npc[2]->x(), screen.width() - 32);
}

TEST(WindowLayout, SidebarClosedAndOpenedAgain) {
    FakeWindow f;
    f.open(1200, 700);
    auto& c = f.c;
    f.buttons->npc_Click(6);
    EXPECT_EQ(c.npc[6]->tip(), QStringLiteral("显示侧栏"));
    EXPECT_TRUE(c.l2->isHidden());
    EXPECT_EQ(c.npc[6]->geometry(), QRect(1196 - 4, 286, 3, 40));
    EXPECT_EQ(c.L1->geometry(), QRect(0, 0, 1196, 615));
    EXPECT_EQ(c.qvod->width(), 1196);
    EXPECT_EQ(c.gunt->width(), 1196);
    EXPECT_EQ(pixelAt(c.npc[6]->picture(), 0, 0), codeOf(0, 11, 3, 0));  // the hidden face

    f.buttons->npc_Click(6);
    EXPECT_EQ(c.npc[6]->tip(), QStringLiteral("关闭侧栏"));
    EXPECT_FALSE(c.l2->isHidden());
    EXPECT_EQ(c.npc[6]->x(), 994);
    EXPECT_EQ(c.L1->width(), 994);
    EXPECT_EQ(pixelAt(c.npc[6]->picture(), 0, 0), codeOf(0, 11, 0, 0));

    // The TV page's sidebar works the same way with its own strip.
    f.buttons->npc_Click(15);
    EXPECT_TRUE(c.tvright->isHidden());
    EXPECT_EQ(c.npc[15]->x(), 1192);
    EXPECT_EQ(c.tvleft->width(), 1196);
    EXPECT_EQ(c.Web[10]->geometry(), QRect(-2, -2, 1200, 619));
    // And the state survives a resize.
    f.window->resize(1000, 600);
    QApplication::processEvents();
    EXPECT_EQ(c.npc[15]->x(), 996 - 4);
    EXPECT_EQ(c.npc[6]->x(), 996 - 202);
}

TEST(WindowLayout, CompactPlayer) {
    FakeWindow f;
    f.open(1200, 700);
    auto& c = f.c;
    c.bo_name->setText(QStringLiteral("第1集"));
    f.state.CompactMode = 1;
    c.l2->hide();
    c.jbi->show();
    f.window->resize(393, 320);
    QApplication::processEvents();
    EXPECT_EQ(f.window->size(), QSize(393, 320));
    EXPECT_EQ(c.jbi->pos(), QPoint(393 - c.jbi->width() - 10, 2));
    EXPECT_EQ(c.zz->geometry(), QRect(2, 20, 389, 297));
    EXPECT_EQ(c.L1->geometry(), QRect(0, 0, 389, 297));
    EXPECT_EQ(c.Pic2->geometry(), QRect(0, 0, 389, 297));
    EXPECT_EQ(c.Web[2]->geometry(), QRect(-2, -2, 393, 301));
    EXPECT_EQ(c.qvod->geometry(), QRect(0, 0, 389, 297));
    EXPECT_EQ(c.gunt->y(), 290);
    EXPECT_EQ(c.zhun->width(), 120);
    EXPECT_FALSE(c.zhun->autoSize());
    // A short title: the compact title fits its text.
    EXPECT_EQ(c.ni_name->text(), QStringLiteral("第1集"));
    EXPECT_EQ(c.ni_bo1->text(), QStringLiteral("第1集"));
    EXPECT_EQ(c.ni_bo1->pos(), QPoint(13, 5));
    EXPECT_FALSE(c.ni_bo1->wordWrap());

    // A long title wraps inside the room left of the exit button.
    c.bo_name->setText(QString(40, QChar(0x96C6)));
    f.layout->LayoutCompact();
    EXPECT_TRUE(c.ni_bo1->wordWrap());
    EXPECT_EQ(c.ni_bo1->width(), c.jbi->x() - 50);

    // Smaller than 4100 × 3000 twips snaps back.
    f.window->resize(100, 100);
    QApplication::processEvents();
    EXPECT_EQ(f.window->size(), QSize(274, 200));
    EXPECT_GE(twipsFromPixels(274), MainWindowLayout::kCompactMinWidthTwips);
    EXPECT_EQ(c.zz->geometry(), QRect(2, 20, 270, 177));
}

TEST(WindowLayout, CompactTv) {
    FakeWindow f;
    f.open(1200, 700);
    auto& c = f.c;
    f.state.CompactMode = 2;
    f.window->resize(393, 320);
    QApplication::processEvents();
    EXPECT_EQ(c.tv->geometry(), QRect(2, 20, 389, 297));
    EXPECT_EQ(c.tvleft->geometry(), QRect(0, 0, 389, 297));
    EXPECT_EQ(c.Web[10]->geometry(), QRect(-2, -2, 393, 301));
    // The player page keeps its normal geometry.
    EXPECT_EQ(c.zz->geometry(), QRect(2, 39, 1196, 615));
}

TEST(WindowLayout, TabSwitching) {
    FakeWindow f;
    f.open(1200, 700);
    auto& c = f.c;
    // After the skin: tab 8 selected, its page shown, the others hidden.
    EXPECT_EQ(f.state.MainTab, 8);
    EXPECT_FALSE(c.zzp->isHidden());
    EXPECT_TRUE(c.zz->isHidden());
    EXPECT_EQ(pixelAt(c.npc[8]->picture(), 0, 0), codeOf(0, 7, 100, 0));
    EXPECT_EQ(pixelAt(c.npc[9]->picture(), 0, 0), codeOf(0, 8, 0, 0));
    EXPECT_EQ(pixelAt(c.npc[12]->picture(), 0, 0), codeOf(0, 9, 60, 0));
    EXPECT_EQ(pixelAt(c.npc[11]->picture(), 0, 0), codeOf(0, 9, 0, 21));

    f.buttons->npc_Click(9);
    EXPECT_EQ(f.state.MainTab, 9);
    EXPECT_TRUE(c.zzp->isHidden());
    EXPECT_FALSE(c.zz->isHidden());
    EXPECT_EQ(pixelAt(c.npc[9]->picture(), 0, 0), codeOf(0, 7, 0, 0));
    EXPECT_EQ(pixelAt(c.npc[8]->picture(), 0, 0), codeOf(0, 8, 100, 0));

    f.buttons->npc_Click(7);
    EXPECT_EQ(f.state.SideTab, 7);
    EXPECT_FALSE(c.Pic4->isHidden());
    EXPECT_TRUE(c.Pic3->isHidden());
    EXPECT_EQ(c.qk->text(), QStringLiteral("∴ 清空列表"));
    f.buttons->npc_Click(11);
    EXPECT_EQ(c.qk->text(), QStringLiteral("∴ 管理任务"));
    EXPECT_FALSE(c.Pic5->isHidden());

    // The current tab again, not forced: nothing at all, not even its face.
    c.npc[9]->setPicture(QPixmap());
    f.layout->SelectMainTab(9, false);
    EXPECT_TRUE(c.npc[9]->picture().isNull());
    // Forced: repainted, the page stays.
    f.layout->SelectMainTab(9, true);
    EXPECT_EQ(pixelAt(c.npc[9]->picture(), 0, 0), codeOf(0, 7, 0, 0));
    EXPECT_FALSE(c.zz->isHidden());
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
