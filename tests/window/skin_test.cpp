// Applying a skin: the slots, the button faces, the stored choice.
#include "window/frame_painter.h"
#include "window_fixture.h"

#include <QPainter>

using namespace qarvel;
using namespace qarvel::window;
using namespace qarvel::window::testing;

TEST(WindowSkin, FirstApplicationLaysOutAndStoresNothing) {
    FakeWindow f;
    f.window->resize(1200, 700);
    f.painter->applySkin(0);
    EXPECT_EQ(f.state.SkinApplied, 1);
    EXPECT_EQ(f.settings.writes, 0);
    // The layout ran although the window was never shown.
    EXPECT_EQ(f.c.windowButtons[WindowButton::Close]->x(), 1168);
    EXPECT_EQ(f.c.playerArea->width(), 994);
    // Every face from skin 0's slots.
    auto& c = f.c;
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::Close]->picture(), 0, 0), codeOf(0, 1, 120, 0));
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::Maximise]->picture(), 0, 0), codeOf(0, 1, 96, 0));
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::Minimise]->picture(), 0, 0), codeOf(0, 1, 72, 0));
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::MainMenu]->picture(), 0, 0), codeOf(0, 1, 48, 0));
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::CompactMode]->picture(), 0, 0), codeOf(0, 1, 0, 0));
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::AlwaysOnTop]->picture(), 0, 0), codeOf(0, 6, 0, 0));
    EXPECT_EQ(c.windowButtons[WindowButton::SidebarHeader]->picture().size(), QSize(203, 28));
    EXPECT_EQ(pixelAt(c.transportButtons[0]->picture(), 0, 0), codeOf(0, 12, 0, 0));
    EXPECT_EQ(pixelAt(c.transportButtons[1]->picture(), 0, 0), codeOf(0, 13, 0, 0));
    EXPECT_EQ(pixelAt(c.transportButtons[2]->picture(), 0, 0), codeOf(0, 14, 0, 0));
    EXPECT_EQ(pixelAt(c.transportButtons[3]->picture(), 0, 0), codeOf(0, 16, 50, 0));
    EXPECT_EQ(pixelAt(c.transportButtons[4]->picture(), 0, 0), codeOf(0, 16, 25, 0));
    EXPECT_EQ(pixelAt(c.transportButtons[5]->picture(), 0, 0), codeOf(0, 18, 0, 0));
    EXPECT_EQ(pixelAt(c.transportButtons[6]->picture(), 0, 0), codeOf(0, 16, 75, 0));
    EXPECT_EQ(pixelAt(c.transportButtons[7]->picture(), 0, 0), codeOf(0, 18, 50, 0));
    EXPECT_EQ(pixelAt(c.volumeTrack->picture(), 0, 0), codeOf(0, 15, 0, 0));
    EXPECT_EQ(pixelAt(c.volumeKnob->picture(), 0, 0), codeOf(0, 4, 0, 0));
    EXPECT_EQ(pixelAt(c.logo->picture(), 0, 0), QColor(Qt::darkGray).rgb());
}

TEST(WindowSkin, ChangingTheSkinRepaintsAndStoresIt) {
    FakeWindow f;
    f.open(1200, 700, 0);
    int dialogRepaints = 0;
    f.painter->repaintSettingsDialog = [&] { ++dialogRepaints; };
    f.buttons->pressWindowButton(WindowButton::PlayerTab);
    f.buttons->pressWindowButton(WindowButton::LocalListTab);
    f.c.windowButtons[WindowButton::AlwaysOnTop]->setTip(QStringLiteral("取消置顶"));  // always on top is on
    f.buttons->pressWindowButton(WindowButton::Maximise);                              // maximised
    QApplication::processEvents();

    f.painter->applySkin(1);
    EXPECT_EQ(f.settings.values.value("Skin/Num"), "1");
    EXPECT_EQ(dialogRepaints, 1);
    auto& c = f.c;
    EXPECT_EQ(pixelAt(c.logo->picture(), 0, 0), QColor(Qt::blue).rgb());
    EXPECT_EQ(pixelAt(c.controlBar->picture(), 0, 0), codeOf(1, 3, 0, 0));
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::Maximise]->picture(), 0, 0), codeOf(1, 5, 0, 0));  // restore face
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::AlwaysOnTop]->picture(), 0, 0), codeOf(1, 6, 48, 0));  // on face
    // The current tabs keep their selected faces and pages.
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::PlayerTab]->picture(), 0, 0), codeOf(1, 7, 0, 0));
    EXPECT_EQ(pixelAt(c.windowButtons[WindowButton::LocalListTab]->picture(), 0, 0), codeOf(1, 9, 120, 0));
    EXPECT_FALSE(c.playerPage->isHidden());
    EXPECT_FALSE(c.localListFrame->isHidden());
    EXPECT_TRUE(c.taskListFrame->isHidden());

    // The same skin again: repainted and stored again.
    f.painter->applySkin(1);
    EXPECT_EQ(f.settings.writes, 2);
    f.painter->applySkin(0);
    EXPECT_EQ(f.settings.values.value("Skin/Num"), "0");
    EXPECT_EQ(pixelAt(c.logo->picture(), 0, 0), QColor(Qt::darkGray).rgb());
}

TEST(WindowSkin, MissingPicturesKeepTheSlotsPreviousPicture) {
    // Skin 1 lacks slots 1 and 12.
    FakeWindow f([](int resource) { return resource == 202 || resource == 213 ? QPixmap() : codedStrip(resource); });
    f.open(1200, 700, 0);
    f.painter->applySkin(1);
    EXPECT_EQ(pixelAt(f.c.windowButtons[WindowButton::Close]->picture(), 0, 0), codeOf(0, 1, 120, 0));
    EXPECT_EQ(pixelAt(f.c.transportButtons[0]->picture(), 0, 0), codeOf(0, 12, 0, 0));
    EXPECT_EQ(pixelAt(f.c.transportButtons[1]->picture(), 0, 0), codeOf(1, 13, 0, 0));
}

TEST(WindowSkin, NoPicturesAtAllStillGivesAWorkingWindow) {
    FakeWindow f([](int) { return QPixmap(); });
    f.open(1200, 700, 0);
    EXPECT_EQ(f.c.windowButtons[WindowButton::Close]->picture().size(), QSize(24, 24));
    EXPECT_EQ(f.c.windowButtons[WindowButton::Close]->x(), 1168);
    f.buttons->pressWindowButton(WindowButton::LiveTvTab);
    EXPECT_FALSE(f.c.liveTvPage->isHidden());
}

TEST(WindowSkin, TheCataloguePanelKeepsItsStateAcrossASkinChange) {
    FakeWindow f;
    f.open(1200, 700, 0);
    const QImage wait0 = f.c.catalogueRetryPicture->pixmap().toImage();
    f.painter->applySkin(1);
    EXPECT_NE(f.c.catalogueRetryPicture->pixmap().toImage(), wait0);  // the waiting picture of skin 1
    EXPECT_NE(f.c.catalogueRetryPicture->pixmap().toImage(), f.c.catalogueErrorPicture->pixmap().toImage());
    // A failure shows the error picture; a skin change keeps showing it.
    f.c.catalogueRetryPicture->setPixmap(f.c.catalogueErrorPicture->pixmap());
    f.painter->applySkin(0);
    EXPECT_EQ(f.c.catalogueRetryPicture->pixmap().toImage(), f.c.catalogueErrorPicture->pixmap().toImage());
    EXPECT_NE(f.c.catalogueRetryPicture->pixmap().toImage(), wait0);
}

// Strips drawn for a high-density screen (device pixel ratio 2), coded like
// codedStrip but per device pixel.
QPixmap sharpCodedStrip(int resource) {
    const int skin = resource / 100 - 1, slot = resource % 100 - 1;
    QImage img(slotSize(slot) * 2, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, codeOf(skin, slot, x, y));
    QPixmap pm = QPixmap::fromImage(img);
    pm.setDevicePixelRatio(2);
    return pm;
}

TEST(WindowSkin, SharpStripsAreCutAtTheirOwnResolution) {
    FakeWindow f(&sharpCodedStrip);
    f.open(1200, 700, 0);
    // The close face: logical 120, 0 of slot 1 is device 240, 0; every device pixel kept.
    const QPixmap close = f.c.windowButtons[WindowButton::Close]->picture();
    EXPECT_EQ(close.devicePixelRatio(), 2);
    EXPECT_EQ(close.size(), QSize(48, 48));
    EXPECT_EQ(pixelAt(close, 0, 0), codeOf(0, 1, 240, 0));
    EXPECT_EQ(pixelAt(close, 1, 1), codeOf(0, 1, 241, 1));
    EXPECT_EQ(f.c.windowButtons[WindowButton::SidebarHeader]->picture().size(), QSize(406, 56));
    EXPECT_EQ(f.c.windowButtons[WindowButton::SidebarHeader]->picture().devicePixelRatio(), 2);

    // The frame's top-right corner comes from logical 50, 0 of slot 0.
    const QPixmap frame = sharpCodedStrip(101);
    QImage canvas(QSize(300, 200) * 2, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(2);
    canvas.fill(Qt::black);
    {
        QPainter p(&canvas);
        paintFrame(p, frame, 300, 200, FrameKind::Normal);
    }
    EXPECT_EQ(canvas.pixel(2 * 270, 0) | 0xff000000u, codeOf(0, 0, 100, 0));
    EXPECT_EQ(canvas.pixel(2 * 270 + 1, 1) | 0xff000000u, codeOf(0, 0, 101, 1));
    EXPECT_EQ(canvas.pixel(599, 109) | 0xff000000u, codeOf(0, 0, 159, 109));
}
