// The player on a private bus as MPRIS 2 sees it: its names, each method
// reaching the media controls, the properties a desktop reads and the
// changes it is told of.
#include "fake_desktop_services.h"
#include "platform/mpris_service.h"
#include "support/private_bus.h"
#include "support/wait_until.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <gtest/gtest.h>

using namespace qarvel::platform;
using qarvel::test::PrivateBus;
using qarvel::test::PropertiesChangedSpy;
using qarvel::test::waitUntil;

namespace {

struct RecordingControls : MediaControls {
    void playPause() override { calls << "playPause"; }
    void play() override { calls << "play"; }
    void pause() override { calls << "pause"; }
    void stop() override { calls << "stop"; }
    void next() override { calls << "next"; }
    void previous() override { calls << "previous"; }
    void seekTo(qint64 seconds) override { calls << QStringLiteral("seek %1").arg(seconds); }
    void setVolume(int v) override { volumeValue = v; }
    void raise() override { calls << "raise"; }
    void setRate(double r) override { rateValue = r; }
    PlaybackStatus status() const override { return statusValue; }
    MediaInfo media() const override { return info; }
    qint64 positionSeconds() const override { return position; }
    int volume() const override { return volumeValue; }
    bool canGoNext() const override { return next_; }
    bool canGoPrevious() const override { return previous_; }
    double rate() const override { return rateValue; }

    QStringList calls;
    PlaybackStatus statusValue = PlaybackStatus::Stopped;
    MediaInfo info;
    qint64 position = 0;
    int volumeValue = 50;
    double rateValue = 1.0;
    bool next_ = false, previous_ = false;
};

const QString kPlayer = qarvel::test::kMprisPlayer;
using Client = qarvel::test::MprisClient;

struct Mpris : ::testing::Test {
    void SetUp() override {
        static int argc = 1;
        static char name[] = "desktop_bus_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
        ASSERT_TRUE(bus.ok());
    }
    PrivateBus bus;
    RecordingControls controls;
};

}  // namespace

TEST_F(Mpris, TakesItsNameOrAnInstanceNameAndTellsWhoItIs) {
    MprisService first(controls, bus.connect("first"), QStringLiteral("org.qarvel.Qarvel"));
    EXPECT_EQ(first.busName(), "org.mpris.MediaPlayer2.qarvel");
    RecordingControls other;
    MprisService second(other, bus.connect("second"), QStringLiteral("org.qarvel.Qarvel"));
    EXPECT_EQ(second.busName(),
              QStringLiteral("org.mpris.MediaPlayer2.qarvel.instance%1").arg(QCoreApplication::applicationPid()));

    Client client{bus.connect("client"), first.busName()};
    const QString root = QStringLiteral("org.mpris.MediaPlayer2");
    EXPECT_EQ(client.property(root, "Identity").toString(), QStringLiteral("Qarvel影视盒"));
    EXPECT_EQ(client.property(root, "DesktopEntry").toString(), "org.qarvel.Qarvel");
    EXPECT_EQ(client.property(root, "CanRaise").toBool(), true);
    client.call(root, "Raise");
    EXPECT_EQ(controls.calls, QStringList{"raise"});

    // Without a bus it stands, with no name.
    MprisService offline(controls, QDBusConnection(QStringLiteral("none")), QStringLiteral("x"));
    EXPECT_TRUE(offline.busName().isEmpty());
    offline.refresh();
}

TEST_F(Mpris, EveryMethodReachesTheControls) {
    MprisService service(controls, bus.connect("program"), QStringLiteral("org.qarvel.Qarvel"));
    controls.info = {QStringLiteral("/films/a.mp4"), QStringLiteral("星河往事-第02集"), 2, 300};
    controls.position = 100;
    controls.next_ = true;
    service.refresh();
    Client client{bus.connect("client"), service.busName()};
    for (const char* m : {"PlayPause", "Play", "Pause", "Stop", "Next", "Previous"}) client.call(kPlayer, m);
    EXPECT_EQ(controls.calls, (QStringList{"playPause", "play", "pause", "stop", "next", "previous"}));
    controls.calls.clear();

    // Seek is relative, in microseconds; past the end it is the next episode.
    client.call(kPlayer, "Seek", {qlonglong(-30'000'000)});
    client.call(kPlayer, "Seek", {qlonglong(-500'000'000)});
    client.call(kPlayer, "Seek", {qlonglong(500'000'000)});
    EXPECT_EQ(controls.calls, (QStringList{"seek 70", "seek 0", "next"}));
    controls.calls.clear();

    // SetPosition only for the track that plays, and within it.
    const auto track = client.metadata().value("mpris:trackid").value<QDBusObjectPath>();
    ASSERT_EQ(track, service.trackId());
    client.call(kPlayer, "SetPosition", {QVariant::fromValue(track), qlonglong(42'000'000)});
    client.call(kPlayer, "SetPosition",
                {QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/qarvel/track/999"))), qlonglong(1'000'000)});
    client.call(kPlayer, "SetPosition", {QVariant::fromValue(track), qlonglong(301'000'000)});
    EXPECT_EQ(controls.calls, QStringList{"seek 42"});

    // Volume, 0..1 on the bus, 0..100 in the player; out of range is clamped.
    QDBusMessage set = QDBusMessage::createMethodCall(
        service.busName(), kMprisPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"));
    set.setArguments({kPlayer, QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(0.25))});
    QDBusPendingCallWatcher w(client.bus.asyncCall(set));
    waitUntil([&] { return w.isFinished(); });
    EXPECT_EQ(controls.volumeValue, 25);
    EXPECT_DOUBLE_EQ(client.property(kPlayer, "Volume").toDouble(), 0.25);
}

TEST_F(Mpris, PropertiesFollowThePlayerAndChangesAreSignalled) {
    MprisService service(controls, bus.connect("program"), QStringLiteral("org.qarvel.Qarvel"));
    Client client{bus.connect("client"), service.busName()};
    EXPECT_EQ(client.property(kPlayer, "PlaybackStatus").toString(), "Stopped");
    EXPECT_EQ(client.metadata().value("mpris:trackid").value<QDBusObjectPath>().path(),
              "/org/mpris/MediaPlayer2/TrackList/NoTrack");
    EXPECT_FALSE(client.property(kPlayer, "CanPlay").toBool());

    PropertiesChangedSpy spy;
    ASSERT_TRUE(client.bus.connect(service.busName(), kMprisPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"), &spy,
                                   SLOT(changed(QString, QVariantMap, QStringList))));

    controls.info = {QStringLiteral("http://127.0.0.1:1/box/media/xinghe-03.mp4"), QStringLiteral("星河往事-第03集"), 3,
                     600};
    controls.statusValue = PlaybackStatus::Playing;
    controls.next_ = controls.previous_ = true;
    controls.position = 61;
    service.refresh();
    ASSERT_TRUE(waitUntil([&] { return !spy.changes.isEmpty(); }));
    EXPECT_EQ(spy.changes.last().value("PlaybackStatus").toString(), "Playing");
    EXPECT_TRUE(spy.changes.last().contains("Metadata"));
    EXPECT_EQ(client.property(kPlayer, "PlaybackStatus").toString(), "Playing");
    const QVariantMap m = client.metadata();
    EXPECT_EQ(m.value("xesam:title").toString(), QStringLiteral("星河往事-第03集"));
    EXPECT_EQ(m.value("xesam:trackNumber").toInt(), 3);
    EXPECT_EQ(m.value("mpris:length").toLongLong(), 600'000'000);
    EXPECT_EQ(m.value("xesam:url").toString(), "http://127.0.0.1:1/box/media/xinghe-03.mp4");
    EXPECT_NE(m.value("mpris:trackid").value<QDBusObjectPath>().path(), "/org/mpris/MediaPlayer2/TrackList/NoTrack");
    EXPECT_EQ(client.property(kPlayer, "Position").toLongLong(), 61'000'000);
    EXPECT_TRUE(client.property(kPlayer, "CanGoNext").toBool());
    EXPECT_TRUE(client.property(kPlayer, "CanGoPrevious").toBool());
    EXPECT_TRUE(client.property(kPlayer, "CanSeek").toBool());

    // Only what changed is told, and nothing when nothing did.
    spy.changes.clear();
    controls.statusValue = PlaybackStatus::Paused;
    service.refresh();
    service.refresh();
    ASSERT_TRUE(waitUntil([&] { return !spy.changes.isEmpty(); }));
    qarvel::test::runEventsFor(100);
    ASSERT_EQ(spy.changes.size(), 1);
    EXPECT_EQ(spy.changes.first().keys(), QStringList{"PlaybackStatus"});
    EXPECT_EQ(client.property(kPlayer, "PlaybackStatus").toString(), "Paused");
}

TEST_F(Mpris, RateIsThePlayersSpeedWithinItsBounds) {
    MprisService service(controls, bus.connect("program"), QStringLiteral("org.qarvel.Qarvel"));
    Client client{bus.connect("client"), service.busName()};
    EXPECT_DOUBLE_EQ(client.property(kPlayer, "MinimumRate").toDouble(), 0.5);
    EXPECT_DOUBLE_EQ(client.property(kPlayer, "MaximumRate").toDouble(), 2.0);
    EXPECT_DOUBLE_EQ(client.property(kPlayer, "Rate").toDouble(), 1.0);

    PropertiesChangedSpy spy;
    ASSERT_TRUE(client.bus.connect(service.busName(), kMprisPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"), &spy,
                                   SLOT(changed(QString, QVariantMap, QStringList))));
    auto setRate = [&](double rate) {
        QDBusMessage set = QDBusMessage::createMethodCall(
            service.busName(), kMprisPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"));
        set.setArguments({kPlayer, QStringLiteral("Rate"), QVariant::fromValue(QDBusVariant(rate))});
        QDBusPendingCallWatcher w(client.bus.asyncCall(set));
        waitUntil([&] { return w.isFinished(); });
    };
    setRate(1.5);
    EXPECT_DOUBLE_EQ(controls.rateValue, 1.5);
    EXPECT_DOUBLE_EQ(client.property(kPlayer, "Rate").toDouble(), 1.5);
    ASSERT_TRUE(waitUntil([&] { return !spy.changes.isEmpty(); }));
    EXPECT_DOUBLE_EQ(spy.changes.last().value("Rate").toDouble(), 1.5);

    // Outside the bounds it is clamped; 0 (a pause) is refused.
    setRate(8.0);
    EXPECT_DOUBLE_EQ(controls.rateValue, 2.0);
    setRate(0.1);
    EXPECT_DOUBLE_EQ(controls.rateValue, 0.5);
    setRate(0.0);
    EXPECT_DOUBLE_EQ(controls.rateValue, 0.5);
}
