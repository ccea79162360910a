// The speed steps and what a new film plays at, and the names of captured
// frames, with the fake player.
#include "fakes/fake_player.h"
#include "playback/frame_capture.h"
#include "playback/playback_speed.h"
#include "playback/play_session.h"

#include <gtest/gtest.h>

namespace qarvel::playback {
namespace {

TEST(PlaybackSpeed, StepsStayInBoundsAndOnlyTheSameSeriesKeepsTheSpeed) {
    PlaySession session;
    fakes::FakePlayer player;
    PlaybackSpeed speed(session, player);
    QList<double> told;
    speed.changed = [&](double now) { told << now; };
    speed.faster();
    speed.faster();
    EXPECT_DOUBLE_EQ(player.speed(), 1.5);
    speed.setSpeed(1.1);  // between steps (a desktop's rate): the next step up
    speed.faster();
    EXPECT_DOUBLE_EQ(player.speed(), 1.25);
    for (int i = 0; i < 9; ++i) speed.slower();
    EXPECT_DOUBLE_EQ(player.speed(), 0.5);
    speed.setSpeed(9);
    speed.faster();
    EXPECT_DOUBLE_EQ(player.speed(), 2.0);
    speed.normal();
    EXPECT_EQ(told, (QList<double>{1.25, 1.5, 1.1, 1.25, 1.0, 0.75, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 2.0, 2.0, 1.0}));

    // Episode 1 of film 1002 at 1.5×; episode 2 of it keeps that.
    player.setUrl(QStringLiteral("qvod://1|A|a.mp4|"));
    session.startNetworkEpisode({1002, 0, 0, QStringLiteral("侠客行")}, 0);
    speed.filmStarted();
    speed.setSpeed(1.5);
    player.setUrl(QStringLiteral("qvod://1|B|b.mp4|"));
    session.startNetworkEpisode({1002, 0, 1, QStringLiteral("侠客行")}, 0);
    speed.filmStarted();
    EXPECT_DOUBLE_EQ(player.speed(), 1.5);
    // Another film, and a local file, start at 1.0×; the same file again keeps its speed.
    player.setUrl(QStringLiteral("qvod://1|C|c.mp4|"));
    session.startNetworkEpisode({1003, 0, 0, QStringLiteral("城市之光")}, 0);
    speed.filmStarted();
    EXPECT_DOUBLE_EQ(player.speed(), 1.0);
    speed.setSpeed(0.75);
    player.setUrl(QStringLiteral("/films/a.mp4"));
    session.startLocalFile(QStringLiteral("/films/a.mp4"), 0);
    speed.filmStarted();
    EXPECT_DOUBLE_EQ(player.speed(), 1.0);
    speed.setSpeed(2.0);
    speed.filmStarted();
    EXPECT_DOUBLE_EQ(player.speed(), 2.0);

    EXPECT_EQ(speedCaption(0.75), QStringLiteral("0.75×"));
    EXPECT_EQ(speedCaption(2.0), QStringLiteral("2.0×"));
    EXPECT_EQ(speedSuffix(1.5), QStringLiteral(" 1.5×"));
    EXPECT_EQ(speedSuffix(1.0), QString());
}

TEST(FrameCapture, FileNamesCarryTheTitleAndPositionWithoutRefusedCharacters) {
    EXPECT_EQ(captureFileName(QStringLiteral("星河往事-第02集"), 754), QStringLiteral("星河往事-第02集 00-12-34.png"));
    EXPECT_EQ(captureFileName(QStringLiteral("a/b\\c:d*e?f\"g<h>i|j\tk"), 3 * 3600 + 5),
              QStringLiteral("a_b_c_d_e_f_g_h_i_j_k 03-00-05.png"));
    EXPECT_EQ(captureFileName(QStringLiteral(".."), -3), QStringLiteral("截图 00-00-00.png"));
}

}  // namespace
}  // namespace qarvel::playback
