// The real program on a private message bus: the desktop's media controls
// pause, resume and stop a playing clip through the program's own handlers
// (the record keeps the position as after a click on stop), step through a
// series, and the screen stays on exactly while a film plays.
#include "fake_desktop_services.h"
#include "platform/mpris_service.h"
#include "platform/screen_inhibitor.h"
#include "program_harness.h"
#include "support/private_bus.h"

using namespace playtest;
using qarvel::test::FakeScreenSaver;
using qarvel::test::MprisClient;
using qarvel::test::PrivateBus;
using qarvel::test::runEventsFor;

namespace {

struct OnAPrivateBus : ::testing::Test {
    void SetUp() override {
        app();
        ASSERT_TRUE(bus.ok());
        ASSERT_TRUE(saver.serveOn(bus.connect("saver")));
        desktop = {bus.connect("program"), bus.connect("program-system")};
        ASSERT_TRUE(service.start()) << service.errorText();
    }
    PrivateBus bus;
    FakeScreenSaver saver;
    qarvel::platform::DesktopBus desktop{QDBusConnection(QStringLiteral("none")),
                                         QDBusConnection(QStringLiteral("none"))};
    svc::DemoService service;
};

}  // namespace

TEST_F(OnAPrivateBus, MediaKeysPauseResumeAndStopAPlayingClip) {
    // No next-episode requests: this film is a single one.
    Program p(service.baseUrl(), {{"s_h", "1"}}, {}, &desktop);
    ASSERT_TRUE(p.started);
    ASSERT_NE(p.application->parts().mpris.get(), nullptr);
    EXPECT_EQ(p.application->parts().mpris->busName(), qarvel::platform::kMprisName);
    MprisClient desk{bus.connect("client"), qarvel::platform::kMprisName};
    EXPECT_EQ(desk.playerProperty("PlaybackStatus").toString(), "Stopped");
    EXPECT_FALSE(p.application->parts().inhibitor->inhibited());

    ASSERT_TRUE(p.catalogueShown());
    ASSERT_TRUE(p.clickEpisode(1003, QStringLiteral("正片")));
    ASSERT_TRUE(waitUntil([&] { return p.playing() && p.session().positionReached() >= 2; }));
    // Playing: the screen saver is held off, and the desktop sees what plays.
    ASSERT_TRUE(waitUntil([&] { return saver.active.size() == 1; }));
    EXPECT_EQ(desk.playerProperty("PlaybackStatus").toString(), "Playing");
    const QVariantMap meta = desk.metadata();
    EXPECT_EQ(meta.value("xesam:title").toString(), p.c().filmTitle->text());
    EXPECT_EQ(meta.value("mpris:length").toLongLong(), qint64(p.player().duration()) * 1000000);

    // Pause: the film holds, the screen may blank again.
    desk.player("Pause");
    ASSERT_TRUE(waitUntil([&] { return p.player().playState() == PlayState::Paused; }));
    EXPECT_EQ(desk.playerProperty("PlaybackStatus").toString(), "Paused");
    EXPECT_TRUE(waitUntil([&] { return saver.active.isEmpty(); }));
    const int heldAt = p.player().position();
    runEventsFor(1200);
    EXPECT_EQ(p.player().position(), heldAt);

    // The play/pause key resumes it.
    desk.player("PlayPause");
    ASSERT_TRUE(waitUntil([&] { return p.playing() && p.player().position() > heldAt; }));
    EXPECT_TRUE(waitUntil([&] { return saver.active.size() == 1; }));

    // Stop keeps the position reached in the record, as the stop button does:
    // paused first, so that the poll's position holds still to compare.
    desk.player("Pause");
    ASSERT_TRUE(waitUntil([&] { return p.player().playState() == PlayState::Paused; }));
    ASSERT_TRUE(waitUntil([&] { return p.session().positionReached() == p.player().position(); }, 3000));
    const int reached = p.session().positionReached();
    ASSERT_GT(reached, 0);
    desk.player("Stop");
    ASSERT_TRUE(waitUntil([&] { return !p.c().statusPollTimer->isActive(); }));
    EXPECT_EQ(p.c().statusText->text(), QStringLiteral("已停止"));
    EXPECT_TRUE(p.c().filmTitle->text().isEmpty());
    EXPECT_EQ(p.session().positionReached(), 0);
    const QString line = readGbk(p.files().networkRecords).section("\r\n", 0, 0);
    EXPECT_TRUE(line.startsWith("1003|")) << line.toStdString();
    EXPECT_EQ(line.section(u'|', 6, 6).toInt(), reached) << line.toStdString();
    EXPECT_TRUE(waitUntil([&] { return desk.playerProperty("PlaybackStatus").toString() == "Stopped"; }));
    EXPECT_TRUE(waitUntil([&] { return saver.active.isEmpty(); }));
}

TEST_F(OnAPrivateBus, NextAndPreviousStepThroughASeries) {
    Program p(service.baseUrl(), {{"s_h", "1"}}, {}, &desktop);
    ASSERT_TRUE(p.started);
    MprisClient desk{bus.connect("client"), qarvel::platform::kMprisName};
    ASSERT_TRUE(p.catalogueShown());
    ASSERT_TRUE(p.clickEpisode(1001, QStringLiteral("第01集")));
    ASSERT_TRUE(waitUntil([&] { return p.playing(); }));
    EXPECT_TRUE(waitUntil([&] { return desk.playerProperty("CanGoNext").toBool(); }));
    EXPECT_FALSE(desk.playerProperty("CanGoPrevious").toBool());

    desk.player("Next");
    ASSERT_TRUE(waitUntil([&] { return p.c().filmTitle->text().endsWith(QStringLiteral("第02集")) && p.playing(); }))
        << p.c().filmTitle->text().toStdString();
    EXPECT_TRUE(waitUntil([&] { return desk.playerProperty("CanGoPrevious").toBool(); }));
    EXPECT_EQ(desk.metadata().value("xesam:trackNumber").toInt(), 2);

    desk.player("Previous");
    ASSERT_TRUE(waitUntil([&] { return p.c().filmTitle->text().endsWith(QStringLiteral("第01集")) && p.playing(); }))
        << p.c().filmTitle->text().toStdString();
}
