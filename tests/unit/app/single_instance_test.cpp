// The single-instance hand-off: its frame, the command text, the socket name,
// and a server and a sender in one process (the sender on a thread of its own,
// as the second program would block).
#include "app/single_instance.h"
#include "support/stale_socket.h"
#include "support/wait_until.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocalServer>
#include <QTemporaryDir>
#include <future>
#include <gtest/gtest.h>

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
    EXPECT_LT(SingleInstance::serverName("/" + QString(500, u'x')).size(), 64);
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
