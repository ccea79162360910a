// The player under the viewer's hands, in the program as main() builds it: a
// click on the seek bar seeks, the keys work with the focus inside a browser
// pane, the picture-fit items change the picture, stop keeps the position,
// and full screen covers the screen and leaves it again. Pointer and keys are
// real X events (xdotool) on an X server of the test's own.
#include "integration/play/program_harness.h"
#include "playback/bar_formulas.h"
#include "playback/key_commands.h"
#include "playback/player_menu.h"
#include "playback/transport_commands.h"
#include "support/x_server.h"
#include "window/skin_painter.h"

#include <QAction>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

using namespace playtest;
using qarvel::test::runEventsFor;
using qarvel::test::xdotool;

namespace {

const auto* const kXServer =
    ::testing::AddGlobalTestEnvironment(new qarvel::test::XServer([] { app(); }, QStringLiteral("1280x800x24")));

bool clickAt(const QWidget* widget, QPoint at, int count = 1) {
    const QPoint p = widget->mapToGlobal(at);
    return xdotool({"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "--repeat",
                    QString::number(count), "--delay", "60", "1"});
}

bool key(const char* name) { return xdotool({"key", QString::fromLatin1(name)}); }

// A program on the demo service playing the 30-second clip, chosen in the
// open-file dialog after a click on its button; its window active.
struct PlayingProgram {
    PlayingProgram() : p((service.start(), service.baseUrl())) {}
    bool start() {
        if (!p.started) return false;
        p.window().activateWindow();
        if (!waitUntil([&] { return p.window().isActiveWindow(); })) return false;
        return open();
    }
    bool open() {
        p.dialogs.fileToOpen = QString::fromStdString(service.mediaDir()) + QStringLiteral("/chengshi.mp4");
        QWidget* button = p.c().transportButtons[qarvel::TransportButton::OpenFile];
        if (!clickAt(button, button->rect().center())) return false;
        // Playing, and the poll has seen it: the play button offers a pause.
        return waitUntil([&] {
            return p.playing() && p.player().duration() > 20 &&
                   p.c().transportButtons[0]->tip() == QStringLiteral("暂停");
        });
    }
    svc::DemoService service;
    Program p;
};

bool isDark(QRgb pixel) { return qRed(pixel) < 24 && qGreen(pixel) < 24 && qBlue(pixel) < 24; }

// The first lit column on a row through the upper bars of the picture.
int pictureLeft(QWidget* video) {
    runEventsFor(500);
    const QPoint origin = video->mapToGlobal(QPoint(0, 0));
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, origin.x(), origin.y(), video->width(), video->height())
                            .toImage();
    const int y = shot.height() * 3 / 10;
    for (int x = 0; x < shot.width(); ++x) {
        if (!isDark(shot.pixel(x, y))) return x;
    }
    return shot.width();
}

}  // namespace

TEST(PlayerControls, SeekKeysPictureFitAndStopInTheRealWindow) {
    PlayingProgram run;
    ASSERT_TRUE(run.start());
    Program& p = run.p;
    auto& c = p.c();
    // The file came from the dialog and went into the local list.
    ASSERT_EQ(p.dialogs.openAsked.size(), 1);
    EXPECT_EQ(p.dialogs.openAsked[0],
              QStringLiteral("选择播放文件|影音文件|*.rm;*.rmvb;*.wmv;*.mp3;*wma;*mid;*wav;*mpg;*mp4|所有文件|*.*"));
    EXPECT_TRUE(readGbk(p.files().localRecords).startsWith(QStringLiteral("chengshi.mp4|") + p.dialogs.fileToOpen));
    EXPECT_EQ(c.filmTitle->text(), QStringLiteral("chengshi.mp4"));

    // A click on the seek bar halfway moves the film there: on the bare
    // track exactly, on the downloaded part (which covers the track once the
    // poll drew it) 2 s earlier.
    const int span = c.seekBar->width() - c.seekKnob->width();
    const QPoint at(span / 2, c.seekBar->height() / 2);
    const QWidget* under = QApplication::widgetAt(c.seekBar->mapToGlobal(at));
    ASSERT_TRUE(under == c.seekBar || under == c.downloadedBar || under == c.playedBar);
    const auto where =
        under == c.seekBar ? qarvel::playback::SeekRelease::Track : qarvel::playback::SeekRelease::PlayedPart;
    const int expected = qarvel::playback::positionForKnob(at.x(), span, p.player().duration(), where);
    ASSERT_TRUE(clickAt(c.seekBar, at));
    EXPECT_TRUE(waitUntil([&] { return std::abs(p.player().position() - expected) <= 1; }, 5000))
        << p.player().position() << " instead of " << expected;

    // The keys with the focus inside a browser pane (the local list beside the picture).
    qarvel::web::WebPane* list = p.pane(qarvel::Pane::LocalList);
    ASSERT_TRUE(list->isVisible());
    QWidget* inside = list->focusProxy() ? list->focusProxy() : list;
    inside->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(waitUntil([&] { return QApplication::focusWidget() == inside; }));
    ASSERT_TRUE(key("space"));
    EXPECT_TRUE(waitUntil([&] { return p.player().playState() == PlayState::Paused; }, 5000));
    EXPECT_EQ(p.c().transportButtons[0]->tip(), QStringLiteral("播放"));
    ASSERT_TRUE(key("space"));
    EXPECT_TRUE(waitUntil([&] { return p.playing(); }, 5000));
    EXPECT_EQ(QApplication::focusWidget(), inside);  // the pane kept the focus

    const int volume = p.player().volume();
    ASSERT_GE(volume, 10);
    ASSERT_TRUE(key("Down"));
    EXPECT_TRUE(waitUntil([&] { return p.player().volume() == volume - 10; }, 3000)) << p.player().volume();
    EXPECT_EQ(c.statusText->text(), QStringLiteral("音量：%1%").arg(volume - 10));
    ASSERT_TRUE(key("Up"));
    EXPECT_TRUE(waitUntil([&] { return p.player().volume() == volume; }, 3000)) << p.player().volume();

    // The picture-fit items: 4:3 leaves bars beside the picture, stretching fills the width.
    QWidget* video = p.player().videoWidget();
    auto& menu = *p.application->parts().playerMenu;
    menu.item(QStringLiteral("q_43"))->trigger();
    EXPECT_TRUE(waitUntil([&] { return pictureLeft(video) > 20; }, 5000)) << pictureLeft(video);
    menu.item(QStringLiteral("q_la"))->trigger();
    EXPECT_TRUE(waitUntil([&] { return pictureLeft(video) <= 2; }, 5000)) << pictureLeft(video);
    EXPECT_TRUE(menu.item(QStringLiteral("q_la"))->isChecked());

    // Stop, by a click on its button, keeps the position in the local record.
    // Its panel's page failed to load and the pause panel was left up: the
    // picture goes all the same, and the pause panel with it.
    ASSERT_TRUE(waitUntil([&] { return p.session().positionReached() >= 3; }, 10000));
    const int reached = p.session().positionReached();
    p.state().StopAdState = 1;
    c.pauseAdFrame->show();
    ASSERT_FALSE(c.videoFrame->isHidden());
    ASSERT_TRUE(clickAt(c.transportButtons[1], QPoint(12, 12)));
    ASSERT_TRUE(waitUntil([&] { return p.player().playState() != PlayState::Playing; }, 5000));
    EXPECT_EQ(c.statusText->text(), QStringLiteral("已停止"));
    EXPECT_TRUE(c.videoFrame->isHidden());
    EXPECT_FALSE(c.adArea->isHidden());
    EXPECT_TRUE(c.pauseAdFrame->isHidden());

    // In compact mode the status text keeps its 120 px whatever it says.
    p.application->parts().buttons->enterCompactMode();
    ASSERT_EQ(c.statusText->width(), 120);
    ASSERT_TRUE(p.application->parts().keys->onPlayerKey(Qt::Key_Up));
    ASSERT_TRUE(c.statusText->text().startsWith(QStringLiteral("音量：")));
    EXPECT_EQ(c.statusText->width(), 120);
    const QString record = readGbk(p.files().localRecords).section(QStringLiteral("\r\n"), 0, 0);
    EXPECT_TRUE(record.endsWith(u'|' + QString::number(reached)) ||
                record.endsWith(u'|' + QString::number(reached + 1)))
        << record.toStdString() << " reached " << reached;
}

TEST(PlayerControls, FullScreenCoversTheScreenAndLeavesIt) {
    PlayingProgram run;
    ASSERT_TRUE(run.start());
    Program& p = run.p;
    QWidget* video = p.player().videoWidget();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    // A double click on the picture enters full screen; Escape leaves it.
    ASSERT_TRUE(waitUntil([&] { return video->isVisible(); }));
    ASSERT_TRUE(clickAt(video, video->rect().center(), 2));
    ASSERT_TRUE(waitUntil([&] { return p.player().fullScreen(); }, 5000));
    EXPECT_TRUE(waitUntil([&] { return video->window()->geometry() == screen; }, 5000))
        << video->window()->geometry().width() << "x" << video->window()->geometry().height();
    EXPECT_NE(video->window(), &p.window());
    ASSERT_TRUE(waitUntil([&] { return video->isActiveWindow(); }, 5000));
    ASSERT_TRUE(key("Escape"));
    ASSERT_TRUE(waitUntil([&] { return !p.player().fullScreen(); }, 5000));
    EXPECT_EQ(video->window(), &p.window());
    EXPECT_TRUE(p.playing());

    // The button enters it too; a double click leaves it.
    p.application->parts().transport->pressTransportButton(qarvel::TransportButton::FullScreen);
    ASSERT_TRUE(waitUntil([&] { return p.player().fullScreen(); }, 5000));
    EXPECT_TRUE(waitUntil([&] { return video->window()->geometry() == screen; }, 5000));
    runEventsFor(600);  // past the double-click interval
    ASSERT_TRUE(clickAt(video, video->rect().center(), 2));
    ASSERT_TRUE(waitUntil([&] { return !p.player().fullScreen(); }, 5000));
    EXPECT_EQ(video->window(), &p.window());
}

// Pictures of the player bar in both skins, playing (the pointer on the
// pause button: its hover face and balloon), paused and stopped, one strip
// under the other; kept in the build folder for the documentation.
TEST(PlayerControls, PlayerBarPicturesInBothSkins) {
    PlayingProgram run;
    ASSERT_TRUE(run.start());
    Program& p = run.p;
    auto& c = p.c();
    auto& t = *p.application->parts().transport;
    QWidget& w = p.window();
    const auto bar = [&] {
        runEventsFor(400);
        const int top = c.statusStrip->mapTo(&w, QPoint(0, 0)).y() - 2;
        const QPoint origin = w.mapToGlobal(QPoint(0, top));
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, origin.x(), origin.y(), w.width(), w.height() - top)
            .toImage();
    };
    const auto faceOfPlayButton = [&] { return c.transportButtons[0]->picture().toImage(); };
    for (int skin : {0, 1}) {
        SCOPED_TRACE(skin);
        p.application->parts().painter->applySkin(skin);
        if (!p.playing()) {
            t.pressTransportButton(qarvel::TransportButton::PlayPause);
            ASSERT_TRUE(waitUntil([&] { return p.playing(); }, 5000));
        }
        ASSERT_TRUE(waitUntil([&] { return c.transportButtons[0]->tip() == QStringLiteral("暂停"); }, 3000));
        const QImage pauseFace = faceOfPlayButton();
        const QPoint centre = c.transportButtons[0]->mapToGlobal(c.transportButtons[0]->rect().center());
        ASSERT_TRUE(xdotool({"mousemove", QString::number(centre.x()), QString::number(centre.y())}));
        ASSERT_TRUE(waitUntil([&] { return c.buttonBalloon->isVisible(); }, 3000));
        EXPECT_EQ(c.balloonText->text(), QStringLiteral("暂停"));
        EXPECT_NE(faceOfPlayButton(), pauseFace);  // the hover face
        const QImage playing = bar();
        ASSERT_TRUE(xdotool({"mousemove", "5", "5"}));
        ASSERT_TRUE(waitUntil([&] { return c.buttonBalloon->isHidden(); }, 3000));
        EXPECT_EQ(faceOfPlayButton(), pauseFace);

        t.pressTransportButton(qarvel::TransportButton::PlayPause);
        ASSERT_TRUE(waitUntil([&] { return p.player().playState() == PlayState::Paused; }, 5000));
        const QImage playFace = faceOfPlayButton();
        EXPECT_NE(playFace, pauseFace);
        const QImage paused = bar();
        t.pressTransportButton(qarvel::TransportButton::Stop);
        ASSERT_TRUE(waitUntil([&] { return p.player().playState() != PlayState::Paused; }, 5000));
        const QImage stopped = bar();
        EXPECT_EQ(faceOfPlayButton(), playFace);

        QImage sheet(playing.width(), playing.height() * 3, QImage::Format_RGB32);
        QPainter painter(&sheet);
        painter.drawImage(0, 0, playing);
        painter.drawImage(0, playing.height(), paused);
        painter.drawImage(0, playing.height() * 2, stopped);
        painter.end();
        EXPECT_TRUE(sheet.save(QStringLiteral(QARVEL_SHOT_DIR "/player-bar-skin%1.png").arg(skin)));
        ASSERT_TRUE(run.open());  // the next round plays it again
    }
}

namespace {

// Pixels of a picture that pass a test, as a share of all of them.
double shareOf(const QImage& image, const std::function<bool(QRgb)>& test) {
    if (image.isNull() || image.width() * image.height() == 0) return 0;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += test(image.pixel(x, y)) ? 1 : 0;
    return double(n) / (image.width() * image.height());
}

}  // namespace

// The film is drawn in a native window of its own, above every widget
// painted in the main window: what is shown over it stays on the screen, and
// the program's screenshot has the film in it.
TEST(PictureOverlays, TheNoticeStaysOverThePlayingFilmAndTheScreenshotHasIt) {
    PlayingProgram run;
    ASSERT_TRUE(run.start());
    Program& p = run.p;
    QWidget* video = p.c().playerVideo;
    runEventsFor(1000);

    // --screenshot's picture: the film's test pattern, not a black box.
    const QString path = QStringLiteral(QARVEL_SHOT_DIR "/playing-screenshot.png");
    ASSERT_TRUE(p.application->grabScreenshot(path));
    const QImage shot(path);
    const QRect picture(video->mapTo(&p.window(), QPoint(0, 0)), video->size());
    EXPECT_GT(shareOf(shot.copy(picture), [](QRgb px) { return !isDark(px); }), 0.3);

    // Without a tray the balloon is the window's own notice, partly over the film.
    p.window().tray().ShowTrayBalloon(QStringLiteral("开始缓冲下一集！"));
    const QWidget* notice = p.window().notice();
    ASSERT_TRUE(notice && notice->isVisible());
    const QRect over = QRect(notice->mapToGlobal(QPoint(0, 0)), notice->size()) &
                       QRect(video->mapToGlobal(QPoint(0, 0)), video->size());
    ASSERT_GT(over.height(), 20);
    runEventsFor(1000);
    const QImage seen =
        QGuiApplication::primaryScreen()->grabWindow(0, over.x(), over.y(), over.width(), over.height()).toImage();
    // Mostly the notice's pale yellow, a little of its black text.
    const auto paper = [](QRgb px) { return qRed(px) > 245 && qGreen(px) > 245 && qAbs(qBlue(px) - 225) < 12; };
    EXPECT_GT(shareOf(seen, paper), 0.6);
    EXPECT_GT(shareOf(seen, isDark), 0.01);
}
