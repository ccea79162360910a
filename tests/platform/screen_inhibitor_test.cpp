// Keeping the screen on while a film plays: the screen saver first, logind's
// idle lock where no screen saver answers, nothing (and no error) where
// neither does; every request released again.
#include "fake_desktop_services.h"
#include "platform/screen_inhibitor.h"
#include "support/private_bus.h"
#include "support/wait_until.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using qarvel::platform::DBusScreenInhibitor;
using qarvel::test::FakeLogind;
using qarvel::test::FakeScreenSaver;
using qarvel::test::PrivateBus;
using qarvel::test::runEventsFor;
using qarvel::test::waitUntil;

namespace {

QCoreApplication* app() {
    static int argc = 1;
    static char name[] = "desktop_bus_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* a =
        QCoreApplication::instance() ? QCoreApplication::instance() : new QCoreApplication(argc, argv);
    return a;
}

struct Inhibition : ::testing::Test {
    void SetUp() override {
        app();
        ASSERT_TRUE(bus.ok());
    }
    DBusScreenInhibitor make() {
        return DBusScreenInhibitor({bus.connect("program"), bus.connect("program-system")}, QStringLiteral("播放中"));
    }
    PrivateBus bus;
};

}  // namespace

TEST_F(Inhibition, ScreenSaverHoldsOneInhibitionUntilReleased) {
    FakeScreenSaver saver;
    ASSERT_TRUE(saver.serveOn(bus.connect("saver")));
    FakeLogind logind;
    ASSERT_TRUE(logind.serveOn(bus.connect("logind")));
    auto inhibitor = make();

    inhibitor.setInhibited(true);
    inhibitor.setInhibited(true);
    ASSERT_TRUE(waitUntil([&] { return inhibitor.inhibited(); }));
    EXPECT_EQ(saver.inhibitCalls, 1);
    EXPECT_EQ(saver.active.size(), 1);
    EXPECT_EQ(saver.lastApplication, "qarvel");
    EXPECT_EQ(saver.lastReason, QStringLiteral("播放中"));
    EXPECT_EQ(logind.inhibitCalls, 0);

    inhibitor.setInhibited(false);
    EXPECT_FALSE(inhibitor.inhibited());
    EXPECT_TRUE(waitUntil([&] { return saver.active.isEmpty(); }));

    // Again, and the end of the inhibitor (the program's exit) releases it too.
    {
        auto again = make();
        again.setInhibited(true);
        ASSERT_TRUE(waitUntil([&] { return saver.active.size() == 1; }));
    }
    EXPECT_TRUE(waitUntil([&] { return saver.active.isEmpty(); }));
}

TEST_F(Inhibition, StoppedWhileTheRequestIsOnItsWayEndsReleased) {
    FakeScreenSaver saver;
    ASSERT_TRUE(saver.serveOn(bus.connect("saver")));
    auto inhibitor = make();
    inhibitor.setInhibited(true);
    inhibitor.setInhibited(false);
    ASSERT_TRUE(waitUntil([&] { return saver.inhibitCalls == 1; }));
    EXPECT_TRUE(waitUntil([&] { return saver.active.isEmpty(); }));
    runEventsFor(200);
    EXPECT_FALSE(inhibitor.inhibited());
    EXPECT_TRUE(saver.active.isEmpty());
}

TEST_F(Inhibition, WithoutAScreenSaverLogindKeepsTheMachineAwake) {
    FakeLogind logind;
    ASSERT_TRUE(logind.serveOn(bus.connect("logind")));
    auto inhibitor = make();
    inhibitor.setInhibited(true);
    ASSERT_TRUE(waitUntil([&] { return inhibitor.inhibited(); }));
    EXPECT_EQ(logind.inhibitCalls, 1);
    EXPECT_EQ(logind.lastWhat, "idle");
    EXPECT_EQ(logind.lastMode, "block");
    EXPECT_TRUE(logind.held());

    inhibitor.setInhibited(false);
    EXPECT_FALSE(inhibitor.inhibited());
    EXPECT_TRUE(waitUntil([&] { return !logind.held(); }));
}

TEST_F(Inhibition, NobodyToAskIsNoError) {
    auto inhibitor = make();
    inhibitor.setInhibited(true);
    runEventsFor(300);
    EXPECT_FALSE(inhibitor.inhibited());
    inhibitor.setInhibited(false);

    // No bus at all.
    DBusScreenInhibitor offline({QDBusConnection(QStringLiteral("none")), QDBusConnection(QStringLiteral("none"))},
                                QStringLiteral("播放中"));
    offline.setInhibited(true);
    runEventsFor(50);
    EXPECT_FALSE(offline.inhibited());
    offline.setInhibited(false);
}
