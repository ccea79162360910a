// The libmpv player end to end, without picture or sound devices: state codes,
// positions, the film cache over HTTP, sources that fail and come back.
#include "engine/cache/film_index.h"
#include "engine/mpv_player.h"
#include "engine/cache/player_config.h"
#include "engine_test_support.h"
#include "media_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>

using namespace qarvel::engine;
using namespace qarvel::engine::testing;

namespace {

const QString kShort = "第01集.mp4";
const QString kLong = "第02集.mp4";

class EnginePlayer : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(QDir().mkpath(served()));
        ASSERT_TRUE(QFile::copy(clipPath("short.mp4"), served() + "/" + kShort));
        ASSERT_TRUE(QFile::copy(clipPath("long.mp4"), served() + "/" + kLong));
        server = std::make_unique<MediaServer>(served().toStdString());
        ASSERT_TRUE(server->start());
        MpvPlayer::Options options;
        options.files = qarvel::ProgramFiles::inFolder(dir.path());
        options.sources = {QString::fromStdString(server->seedBase())};
        options.videoOutput = false;
        options.audioOutput = false;
        options.fetchTiming = testFetchTiming();
        player = std::make_unique<MpvPlayer>(options);
        ASSERT_TRUE(player->isReady()) << player->errorText().toStdString();
    }
    void TearDown() override { player.reset(); }

    QString served() const { return dir.path() + "/served"; }
    QString cached(const QString& name) const { return player->cacheFolder() + name; }
    QString qvod(const QString& name) const {
        const QByteArray bytes = fileBytes(served() + "/" + name);
        return QString("qvod://%1|%2|%3|").arg(bytes.size()).arg(sha1Hex(bytes).toUpper()).arg(name);
    }
    int state() const { return int(player->playState()); }
    bool waitState(int code, int ms = 10000) {
        return waitUntil([&] { return state() == code; }, ms);
    }
    void start(const QString& address) {
        player->setUrl(address);
        player->play();
    }

    QTemporaryDir dir;
    std::unique_ptr<MediaServer> server;
    std::unique_ptr<MpvPlayer> player;
};

}  // namespace

TEST_F(EnginePlayer, ALocalFilmGoesThroughPlayPauseStopAndItsEnd) {
    const QString path = clipPath("short.mp4");
    EXPECT_EQ(state(), 0);
    EXPECT_EQ(player->url(), "");
    player->setUrl(path);
    EXPECT_EQ(player->url(), path);
    EXPECT_EQ(state(), 0);
    EXPECT_EQ(player->downloadProgress(), 1000);

    player->play();
    ASSERT_TRUE(waitState(3));
    EXPECT_EQ(player->duration(), 4);
    EXPECT_GT(player->bitRate(), 0);
    EXPECT_EQ(player->transferRate(), 0);

    player->pause();
    ASSERT_TRUE(waitState(2));
    const int pausedAt = player->position();
    runEventsFor(300);
    EXPECT_EQ(player->position(), pausedAt);
    player->play();
    ASSERT_TRUE(waitState(3));

    player->stop();
    EXPECT_TRUE(state() == 11 || state() == 1);
    ASSERT_TRUE(waitState(1));
    EXPECT_EQ(player->position(), 0);
    EXPECT_EQ(player->url(), path);  // stopping keeps the address: play starts it again

    player->play();
    ASSERT_TRUE(waitState(3));
    ASSERT_TRUE(waitState(6, 15000));
    EXPECT_GE(player->position(), player->duration() - 1);
    // Play after the end starts from the beginning.
    player->play();
    ASSERT_TRUE(waitState(3));
    EXPECT_LT(player->position(), 2);
}

TEST_F(EnginePlayer, QuickChangesOfMindEndInTheLastState) {
    // Stopped before the film could start: stopped, and it starts again on play.
    start(clipPath("short.mp4"));
    player->stop();
    ASSERT_TRUE(waitState(1, 5000));
    runEventsFor(300);
    EXPECT_EQ(state(), 1);
    player->play();
    ASSERT_TRUE(waitState(3));

    // A second film given while the first is still opening: the second plays.
    start(clipPath("short.mp4"));
    start(clipPath("long.mp4"));
    ASSERT_TRUE(waitState(3));
    EXPECT_EQ(player->duration(), 10);
    EXPECT_EQ(player->url(), clipPath("long.mp4"));

    // An address emptied: idle, nothing loaded.
    player->setUrl("");
    EXPECT_EQ(state(), 0);
    player->play();
    runEventsFor(300);
    EXPECT_EQ(state(), 0);
    EXPECT_EQ(player->duration(), 0);
    EXPECT_EQ(player->downloadProgress(), 0);
}

TEST_F(EnginePlayer, PositionSetIsReadBackAndTheAfterSeekGuardEndsTheFilmNormally) {
    start(clipPath("long.mp4"));
    ASSERT_TRUE(waitState(3));
    player->setPosition(5);
    EXPECT_EQ(player->position(), 5);  // read back at once, before the seek has happened
    ASSERT_TRUE(waitUntil([&] { return state() == 3 && player->position() >= 5; }, 5000));

    // The seek bar's guard: a position past the end is read back, then moved
    // to two seconds before the end.
    const int duration = player->duration();
    ASSERT_EQ(duration, 10);
    player->setPosition(duration + 7);
    ASSERT_GT(player->position(), player->duration());
    player->setPosition(player->duration() - 2);
    std::set<int> seen;
    ASSERT_TRUE(waitUntil(
        [&] {
            seen.insert(state());
            return state() == 6;
        },
        10000));
    EXPECT_EQ(seen.count(0), 0u);
    EXPECT_EQ(seen.count(1), 0u);
    EXPECT_GE(player->position(), duration - 2);
}

TEST_F(EnginePlayer, AQvodFilmIsCachedUnderItsNameAndPlaysAgainWithoutItsSource) {
    start(qvod(kShort));
    ASSERT_TRUE(waitState(3));
    ASSERT_TRUE(waitUntil([&] { return player->downloadProgress() == 1000; }, 15000));
    EXPECT_EQ(player->cacheFolder(), dir.path() + "/Media/");
    EXPECT_EQ(fileBytes(cached(kShort)), fileBytes(served() + "/" + kShort));
    player->stop();
    ASSERT_TRUE(waitState(1));

    ASSERT_TRUE(server->stop());
    start(qvod(kShort));
    ASSERT_TRUE(waitState(3));
    EXPECT_EQ(player->downloadProgress(), 1000);
    EXPECT_EQ(player->duration(), 4);
    player->setPosition(3);  // the rest of the film plays to its end from the cache
    ASSERT_TRUE(waitState(6, 10000));
}

TEST_F(EnginePlayer, PreloadNextFillsTheCacheWithTheNextFilm) {
    start(qvod(kShort));
    ASSERT_TRUE(waitState(3));
    player->preloadNext(qvod(kLong));
    const QByteArray expected = fileBytes(served() + "/" + kLong);
    ASSERT_TRUE(waitUntil([&] { return fileBytes(cached(kLong)) == expected; }, 20000));
    // The next film now plays with its source gone.
    ASSERT_TRUE(server->stop());
    player->stop();
    start(qvod(kLong));
    ASSERT_TRUE(waitState(3));
    EXPECT_EQ(player->downloadProgress(), 1000);
}

TEST_F(EnginePlayer, ASourceThatFailsHalfWayKeepsWhatArrivedAndPlaysOnWhenItReturns) {
    server->setBytesPerSecond(150'000);
    start(qvod(kLong));
    ASSERT_TRUE(waitUntil([&] { return player->downloadProgress() >= 300; }, 15000));
    ASSERT_TRUE(server->stop());
    const int arrived = player->downloadProgress();
    ASSERT_LT(arrived, 1000);

    // Playback reaches the gap and waits there; it does not end.
    ASSERT_TRUE(waitUntil([&] { return state() == 8 || state() == 4; }, 15000)) << state();
    runEventsFor(1500);
    EXPECT_TRUE(state() == 8 || state() == 4) << state();
    EXPECT_GE(player->downloadProgress(), arrived);
    EXPECT_LT(player->position(), player->duration() - 2);
    EXPECT_EQ(QFileInfo(cached(kLong)).exists(), true);

    server->setBytesPerSecond(0);
    ASSERT_TRUE(server->start());
    ASSERT_TRUE(waitUntil([&] { return player->downloadProgress() == 1000; }, 20000));
    ASSERT_TRUE(waitState(3, 10000));  // playing on from where it waited
    EXPECT_EQ(fileBytes(cached(kLong)), fileBytes(served() + "/" + kLong));
    player->setPosition(player->duration() - 1);
    ASSERT_TRUE(waitState(6, 10000));
}

TEST_F(EnginePlayer, APlayerWaitingForDataThatDoesNotComeEndsAtOnceKeepingWhatArrived) {
    server->setBytesPerSecond(150'000);
    start(qvod(kLong));
    ASSERT_TRUE(waitUntil([&] { return player->downloadProgress() >= 150; }, 15000));
    ASSERT_TRUE(server->stop());
    // The player's read now waits at the edge of what arrived, and the fetch keeps retrying.
    ASSERT_TRUE(waitUntil([&] { return state() == 8 || state() == 4; }, 15000)) << state();
    const QString index = filmIndexPath(player->cacheFolder(), kLong);
    QElapsedTimer clock;
    clock.start();
    player.reset();
    EXPECT_LT(clock.elapsed(), 3000);  // neither the waiting read nor the fetch holds up the end
    const auto kept = loadFilmIndex(index);
    ASSERT_TRUE(kept.has_value());
    EXPECT_GT(kept->ranges.coveredBytes(), 0);
}

TEST_F(EnginePlayer, SeekingIntoAPartNotYetArrivedFetchesItAndPlaysOn) {
    server->setBytesPerSecond(100'000);  // about ten seconds for the whole film
    start(qvod(kLong));
    ASSERT_TRUE(waitState(3, 15000));
    player->setPosition(7);
    // Past the position asked for (which reads back at once), so truly playing there.
    ASSERT_TRUE(waitUntil([&] { return state() == 3 && player->position() >= 8; }, 10000)) << state();
    EXPECT_LT(player->downloadProgress(), 1000);  // the part sought came before the rest
}

TEST_F(EnginePlayer, StopEndsTheFetchOfTheFilm) {
    server->setBytesPerSecond(100'000);
    start(qvod(kLong));
    ASSERT_TRUE(waitState(3, 15000));
    player->stop();
    ASSERT_TRUE(waitState(1));
    runEventsFor(300);
    const int progress = player->downloadProgress();
    runEventsFor(1500);
    EXPECT_EQ(player->downloadProgress(), progress);
    EXPECT_EQ(player->transferRate(), 0);
    EXPECT_LT(progress, 1000);
}

TEST_F(EnginePlayer, AddressesThatCannotBeOpenedEndIdleWithTheAddressKept) {
    for (const QString& address : {dir.path() + "/missing.mp4", QString("edl://whatever"), QString("qvod://x|y|")}) {
        start(address);
        ASSERT_TRUE(waitState(0, 5000)) << address.toStdString();
        EXPECT_EQ(player->url(), address);
        EXPECT_FALSE(player->errorText().isEmpty());
    }
    // A source that is down: connecting first, then idle with the address.
    ASSERT_TRUE(server->stop());
    start(qvod(kShort));
    EXPECT_EQ(state(), 10);
    ASSERT_TRUE(waitState(0, 15000));
    EXPECT_EQ(player->url(), qvod(kShort));
    EXPECT_EQ(player->downloadProgress(), 0);
    // A local file that is not a film.
    QFile junk(dir.path() + "/junk.mp4");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(5000, 'x'));
    junk.close();
    start(junk.fileName());
    ASSERT_TRUE(waitState(0, 10000));
}

TEST_F(EnginePlayer, AnHttpFilmIsCachedUnderItsFileName) {
    const QString address = QString::fromStdString(server->seedBase()) + "anything/" + QUrl::toPercentEncoding(kShort);
    start(address);
    ASSERT_TRUE(waitState(3, 15000));
    ASSERT_TRUE(waitUntil([&] { return player->downloadProgress() == 1000; }, 15000));
    EXPECT_EQ(fileBytes(cached(kShort)), fileBytes(served() + "/" + kShort));
}

TEST_F(EnginePlayer, VolumeMuteAndModesStayInRange) {
    player->setVolume(150);
    EXPECT_EQ(player->volume(), 100);
    player->setVolume(-3);
    EXPECT_EQ(player->volume(), 0);
    player->setVolume(35);
    player->setMute(true);
    start(clipPath("short.mp4"));
    ASSERT_TRUE(waitState(3));
    EXPECT_EQ(player->volume(), 35);
    EXPECT_TRUE(player->mute());
    for (int mode : {0, 2, 3, 4, 1, 9}) player->setDisplayMode(mode);
    for (int mode : {1, 2, 4, 5, 3, 0}) player->setSoundChannel(mode);
    runEventsFor(500);
    EXPECT_EQ(state(), 3);  // filters changed under a playing film
    player->setAdPageUrl("http://127.0.0.1/box/js/ads/qvodad.html");
    EXPECT_EQ(player->adPageUrl(), "http://127.0.0.1/box/js/ads/qvodad.html");
}

TEST_F(EnginePlayer, TheCacheFolderComesFromTheConfigurationFiles) {
    const QString engineFolder = dir.path() + "/Qvod/";
    EXPECT_TRUE(QFile::exists(engineFolder + "QvodCfg.ini"));
    EXPECT_TRUE(QFile::exists(engineFolder + "QvodPlayer.xml"));
    EXPECT_EQ(player->cacheFolder(), dir.path() + "/Media/");

    const QString elsewhere = dir.path() + "/影片/";
    ASSERT_TRUE(writeCachePath(qarvel::ProgramFiles::inFolder(dir.path()), elsewhere));
    EXPECT_EQ(player->cacheFolder(), dir.path() + "/Media/");  // until told
    player->configurationChanged();
    EXPECT_EQ(player->cacheFolder(), elsewhere);
    start(qvod(kShort));
    ASSERT_TRUE(waitUntil([&] { return player->downloadProgress() == 1000; }, 15000));
    EXPECT_TRUE(QFile::exists(elsewhere + kShort));
}
