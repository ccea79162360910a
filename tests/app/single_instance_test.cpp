// The single-instance hand-off: its frame, the command text, the socket's
// private folder, and a server and a sender in one process (the sender on a
// thread of its own, as the second program would block); peers of another
// user on either side are told nothing.
#include "app/single_instance.h"
#include "support/stale_socket.h"
#include "support/wait_until.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QMap>
#include <QTemporaryDir>
#include <cstring>
#include <future>
#include <optional>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>

using qarvel::HandOff;
using qarvel::SingleInstance;

namespace {

QCoreApplication* app() {
    static int argc = 1;
    static char name[] = "single_instance_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* a = new QCoreApplication(argc, argv);
    return a;
}

// A name no other test or program uses.
QString uniqueName(const QTemporaryDir& dir) { return SingleInstance::serverName(dir.path()); }

// The sender blocks as the second program does; the server answers from
// this thread's event loop meanwhile.
HandOff sendFromThread(const QString& name, const QString& text, int timeoutMs) {
    auto sent = std::async(std::launch::async, [&] { return SingleInstance::handOff(name, text, timeoutMs); });
    qarvel::test::waitUntil([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                            timeoutMs + 2000);
    return sent.get();
}

// Sets environment variables for one test and puts back what was there.
class Environment {
public:
    // A null value unsets name.
    void set(const char* name, const QString& value) {
        if (!saved_.contains(name))
            saved_.insert(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        value.isNull() ? qunsetenv(name) : qputenv(name, value.toLocal8Bit());
    }
    ~Environment() {
        for (auto i = saved_.cbegin(); i != saved_.cend(); ++i)
            i.value() ? qputenv(i.key().constData(), *i.value()) : qunsetenv(i.key().constData());
    }

private:
    QMap<QByteArray, std::optional<QByteArray>> saved_;
};

// What a second user's uid is here; any id but ours does.
const uid_t kStranger = 65534;

}  // namespace

TEST(HandOffFrame, RoundTripsAndRefusesWhatItCannotTake) {
    const QString text = QStringLiteral("\"/home/u/我的 影片/a b.mkv\"");
    QByteArray buffer = qarvel::encodeHandOff(text) + qarvel::encodeHandOff(QString());
    bool error = true;
    EXPECT_EQ(qarvel::takeHandOff(buffer, &error), text);
    EXPECT_FALSE(error);
    EXPECT_EQ(qarvel::takeHandOff(buffer, &error), QString());
    EXPECT_TRUE(buffer.isEmpty());

    // Incomplete: nothing yet, the bytes stay.
    QByteArray partial = qarvel::encodeHandOff(text).left(7);
    EXPECT_FALSE(qarvel::takeHandOff(partial, &error).has_value());
    EXPECT_FALSE(error);
    EXPECT_EQ(partial.size(), 7);

    QByteArray huge("\x7f\xff\xff\xff", 4);
    EXPECT_FALSE(qarvel::takeHandOff(huge, &error).has_value());
    EXPECT_TRUE(error);
    QByteArray notUtf8 = QByteArray("\0\0\0\2\xff\xfe", 6);
    EXPECT_FALSE(qarvel::takeHandOff(notUtf8, &error).has_value());
    EXPECT_TRUE(error);
    // A character cut off at the frame's end is refused, not silently dropped.
    QByteArray cut = QByteArray("\0\0\0\4\0\0\xe2\xb4", 8);
    error = false;
    EXPECT_FALSE(qarvel::takeHandOff(cut, &error).has_value());
    EXPECT_TRUE(error);
}

TEST(HandOffText, QuotesArgumentsWithBlanksAndNamesDifferPerFolder) {
    EXPECT_EQ(qarvel::commandText({"/films/a.mkv"}), "/films/a.mkv");
    EXPECT_EQ(qarvel::commandText({"/my films/a.mkv"}), "\"/my films/a.mkv\"");
    EXPECT_EQ(qarvel::commandText({"a", "b c"}), "a \"b c\"");
    EXPECT_EQ(qarvel::commandText({}), "");
    EXPECT_NE(SingleInstance::serverName("/home/u/one"), SingleInstance::serverName("/home/u/two"));
    EXPECT_EQ(SingleInstance::serverName("/home/u/one"), SingleInstance::serverName("/home/u/one"));
    const QString longFolder = SingleInstance::serverName("/" + QString(500, u'x'));
    EXPECT_EQ(longFolder.section(u'/', 0, -2), qarvel::socketFolder());
    EXPECT_LT(longFolder.section(u'/', -1).size(), 40);
}

TEST(SocketFolder, IsTheUsersAloneAndNeverTheSharedTemporaryFolder) {
    // Folders of the test's own outside the temporary folder, in the build.
    QTemporaryDir base(QStringLiteral(QARVEL_TEST_OUTPUT "/sockets-XXXXXX"));
    ASSERT_TRUE(base.isValid());
    Environment env;
    env.set("XDG_RUNTIME_DIR", {});
    env.set("XDG_CACHE_HOME", {});
    env.set("HOME", base.filePath("home"));
    const QString cached = qarvel::socketFolder();
    EXPECT_TRUE(cached.startsWith(base.filePath("home/.cache/qarvel/run-"))) << cached.toStdString();
    EXPECT_TRUE(qarvel::isPrivateFolder(cached, ::getuid()));
    EXPECT_TRUE(SingleInstance::serverName("/films").startsWith(cached + u'/'));
    // (The build itself may sit under the temporary folder: only the shared folder itself is never used.)
    EXPECT_NE(QFileInfo(SingleInstance::serverName("/films")).absolutePath(), QDir::tempPath());

    // The runtime folder is taken when it is private, and only then.
    const QString runtime = base.filePath("run");
    ASSERT_TRUE(QDir().mkdir(runtime));
    ::chmod(QFile::encodeName(runtime).constData(), 0700);
    env.set("XDG_RUNTIME_DIR", runtime);
    EXPECT_EQ(qarvel::socketFolder(), runtime);
    ::chmod(QFile::encodeName(runtime).constData(), 0711);
    EXPECT_EQ(qarvel::socketFolder(), cached);

    // A folder of the program's that others may enter is not used: no socket.
    ::chmod(QFile::encodeName(cached).constData(), 0777);
    EXPECT_EQ(SingleInstance::serverName("/films"), "");
    EXPECT_EQ(SingleInstance::handOff({}, "x", 100), HandOff::NoInstance);
    EXPECT_FALSE(SingleInstance().listen({}));
    ::chmod(QFile::encodeName(cached).constData(), 0700);
    EXPECT_EQ(qarvel::socketFolder(), cached);
    // Nor one another user owns (root may give it away).
    if (::getuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(cached).constData(), kStranger, kStranger), 0);
        EXPECT_EQ(qarvel::socketFolder(), "");
    }
}

TEST(SingleInstancePeers, ASenderOrListenerOfAnotherUserIsToldNothing) {
    app();
    QTemporaryDir dir;
    const QString name = uniqueName(dir);
    QStringList received;
    {
        // A window that hears only another user refuses ours unread.
        SingleInstance server(nullptr, kStranger);
        ASSERT_TRUE(server.listen(name));
        QObject::connect(&server, &SingleInstance::commandReceived, [&](const QString& t) { received << t; });
        EXPECT_EQ(sendFromThread(name, "/films/a.mkv", 2000), HandOff::NoAnswer);
    }
    SingleInstance server;
    ASSERT_TRUE(server.listen(name));
    QObject::connect(&server, &SingleInstance::commandReceived, [&](const QString& t) { received << t; });
    // A sender that trusts only another user sends our window nothing.
    EXPECT_EQ(sendFromThread(name, "/films/a.mkv", 2000), HandOff::Delivered);
    ASSERT_TRUE(qarvel::test::waitUntil([&] { return received.size() == 1; }));
    auto sent =
        std::async(std::launch::async, [&] { return SingleInstance::handOff(name, "/films/b.mkv", 2000, kStranger); });
    qarvel::test::waitUntil([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 4000);
    EXPECT_EQ(sent.get(), HandOff::NoInstance);
    // A control character in the text: refused, nothing played.
    EXPECT_NE(sendFromThread(name, QStringLiteral("/films/a.mkv") + QChar(0) + "x.mkv", 2000), HandOff::Delivered);
    EXPECT_NE(sendFromThread(name, "/films/a\nb.mkv", 2000), HandOff::Delivered);
    qarvel::test::runEventsFor(200);
    EXPECT_EQ(received, QStringList{"/films/a.mkv"});
}

// A real listener of another user, where the test may make one (as root):
// the socket is answered at once, yet the file's path never reaches it.
TEST(SingleInstancePeers, AnotherUsersListenerNeverSeesThePath) {
    if (::getuid() != 0) GTEST_SKIP() << "a process of another user needs root to start";
    QTemporaryDir dir;
    ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
    const QByteArray path = QFile::encodeName(dir.filePath("s"));
    int ready[2], report[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(kStranger) != 0 || ::setuid(kStranger) != 0) ::_exit(1);
        ::alarm(10);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0 ||
            ::chmod(path.constData(), 0777) != 0)
            ::_exit(2);
        (void)!::write(ready[1], "r", 1);
        const int c = ::accept(fd, nullptr, nullptr);
        // "taken", before a word was read; the sender may have hung up already.
        (void)!::send(c, "0", 1, MSG_NOSIGNAL);
        int total = 0;
        char buffer[256];
        pollfd p{c, POLLIN, 0};
        while (::poll(&p, 1, 3000) > 0) {
            const ssize_t n = ::read(c, buffer, sizeof buffer);
            if (n <= 0) break;
            total += int(n);
        }
        (void)!::write(report[1], &total, sizeof total);
        ::_exit(0);
    }
    // Only the child writes: a child that dies gives an end of file, not a wait for ever.
    ::close(ready[1]);
    ::close(report[1]);
    char r = 0;
    ASSERT_EQ(::read(ready[0], &r, 1), 1);
    EXPECT_EQ(SingleInstance::handOff(QFile::decodeName(path), "\"/home/u/secret film.mkv\"", 2000),
              HandOff::NoInstance);
    int total = -1;
    EXPECT_EQ(::read(report[0], &total, sizeof total), ssize_t(sizeof total));
    EXPECT_EQ(total, 0);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int fd : {ready[0], report[0]}) ::close(fd);
}

TEST(SingleInstanceServer, TakesTheTextAnswersAndSurvivesAStaleSocket) {
    app();
    QTemporaryDir dir;
    const QString name = uniqueName(dir);
    EXPECT_EQ(SingleInstance::handOff(name, "x", 1000), HandOff::NoInstance);
    ASSERT_TRUE(qarvel::test::leaveStaleSocket(name));
    EXPECT_EQ(SingleInstance::handOff(name, "x", 1000), HandOff::NoInstance);

    SingleInstance server;
    ASSERT_TRUE(server.listen(name));
    QStringList received;
    QObject::connect(&server, &SingleInstance::commandReceived, [&](const QString& t) { received << t; });
    EXPECT_EQ(sendFromThread(name, "\"/my films/a.mkv\"", 3000), HandOff::Delivered);
    EXPECT_EQ(sendFromThread(name, "", 3000), HandOff::Delivered);
    qarvel::test::waitUntil([&] { return received.size() == 2; });
    EXPECT_EQ(received, (QStringList{"\"/my films/a.mkv\"", ""}));

    // A second server on the same folder does not take the name away.
    SingleInstance second;
    EXPECT_FALSE(second.listen(name));
    EXPECT_TRUE(server.listening());
}

TEST(SingleInstanceServer, AWindowThatDoesNotAnswerIsGivenUpOnInTime) {
    app();
    QTemporaryDir dir;
    const QString name = uniqueName(dir);
    // Listens, but never reads: a hung window.
    QLocalServer hung;
    QLocalServer::removeServer(name);
    ASSERT_TRUE(hung.listen(name));
    const auto start = std::chrono::steady_clock::now();
    auto sent = std::async(std::launch::async, [&] { return SingleInstance::handOff(name, "x", 400); });
    EXPECT_EQ(sent.get(), HandOff::NoAnswer);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}
