// The download service as a real process: it serves a film of the cache over
// loopback with ranges while it arrives, refuses requests without its token,
// tells the film's status, keeps fetching after its player is gone, and ends
// on SIGTERM keeping its bookkeeping, so the next start resumes.
#include "common/atomic_file.h"
#include "common/program_files.h"
#include "engine/terminal_protocol.h"
#include "engine_test_support.h"
#include "media_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

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
    bool startTerminal() {
        QFile::remove(files.terminalAddress);
        terminal.start(QStringLiteral(QARVEL_TERMINAL_PROGRAM), {"--folder", files.playerFolder});
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
    EXPECT_EQ(parseTerminalAddress("8123 ab12\n")->port, 8123);
    EXPECT_EQ(parseTerminalAddress("8123 ab12")->token, "ab12");
    for (const char* bad : {"", "8123", "0 ab", "70000 ab", "x ab", "8123 a/b", "1 2 3"})
        EXPECT_FALSE(parseTerminalAddress(bad)) << bad;

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

TEST_F(EngineTerminal, OneServicePerFolderAndItEndsWhenTheFolderIsGone) {
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
}
