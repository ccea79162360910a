// The process finder on real child processes: found by exact executable name,
// owner and served folder (another user's look-alike never), ended by SIGTERM or, when that is ignored, by SIGKILL
// after the grace time; helpers started with their folder.
#include "helper_rig.h"
#include "platform/process_finder.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;
using qarvel::platform::folderArgument;
using qarvel::platform::HelperStart;
using qarvel::platform::kPlayerProgram;
using qarvel::platform::kTerminalProgram;
using qarvel::platform::LinuxProcessFinder;
using qarvel::platform::processOwner;
using qarvel::platform::sameFolder;
using qarvel::platform::startHelperProcess;
using qarvel::test::HelperRig;

namespace {

QByteArray commandLine(std::initializer_list<const char*> args) {
    QByteArray bytes;
    for (const char* a : args) bytes += QByteArray(a) + '\0';
    return bytes;
}

}  // namespace

TEST(ProcessCommandLine, FolderArgumentInBothFormsAndNeverTheProgramName) {
    EXPECT_EQ(folderArgument(commandLine({"/b/qarvel-terminal", "--folder", "/a/Qvod/"})), "/a/Qvod/");
    EXPECT_EQ(folderArgument(commandLine({"x", "-v", "--folder=/影/"})), "/影/");
    EXPECT_EQ(folderArgument(commandLine({"--folder=/self/"})), "");
    EXPECT_EQ(folderArgument(commandLine({"x", "--folder"})), "");
    EXPECT_EQ(folderArgument(QByteArray("x\0--folder\0/a", 14)), "/a");  // no closing NUL
    EXPECT_EQ(folderArgument({}), "");
    EXPECT_TRUE(sameFolder("/a/Qvod/", "/a//Qvod"));
    EXPECT_FALSE(sameFolder("/a/Qvod/", "/a/Qvod2/"));
    EXPECT_FALSE(sameFolder("", "/"));
    EXPECT_EQ(processOwner("Name:\tx\nUid:\t1000\t0\t0\t0\nGid:\t5\n").real, 1000);
    EXPECT_EQ(processOwner("Uid:\t1000\t0\t0\t0\n").effective, 0);
    EXPECT_EQ(processOwner("Name:\tx\n").real, -1);
    EXPECT_EQ(processOwner("Uid:\tx\n").real, -1);
}

TEST(ProcessFinder, FoundByExecutableNameAndTheFolderItServes) {
    qarvel::test::helperTestApp();
    HelperRig rig;
    const QString mine = rig.folder("mine"), other = rig.folder("other");
    const qint64 player = rig.start(kPlayerProgram, mine);
    const qint64 stranger = rig.start(kPlayerProgram, other);
    const qint64 terminal = rig.start(kTerminalProgram, mine);
    ASSERT_NE(player, 0);
    ASSERT_NE(stranger, 0);
    ASSERT_NE(terminal, 0);
    LinuxProcessFinder finder(rig.helpersFolder());
    EXPECT_EQ(finder.findProcessByName(kPlayerProgram, mine), player);
    EXPECT_EQ(finder.findProcessByName(kPlayerProgram, other.chopped(1)), stranger);
    EXPECT_EQ(finder.findProcessByName(kTerminalProgram, mine), terminal);
    // The whole name, in exact case; without a folder every one counts.
    EXPECT_EQ(finder.findProcessByName("arvel-termin", mine), 0);
    EXPECT_EQ(finder.findProcessByName("QARVEL-TERMINAL", mine), 0);
    // (Other tests may run players of their own meanwhile: only ours are checked.)
    QList<qint64> players;
    for (const auto& p : finder.processesNamed(kPlayerProgram, {})) players << p.id;
    EXPECT_TRUE(players.contains(player) && players.contains(stranger) && !players.contains(terminal));
    EXPECT_EQ(finder.findProcessByName(kTerminalProgram, other), 0);
    const auto found = finder.processesNamed(kPlayerProgram, mine);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].executable, rig.helpersFolder() + "/qarvel-player");
    EXPECT_EQ(found[0].folder, mine);
}

TEST(ProcessFinder, EndingAsksFirstAndKillsAfterTheGraceTime) {
    qarvel::test::helperTestApp();
    HelperRig rig;
    const QString mine = rig.folder("mine");
    LinuxProcessFinder finder(rig.helpersFolder(), 400ms);
    const qint64 polite = rig.start(kPlayerProgram, mine);
    ASSERT_NE(polite, 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(finder.endProcess(polite, true));
    EXPECT_LT(clock.elapsed(), 350);  // SIGTERM was enough, no grace waited out
    EXPECT_TRUE(rig.ended(polite));

    const qint64 stubborn = rig.start(kPlayerProgram, mine, true);
    ASSERT_NE(stubborn, 0);
    clock.restart();
    EXPECT_TRUE(finder.endProcess(stubborn, false));
    EXPECT_LT(clock.elapsed(), 200);  // not waited for
    EXPECT_TRUE(rig.staysRunning(stubborn, 200));
    EXPECT_TRUE(rig.ended(stubborn));  // killed once the grace time ran out
    EXPECT_EQ(finder.findProcessByName(kPlayerProgram, mine), 0);
    EXPECT_FALSE(finder.endProcess(stubborn, false));  // gone: nothing to signal
    EXPECT_FALSE(finder.endProcess(0, false));
}

TEST(ProcessFinder, PendingEndsAreSeenThroughWhenTheFinderGoes) {
    qarvel::test::helperTestApp();
    HelperRig rig;
    const QString mine = rig.folder("mine");
    const qint64 stubborn = rig.start(kTerminalProgram, mine, true);
    ASSERT_NE(stubborn, 0);
    {
        LinuxProcessFinder finder(rig.helpersFolder(), 300ms);
        EXPECT_TRUE(finder.endProcess(stubborn, false));
    }
    EXPECT_TRUE(rig.ended(stubborn, 1000));
}

TEST(ProcessFinder, HelpersStartFromTheirFolderServingTheGivenOne) {
    qarvel::test::helperTestApp();
    HelperRig rig;
    const QString mine = rig.folder("mine");
    LinuxProcessFinder finder(rig.helpersFolder(), 500ms);
    ASSERT_TRUE(finder.startHelper(kTerminalProgram, mine));
    EXPECT_TRUE(qarvel::test::waitUntil([&] { return finder.findProcessByName(kTerminalProgram, mine) != 0; }, 5000));
    const auto found = finder.processesNamed(kTerminalProgram, mine);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].folder, mine);
    EXPECT_TRUE(finder.endProcess(found[0].id, true));
    EXPECT_EQ(finder.findProcessByName(kTerminalProgram, mine), 0);
    EXPECT_FALSE(finder.startHelper("qarvel-missing", mine));
    EXPECT_FALSE(finder.startHelper(kTerminalProgram, {}));
}

TEST(ProcessFinder, OneFunctionStartsHelpersOnlyWhenNeededAndLogsAFailure) {
    qarvel::test::helperTestApp();
    HelperRig rig;
    const QString mine = rig.folder("mine");
    LinuxProcessFinder finder(rig.helpersFolder(), 500ms);
    const auto running = [&] { return finder.processesNamed(kTerminalProgram, mine).size(); };
    ASSERT_TRUE(startHelperProcess(finder, kTerminalProgram, mine));
    ASSERT_TRUE(qarvel::test::waitUntil([&] { return running() == 1; }, 5000));
    // One serves the folder: no second one.
    EXPECT_TRUE(startHelperProcess(finder, kTerminalProgram, mine));
    EXPECT_FALSE(qarvel::test::waitUntil([&] { return running() > 1; }, 500));
    // After an end that has not yet shown, the caller knows better.
    EXPECT_TRUE(startHelperProcess(finder, kTerminalProgram, mine, HelperStart::Always));
    EXPECT_TRUE(qarvel::test::waitUntil([&] { return running() == 2; }, 5000));
    for (const auto& p : finder.processesNamed(kTerminalProgram, mine)) finder.endProcess(p.id, true);

    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& m) {
            if (type == QtWarningMsg) warnings << m;
        });
    EXPECT_FALSE(startHelperProcess(finder, QStringLiteral("qarvel-missing"), mine));
    qInstallMessageHandler(previous);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("qarvel-missing")));
}

TEST(ProcessFinder, OnlyOurOwnProcessesOfTheExactExecutableCount) {
    qarvel::test::helperTestApp();
    HelperRig rig;
    const QString mine = rig.folder("mine");
    // A longer name holding the helper's is another program.
    const QString longer = rig.helpersFolder() + "/qarvel-terminal-old";
    ASSERT_TRUE(QFile::copy(rig.helpersFolder() + "/" + kTerminalProgram, longer));
    QFile::setPermissions(longer, QFile::ReadOwner | QFile::ExeOwner);
    QProcess other;
    other.start(longer, {"--folder", mine});
    ASSERT_TRUE(other.waitForStarted(5000) && other.waitForReadyRead(5000));  // running
    LinuxProcessFinder finder(rig.helpersFolder());
    EXPECT_EQ(finder.findProcessByName(kTerminalProgram, mine), 0);

    // Another user's process named like the helper and claiming our folder.
    if (::getuid() != 0) GTEST_SKIP() << "a process of another user needs root to start";
    QTemporaryDir shared;
    ::chmod(QFile::encodeName(shared.path()).constData(), 0755);
    const QString impostor = shared.filePath(kTerminalProgram);
    ASSERT_TRUE(QFile::copy(QStringLiteral(QARVEL_HELPER_STAND_IN), impostor));
    ::chmod(QFile::encodeName(impostor).constData(), 0755);
    QProcess stranger;
    stranger.setChildProcessModifier([] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(1);
    });
    stranger.start(impostor, {"--folder", mine});
    ASSERT_TRUE(stranger.waitForStarted(5000));
    ASSERT_TRUE(stranger.waitForReadyRead(5000));  // running, as the other user
    EXPECT_EQ(finder.findProcessByName(kTerminalProgram, mine), 0);
    // Ours next to it is found, and only ours.
    const qint64 terminal = rig.start(kTerminalProgram, mine);
    ASSERT_NE(terminal, 0);
    const auto found = finder.processesNamed(kTerminalProgram, mine);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].id, terminal);
    stranger.kill();
    stranger.waitForFinished(2000);
    other.kill();
    other.waitForFinished(2000);
}
