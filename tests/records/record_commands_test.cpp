// The record commands against golden record files and a real download folder:
// which files a delete together with the downloads removes, what it asks, and
// the list clears of the link under the list panel.
#include "record_test_support.h"
#include "fakes/answering_dialogs.h"
#include "records/record_commands.h"
#include "state/main_window_state.h"

#include <QApplication>
#include <QDir>
#include <QLabel>

using namespace qarvel::records;
using qarvel::records::test::golden;
using qarvel::records::test::ProgramFolder;

namespace {

QApplication* app() {
    static int argc = 1;
    static char name[] = "record_commands_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return a;
}

using Dialogs = qarvel::testing::AnsweringDialogs;

constexpr qarvel::SideTab kLocalListTab = qarvel::SideTab::LocalList, kTaskListTab = qarvel::SideTab::TaskList;

class RecordCommandsTest : public ::testing::Test {
protected:
    RecordCommandsTest() {
        QDir(folder.path()).mkpath("cache");
        QDir(folder.path()).mkpath("outside");
        folder.put("date.dat", golden("net_tasks.dat"));
        state.SideTab = kTaskListTab;
    }
    RecordCommandServices services() {
        return {.records = store,
                .dialogs = dialogs,
                .downloadFolder = [this] { return cache(); },
                .folderFiles =
                    [this](const QString& f) { return listed ? *listed : QDir(f).entryList(QDir::Files, QDir::Name); },
                .navigateWeb3 =
                    [this](const QString& link) {
                        navigated << link;
                        // The task list's own handling of a delete link.
                        if (link.startsWith("delk://"))
                            (void)store.DeleteRecordLine(RecordFile::Network, link.mid(7).toLongLong());
                    },
                .showBalloon = [this](const QString& t) { balloons << t; },
                .openFolder = [this](const QString& f) { opened << f; },
                .popupTaskListMenu = [this] { ++menuPopups; },
                .keptOnTop = [this] { return onTop; },
                .releaseOnTop =
                    [this] {
                        onTop = false;
                        log << "release";
                    },
                .resetQkColour = [this] { ++colourResets; }};
    }
    QString cache() const { return folder.file("cache") + "/"; }
    void download(const QString& name) { folder.put("cache/" + name, "film"); }
    bool downloaded(const QString& name) const { return folder.exists("cache/" + name); }

    QApplication* application = app();  // before the label
    ProgramFolder folder;
    ListPageWriter pages{qarvel::ProgramFiles::inFolder(folder.path()), [](RecordFile, const QString&) {}};
    RecordStore store{pages};
    qarvel::MainWindowState state;
    Dialogs dialogs;
    std::optional<QStringList> listed;
    QStringList navigated, balloons, opened, log;
    int menuPopups = 0, colourResets = 0;
    bool onTop = false;
    RecordCommands commands{state, services()};
};

}  // namespace

TEST(DownloadKey, HalfTheNameRoundedToEvenAndTheWholeNameBelowThree) {
    const std::pair<int, int> cases[] = {{9, 4},  {7, 4},  {6, 3},  {3, 3}, {5, 5}, {4, 4},
                                         {11, 6}, {13, 6}, {10, 5}, {2, 2}, {0, 0}};
    for (auto [length, key] : cases) EXPECT_EQ(downloadKeyLength(length), key) << length;
    EXPECT_EQ(downloadKey("qvod%3A//1000%7CAAAA%7CABCDEFGHI.rmvb%7C"), "ABCD");
    EXPECT_EQ(downloadKey("qvod%3A//1%7CA%7Cabc.rmvb%7C"), "abc");
    // No extension: no base, no key; no player address: no key.
    EXPECT_EQ(downloadKey("qvod%3A//1%7CA%7Cnoextension%7C"), "");
    EXPECT_EQ(downloadKey("http%3A//127.0.0.1/clip.mp4"), "");
    EXPECT_EQ(downloadKey(""), "");
}

TEST_F(RecordCommandsTest, DeleteDownloadRemovesExactlyTheMatchingFilesAndTheRecord) {
    for (const char* name : {"ABCD1.rmvb", "ABCDEFGHI.rmvb", "ABCX.rmvb", "abcd.rmvb"}) download(name);
    folder.put("outside/ABCD.rmvb", "film");
    state.ContextLink = "open://1";
    commands.deleteChosenTaskAndFiles();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0], QStringLiteral("提示：|确定要删除 [") + cache() +
                                    QStringLiteral("] 下面的这些文件吗？\r\n\r\nABCD1.rmvb\r\nABCDEFGHI.rmvb\r\n"));
    EXPECT_FALSE(downloaded("ABCD1.rmvb"));
    EXPECT_FALSE(downloaded("ABCDEFGHI.rmvb"));
    EXPECT_TRUE(downloaded("ABCX.rmvb"));
    EXPECT_TRUE(downloaded("abcd.rmvb"));  // the key is case-sensitive
    EXPECT_TRUE(folder.exists("outside/ABCD.rmvb"));
    EXPECT_EQ(navigated, QStringList{"delk://1"});
    EXPECT_EQ(folder.read("date.dat"), golden("net_tasks_without_1.dat"));
    EXPECT_TRUE(balloons.isEmpty());
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(RecordCommandsTest, NamesThatClimbOutOrRunLongDeleteOnlyTheRecord) {
    // "../../outside/QRST": the folder's own names never hold "/", so nothing
    // outside it can match; a 300-character key matches nothing either.
    download("QRST.rmvb");
    folder.put("outside/QRST.rmvb", "film");
    download("KKKKK.mkv");
    state.ContextLink = "open://2";
    commands.deleteChosenTaskAndFiles();
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_TRUE(folder.exists("outside/QRST.rmvb"));
    EXPECT_TRUE(downloaded("QRST.rmvb"));
    EXPECT_EQ(folder.read("date.dat"), golden("net_tasks_without_2.dat"));

    folder.put("date.dat", golden("net_tasks.dat"));
    state.ContextLink = "open://4/";  // the trailing "/" a link may carry
    commands.deleteChosenTaskAndFiles();
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_TRUE(downloaded("KKKKK.mkv"));
    EXPECT_EQ(folder.read("date.dat"), golden("net_tasks_without_4.dat"));
}

TEST_F(RecordCommandsTest, DeleteDownloadOfAnAddressThatIsNoPlayerAddressDeletesOnlyTheRecord) {
    download("clip.mp4");
    state.ContextLink = "open://3";
    commands.deleteChosenTaskAndFiles();
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_TRUE(downloaded("clip.mp4"));
    EXPECT_EQ(folder.read("date.dat"), golden("net_tasks_without_3.dat"));
}

TEST_F(RecordCommandsTest, AnsweringNoOpensTheFolderKeepsTheFilesAndStillDeletesTheRecord) {
    download("ABCD1.rmvb");
    dialogs.answer = false;
    state.ContextLink = "open://1";
    commands.deleteChosenTaskAndFiles();
    EXPECT_TRUE(downloaded("ABCD1.rmvb"));
    EXPECT_EQ(opened, QStringList{cache()});
    EXPECT_EQ(folder.read("date.dat"), golden("net_tasks_without_1.dat"));
}

TEST_F(RecordCommandsTest, AFileThatCannotGoGivesOneBalloonAfterTheOthersWent) {
    // A folder under a matching name stands for a file in use: it stays.
    QDir(cache()).mkpath("ABCD-busy/inside");
    download("ABCD2.rmvb");
    listed = QStringList{"ABCD-busy", "ABCD2.rmvb"};
    state.ContextLink = "open://1";
    commands.deleteChosenTaskAndFiles();
    EXPECT_FALSE(downloaded("ABCD2.rmvb"));
    EXPECT_EQ(balloons, QStringList{kFilesInUseBalloon});
    EXPECT_EQ(folder.read("date.dat"), golden("net_tasks_without_1.dat"));
}

TEST_F(RecordCommandsTest, NothingRightClickedMeansNothingHappens) {
    download("ABCD1.rmvb");
    state.ContextLink = "";
    commands.deleteChosenTaskAndFiles();
    commands.playChosenTask();
    commands.deleteChosenTask();
    EXPECT_TRUE(navigated.isEmpty());
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_EQ(folder.read("date.dat"), golden("net_tasks.dat"));
}

TEST_F(RecordCommandsTest, PlayAndDeleteTaskHandTheLineToTheTaskList) {
    state.ContextLink = "open://3";
    commands.playChosenTask();
    commands.deleteChosenTask();
    EXPECT_EQ(navigated, (QStringList{"open://3", "delk://3"}));
    EXPECT_EQ(folder.read("date.dat"), golden("net_tasks_without_3.dat"));
}

TEST_F(RecordCommandsTest, TheLinkClearsTheLocalListOrOffersTheTaskMenu) {
    folder.put("date_f.dat", "a|/films/a.mp4|3\r\n");
    state.SideTab = kLocalListTab;
    commands.runSideListCommand();
    EXPECT_EQ(dialogs.asked, QStringList{QStringLiteral("提示：|确定要删除全部[本地播放]列表吗？")});
    EXPECT_EQ(folder.read("date_f.dat"), golden("net_empty.dat"));
    EXPECT_EQ(menuPopups, 0);
    EXPECT_EQ(colourResets, 1);
    // With the local list shown the menu's clear does nothing.
    commands.clearNetworkList();
    EXPECT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(folder.read("date.dat"), golden("net_tasks.dat"));

    state.SideTab = kTaskListTab;
    commands.runSideListCommand();
    EXPECT_EQ(menuPopups, 1);
    dialogs.answer = false;
    commands.clearNetworkList();
    EXPECT_EQ(folder.read("date.dat"), golden("net_tasks.dat"));
    dialogs.answer = true;
    commands.clearNetworkList();
    EXPECT_EQ(dialogs.asked.last(), QStringLiteral("提示：|确定要删除全部[网络任务]列表吗？"));
    EXPECT_EQ(folder.read("date.dat"), golden("net_empty.dat"));
}

TEST_F(RecordCommandsTest, ManageDownloadsOpensTheFolderOrSaysItIsEmpty) {
    commands.openDownloadFolder();
    EXPECT_EQ(dialogs.informed,
              QStringList{QStringLiteral("提示：|路径") + cache() + QStringLiteral("还没有任何影片。")});
    EXPECT_TRUE(opened.isEmpty());

    download("x.rmvb");
    onTop = true;
    commands.openDownloadFolder();
    EXPECT_EQ(log, QStringList{"release"});
    EXPECT_EQ(opened, QStringList{cache()});
}
