// The update check's steps on the control file's answer, with the desktop,
// the message boxes and the features it switches on recorded.
#include "extras/update_check.h"

#include "extras_fakes.h"
#include "platform/text_fetcher.h"
#include "state/main_window_state.h"
#include "support/wait_until.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace qarvel::extras::test {
namespace {

const QString kBase = "http://127.0.0.1:9/box/";

struct Rig {
    Rig() {
        updateCheckTimer.setSingleShot(true);
        updateCheckTimer.start(6000);
        check = std::make_unique<UpdateCheck>(state,
                                              UpdateServices{.fetcher = fetcher,
                                                             .dialogs = dialogs,
                                                             .shell = shell,
                                                             .updateCheckTimer = updateCheckTimer,
                                                             .updateProgram = folder.filePath("update.exe"),
                                                             .showStopAd = [this] { steps << "bo_pad"; },
                                                             .loadPopup = [this] { steps << "tankou"; },
                                                             .startNotice = [this] { steps << "gun_ad"; },
                                                             .exitProgram = [this] { steps << "exit"; }},
                                              kBase);
    }
    QApplication* application = app();  // before the timer and the fetcher
    MainWindowState state;
    QTimer updateCheckTimer;
    platform::TextFetcher fetcher;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    QTemporaryDir folder;
    QStringList steps;
    std::unique_ptr<UpdateCheck> check;
};

TEST(UpdateCheck, TheServiceDefaultSwitchesEveryFeatureOnInOrder) {
    Rig r;
    r.check->apply("0====1====1====1====1====1.0\r\n");
    EXPECT_EQ(r.steps, (QStringList{"tankou", "gun_ad", "bo_pad"}));
    EXPECT_EQ(r.state.PauseAdState, 2);
    EXPECT_EQ(r.state.StopAdState, 2);
    EXPECT_EQ(r.state.SideWindowOnExit, "0");
    EXPECT_EQ(r.state.LatestVersion, "1.0");
    EXPECT_TRUE(r.dialogs.asked.isEmpty());
}

TEST(UpdateCheck, PanelsThatFailedToLoadStayOff) {
    Rig r;
    r.state.PauseAdState = 1;
    r.state.StopAdState = 1;
    r.check->apply("0====0====1====0====1====1.0");
    EXPECT_EQ(r.state.PauseAdState, 1);
    EXPECT_EQ(r.state.StopAdState, 1);
    EXPECT_TRUE(r.steps.isEmpty());
}

TEST(UpdateCheck, DecliningTheOfferStillSwitchesTheFeaturesOn) {
    Rig r;
    r.check->apply("1====1====1====1====1====0.9\r\n");
    EXPECT_EQ(r.dialogs.asked, QStringList{"提示：|检测到最新版本 0.9 ,你需要现在升级吗？"});
    EXPECT_EQ(r.steps, (QStringList{"tankou", "gun_ad", "bo_pad"}));
    EXPECT_EQ(r.state.SideWindowOnExit, "1");
    EXPECT_TRUE(r.shell.opened.isEmpty());
}

TEST(UpdateCheck, TakingTheOfferOpensTheInstallerAndQuitsWithoutTheSideWindow) {
    Rig r;
    r.dialogs.answerYes = true;
    r.check->apply("1====1====1====1====1====2.0");
    EXPECT_EQ(r.shell.opened, QStringList{kBase + "update/update.exe"});
    EXPECT_EQ(r.steps, QStringList{"exit"});  // sections 1, 3, 4 are skipped
    EXPECT_EQ(r.state.PauseAdState, 2);       // section 2 is not
    EXPECT_EQ(r.state.SideWindowOnExit, "0");
}

TEST(UpdateCheck, AnUpdaterInTheProgramFolderIsStartedInstead) {
    Rig r;
    QFile updater(r.folder.filePath("update.exe"));
    ASSERT_TRUE(updater.open(QIODevice::WriteOnly));
    updater.close();
    r.dialogs.answerYes = true;
    r.check->apply("0====0====0====0====0====2.0");
    EXPECT_EQ(r.shell.started, QStringList{r.folder.filePath("update.exe")});
    EXPECT_TRUE(r.shell.opened.isEmpty());
    EXPECT_EQ(r.steps, QStringList{"exit"});
}

TEST(UpdateCheck, WhatIsNoControlFileChangesNothing) {
    for (const QString& bad : {QString(), QStringLiteral("9 服务器返回了无法识别的内容"), QStringLiteral("<html>")}) {
        Rig r;
        r.check->apply(bad);
        EXPECT_TRUE(r.steps.isEmpty());
        EXPECT_EQ(r.state.SideWindowOnExit, "0");
        EXPECT_EQ(r.state.PauseAdState, 0);
        EXPECT_TRUE(r.state.LatestVersion.isEmpty());
        // The menu entry then reports the latest version.
        r.check->shengji();
        EXPECT_EQ(r.dialogs.informed, QStringList{"提示：|你现在使用的是最新版本，无需升级!"});
        EXPECT_TRUE(r.dialogs.asked.isEmpty());
    }
}

TEST(UpdateCheck, TheMenuEntryOffersAgainFromWhatWasRead) {
    Rig r;
    r.check->apply("0====0====0====0====0====1.2");
    ASSERT_EQ(r.dialogs.asked.size(), 1);
    r.check->shengji();
    EXPECT_EQ(r.dialogs.asked.size(), 2);
    EXPECT_TRUE(r.dialogs.informed.isEmpty());  // declined: no second message
    r.dialogs.answerYes = true;
    r.check->shengji();
    EXPECT_EQ(r.shell.opened, QStringList{kBase + "update/update.exe"});
    EXPECT_EQ(r.steps, QStringList{"exit"});
}

TEST(UpdateCheck, TheTimerFiresOnceAndAsksForTheFile) {
    Rig r;
    r.check->checkForUpdate();
    EXPECT_FALSE(r.updateCheckTimer.isActive());
    EXPECT_TRUE(r.check->fetchPending());
    // Nothing answers on the discard port: the failed fetch switches nothing on.
    EXPECT_TRUE(qarvel::test::waitUntil([&] { return !r.check->fetchPending(); }, 15000));
    EXPECT_TRUE(r.steps.isEmpty());
    EXPECT_TRUE(r.state.LatestVersion.isEmpty());
}

}  // namespace
}  // namespace qarvel::extras::test
