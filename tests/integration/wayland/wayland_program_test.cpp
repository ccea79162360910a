// The program on a Wayland desktop, natively (Qt's Wayland platform, no X
// display), in a headless Weston of the test's own: it starts and loads its
// panes; a film shows in the picture's native window, a subsurface of the main
// window, as the compositor's own screenshot shows; full screen takes the
// picture over the whole screen and gives it back; compact mode resizes the
// window; the close button ends the program. The film is the SMPTE bars clip,
// found on a screenshot by its yellow, cyan and magenta bars.
#include "engine/video_renderer.h"
#include "engine/video_window.h"
#include "integration/play/program_harness.h"
#include "playback/transport_commands.h"
#include "support/wayland_compositor.h"
#include "window/units.h"

#include <QGuiApplication>

using namespace playtest;
using qarvel::TransportButton::FullScreen;
using qarvel::TransportButton::OpenFile;

namespace {

qarvel::test::WaylandCompositor* const kCompositor = [] {
    auto* compositor = new qarvel::test::WaylandCompositor([] { app(); });
    ::testing::AddGlobalTestEnvironment(compositor);
    return compositor;
}();

struct BarPixels {
    int yellow = 0, cyan = 0, magenta = 0;
    int least() const { return std::min({yellow, cyan, magenta}); }
    int total() const { return yellow + cyan + magenta; }
};

BarPixels barPixels(const QImage& shot) {
    BarPixels n;
    const QImage img = shot.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int r = qRed(row[x]), g = qGreen(row[x]), b = qBlue(row[x]);
            if (r > 140 && g > 140 && b < 70) ++n.yellow;
            else if (r < 70 && g > 140 && b > 140) ++n.cyan;
            else if (r > 140 && g < 70 && b > 140) ++n.magenta;
        }
    }
    return n;
}

// Waits until the compositor's screen shows the bars as wanted; the last count.
BarPixels barsOnScreen(const std::function<bool(const BarPixels&)>& wanted) {
    BarPixels last;
    waitUntil([&] { return wanted(last = barPixels(kCompositor->screenshot())); }, 10000);
    return last;
}

// Frames the renderer put into the picture's window so far.
int framesShown() {
    for (QWindow* w : QGuiApplication::allWindows())
        if (auto* video = qobject_cast<qarvel::engine::VideoWindow*>(w))
            return video->renderer() ? video->renderer()->framesShown() : 0;
    return 0;
}

bool drawsFrames() {
    const int before = framesShown();
    return waitUntil([&] { return framesShown() > before + 5; });
}

// The program on the demo service, playing the bars clip chosen in the
// open-file dialog.
struct PlayingProgram {
    explicit PlayingProgram(const QMap<QString, QString>& settings = {})
        : p((service.start(), service.baseUrl()), settings) {}
    bool start() {
        if (!p.started || !waitUntil([&] { return p.window().windowHandle()->isExposed(); })) return false;
        p.dialogs.fileToOpen = QString::fromStdString(service.mediaDir()) + QStringLiteral("/chengshi.mp4");
        p.application->parts().transport->pressTransportButton(qarvel::TransportButton::OpenFile);
        return waitUntil([&] { return p.playing() && p.c().transportButtons[0]->tip() == QStringLiteral("暂停"); });
    }
    svc::DemoService service;
    Program p;
};

}  // namespace

TEST(WaylandProgram, StartsNativelyAndTheCompositorShowsTheFilm) {
    if (!kCompositor->running()) GTEST_SKIP() << "weston is not installed";
    EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("wayland"));
    PlayingProgram run;
    Program& p = run.p;
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.catalogueShown());
    ASSERT_TRUE(waitUntil([&] { return p.window().windowHandle()->isExposed(); }));
    const QImage idle = kCompositor->screenshot();
    ASSERT_FALSE(idle.isNull()) << "no screenshot: " << kCompositor->log().toStdString();
    EXPECT_LT(barPixels(idle).least(), 50);

    ASSERT_TRUE(run.start());
    EXPECT_TRUE(drawsFrames());
    const BarPixels shown = barsOnScreen([](const BarPixels& n) { return n.least() > 500; });
    EXPECT_GT(shown.least(), 500) << shown.yellow << " " << shown.cyan << " " << shown.magenta;
}

TEST(WaylandProgram, FullScreenCoversTheScreenAndGivesThePictureBack) {
    if (!kCompositor->running()) GTEST_SKIP() << "weston is not installed";
    PlayingProgram run;
    ASSERT_TRUE(run.start());
    Program& p = run.p;
    QWidget* video = p.player().videoWidget();
    const BarPixels windowed = barsOnScreen([](const BarPixels& n) { return n.least() > 500; });
    ASSERT_GT(windowed.least(), 500);

    p.application->parts().transport->pressTransportButton(qarvel::TransportButton::FullScreen);
    ASSERT_TRUE(waitUntil([&] { return p.player().fullScreen() && video->window()->isFullScreen(); }, 5000));
    EXPECT_TRUE(waitUntil([&] { return video->size() == kCompositor->screen(); }, 5000))
        << video->width() << "x" << video->height();
    EXPECT_TRUE(drawsFrames());
    // The bars take about a sixth of a screen the film fills.
    const int screen = kCompositor->screen().width() * kCompositor->screen().height();
    const BarPixels full = barsOnScreen([&](const BarPixels& n) { return n.total() > screen / 10; });
    EXPECT_GT(full.total(), screen / 10) << "windowed " << windowed.total();

    QTest::keyClick(video, Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !p.player().fullScreen(); }, 5000));
    EXPECT_EQ(video->window(), &p.window());
    EXPECT_TRUE(p.playing());
    EXPECT_TRUE(drawsFrames());
    const BarPixels back =
        barsOnScreen([&](const BarPixels& n) { return n.least() > 500 && n.total() < full.total() / 2; });
    EXPECT_GT(back.least(), 500);
    EXPECT_LT(back.total(), full.total() / 2);
}

TEST(WaylandProgram, CompactModeResizesAndTheCloseButtonEnds) {
    if (!kCompositor->running()) GTEST_SKIP() << "weston is not installed";
    // Asked before: a close ends the program.
    PlayingProgram run({{"ts", "1"}, {"quit", "1"}});
    ASSERT_TRUE(run.start());
    Program& p = run.p;
    qarvel::MainWindow& w = p.window();
    const QSize normal = w.size();
    const QSize compact(qarvel::window::pixelsFromTwips(qarvel::window::kCompactWidthTwips),
                        qarvel::window::pixelsFromTwips(qarvel::window::kCompactHeightTwips));

    QTest::mouseClick(p.c().windowButtons[3], Qt::LeftButton, {}, QPoint(12, 12));
    ASSERT_TRUE(waitUntil([&] { return w.size() == compact && w.windowHandle()->size() == compact; }, 5000))
        << w.width() << "x" << w.height();
    EXPECT_GT(barsOnScreen([](const BarPixels& n) { return n.least() > 200; }).least(), 200);
    QTest::mouseClick(p.c().leaveCompactButton, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_TRUE(waitUntil([&] { return w.size() == normal; }, 5000)) << w.width() << "x" << w.height();

    QTest::mouseClick(p.c().windowButtons[2], Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_TRUE(waitUntil([&] { return p.ended == 1; }, 5000));
    EXPECT_FALSE(w.isVisible());
}
