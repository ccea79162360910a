// A film in the cache folder: where it is stored, how it resumes, and readers
// that wait for bytes that have not arrived.
#include "engine/cache/cached_film.h"
#include "engine/cache/film_index.h"
#include "engine_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace qarvel::engine;
using qarvel::engine::testing::fileBytes;

namespace {

class EngineCachedFilm : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder() const { return dir.path() + "/Media/"; }
    FilmSource source(qint64 size = 1000, QString key = "qvod:abc") const {
        return FilmSource{"第01集.mp4", key, size, {QUrl("http://127.0.0.1:1/seed/abc/x.mp4")}};
    }
    std::shared_ptr<CachedFilm> open(const FilmSource& s) {
        QString error;
        auto film = CachedFilm::open(folder(), s, &error);
        EXPECT_TRUE(film) << error.toStdString();
        return film;
    }
    static QByteArray pattern(qint64 size) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (qint64 i = 0; i < size; ++i) bytes[i] = char('a' + i % 26);
        return bytes;
    }
};

}  // namespace

TEST_F(EngineCachedFilm, StoresUnderItsNameAndReportsProgress) {
    auto film = open(source());
    ASSERT_TRUE(film);
    EXPECT_EQ(film->path(), folder() + "第01集.mp4");
    EXPECT_TRUE(QFile::exists(film->path()));
    EXPECT_TRUE(QFile::exists(filmIndexPath(folder(), "第01集.mp4")));
    EXPECT_EQ(film->progressPerMille(), 0);

    const QByteArray data = pattern(1000);
    ASSERT_TRUE(film->write(500, data.constData() + 500, 500));
    EXPECT_EQ(film->progressPerMille(), 500);
    EXPECT_EQ(film->nextGap(600)->begin, 0);
    ASSERT_TRUE(film->write(0, data.constData(), 499));
    EXPECT_EQ(film->progressPerMille(), 999);  // 1000 means every byte, not nearly all
    EXPECT_FALSE(film->isComplete());
    ASSERT_TRUE(film->write(499, data.constData() + 499, 1));
    EXPECT_EQ(film->progressPerMille(), 1000);
    EXPECT_TRUE(film->isComplete());
    EXPECT_EQ(fileBytes(film->path()), data);
}

TEST_F(EngineCachedFilm, ResumesFromItsBookkeepingAfterReopening) {
    const QByteArray data = pattern(1000);
    {
        auto film = open(source());
        ASSERT_TRUE(film->write(0, data.constData(), 300));
        ASSERT_TRUE(film->saveIndex());
    }
    auto again = open(source());
    EXPECT_EQ(again->arrivedBytes(), 300);
    EXPECT_EQ(again->nextGap(0)->begin, 300);
    // Bookkeeping without its data file means nothing has arrived.
    again.reset();
    QFile::remove(folder() + "第01集.mp4");
    EXPECT_EQ(open(source())->arrivedBytes(), 0);
}

TEST_F(EngineCachedFilm, AnotherFilmsFileIsNeverOverwritten) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    QFile foreign(folder() + "第01集.mp4");
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("someone else's film");
    foreign.close();

    auto film = open(source());
    EXPECT_NE(film->path(), folder() + "第01集.mp4");
    EXPECT_TRUE(film->name().startsWith("第01集~"));
    EXPECT_TRUE(film->name().endsWith(".mp4"));
    EXPECT_EQ(fileBytes(folder() + "第01集.mp4"), "someone else's film");

    // A film of another hash that holds the name through its bookkeeping, too.
    auto second = open(source(1000, "qvod:other"));
    EXPECT_NE(second->path(), film->path());
    EXPECT_NE(second->path(), folder() + "第01集.mp4");
    // The first film finds its own file again.
    EXPECT_EQ(open(source())->path(), film->path());
}

TEST_F(EngineCachedFilm, AFileOfExactlyTheFilmsSizeIsTakenAsTheFilm) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    QFile copied(folder() + "第01集.mp4");
    ASSERT_TRUE(copied.open(QIODevice::WriteOnly));
    copied.write(pattern(1000));
    copied.close();
    auto film = open(source());
    EXPECT_EQ(film->path(), folder() + "第01集.mp4");
    EXPECT_TRUE(film->isComplete());
    EXPECT_EQ(film->condition(), FetchCondition::Complete);
}

TEST_F(EngineCachedFilm, UnknownSizeIsLearnedOnceAndContradictionsRefused) {
    auto film = open(source(-1));
    EXPECT_EQ(film->size(), -1);
    EXPECT_EQ(film->progressPerMille(), 0);
    EXPECT_TRUE(film->setSize(2000));
    EXPECT_TRUE(film->setSize(2000));
    EXPECT_FALSE(film->setSize(3000));
    EXPECT_EQ(film->size(), 2000);
}

TEST_F(EngineCachedFilm, AWaitForTheSizeEndsWhenItIsLearnedTheFilmFailsOrItIsCancelled) {
    using namespace std::chrono_literals;
    std::atomic<bool> cancel{false};
    {
        // Woken by the size, long before the limit.
        auto film = open(source(-1));
        std::thread teller([film] {
            std::this_thread::sleep_for(50ms);
            film->setSize(2000);
        });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(film->waitForSize(10s, cancel), 2000);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
        teller.join();
        EXPECT_EQ(film->waitForSize(0ms, cancel), 2000);  // known: no wait at all
    }
    {
        auto film = open(source(-1, "qvod:failing"));
        std::thread failer([film] {
            std::this_thread::sleep_for(50ms);
            film->setCondition(FetchCondition::Failed);
        });
        EXPECT_EQ(film->waitForSize(10s, cancel), -1);
        failer.join();
    }
    {
        auto film = open(source(-1, "qvod:cancelled"));
        std::thread canceller([&cancel] {
            std::this_thread::sleep_for(50ms);
            cancel = true;  // no wake-up: seen at the next slice
        });
        EXPECT_EQ(film->waitForSize(10s, cancel), -1);
        canceller.join();
        cancel = false;
        EXPECT_EQ(film->waitForSize(30ms, cancel), -1);  // the limit
    }
}

TEST_F(EngineCachedFilm, RefusesNamesAndFoldersItCannotUse) {
    QString error;
    FilmSource bad = source();
    bad.name = "../escape.mp4";
    EXPECT_FALSE(CachedFilm::open(folder(), bad, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile blocker(dir.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_FALSE(CachedFilm::open(dir.path() + "/file/sub/", source(), &error));
}

TEST_F(EngineCachedFilm, UnwritableBookkeepingSaysWhy) {
    // A folder where the bookkeeping file goes: the film is refused and the
    // message names both the film and the bookkeeping file.
    const QString index = filmIndexPath(folder(), source().name);
    ASSERT_TRUE(QDir().mkpath(index));
    QString error;
    EXPECT_FALSE(CachedFilm::open(folder(), source(), &error));
    EXPECT_TRUE(error.contains("bookkeeping of " + folder() + source().name)) << error.toStdString();
    EXPECT_TRUE(error.contains("cannot write " + index + ": ")) << error.toStdString();

    QFile blocker(dir.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    QString why;
    EXPECT_FALSE(saveFilmIndex(dir.path() + "/file/.qvcache/x.idx", FilmIndex{}, &why));
    EXPECT_TRUE(why.startsWith("cannot create the folder ")) << why.toStdString();
}

TEST_F(EngineCachedFilm, ReadersWaitForBytesAndAskForThem) {
    auto film = open(source());
    std::atomic<qint64> asked{-1};
    film->setWantHandler([&](qint64 offset) { asked = offset; });
    const QByteArray data = pattern(1000);

    std::atomic<bool> cancel{false};
    qint64 got = -2;
    char buffer[64];
    std::thread reader([&] { got = film->read(700, buffer, sizeof buffer, cancel); });
    ASSERT_TRUE(qarvel::test::waitUntil([&] { return asked.load() == 700; }, 5000));
    EXPECT_EQ(got, -2);  // still waiting
    ASSERT_TRUE(film->write(700, data.constData() + 700, 10));
    reader.join();
    EXPECT_EQ(got, 10);  // what is there, not the whole buffer
    EXPECT_EQ(QByteArray(buffer, 10), data.mid(700, 10));

    // At the end: end of file; cancelled or failed: an error, without waiting forever.
    EXPECT_EQ(film->read(1000, buffer, sizeof buffer, cancel), 0);
    std::thread cancelled([&] { got = film->read(0, buffer, sizeof buffer, cancel); });
    cancel = true;
    film->wakeReaders();
    cancelled.join();
    EXPECT_EQ(got, -1);
    std::atomic<bool> keepGoing{false};
    std::thread failed([&] { got = film->read(0, buffer, sizeof buffer, keepGoing); });
    film->setCondition(FetchCondition::Failed);
    failed.join();
    EXPECT_EQ(got, -1);
}
