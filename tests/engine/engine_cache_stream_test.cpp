// The player's side of a film in the cache: the stream callbacks, called the
// way the player calls them.
#include "engine/cache_stream.h"
#include "engine/cache/film_cache.h"
#include "engine_test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qarvel::engine;

namespace {

// A whole film in the cache folder, opened for playing (nothing left to fetch).
class EngineCacheStream : public ::testing::Test {
protected:
    void SetUp() override {
        qarvel::engine::testing::ensureApplication();
        const FilmSource source{"第01集.mp4", "qvod:abc", 1000, {QUrl("http://127.0.0.1:1/seed/abc/x.mp4")}};
        cache.setFolder(dir.path() + "/Media/");
        {
            QString error;
            auto film = CachedFilm::open(cache.folder(), source, &error);
            ASSERT_TRUE(film) << error.toStdString();
            ASSERT_TRUE(film->write(0, QByteArray(1000, 'x').constData(), 1000));
            ASSERT_TRUE(film->saveIndex());
        }
        QString error;
        film = cache.fetchForPlaying(source, &error);
        ASSERT_TRUE(film && film->isComplete()) << error.toStdString();
        uri = cacheStreamUri(cache.streamIdOf(film)).toUtf8();
    }
    mpv_stream_cb_info open() {
        mpv_stream_cb_info info{};
        EXPECT_EQ(openCacheStream(&cache, uri.constData(), &info), 0);
        return info;
    }

    QTemporaryDir dir;
    FilmCache cache;
    std::shared_ptr<CachedFilm> film;
    QByteArray uri;
};

}  // namespace

// The player unhooks a stream's cancel only after its close, so a stop on its
// own thread can cancel a stream that is already closed (the player's thread
// used to crash on the freed stream). That cancel reaches no other stream.
TEST_F(EngineCacheStream, ACancelAfterTheCloseIsHarmlessAndReachesNoOtherStream) {
    const mpv_stream_cb_info first = open();
    first.close_fn(first.cookie);
    const mpv_stream_cb_info second = open();
    first.cancel_fn(first.cookie);
    char buffer[100];
    EXPECT_EQ(second.read_fn(second.cookie, buffer, sizeof buffer), 100);
    second.cancel_fn(second.cookie);
    EXPECT_EQ(second.read_fn(second.cookie, buffer, sizeof buffer), -1);
    second.close_fn(second.cookie);
}
