// The host check, the ends at exit and the cache-folder change on real child
// processes; the check once more as the real window runs it on Timer3.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "app/player_host/player_host.h"
#include "common/settings_file.h"
#include "helper_rig.h"
#include "integration/main_window/quiet_player.h"
#include "state/main_window_state.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using qarvel::platform::kPlayerProgram;
using qarvel::platform::kTerminalProgram;
using qarvel::platform::LinuxProcessFinder;
using qarvel::test::HelperRig;
namespace host = qarvel::player_host;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The host on a settings map and the rig's helpers, as the window wires it.
struct HostRig {
    explicit HostRig(const QString& keepPlayers) {
        qarvel::test::helperTestApp();
        settings["S_q/qvodqi"] = keepPlayers;
        playerHostCheckTimer.start(10);
    }
    host::PlayerHost& make() {
        made = std::make_unique<host::PlayerHost>(
            state, host::PlayerHostServices{
                       .processes = finder,
                       .playerHostCheckTimer = playerHostCheckTimer,
                       .readSetting = [this](const QString& s, const QString& k,
                                             const QString& d) { return settings.value(s + u'/' + k, d); },
                       .writeSetting = [this](const QString& s, const QString& k,
                                              const QString& v) { settings[s + u'/' + k] = v; },
                       .defaultFolder = own});
        return *made;
    }
    HelperRig rig;
    LinuxProcessFinder finder{rig.helpersFolder(), 300ms};
    QString own = rig.folder("Qvod");
    QString other = rig.folder("another");
    qarvel::MainWindowState state;
    QTimer playerHostCheckTimer;
    QMap<QString, QString> settings;
    std::unique_ptr<host::PlayerHost> made;
};

}  // namespace

TEST(PlayerHostCheck, EndsEveryPlayerOfItsFolderStartsTheServiceAndRemembersTheFolder) {
    HostRig h("2");
    const qint64 first = h.rig.start(kPlayerProgram, h.own);
    const qint64 second = h.rig.start(kPlayerProgram, h.own);
    const qint64 stranger = h.rig.start(kPlayerProgram, h.other);
    const qint64 strangeTerminal = h.rig.start(kTerminalProgram, h.other);
    h.make().PlayerHostCheck();
    EXPECT_FALSE(h.playerHostCheckTimer.isActive());
    EXPECT_TRUE(h.rig.ended(first));
    EXPECT_TRUE(h.rig.ended(second));
    EXPECT_TRUE(h.rig.staysRunning(stranger));
    EXPECT_TRUE(h.rig.staysRunning(strangeTerminal));
    EXPECT_EQ(h.state.QvodFolder, h.own);
    EXPECT_EQ(h.settings["S_q/qvodw"], h.own);
    EXPECT_TRUE(qarvel::test::waitUntil([&] { return h.rig.running(kTerminalProgram, h.own).size() == 1; }, 5000));
    h.rig.endStarted(kTerminalProgram, h.own);
}

TEST(PlayerHostCheck, KeepsPlayersWithQvodqiOneAndARunningServiceIsNotStartedTwice) {
    HostRig h("1");
    const qint64 player = h.rig.start(kPlayerProgram, h.own);
    const qint64 terminal = h.rig.start(kTerminalProgram, h.own);
    h.make().PlayerHostCheck();
    EXPECT_TRUE(h.rig.staysRunning(player));
    EXPECT_TRUE(h.rig.staysRunning(terminal));
    EXPECT_EQ(h.rig.running(kTerminalProgram, h.own).size(), 1);
    EXPECT_EQ(h.settings["S_q/qvodw"], h.own);
}

TEST(PlayerHostCheck, AFolderStoredInQvodwIsServedInsteadOfTheProgramsOwn) {
    HostRig h("2");
    h.settings["S_q/qvodw"] = h.other.chopped(1);
    const qint64 mine = h.rig.start(kPlayerProgram, h.own);
    const qint64 theirs = h.rig.start(kPlayerProgram, h.other);
    h.make().PlayerHostCheck();
    EXPECT_TRUE(h.rig.ended(theirs));
    EXPECT_TRUE(h.rig.staysRunning(mine));
    EXPECT_EQ(h.state.QvodFolder, h.other);
    EXPECT_TRUE(qarvel::test::waitUntil([&] { return h.rig.running(kTerminalProgram, h.other).size() == 1; }, 5000));
    h.rig.endStarted(kTerminalProgram, h.other);
}

TEST(PlayerHostEnds, EndProcessByNameEndsOneAndEveryProcessEndsAll) {
    HostRig h("2");
    const qint64 first = h.rig.start(kPlayerProgram, h.own);
    const qint64 second = h.rig.start(kPlayerProgram, h.own);
    const qint64 stranger = h.rig.start(kPlayerProgram, h.other);
    host::PlayerHost& host = h.make();
    EXPECT_EQ(host.FindProcessByName(kPlayerProgram), first);
    host.EndProcessByName(kPlayerProgram);
    EXPECT_TRUE(h.rig.ended(first));
    EXPECT_TRUE(h.rig.staysRunning(second));
    host.EndProcessByName(kTerminalProgram);  // none runs: nothing happens
    const qint64 third = h.rig.start(kPlayerProgram, h.own, true);
    host.EndEveryProcess(kPlayerProgram);
    EXPECT_TRUE(h.rig.ended(second));
    EXPECT_TRUE(h.rig.ended(third));  // waited for, killed after the grace time
    EXPECT_TRUE(h.rig.staysRunning(stranger));
}

TEST(PlayerCachePath, WriteEndsTheXmlWithOneMoreLineEndAndReadFallsBack) {
    HostRig h("2");
    EXPECT_EQ(host::ReadPlayerCachePath(h.own, "/fallback/"), "/fallback/");
    EXPECT_FALSE(host::WritePlayerCachePath({}, "/x/"));
    EXPECT_FALSE(host::WritePlayerCachePath(h.own, {}));
    QFile xml(h.own + "QvodPlayer.xml");
    ASSERT_TRUE(xml.open(QIODevice::WriteOnly));
    xml.write("<a>\n<s Defaultsavepath=\"/old/\"/>\r\n</a>");
    xml.close();
    EXPECT_EQ(host::ReadPlayerCachePath(h.own, "/fallback/"), "/old/");
    ASSERT_TRUE(host::WritePlayerCachePath(h.own.chopped(1), "/new/"));
    EXPECT_EQ(fileBytes(h.own + "QvodPlayer.xml"), "<a>\r\n<s Defaultsavepath=\"/new/\"/>\r\n</a>\r\n\r\n");
    EXPECT_EQ(fileBytes(h.own + "QvodCfg.ini"), "[NBQVODTERMINAL]\r\ndefaultsavepath=/new/\r\n");
    EXPECT_EQ(host::ReadPlayerCachePath(h.own, "/fallback/"), "/new/");
}

TEST(PlayerCachePath, RestartingTheServiceEndsItsHelpersStoresThePathAndStartsItAgain) {
    HostRig h("2");
    const qint64 player = h.rig.start(kPlayerProgram, h.own);
    const qint64 terminal = h.rig.start(kTerminalProgram, h.own, true);
    const qint64 stranger = h.rig.start(kTerminalProgram, h.other);
    EXPECT_TRUE(host::RestartDownloadService(h.finder, h.own, "/films/"));
    EXPECT_TRUE(h.rig.ended(player));
    EXPECT_TRUE(h.rig.ended(terminal));
    EXPECT_TRUE(h.rig.staysRunning(stranger));
    EXPECT_EQ(host::ReadPlayerCachePath(h.own, "/fallback/"), "/films/");
    EXPECT_TRUE(qarvel::test::waitUntil([&] { return h.rig.running(kTerminalProgram, h.own).size() == 1; }, 5000));
    h.rig.endStarted(kTerminalProgram, h.own);
    EXPECT_FALSE(host::RestartDownloadService(h.finder, {}, "/films/"));
}

TEST(PlayerHostInTheWindow, Timer3RunsTheCheckOnceAfterTheStart) {
    qarvel::test::helperTestApp();
    HelperRig rig;
    QTemporaryDir home;
    const qarvel::ProgramFiles files = qarvel::ProgramFiles::inFolder(home.path());
    QDir().mkpath(files.playerFolder);
    ASSERT_TRUE(qarvel::WriteSetting(files.settings, "S_q", "qvodqi", "2"));
    const qint64 first = rig.start(kPlayerProgram, files.playerFolder);
    const qint64 second = rig.start(kPlayerProgram, files.playerFolder);
    LinuxProcessFinder finder(rig.helpersFolder(), 300ms);
    qarvel::testing::QuietPlayer player;
    qarvel::Application application({.files = files,
                                     .serviceBase = "http://127.0.0.1:1/box/",
                                     .player = &player,
                                     .processes = &finder,
                                     .paneFactory = [](int, QWidget* parent) { return new QWidget(parent); }});
    ASSERT_TRUE(application.showMainWindow(false));
    EXPECT_TRUE(rig.ended(first));
    EXPECT_TRUE(rig.ended(second));
    EXPECT_TRUE(qarvel::test::waitUntil([&] { return rig.running(kTerminalProgram, files.playerFolder).size() == 1; }));
    EXPECT_FALSE(application.window()->controls().playerHostCheckTimer->isActive());
    EXPECT_EQ(application.window()->state().QvodFolder, files.playerFolder);
    EXPECT_EQ(qarvel::ReadSetting(files.settings, "S_q", "qvodw", "0"), files.playerFolder);
    rig.endStarted(kTerminalProgram, files.playerFolder);
}

TEST(PlayerHostWithRealPlayers, EndProcessByNameEndsOneAndTheCheckEndsTheOthers) {
    HostRig h("2");
    const QString program = QStringLiteral(QARVEL_PLAYER_PROGRAM);
    const QStringList args{qarvel::platform::kFolderArgument, h.own};
    const qint64 first = h.rig.startProgram(program, args, h.own);
    const qint64 second = h.rig.startProgram(program, args, h.own);
    const qint64 third = h.rig.startProgram(program, args, h.own);
    ASSERT_TRUE(first && second && third);
    host::PlayerHost& host = h.make();
    host.EndProcessByName(kPlayerProgram);
    EXPECT_TRUE(h.rig.ended(first));
    EXPECT_TRUE(h.rig.staysRunning(second));
    host.PlayerHostCheck();
    EXPECT_TRUE(h.rig.ended(second));
    EXPECT_TRUE(h.rig.ended(third));
    h.rig.endStarted(kTerminalProgram, h.own);
}
