// The download service as a real process: it serves a film of the cache over
// loopback with ranges while it arrives, refuses requests without its token
// as soon as their request line is read, opens a film with its first read
// once it has proved itself, keeps serving its player while
// strangers hold connections, tells the film's status, keeps fetching after
// its player is gone, ends on SIGTERM keeping its bookkeeping (so the next
// start resumes) and on its own once idle; the player sends nothing but a
// nonce to a stranger on a stale address.
#include "common/atomic_file.h"
#include "common/program_files.h"
#include "engine/terminal_client.h"
#include "engine/cache/terminal_protocol.h"
#include "engine_test_support.h"
#include "media_server.h"
#include "support/loopback_socket.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <httplib.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>
#include <thread>

using namespace qarvel::engine;
using namespace qarvel::engine::testing;

namespace {

const QString kName = "第03集.mp4";

struct Answer {
    int status = 0;
    QByteArray body;
};

class EngineTerminal : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(QDir().mkpath(dir.path() + "/served"));
        ASSERT_TRUE(QDir().mkpath(files.playerFolder));
        ASSERT_TRUE(QFile::copy(clipPath("long.mp4"), dir.path() + "/served/" + kName));
        film = fileBytes(dir.path() + "/served/" + kName);
        server = std::make_unique<MediaServer>((dir.path() + "/served").toStdString());
        ASSERT_TRUE(server->start());
    }
    void TearDown() override {
        terminal.kill();
        terminal.waitForFinished(3000);
    }
    // Starts the service and waits for the address it writes.
    bool startTerminal(const QStringList& more = {}) {
        QFile::remove(files.terminalAddress);
        terminal.start(QStringLiteral(QARVEL_TERMINAL_PROGRAM), QStringList{"--folder", files.playerFolder} + more);
        if (!terminal.waitForStarted(5000)) return false;
        return waitUntil(
            [&] {
                const auto bytes = qarvel::readWholeFile(files.terminalAddress);
                if (!bytes) return false;
                address = parseTerminalAddress(*bytes);
                return address.has_value();
            },
            10000);
    }
    Answer request(const QByteArray& method, const QString& path, const QByteArray& body = {},
                   const QByteArray& range = {}) {
        QNetworkRequest req(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(address->port).arg(path)));
        if (!range.isEmpty()) req.setRawHeader("Range", range);
        QNetworkReply* reply = network.sendCustomRequest(req, method, body);
        waitUntil([&] { return reply->isFinished(); }, 20000);
        Answer a{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
        reply->deleteLater();
        return a;
    }
    QString withToken(const QString& rest) const { return "/" + QString::fromLatin1(address->token) + rest; }
    FilmSource source() const {
        const QUrl url(QString::fromStdString(server->seedBase()) + "HASH/" + QUrl::toPercentEncoding(kName));
        return FilmSource{kName, "qvod:hash", film.size(), {url}};
    }
    std::optional<TerminalFilm> open() {
        const Answer a = request("POST", withToken("/open"), encodeFilmSource(source()));
        EXPECT_EQ(a.status, 200) << a.body.toStdString();
        return decodeTerminalFilm(a.body);
    }
    std::optional<TerminalFilm> status(const QString& id) {
        return decodeTerminalFilm(request("GET", withToken("/status/" + id)).body);
    }
    QString cacheFolder() const { return dir.path() + "/Media/"; }
    qint64 residentKb() const {
        QFile f(QStringLiteral("/proc/%1/status").arg(terminal.processId()));
        if (!f.open(QIODevice::ReadOnly)) return -1;
        for (const QByteArray& line : f.readAll().split('\n'))
            if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLongLong();
        return -1;
    }

    QTemporaryDir dir;
    qarvel::ProgramFiles files = qarvel::ProgramFiles::inFolder(dir.path());
    QByteArray film;
    std::unique_ptr<MediaServer> server;
    QProcess terminal;
    std::optional<TerminalAddress> address;
    QNetworkAccessManager network;
};

}  // namespace

TEST(TerminalProtocol, AddressesSourcesAndStatusesGoBothWaysAndBadOnesAreRefused) {
    EXPECT_EQ(parseTerminalAddress("8123 ab12 cd34\n")->port, 8123);
    EXPECT_EQ(parseTerminalAddress("8123 ab12 cd34")->token, "ab12");
    EXPECT_EQ(parseTerminalAddress("8123 ab12 cd34")->key, "cd34");
    for (const char* bad : {"", "8123 ab", "0 ab c", "70000 ab c", "x ab c", "8123 a/b c", "8123 ab c/d", "1 2 3 4"})
        EXPECT_FALSE(parseTerminalAddress(bad)) << bad;
    EXPECT_EQ(terminalProof("key", "0123456789abcdef"), terminalProof("key", "0123456789abcdef"));
    EXPECT_NE(terminalProof("key", "0123456789abcdef"), terminalProof("other", "0123456789abcdef"));
    EXPECT_NE(terminalProof("key", "0123456789abcdef"), terminalProof("key", "0123456789abcdeg"));
    EXPECT_FALSE(isProofNonce("short"));
    EXPECT_FALSE(isProofNonce("0123456789abcdef/"));

    const FilmSource s{"第1集 &=%.mp4", "qvod:x&y", 42, {QUrl("http://h/a?b=c&d"), QUrl("https://i/第")}};
    const auto back = decodeFilmSource(encodeFilmSource(s));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, s.name);
    EXPECT_EQ(back->key, s.key);
    EXPECT_EQ(back->size, 42);
    EXPECT_EQ(back->urls, s.urls);
    EXPECT_FALSE(decodeFilmSource("key=a&name=b&size=1"));                     // no source
    EXPECT_FALSE(decodeFilmSource("key=a&name=b&size=1&url=file%3A%2F%2Fx"));  // not http
    EXPECT_FALSE(decodeFilmSource("key=a&name=b&size=x&url=http%3A%2F%2Fh"));

    const TerminalFilm f{"film3", 1000, 500, 12, FetchCondition::Transferring, false, "/m/第.mp4"};
    const auto fb = decodeTerminalFilm(encodeTerminalFilm(f));
    ASSERT_TRUE(fb);
    EXPECT_EQ(fb->id, "film3");
    EXPECT_EQ(fb->progress, 500);
    EXPECT_EQ(fb->condition, FetchCondition::Transferring);
    EXPECT_FALSE(fb->cacheable);
    EXPECT_EQ(fb->path, "/m/第.mp4");
    EXPECT_FALSE(decodeTerminalFilm("id=a&size=1&progress=1001&rate=0&condition=1&cacheable=1"));
}

TEST_F(EngineTerminal, ServesRangesWhileTheFilmArrivesOnlyWithItsToken) {
    server->setBytesPerSecond(600'000);
    ASSERT_TRUE(startTerminal());
    const auto opened = open();
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->size, film.size());
    EXPECT_EQ(opened->path, cacheFolder() + kName);  // the program folder's Media/ by default
    // A range far ahead is fetched first and answered as soon as it is there.
    const qint64 from = film.size() - 100'000;
    const Answer tail = request("GET", withToken("/film/" + opened->id + "/x.mp4"), {},
                                "bytes=" + QByteArray::number(from) + "-" + QByteArray::number(from + 9'999));
    EXPECT_EQ(tail.status, 206);
    EXPECT_EQ(tail.body, film.mid(from, 10'000));
    const auto during = status(opened->id);
    ASSERT_TRUE(during);
    EXPECT_LT(during->progress, 1000);

    EXPECT_EQ(request("GET", "/wrongtoken/status/" + opened->id).status, 403);
    EXPECT_EQ(request("GET", "/status/" + opened->id).status, 403);
    EXPECT_EQ(request("POST", withToken("/open"), "key=a").status, 400);
    EXPECT_EQ(request("GET", withToken("/status/nofilm")).status, 404);

    const Answer whole = request("GET", withToken("/film/" + opened->id + "/x.mp4"));
    EXPECT_EQ(whole.status, 200);
    EXPECT_EQ(whole.body, film);
    EXPECT_TRUE(waitUntil([&] { return status(opened->id)->condition == FetchCondition::Complete; }, 20000));
    EXPECT_EQ(status(opened->id)->progress, 1000);
    EXPECT_EQ(fileBytes(cacheFolder() + kName), film);
}

TEST_F(EngineTerminal, APlayAddressOpensTheFilmWithItsFirstReadOnceTheServiceHasProvedItself) {
    ASSERT_TRUE(startTerminal());
    TerminalClient client([this] { return files.terminalAddress; }, nullptr);
    EXPECT_TRUE(client.playUrl(source()).isEmpty());  // nothing before the proof
    client.prove(1000);
    ASSERT_TRUE(waitUntil([&] { return client.isProved(); }, 5000));
    FilmSource unsized = source();
    unsized.size = -1;
    EXPECT_TRUE(client.playUrl(unsized).isEmpty());  // its source may have to be played directly

    const QUrl play = client.playUrl(source());
    ASSERT_FALSE(play.isEmpty());
    const QString path = play.path(QUrl::FullyEncoded) + '?' + play.query(QUrl::FullyEncoded);
    const Answer head = request("GET", path, {}, "bytes=0-9999");
    EXPECT_EQ(head.status, 206);
    EXPECT_EQ(head.body, film.left(10'000));
    // Opening it afterwards finds the film the read opened.
    const auto opened = open();
    ASSERT_TRUE(opened);
    EXPECT_EQ(request("GET", withToken("/film/" + opened->id + "/x.mp4"), {}, "bytes=0-9").body, film.left(10));
    EXPECT_EQ(request("GET", withToken("/play/x.mp4?key=a&size=1")).status, 400);
    EXPECT_EQ(request("GET", withToken("/play/x.mp4")).status, 400);
}

TEST_F(EngineTerminal, EndsOnSigtermKeepingItsBookkeepingAndTheNextStartResumes) {
    server->setBytesPerSecond(300'000);
    ASSERT_TRUE(startTerminal());
    const auto opened = open();
    ASSERT_TRUE(opened);
    ASSERT_TRUE(waitUntil([&] { return status(opened->id)->progress > 100; }, 10000));
    ::kill(pid_t(terminal.processId()), SIGTERM);
    ASSERT_TRUE(terminal.waitForFinished(5000));
    EXPECT_EQ(terminal.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(terminal.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(files.terminalAddress));
    const int before = server->requests();

    server->setBytesPerSecond(0);
    ASSERT_TRUE(startTerminal());
    const auto again = open();
    ASSERT_TRUE(again);
    EXPECT_GT(again->progress, 100);  // resumed, not started over
    EXPECT_TRUE(waitUntil([&] { return status(again->id)->condition == FetchCondition::Complete; }, 20000));
    EXPECT_EQ(fileBytes(cacheFolder() + kName), film);
    bool askedFromStart = false;
    const auto ranges = server->rangesAsked();
    for (size_t i = size_t(before); i < ranges.size(); ++i)
        askedFromStart |= ranges[i].empty() || ranges[i].rfind("bytes=0-", 0) == 0;
    EXPECT_FALSE(askedFromStart);
}

TEST_F(EngineTerminal, OneServicePerFolderAndItEndsWhenTheFolderOrItsAddressIsGone) {
    ASSERT_TRUE(startTerminal());
    QProcess second;
    second.start(QStringLiteral(QARVEL_TERMINAL_PROGRAM), {"--folder", files.playerFolder});
    ASSERT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(files.terminalAddress));
    for (const QString& bad : {QStringLiteral("relative/folder"), dir.path() + "/missing/"}) {
        QProcess wrong;
        wrong.start(QStringLiteral(QARVEL_TERMINAL_PROGRAM), {"--folder", bad});
        ASSERT_TRUE(wrong.waitForFinished(5000));
        EXPECT_EQ(wrong.exitCode(), 2);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/missing"));  // never brought back
    ASSERT_TRUE(QDir(files.playerFolder).removeRecursively());
    EXPECT_TRUE(terminal.waitForFinished(5000));
    // Gone and made again between two looks: its address is gone with it.
    ASSERT_TRUE(QDir().mkpath(files.playerFolder));
    ASSERT_TRUE(startTerminal());
    ASSERT_TRUE(QDir(files.playerFolder).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(files.playerFolder));
    EXPECT_TRUE(terminal.waitForFinished(5000));
}

TEST_F(EngineTerminal, HeadersWithoutTheTokenAreRefusedAtOnceAndTakeNoMemory) {
    ASSERT_TRUE(startTerminal());
    const qint64 before = residentKb();
    ASSERT_GT(before, 0);
    const int fd = qarvel::test::connectTo(address->port);
    ASSERT_GE(fd, 0);
    const timeval wait{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    const std::string line = "GET /notthetoken/status/x HTTP/1.1\r\n";
    ASSERT_EQ(send(fd, line.data(), line.size(), MSG_NOSIGNAL), ssize_t(line.size()));
    // The answer comes with the request line, before any header.
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 5000), 1);
    char answer[64] = {};
    ASSERT_GT(recv(fd, answer, sizeof answer - 1, 0), 0);
    EXPECT_EQ(std::string(answer).rfind("HTTP/1.1 403", 0), 0u) << answer;
    // 300 MB of header lines go nowhere: the connection ends long before.
    const std::string lines = [] {
        std::string text;
        while (text.size() < 64 * 1024) text += "X-Filler: " + std::string(990, 'f') + "\r\n";
        return text;
    }();
    size_t sent = 0;
    while (sent < 300u * 1024 * 1024) {
        const ssize_t n = send(fd, lines.data(), lines.size(), MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += size_t(n);
    }
    close(fd);
    EXPECT_LT(sent, 64u * 1024 * 1024);
#ifndef __SANITIZE_THREAD__
    // The thread sanitizer's own shadow of every touched page counts in the
    // resident size; the other builds measure the service's memory.
    EXPECT_LT(residentKb() - before, 16 * 1024);
#endif
    EXPECT_EQ(terminal.state(), QProcess::Running);
}

TEST_F(EngineTerminal, SlowStrangersDoNotStarveThePlayer) {
    ASSERT_TRUE(startTerminal());
    const auto opened = open();
    ASSERT_TRUE(opened);
    // Thirty connections that send a request line a byte at a time, as slowly
    // as they may, and never finish it.
    std::vector<int> fds;
    for (int i = 0; i < 30; ++i) fds.push_back(qarvel::test::connectTo(address->port));
    std::atomic<bool> done{false};
    std::thread trickle([&] {
        const std::string request = "GET /" + std::string(4096, 'a');
        for (size_t at = 0; !done; ++at) {
            for (int fd : fds) (void)send(fd, request.data() + at % request.size(), 1, MSG_NOSIGNAL | MSG_DONTWAIT);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const auto asked = std::chrono::steady_clock::now();
    const Answer part = request("GET", withToken("/film/" + opened->id + "/x.mp4"), {}, "bytes=0-9999");
    const auto took = std::chrono::steady_clock::now() - asked;
    done = true;
    trickle.join();
    for (int fd : fds) close(fd);
    EXPECT_EQ(part.status, 206);
    EXPECT_EQ(part.body, film.left(10'000));
    EXPECT_LT(took, std::chrono::seconds(4));  // not after the strangers' time-outs
}

TEST_F(EngineTerminal, EndsOnItsOwnWhenIdleButNotWhileAFilmArrives) {
    // The film (about 0.95 MB) takes some 3.8 s to arrive; the idle limit is
    // long enough for the first request to reach a service slowed down by
    // the sanitizers (300 ms was not), and well short of the arrival.
    server->setBytesPerSecond(250'000);
    ASSERT_TRUE(startTerminal({"--idle-ms", "1000"}));
    const auto opened = open();
    ASSERT_TRUE(opened);
    // Nobody asks, but the film still arrives: the service stays for it
    // (idle, it would have ended within two seconds).
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_EQ(terminal.state(), QProcess::Running);
    EXPECT_TRUE(terminal.waitForFinished(20000));
    EXPECT_EQ(terminal.exitCode(), 0);
    EXPECT_EQ(fileBytes(cacheFolder() + kName), film);
    EXPECT_FALSE(QFile::exists(files.terminalAddress));
}

TEST_F(EngineTerminal, AStrangerOnAStaleAddressGetsNoTokenNorSourceAndAFreshServiceStarts) {
    // A program of someone else on the port a killed service wrote down.
    std::mutex mutex;
    std::string heard;
    httplib::Server stranger;
    stranger.set_keep_alive_max_count(1);
    stranger.set_logger([&](const httplib::Request& req, const httplib::Response&) {
        std::lock_guard lock(mutex);
        heard += req.method + " " + req.target + "\n" + req.body + "\n";
        for (const auto& [name, value] : req.headers) heard += name + ": " + value + "\n";
    });
    stranger.Get(".*", [](const httplib::Request&, httplib::Response& res) { res.set_content("proof", "text/plain"); });
    stranger.Post(".*", [](const httplib::Request&, httplib::Response& res) { res.set_content("id=1", "text/plain"); });
    const int port = stranger.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { stranger.listen_after_bind(); });
    const QByteArray staleToken = "0123456789abcdef0123456789abcdef";
    ASSERT_TRUE(qarvel::writeFileAtomically(files.terminalAddress,
                                            formatTerminalAddress({port, staleToken, "fedcba9876543210"})));

    int starts = 0;
    TerminalClient client([this] { return files.terminalAddress; },
                          [&] {
                              ++starts;
                              terminal.start(QStringLiteral(QARVEL_TERMINAL_PROGRAM), {"--folder", files.playerFolder});
                          });
    std::optional<std::optional<TerminalFilm>> answered;
    client.open(source(), true, [&](const std::optional<TerminalFilm>& f) { answered = f; });
    EXPECT_TRUE(waitUntil([&] { return answered.has_value(); }, 20000));
    stranger.stop();
    serving.join();
    ASSERT_TRUE(answered && *answered);
    EXPECT_EQ(starts, 1);
    const auto fresh = parseTerminalAddress(*qarvel::readWholeFile(files.terminalAddress));
    ASSERT_TRUE(fresh);
    EXPECT_NE(fresh->port, port);
    // The key is the user's alone.
    EXPECT_EQ(QFile::permissions(files.terminalAddress) & (QFile::ReadGroup | QFile::ReadOther), 0);
    EXPECT_TRUE(client.filmUrl(**answered, kName).toString().contains(QString::fromLatin1(fresh->token)));
    std::lock_guard lock(mutex);
    EXPECT_NE(heard.find("/proof/"), std::string::npos);
    for (const std::string& secret :
         {staleToken.toStdString(), fresh->token.toStdString(), std::string("fedcba9876543210"), std::string("open"),
          std::string("key="), std::string("url=")})
        EXPECT_EQ(heard.find(secret), std::string::npos) << secret;
}
