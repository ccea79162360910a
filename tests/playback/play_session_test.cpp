// The play session on its own: what each start keeps and drops, the next
// episode's states, the retry count and the key's text.
#include "playback/play_session.h"

#include <gtest/gtest.h>

namespace qarvel::playback {
namespace {

const EpisodeKey kKey{7, 1, 2, QStringLiteral("%u7535-x")};

// A session with a network episode whose next one is found and buffering.
PlaySession withNextBuffering() {
    PlaySession s;
    s.startNetworkEpisode(kKey, 0);
    s.nextAvailable(QStringLiteral("zvqvod://next"), QStringLiteral("qvod://next"));
    s.setNextBuffered(true);
    return s;
}

TEST(PlaySessionStarts, NetworkEpisodeResumesFromItsRecord) {
    PlaySession s = withNextBuffering();
    s.setResumeDone(true);
    s.startNetworkEpisode({8, 0, 0, QStringLiteral("T")}, 120);
    EXPECT_EQ(s.source(), PlaySource::NetworkEpisode);
    EXPECT_EQ(s.recordKind(), RecordKind::NetworkItem);
    EXPECT_EQ(s.recordKey(), QStringLiteral("8"));
    EXPECT_EQ(s.resumePosition(), 120);
    EXPECT_FALSE(s.resumeDone());
    EXPECT_EQ(s.next(), NextEpisode::NotAsked);
    EXPECT_TRUE(s.nextAddress().isEmpty());
    EXPECT_FALSE(s.nextBuffered());
}

TEST(PlaySessionStarts, LocalFileHasNoEpisode) {
    PlaySession s = withNextBuffering();
    s.startLocalFile(QStringLiteral("/films/a.mp4"), 42);
    EXPECT_EQ(s.source(), PlaySource::LocalFile);
    EXPECT_FALSE(s.episode());
    EXPECT_EQ(s.recordKind(), RecordKind::LocalFile);
    EXPECT_EQ(s.recordKey(), QStringLiteral("/films/a.mp4"));
    EXPECT_EQ(s.resumePosition(), 42);
    EXPECT_EQ(s.next(), NextEpisode::NotAsked);
}

TEST(PlaySessionStarts, WebPlayerHasNoRecordAndAHandOverKeepsTheEpisode) {
    PlaySession s = withNextBuffering();
    s.handOverToWebPlayer();
    EXPECT_EQ(s.source(), PlaySource::WebPlayer);
    EXPECT_FALSE(s.recordKey());
    EXPECT_EQ(s.episode(), kKey);
    EXPECT_EQ(s.next(), NextEpisode::Available);
    s.startWebPlayerEpisode({8, 0, 0, QStringLiteral("T")});
    EXPECT_EQ(s.recordKind(), RecordKind::NetworkItem);
    EXPECT_EQ(s.episode()->id, 8);
    EXPECT_EQ(s.next(), NextEpisode::NotAsked);
}

TEST(PlaySessionStarts, OpenedFileKeepsTheEpisodeAndItsNext) {
    PlaySession s = withNextBuffering();
    s.recordLocalFile(QStringLiteral("/films/b.mp4"));
    EXPECT_EQ(s.recordKind(), RecordKind::LocalFile);
    EXPECT_EQ(s.recordKey(), QStringLiteral("/films/b.mp4"));
    EXPECT_EQ(s.episode(), kKey);
    EXPECT_EQ(s.next(), NextEpisode::Available);
}

TEST(PlaySessionNext, FailureDropsTheAddressAndHoldsBufferingBack) {
    PlaySession s = withNextBuffering();
    s.setNextBuffered(false);
    s.nextFailed();
    EXPECT_EQ(s.next(), NextEpisode::Failed);
    EXPECT_TRUE(s.nextAddress().isEmpty());
    EXPECT_TRUE(s.nextBuffered());
    for (void (PlaySession::*set)() : {&PlaySession::nextLast, &PlaySession::nextNotYet}) {
        PlaySession t = withNextBuffering();
        (t.*set)();
        EXPECT_TRUE(t.nextAddress().isEmpty());
        EXPECT_TRUE(t.nextLink().isEmpty());
    }
}

TEST(PlaySessionNext, SwitchingOffAndAFailedPlayRequestKeepTheAddress) {
    PlaySession off = withNextBuffering();
    off.nextNotAsked();
    EXPECT_EQ(off.next(), NextEpisode::NotAsked);
    EXPECT_EQ(off.nextAddress(), QStringLiteral("qvod://next"));
    PlaySession refused = withNextBuffering();
    refused.playRequestFailed();
    EXPECT_EQ(refused.next(), NextEpisode::Last);
    EXPECT_EQ(refused.nextAddress(), QStringLiteral("qvod://next"));
}

TEST(PlaySessionNext, RetryAsksOnEverySecondTickAfterAFailure) {
    PlaySession s;
    s.nextFailed();
    EXPECT_FALSE(s.retryTick());
    s.nextFailed();  // a failure while waiting starts the count again
    EXPECT_FALSE(s.retryTick());
    EXPECT_TRUE(s.retryTick());
    EXPECT_FALSE(s.retryTick());
    EXPECT_TRUE(s.retryTick());
}

TEST(PlaySessionPositions, StopClearsAndTheEndLeavesOneSecond) {
    PlaySession s;
    s.startLocalFile(QStringLiteral("/a.mp4"), 30);
    s.setPositionReached(50);
    s.stopped();
    EXPECT_EQ(s.positionReached(), 0);
    EXPECT_EQ(s.resumePosition(), 0);
    s.ended();
    EXPECT_EQ(s.positionReached(), 1);
    EXPECT_EQ(s.resumePosition(), 1);
}

TEST(EpisodeKeyText, AsThePagesAndTheServiceAreGivenIt) {
    EXPECT_EQ(kKey.text(), QStringLiteral("7-1-2-%u7535-x"));
    EXPECT_EQ((EpisodeKey{0, 0, -1, QString()}.text()), QStringLiteral("0-0--1-"));
    EXPECT_EQ(kKey.titleForNext(), QStringLiteral("%u7535"));
}

}  // namespace
}  // namespace qarvel::playback
