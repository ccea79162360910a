// The real video widget on an X server of the test's own (Xvfb): the picture is
// on screen, follows the display modes, survives full screen and back, and the
// pointer over the picture reaches the widget.
#include "engine/mpv_player.h"
#include "engine_test_support.h"
#include "support/x_server.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <set>

using namespace qarvel::engine;
using namespace qarvel::engine::testing;

namespace {

const auto* const kXServer =
    ::testing::AddGlobalTestEnvironment(new qarvel::test::XServer([] { ensureApplication(); }));

bool isDark(QRgb pixel) { return qRed(pixel) < 24 && qGreen(pixel) < 24 && qBlue(pixel) < 24; }

// Where the picture starts on the row through the test picture's colour band
// (near its bottom), which is lit from edge to edge of the picture.
int pictureLeft(const QImage& image) {
    const int y = image.height() * 83 / 100;
    for (int x = 0; x < image.width(); ++x) {
        if (!isDark(image.pixel(x, y))) return x;
    }
    return image.width();
}

class EngineScreen : public ::testing::Test {
protected:
    void SetUp() override {
        MpvPlayer::Options options;
        options.files = qarvel::ProgramFiles::inFolder(dir.path());
        options.audioOutput = false;
        player = std::make_unique<MpvPlayer>(options);
        ASSERT_TRUE(player->isReady()) << player->errorText().toStdString();
        window.setWindowTitle("engine screen test");
        window.setGeometry(0, 0, 480, 200);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(player->videoWidget());
        window.show();
    }
    void TearDown() override { player.reset(); }

    QImage picture() {
        runEventsFor(400);
        QWidget* video = player->videoWidget();
        const QPoint origin = video->mapToGlobal(QPoint(0, 0));
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, origin.x(), origin.y(), video->width(), video->height())
            .toImage();
    }

    QTemporaryDir dir;
    QWidget window;
    std::unique_ptr<MpvPlayer> player;
};

}  // namespace

TEST_F(EngineScreen, APlayingClipIsOnScreen) {
    QSignalSpy first(player.get(), &MpvPlayer::firstFrame);
    player->setUrl(clipPath("short.mp4"));
    player->play();
    ASSERT_TRUE(waitUntil([&] { return !first.isEmpty() && int(player->playState()) == 3; }, 15000))
        << player->errorText().toStdString();
    const QImage shot = picture();
    shot.save(QString(ENGINE_SCREENSHOT_DIR) + "/engine-playing.png");
    std::set<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 4) {
        for (int x = 0; x < shot.width(); x += 4) colours.insert(shot.pixel(x, y) & 0xF0F0F0);
    }
    EXPECT_GT(colours.size(), 20u);  // the test picture's bars and gradients, not a blank
    // Upright: the colour band is near the bottom, black bars are at the top.
    const int band = shot.height() * 83 / 100;
    EXPECT_FALSE(isDark(shot.pixel(shot.width() / 2, band)));
    // A 4:3 picture fitted into a wide widget leaves black bars at the sides.
    EXPECT_NEAR(pictureLeft(shot), (480 - 267) / 2, 3);
}

TEST_F(EngineScreen, DisplayModesChangeTheShapeOfThePicture) {
    player->setUrl(clipPath("long.mp4"));
    player->play();
    ASSERT_TRUE(waitUntil([&] { return int(player->playState()) == 3; }, 15000));
    // 480 x 200: fitted 4:3 is 267 wide, 16:9 is 356 wide, 5:4 250, stretched fills it.
    EXPECT_NEAR(pictureLeft(picture()), (480 - 267) / 2, 3);
    player->setDisplayMode(int(DisplayMode::Ratio16x9));
    EXPECT_NEAR(pictureLeft(picture()), (480 - 356) / 2, 3);
    player->setDisplayMode(int(DisplayMode::Ratio5x4));
    EXPECT_NEAR(pictureLeft(picture()), (480 - 250) / 2, 3);
    player->setDisplayMode(int(DisplayMode::Stretch));
    const QImage stretched = picture();
    stretched.save(QString(ENGINE_SCREENSHOT_DIR) + "/engine-stretched.png");
    EXPECT_EQ(pictureLeft(stretched), 0);
    player->setDisplayMode(int(DisplayMode::ZoomToFit));
    EXPECT_NEAR(pictureLeft(picture()), (480 - 267) / 2, 3);
}

TEST_F(EngineScreen, FullScreenAndBackKeepThePicture) {
    QSignalSpy changed(player.get(), &Player::fullScreenChanged);
    player->setUrl(clipPath("long.mp4"));
    player->play();
    ASSERT_TRUE(waitUntil([&] { return int(player->playState()) == 3; }, 15000));
    QWidget* video = player->videoWidget();

    player->setFullScreen(true);
    ASSERT_TRUE(waitUntil([&] { return video->isFullScreen() && video->width() == 800; }, 5000));
    EXPECT_TRUE(player->fullScreen());
    const QImage full = picture();
    full.save(QString(ENGINE_SCREENSHOT_DIR) + "/engine-fullscreen.png");
    EXPECT_EQ(full.width(), 800);
    EXPECT_LE(pictureLeft(full), 2);  // 4:3 on an 800 x 600 screen fills it

    // Esc leaves full screen; the widget is back in its window.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(video, &escape);
    EXPECT_FALSE(player->fullScreen());
    EXPECT_EQ(video->parentWidget(), &window);
    ASSERT_TRUE(waitUntil([&] { return video->isVisible() && video->width() == 480; }, 5000));
    EXPECT_NEAR(pictureLeft(picture()), (480 - 267) / 2, 3);
    ASSERT_EQ(changed.size(), 2);
    EXPECT_TRUE(changed.at(0).at(0).toBool());
    EXPECT_FALSE(changed.at(1).at(0).toBool());
    player->setFullScreen(false);  // not in full screen: nothing happens
    EXPECT_EQ(changed.size(), 2);

    // A double click leaves full screen too; in the window it is left to the host.
    player->setFullScreen(true);
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(video, &click);
    EXPECT_FALSE(player->fullScreen());
    EXPECT_EQ(video->parentWidget(), &window);
    QApplication::sendEvent(video, &click);
    EXPECT_FALSE(player->fullScreen());
    EXPECT_EQ(changed.size(), 4);
}

// The picture is a native window of its own; the X server's own pointer events
// (not events sent to the widget) must still reach the video widget, or no
// click, double click or wheel over the picture would ever do anything.
TEST_F(EngineScreen, ThePointerOverThePictureReachesTheWidget) {
    player->setUrl(clipPath("long.mp4"));
    player->play();
    ASSERT_TRUE(waitUntil([&] { return int(player->playState()) == 3; }, 15000));
    QWidget* video = player->videoWidget();
    struct Counter : QObject {
        int presses = 0, doubles = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            presses += e->type() == QEvent::MouseButtonPress;
            doubles += e->type() == QEvent::MouseButtonDblClick;
            return false;
        }
    } counter;
    video->installEventFilter(&counter);
    const QPoint centre = video->mapToGlobal(video->rect().center());
    const auto pointer = [&](const QStringList& args) {
        QProcess xdotool;
        xdotool.start("xdotool", args);
        ASSERT_TRUE(xdotool.waitForFinished(5000)) << "xdotool did not run";
    };
    pointer({"mousemove", QString::number(centre.x()), QString::number(centre.y()), "click", "1"});
    EXPECT_TRUE(waitUntil([&] { return counter.presses >= 1; }, 3000));
    runEventsFor(600);  // past the double-click interval
    pointer({"click", "--repeat", "2", "--delay", "60", "1"});
    EXPECT_TRUE(waitUntil([&] { return counter.doubles >= 1; }, 3000)) << counter.presses << " presses";
}
