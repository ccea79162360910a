// Fetching films into the cache over HTTP: whole films, resuming, cut answers,
// sources that fail or never answer, readers that wait far ahead of the fetch,
// and the network thread that must never hold up the end.
#include "engine/cache/fetch_thread.h"
#include "engine/cache/film_cache.h"
#include "engine/cache/film_index.h"
#include "engine_test_support.h"
#include "held_port.h"
#include "media_server.h"

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace qarvel::engine;
using namespace qarvel::engine::testing;

namespace {

const QString kName = "第02集.mp4";

class EngineFetch : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(QDir().mkpath(served()));
        ASSERT_TRUE(QFile::copy(clipPath("long.mp4"), served() + "/" + kName));
        film = fileBytes(served() + "/" + kName);
        ASSERT_GT(film.size(), 500000);
        server = std::make_unique<MediaServer>(served().toStdString());
        ASSERT_TRUE(server->start());
        cache = makeCache(testFetchTiming());
    }
    std::unique_ptr<FilmCache> makeCache(const FetchTiming& timing) const {
        auto made = std::make_unique<FilmCache>(timing);
        made->setFolder(cacheFolder());
        return made;
    }
    QString served() const { return dir.path() + "/served"; }
    QString cacheFolder() const { return dir.path() + "/Media/"; }
    QString cachedPath() const { return cacheFolder() + kName; }
    template <typename Server>
    QUrl urlOn(const Server& s) const {
        return QUrl(QString::fromStdString(s.seedBase()) + "HASH/" + QUrl::toPercentEncoding(kName));
    }
    FilmSource source(qint64 size = -2) const {
        return FilmSource{kName, "qvod:hash", size == -2 ? film.size() : size, {urlOn(*server)}};
    }
    std::shared_ptr<CachedFilm> play(const FilmSource& s) {
        QString error;
        auto f = cache->fetchForPlaying(s, &error);
        EXPECT_TRUE(f) << error.toStdString();
        return f;
    }
    static bool finished(const std::shared_ptr<CachedFilm>& f) {
        const FetchCondition c = f->condition();
        return c == FetchCondition::Complete || c == FetchCondition::Failed;
    }

    QTemporaryDir dir;
    QByteArray film;
    std::unique_ptr<MediaServer> server;
    std::unique_ptr<FilmCache> cache;
};

}  // namespace

TEST_F(EngineFetch, PreloadFetchesTheWholeFilmUnderItsName) {
    server->setBytesPerSecond(2'000'000);
    QString error;
    ASSERT_TRUE(cache->preload(source(), &error)) << error.toStdString();
    auto f = cache->preloadedFilm();
    ASSERT_TRUE(f);
    bool sawRate = false;
    ASSERT_TRUE(waitUntil(
        [&] {
            sawRate = sawRate || f->bytesPerSecond() > 0;
            return f->isComplete();
        },
        20000));
    EXPECT_TRUE(sawRate);
    EXPECT_EQ(f->progressPerMille(), 1000);
    EXPECT_EQ(fileBytes(cachedPath()), film);
}

TEST_F(EngineFetch, AStoppedFetchResumesWhereItStopped) {
    server->setBytesPerSecond(400'000);
    auto f = play(source());
    ASSERT_TRUE(waitUntil([&] { return f->arrivedBytes() > 150'000; }, 10000));
    cache.reset();  // the program ends half-way
    const auto index = loadFilmIndex(filmIndexPath(cacheFolder(), kName));
    ASSERT_TRUE(index.has_value());
    const qint64 kept = index->ranges.coveredBytes();
    ASSERT_GT(kept, 100'000);
    ASSERT_LT(kept, film.size());

    const size_t asked = server->rangesAsked().size();
    server->setBytesPerSecond(0);
    cache = makeCache(testFetchTiming());
    auto again = play(source());
    EXPECT_GE(again->arrivedBytes(), kept);
    ASSERT_TRUE(waitUntil([&] { return again->isComplete(); }, 20000));
    EXPECT_EQ(fileBytes(cachedPath()), film);
    const auto ranges = server->rangesAsked();
    ASSERT_GT(ranges.size(), asked);
    EXPECT_EQ(ranges[asked], "bytes=" + std::to_string(kept) + "-" + std::to_string(film.size() - 1));
}

TEST_F(EngineFetch, AnswersCutShortAreContinued) {
    server->setCutAfterBytes(200'000);
    auto f = play(source());
    ASSERT_TRUE(waitUntil([&] { return finished(f); }, 30000));
    EXPECT_EQ(f->condition(), FetchCondition::Complete);
    EXPECT_EQ(fileBytes(cachedPath()), film);
    EXPECT_GE(server->requests(), int(film.size() / 200'000));
}

TEST_F(EngineFetch, ASourceThatRefusesTheFilmGivesWayToTheNext) {
    MediaServer refusing(served().toStdString());
    ASSERT_TRUE(refusing.start());
    refusing.setStatus(404);
    FilmSource s = source();
    s.urls = {urlOn(refusing), urlOn(*server)};
    auto f = play(s);
    ASSERT_TRUE(waitUntil([&] { return finished(f); }, 20000));
    EXPECT_EQ(f->condition(), FetchCondition::Complete);
    EXPECT_EQ(refusing.requests(), 1);  // a refusal is not asked again
    EXPECT_EQ(fileBytes(cachedPath()), film);
}

TEST_F(EngineFetch, NoSourceAnsweringEndsInFailureAndKeepsNothingFalse) {
    // Ports this test holds: nobody else can answer on them meanwhile.
    HeldPort refusing(HeldPort::Mode::Refusing);
    ASSERT_TRUE(refusing.isHeld());
    FilmSource s = source();
    s.urls = {urlOn(refusing)};
    auto f = play(s);
    ASSERT_TRUE(waitUntil([&] { return finished(f); }, 15000));
    EXPECT_EQ(f->condition(), FetchCondition::Failed);
    EXPECT_EQ(f->arrivedBytes(), 0);

    // A source that takes the connection and never answers fails the same way.
    HeldPort silent(HeldPort::Mode::Silent);
    ASSERT_TRUE(silent.isHeld());
    FetchTiming impatient = testFetchTiming();
    impatient.stallMs = 300;
    cache = makeCache(impatient);
    s.urls = {urlOn(silent)};
    f = play(s);
    ASSERT_TRUE(waitUntil([&] { return finished(f); }, 15000));
    EXPECT_EQ(f->condition(), FetchCondition::Failed);
    EXPECT_EQ(f->arrivedBytes(), 0);
}

TEST_F(EngineFetch, TheEndDoesNotWaitForASourceThatNeverAnswers) {
    HeldPort silent(HeldPort::Mode::Silent);
    ASSERT_TRUE(silent.isHeld());
    cache = makeCache(FetchTiming{});  // patient: the request would stay open for seconds
    FilmSource s = source();
    s.urls = {urlOn(silent)};
    auto f = play(s);
    runEventsFor(200);
    ASSERT_NE(f->condition(), FetchCondition::Failed);
    QElapsedTimer clock;
    clock.start();
    cache.reset();
    EXPECT_LT(clock.elapsed(), 2000);  // far below the stall time the request had
    EXPECT_TRUE(QFile::exists(filmIndexPath(cacheFolder(), kName)));
}

TEST_F(EngineFetch, ASourceHoldingAnotherSizeIsNotTrusted) {
    auto f = play(source(film.size() + 10));
    ASSERT_TRUE(waitUntil([&] { return finished(f); }, 15000));
    EXPECT_EQ(f->condition(), FetchCondition::Failed);
    EXPECT_EQ(f->arrivedBytes(), 0);
}

TEST_F(EngineFetch, AReaderFarAheadIsServedFirst) {
    server->setBytesPerSecond(100'000);  // the whole film would take about ten seconds
    auto f = play(source());
    std::atomic<bool> cancel{false};
    char buffer[4096];
    std::atomic<qint64> got{0};
    std::thread reader([&] { got = f->read(film.size() - 5000, buffer, sizeof buffer, cancel); });
    const bool served = waitUntil([&] { return got != 0; }, 8000);
    cancel = true;
    f->wakeReaders();
    reader.join();
    ASSERT_TRUE(served);
    const qint64 n = got;
    ASSERT_GT(n, 0);
    EXPECT_EQ(QByteArray(buffer, int(n)), film.mid(film.size() - 5000, int(n)));
    EXPECT_LT(f->arrivedBytes(), film.size() / 2);  // the tail came first, not everything before it
}

TEST_F(EngineFetch, AnHttpFilmOfUnknownSizeLearnsItFromTheSource) {
    FilmSource s = source(-1);
    s.key = urlOn(*server).toString();
    QSignalSpy known(cache.get(), &FilmCache::sizeKnown);
    auto f = play(s);
    ASSERT_TRUE(waitUntil([&] { return !known.isEmpty(); }, 10000));
    EXPECT_TRUE(known.first().at(1).toBool());
    EXPECT_EQ(known.first().at(0).toString(), cache->streamIdOf(f));
    EXPECT_EQ(f->size(), film.size());
    ASSERT_TRUE(waitUntil([&] { return f->isComplete(); }, 20000));
    EXPECT_EQ(fileBytes(cachedPath()), film);
}

namespace {

// Ends only when told to (or after five seconds at most), recording the thread it ended on.
class SlowToEnd : public QObject {
public:
    SlowToEnd(std::atomic<bool>& release, std::atomic<QThread*>& endedOn) : release_(release), endedOn_(endedOn) {}
    ~SlowToEnd() override {
        for (int i = 0; i < 500 && !release_; ++i) QThread::msleep(10);
        endedOn_ = QThread::currentThread();
    }

private:
    std::atomic<bool>& release_;
    std::atomic<QThread*>& endedOn_;
};

}  // namespace

TEST(EngineFetchThread, HandedOverObjectsGetTheirCallsBeforeTheyGoAndGoOnTheThread) {
    ensureApplication();
    std::atomic<bool> release{true};
    std::atomic<QThread*> endedOn{nullptr};
    FetchThread thread;
    auto* object = new SlowToEnd(release, endedOn);
    thread.adopt(object);
    std::atomic<int> calls{0};
    std::atomic<QThread*> calledOn{nullptr};
    for (int i = 0; i < 3; ++i) {
        thread.post([&] {
            calledOn = QThread::currentThread();
            ++calls;
        });
    }
    thread.dispose(object);
    ASSERT_TRUE(waitUntil([&] { return endedOn != nullptr; }, 5000));
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(endedOn.load(), calledOn.load());
    EXPECT_NE(endedOn.load(), QThread::currentThread());
    EXPECT_TRUE(thread.shutdown({}, 5000));
    EXPECT_EQ(thread.host(), nullptr);
}

TEST(EngineFetchThread, AnEndThatTakesTooLongIsNotWaitedFor) {
    ensureApplication();
    std::atomic<bool> release{false};
    std::atomic<QThread*> endedOn{nullptr};
    auto thread = std::make_unique<FetchThread>();
    auto* object = new SlowToEnd(release, endedOn);
    thread->adopt(object);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(thread->shutdown({object}, 100));
    EXPECT_LT(clock.elapsed(), 2000);
    thread.reset();  // already shut down: nothing more to wait for
    EXPECT_EQ(endedOn.load(), nullptr);
    // Let go, it still ends on its own.
    release = true;
    EXPECT_TRUE(waitUntil([&] { return endedOn != nullptr; }, 5000));
    EXPECT_NE(endedOn.load(), QThread::currentThread());
}

// What a download service's worker does with the cache: hand a call to its
// thread and wait; what the call wrote is there for the worker afterwards.
TEST(EngineFetchThread, ACallHandedOverAndWaitedForRunsOnTheThreadBeforeTheWaitEnds) {
    ensureApplication();
    FetchThread thread;
    QThread* ranOn = nullptr;
    QString written;
    std::thread worker([&] {
        thread.host()->runAndWait([&] {
            ranOn = QThread::currentThread();
            written = "到了";
        });
        EXPECT_EQ(written, "到了");
    });
    worker.join();
    EXPECT_EQ(ranOn, thread.host()->thread());
}

// The test source itself: a stop right after start must not hang, and a stopped
// source's port is not free for others.
TEST(EngineMediaServer, StopsAtOnceAfterStartAndKeepsItsPortWhileStopped) {
    QTemporaryDir dir;
    MediaServer server(dir.path().toStdString());
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(server.start());
        ASSERT_TRUE(server.stop());
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(server.port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_NE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_NE(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    EXPECT_TRUE(server.start());  // back on the same port
}
