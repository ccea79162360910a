// The engine against the demo service: the service's own play answers, its
// media served by range, and its fault switches on the seed files.
#include "common/text_codec.h"
#include "engine/mpv_player.h"
#include "engine_test_support.h"
#include "service/demo_service.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qarvel::engine;
using namespace qarvel::engine::testing;
using qarvel::service::DemoService;
using qarvel::service::Fault;

namespace {

class EngineDemo : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(service.start()) << service.errorText();
        base = QString::fromStdString(service.baseUrl());
        MpvPlayer::Options options;
        options.files = qarvel::ProgramFiles::inFolder(dir.path());
        options.sources = {base + "seed/"};  // what --demo configures
        options.videoOutput = false;
        options.audioOutput = false;
        options.fetchTiming = testFetchTiming();
        player = std::make_unique<MpvPlayer>(options);
        ASSERT_TRUE(player->isReady());
    }
    void TearDown() override { player.reset(); }

    // The play address the service answers for an episode of the long series.
    QString episodeAddress(int episode) {
        QNetworkAccessManager network;
        QNetworkReply* reply =
            network.get(QNetworkRequest(QUrl(base + QString("h.asp?id=1001&v=0&v1=%1").arg(episode))));
        waitUntil([&] { return reply->isFinished(); }, 10000);
        const QStringList fields = qarvel::fromGbk(reply->readAll()).split('$');
        reply->deleteLater();
        return fields.size() >= 3 && fields[2] == "qvod" ? fields[1] : QString();
    }
    static QString nameOf(const QString& address) { return address.split('|').value(2); }
    int state() const { return int(player->playState()); }

    QTemporaryDir dir;
    DemoService service;
    QString base;
    std::unique_ptr<MpvPlayer> player;
};

}  // namespace

TEST_F(EngineDemo, AnEpisodeOfTheServicePlaysAndLandsInTheCache) {
    const QString address = episodeAddress(0);
    ASSERT_TRUE(address.startsWith("qvod://")) << address.toStdString();
    player->setUrl(address);
    player->play();
    ASSERT_TRUE(waitUntil([&] { return state() == 3; }, 15000)) << state();
    ASSERT_TRUE(waitUntil([&] { return player->downloadProgress() == 1000; }, 20000));
    const QString cached = player->cacheFolder() + nameOf(address);
    EXPECT_EQ(fileBytes(cached), fileBytes(QString::fromStdString(service.mediaDir()) + "/" + nameOf(address)));

    // With the service gone the film still plays, from the cache.
    player->stop();
    service.stop();
    player->setUrl(address);
    player->play();
    ASSERT_TRUE(waitUntil([&] { return state() == 3; }, 15000)) << state();
}

TEST_F(EngineDemo, CutAndRefusedAnswersAreRiddenOutUntilTheSeedComesBack) {
    const QString address = episodeAddress(1);
    ASSERT_FALSE(address.isEmpty());
    Fault slowAndCut = Fault::cutAfter(150'000);
    slowAndCut.bytesPerSecond = 150'000;
    ASSERT_TRUE(service.setFault("seed", slowAndCut));
    player->setUrl(address);
    player->play();
    ASSERT_TRUE(waitUntil([&] { return player->downloadProgress() >= 300; }, 20000));
    EXPECT_GT(service.requestCount("seed"), 1);  // cut answers were continued

    ASSERT_TRUE(service.setFault("seed", Fault::closed()));
    const int kept = player->downloadProgress();
    ASSERT_TRUE(waitUntil([&] { return state() == 8 || state() == 4; }, 20000)) << state();
    EXPECT_GE(player->downloadProgress(), kept);

    service.clearFault("seed");
    ASSERT_TRUE(waitUntil([&] { return player->downloadProgress() == 1000; }, 20000));
    ASSERT_TRUE(waitUntil([&] { return state() == 3; }, 10000)) << state();
    player->setPosition(player->duration() - 1);
    ASSERT_TRUE(waitUntil([&] { return state() == 6; }, 10000)) << state();
}

TEST_F(EngineDemo, PreloadNextFetchesTheFollowingEpisode) {
    const QString first = episodeAddress(2);
    const QString next = episodeAddress(3);
    ASSERT_FALSE(next.isEmpty());
    player->setUrl(first);
    player->play();
    player->preloadNext(next);
    const QByteArray expected = fileBytes(QString::fromStdString(service.mediaDir()) + "/" + nameOf(next));
    ASSERT_TRUE(waitUntil([&] { return fileBytes(player->cacheFolder() + nameOf(next)) == expected; }, 20000));
}
