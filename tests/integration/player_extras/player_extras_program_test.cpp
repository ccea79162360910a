// Speed, sound tracks and frame capture in the program as main() builds it:
// the "倍速" items and the X, C, Z keys change how fast the film's own clock
// runs and the status text says so; an episode of the same series keeps the
// speed, another film starts at 1.0×; "音轨" lists the bilingual clip's two
// tracks and switches the player's track; S saves the frame as a PNG of the
// film's size; the desktop's Rate sets the same speed.
#include "engine/mpv_player.h"
#include "fake_desktop_services.h"
#include "integration/play/program_harness.h"
#include "platform/mpris_service.h"
#include "playback/frame_capture.h"
#include "playback/player_menu.h"
#include "playback/transport_commands.h"
#include "support/private_bus.h"
#include "support/x_server.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMenu>

using namespace playtest;
using qarvel::test::runEventsFor;
using qarvel::test::xdotool;

namespace {

const auto* const kXServer =
    ::testing::AddGlobalTestEnvironment(new qarvel::test::XServer([] { app(); }, QStringLiteral("1280x800x24")));

QMenu* submenu(Program& p, const char* name) {
    auto* item = p.window().menus().playerPopupMenu.findChild<QAction*>(QString::fromLatin1(name));
    return item ? item->menu() : nullptr;
}

QAction* itemCalled(QMenu* menu, const QString& caption) {
    for (QAction* a : menu->actions())
        if (a->text() == caption) return a;
    return nullptr;
}

double speedOf(Program& p) { return mpv(p).propertyText("speed").toDouble(); }

// Film seconds per wall-clock second, from the player's own clock over about 3 s.
double measuredRate(Program& p) {
    QElapsedTimer wall;
    const double from = mpv(p).propertyText("time-pos").toDouble();
    wall.start();
    runEventsFor(3000);
    const double to = mpv(p).propertyText("time-pos").toDouble();
    return (to - from) / (wall.nsecsElapsed() / 1e9);
}

bool activate(Program& p) {
    p.window().activateWindow();
    return waitUntil([&] { return p.window().isActiveWindow(); });
}

QString balloonText(Program& p) {
    auto* balloon = p.window().findChild<QLabel*>(QStringLiteral("balloon"));
    return balloon && balloon->isVisible() ? balloon->text() : QString();
}

}  // namespace

TEST(PlayerExtras, SpeedChangesTheFilmsClockHoldsInASeriesAndResetsForANewFilm) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_h", "1"}}, {}, nullptr, clip(service, "chengshi.mp4"));
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(waitUntil([&] { return p.playing() && p.player().position() >= 1; }));

    QMenu* speeds = submenu(p, "q_beisu");
    ASSERT_NE(speeds, nullptr);
    QStringList captions;
    for (QAction* a : speeds->actions()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{"0.5×", "0.75×", "1.0×", "1.25×", "1.5×", "2.0×"}));
    EXPECT_TRUE(itemCalled(speeds, QStringLiteral("1.0×"))->isChecked());

    itemCalled(speeds, QStringLiteral("1.5×"))->trigger();
    ASSERT_TRUE(waitUntil([&] { return speedOf(p) == 1.5; }, 3000));
    EXPECT_EQ(mpv(p).propertyText("audio-pitch-correction"), QStringLiteral("yes"));
    const double rate = measuredRate(p);
    EXPECT_NEAR(rate, 1.5, 0.1);
    EXPECT_TRUE(waitUntil([&] { return p.c().statusText->text().endsWith(QStringLiteral(" 1.5×")); }, 3000))
        << p.c().statusText->text().toStdString();
    EXPECT_TRUE(p.c().statusText->text().startsWith(QStringLiteral("播放中(")));

    // The keys: C faster, X slower, Z normal; the menu's mark follows.
    ASSERT_TRUE(activate(p));
    ASSERT_TRUE(xdotool({"key", "c"}));
    EXPECT_TRUE(waitUntil([&] { return speedOf(p) == 2.0; }, 3000));
    EXPECT_TRUE(itemCalled(speeds, QStringLiteral("2.0×"))->isChecked());
    ASSERT_TRUE(xdotool({"key", "x", "x"}));
    EXPECT_TRUE(waitUntil([&] { return speedOf(p) == 1.25; }, 3000));
    ASSERT_TRUE(xdotool({"key", "z"}));
    EXPECT_TRUE(waitUntil([&] { return speedOf(p) == 1.0; }, 3000));
    EXPECT_TRUE(waitUntil([&] { return p.c().statusText->text().endsWith(QStringLiteral(" Kbps)")); }, 3000))
        << p.c().statusText->text().toStdString();

    // A series at 1.25×: its next episode keeps that speed ...
    ASSERT_TRUE(waitUntil([&] { return p.clickEpisode(1002, QStringLiteral("第01集")); }));
    ASSERT_TRUE(waitUntil([&] { return p.playing() && p.session().episode()->text().startsWith("1002-0-0-"); }));
    itemCalled(speeds, QStringLiteral("1.25×"))->trigger();
    const QString first = p.player().url();
    p.application->parts().transport->nextEpisode();
    ASSERT_TRUE(waitUntil([&] { return p.player().url() != first && p.playing(); }));
    ASSERT_TRUE(p.session().episode()->text().startsWith("1002-0-1-"));
    runEventsFor(1500);
    EXPECT_EQ(speedOf(p), 1.25);
    // ... and another film starts at 1.0×.
    ASSERT_TRUE(p.clickEpisode(1003, QStringLiteral("正片")));
    ASSERT_TRUE(waitUntil([&] { return p.playing() && p.session().episode()->text().startsWith("1003-"); }));
    EXPECT_TRUE(waitUntil([&] { return speedOf(p) == 1.0; }, 3000)) << speedOf(p);
    EXPECT_TRUE(itemCalled(speeds, QStringLiteral("1.0×"))->isChecked());
}

TEST(PlayerExtras, SoundTracksAreListedAndSwitchedAndTheFrameIsCaptured) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    Program p(service.baseUrl(), {{"s_h", "1"}}, {}, nullptr, clip(service, "shuangyu.mkv"));
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(waitUntil([&] { return p.playing() && !p.player().audioTracks().isEmpty(); }));

    QMenu* tracks = submenu(p, "q_yingui");
    ASSERT_NE(tracks, nullptr);
    tracks->popup(QPoint(100, 100));
    ASSERT_TRUE(waitUntil([&] { return tracks->isVisible(); }));
    QStringList captions;
    for (QAction* a : tracks->actions()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{"国语 (chi)", "English (eng)"}));
    EXPECT_TRUE(tracks->actions().value(0)->isChecked());
    EXPECT_EQ(mpv(p).propertyText("aid"), QStringLiteral("1"));
    tracks->actions().value(1)->trigger();
    tracks->close();
    EXPECT_TRUE(waitUntil([&] { return mpv(p).propertyText("aid") == QStringLiteral("2"); }, 3000));
    EXPECT_TRUE(waitUntil([&] { return p.player().audioTracks().value(1).selected; }, 3000));

    // S saves the frame into the pictures folder, named after the film and the position.
    ASSERT_TRUE(activate(p));
    const int at = p.player().position();
    ASSERT_TRUE(xdotool({"key", "s"}));
    ASSERT_TRUE(waitUntil([&] { return balloonText(p).contains(qarvel::playback::kCaptureSavedPrefix); }))
        << balloonText(p).toStdString();
    const QDir folder(home.path() + QStringLiteral("/Pictures/Qarvel"));
    const QStringList files = folder.entryList({QStringLiteral("*.png")});
    ASSERT_EQ(files.size(), 1);
    const QString name = files.first();
    EXPECT_TRUE(name.startsWith(QStringLiteral("shuangyu.mkv 00-00-0"))) << name.toStdString();
    EXPECT_NEAR(name.mid(20, 1).toInt(), at, 1) << name.toStdString();
    EXPECT_TRUE(balloonText(p).contains(folder.filePath(name)));
    EXPECT_EQ(QImage(folder.filePath(name)).size(), QSize(320, 180));
}

TEST(PlayerExtras, TheDesktopsRateSetsTheSpeed) {
    qarvel::test::PrivateBus bus;
    ASSERT_TRUE(bus.ok());
    qarvel::platform::DesktopBus desktop{bus.connect("program"), bus.connect("program-system")};
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_h", "1"}}, {}, &desktop, clip(service, "chengshi.mp4"));
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(waitUntil([&] { return p.playing(); }));
    qarvel::test::MprisClient desk{bus.connect("client"), qarvel::platform::kMprisName};
    EXPECT_DOUBLE_EQ(desk.playerProperty("MaximumRate").toDouble(), 2.0);
    desk.call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
              {qarvel::test::kMprisPlayer, QStringLiteral("Rate"), QVariant::fromValue(QDBusVariant(2.0))});
    EXPECT_TRUE(waitUntil([&] { return speedOf(p) == 2.0; }, 3000)) << speedOf(p);
    EXPECT_TRUE(itemCalled(submenu(p, "q_beisu"), QStringLiteral("2.0×"))->isChecked());
    EXPECT_DOUBLE_EQ(desk.playerProperty("Rate").toDouble(), 2.0);
}
