// The window buttons' shell actions, the close question, the exit and a second
// start's hand-off, through the application's own wiring on fakes.
#include "app/shell_commands.h"
#include "shell_fixture.h"
#include "window/picture_box.h"
#include "window/units.h"
#include "window/window_buttons.h"
#include "window/window_chrome.h"
#include "window/window_settings.h"

#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>

using shelltest::Window;

using namespace qarvel;

namespace {

const QString kQuestion = QStringLiteral("提示：|关闭 Qarvel影视盒  最小化到托盘吗？");

// Hidden to the tray, or minimised where there is none (as here).
bool putAway(qarvel::MainWindow* w) { return !w->isVisible() || w->isMinimized(); }

}  // namespace

TEST(CloseButton, AsksOnceThenFollowsTheStoredAnswer) {
    {
        Window w({{"S_q/ts", "3"}, {"S_q/quit", "2"}});
        w.application->parts().buttons->pressWindowButton(WindowButton::Close);
        EXPECT_EQ(w.dialogs.asked, QStringList{kQuestion});
        EXPECT_EQ(w.setting("S_q", "ts"), "1");
        EXPECT_EQ(w.setting("S_q", "quit"), "2");
        EXPECT_TRUE(putAway(w.window));
        EXPECT_EQ(w.ended, 0);
        // The next press puts it away without a question.
        w.window->showNormal();
        w.application->parts().buttons->pressWindowButton(WindowButton::Close);
        EXPECT_EQ(w.dialogs.asked.size(), 1);
        EXPECT_TRUE(putAway(w.window));
        EXPECT_EQ(w.ended, 0);
    }
    {
        Window w({{"S_q/ts", "3"}, {"S_q/quit", "2"}});
        w.dialogs.answer = false;
        w.application->parts().buttons->pressWindowButton(WindowButton::Close);
        EXPECT_EQ(w.dialogs.asked, QStringList{kQuestion});
        EXPECT_EQ(w.setting("S_q", "ts"), "1");
        EXPECT_EQ(w.setting("S_q", "quit"), "1");
        EXPECT_FALSE(w.window->isVisible());
        EXPECT_EQ(w.ended, 1);
    }
    {
        // Answered before: exit at once, no question, the helpers stay ("qvodk" 1).
        Window w({{"S_q/ts", "1"}, {"S_q/quit", "1"}, {"S_q/qvodk", "1"}});
        w.application->parts().buttons->pressWindowButton(WindowButton::Close);
        EXPECT_TRUE(w.dialogs.asked.isEmpty());
        EXPECT_EQ(w.ended, 1);
        EXPECT_TRUE(w.processes.ended.isEmpty());
        EXPECT_FALSE(w.window->tray().exists());
    }
}

TEST(CloseButton, ARightPressSwallowsTheNextClickOnly) {
    Window w({{"S_q/ts", "1"}, {"S_q/quit", "1"}});
    auto& buttons = *w.application->parts().buttons;
    buttons.windowButtonMouseDown(2, Qt::RightButton);
    buttons.pressWindowButton(WindowButton::Close);
    EXPECT_EQ(w.ended, 0);
    EXPECT_TRUE(w.window->isVisible());
    buttons.windowButtonMouseDown(2, Qt::LeftButton);
    buttons.pressWindowButton(WindowButton::Close);
    EXPECT_EQ(w.ended, 1);
}

TEST(Exit, StopsTheFilmEndsTheHelpersAndClosesInOrder) {
    // The order, with every step a fake.
    shelltest::app();
    QTemporaryDir dir;
    qarvel::MainWindowState state;
    state.ConfigPath = dir.path() + "/config.dll";
    ASSERT_TRUE(qarvel::WriteSetting(state.ConfigPath, "S_q", "qvodk", "2"));
    qarvel::window::ConfigFileSettings settings(state);
    shelltest::Dialogs dialogs;
    QStringList log;
    qarvel::TrayIcon tray;
    QWidget window;
    window.show();
    tray.AddTrayIcon(&window, nullptr, "tip");
    state.CurrentView = View::Player;
    auto step = [&log](const char* name) { return [&log, name] { log << name; }; };
    qarvel::ShellCommands shell(
        state, &window, nullptr, nullptr, nullptr,
        qarvel::ShellServices{.settings = settings,
                              .dialogs = dialogs,
                              .endHelper = [&log](const QString& name) { log << "end " + name; },
                              .tray = tray,
                              .pressStop = step("stop"),
                              .cancelRequests = step("cancel"),
                              .closeMenus = step("tip"),
                              .closeNotice = step("tankou"),
                              .closeSettings = step("BA3"),
                              .showSideWindow = step("ba4"),
                              .endProcess = step("end")});
    shell.exitProgram();
    EXPECT_EQ(log, (QStringList{"stop", "end qarvel-player", "end qarvel-terminal", "cancel", "tip", "tankou", "BA3",
                                "end"}));
    EXPECT_FALSE(tray.exists());
    EXPECT_FALSE(window.isVisible());
    // Once only.
    shell.exitProgram();
    EXPECT_EQ(log.size(), 8);

    // Nothing shown, helpers kept, and the side window asked for: it is shown
    // and the process lives on until it is closed.
    log.clear();
    state.CurrentView = View::WebPlayer;
    state.SideWindowOnExit = "1";
    ASSERT_TRUE(qarvel::WriteSetting(state.ConfigPath, "S_q", "qvodk", "1"));
    qarvel::ShellCommands again(
        state, &window, nullptr, nullptr, nullptr,
        qarvel::ShellServices{.settings = settings,
                              .dialogs = dialogs,
                              .endHelper = [&log](const QString& name) { log << "end " + name; },
                              .tray = tray,
                              .pressStop = step("stop"),
                              .showSideWindow = step("ba4"),
                              .endProcess = step("end")});
    again.exitProgram();
    EXPECT_EQ(log, QStringList{"ba4"});
    // The session ends while the side window waits for its close: the process ends now.
    again.endSession();
    EXPECT_EQ(log, (QStringList{"ba4", "end"}));
}

TEST(Exit, TheWindowsFilmIsStoppedWithItsPosition) {
    Window w({{"S_q/ts", "1"}, {"S_q/quit", "1"}, {"S_q/qvodk", "2"}});
    QString text = "/films/a film.mkv";
    {
        QFile empty(w.dir.path() + "/date_f.dat");
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
        empty.write("\r\n");
    }
    w.application->parts().shellCommands->takeSecondStartCommand(text);
    ASSERT_EQ(w.player.url(), text);
    w.state().CurrentView = View::Player;
    w.session().setPositionReached(42);
    w.processes.running = {"qarvel-player", "qarvel-terminal", "qarvel-player"};
    w.application->exit();
    // Every one of them, the stand-alone player first.
    EXPECT_EQ(w.processes.ended, (QStringList{"qarvel-player", "qarvel-player", "qarvel-terminal"}));
    EXPECT_EQ(w.ended, 1);
    QFile local(w.dir.path() + "/date_f.dat");
    ASSERT_TRUE(local.open(QIODevice::ReadOnly));
    EXPECT_TRUE(local.readAll().contains("|/films/a film.mkv|42")) << "position stored by the stop";
}

TEST(WindowButtons, CompactModeOnlyWithSomethingShownAndOnTheRightTab) {
    Window w;
    auto& buttons = *w.application->parts().buttons;
    buttons.pressWindowButton(WindowButton::CompactMode);
    EXPECT_EQ(w.state().CompactMode, 0);
    EXPECT_FALSE(w.c().windowButtons[WindowButton::Minimise]->isHidden());

    w.state().CurrentView = View::Player;
    buttons.pressWindowButton(WindowButton::CompactMode);
    EXPECT_EQ(w.state().CompactMode, 1);
    EXPECT_EQ(w.state().MainTab, MainTab::Player);
    EXPECT_FALSE(w.c().leaveCompactButton->isHidden());
    for (auto* b : w.c().windowButtons) EXPECT_TRUE(b->isHidden());
    EXPECT_TRUE(w.c().controlBar->isHidden());
    EXPECT_FALSE(w.c().compactTitle->isHidden());
    EXPECT_EQ(w.window->size(), QSize(qarvel::window::pixelsFromTwips(5900), qarvel::window::pixelsFromTwips(4800)));
    w.application->parts().chrome->leaveCompactMode();
    EXPECT_EQ(w.state().CompactMode, 0);
    EXPECT_FALSE(w.c().windowButtons[WindowButton::CompactMode]->isHidden());

    w.state().CurrentView = View::LiveTv;
    buttons.pressWindowButton(WindowButton::CompactMode);
    EXPECT_EQ(w.state().CompactMode, 2);
    EXPECT_EQ(w.state().MainTab, MainTab::LiveTv);
    EXPECT_TRUE(w.c().liveTvCloseButton->isHidden());
    EXPECT_TRUE(w.c().channelSidebar->isHidden());
}

TEST(WindowButtons, AlwaysOnTopAlternatesAndTheTooltipNamesTheNextPress) {
    Window w;
    auto& buttons = *w.application->parts().buttons;
    qarvel::window::PictureBox* b = w.c().windowButtons[WindowButton::AlwaysOnTop];
    EXPECT_EQ(b->tip(), QStringLiteral("置顶"));
    const QPoint place = w.window->pos();
    buttons.pressWindowButton(WindowButton::AlwaysOnTop);
    EXPECT_EQ(b->tip(), QStringLiteral("取消置顶"));
    EXPECT_EQ(w.state().TopMost, -1);
    EXPECT_TRUE(w.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.window->isVisible());
    EXPECT_EQ(w.window->pos(), place);
    buttons.pressWindowButton(WindowButton::AlwaysOnTop);
    EXPECT_EQ(b->tip(), QStringLiteral("置顶"));
    EXPECT_EQ(w.state().TopMost, 0);
    EXPECT_FALSE(w.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(WindowButtons, TheMenuButtonPopsTheMainMenuUnderItself) {
    Window w;
    QWidget* button = w.c().windowButtons[WindowButton::MainMenu];
    const QPoint expected = w.window->mapToGlobal(button->mapTo(w.window, QPoint(0, 0)) + QPoint(-15, 20));
    EXPECT_EQ(w.application->parts().shellCommands->mainMenuPosition(), expected);
    w.application->parts().buttons->pressWindowButton(WindowButton::MainMenu);
    QMenu& menu = w.window->menus().trayMenu;
    EXPECT_TRUE(qarvel::test::waitUntil([&] { return menu.isVisible(); }, 2000));
    menu.close();
}

TEST(HandOff, ASecondStartsFileLeavesCompactModeAndPlaysOnThePlayerTab) {
    Window w;
    w.state().CurrentView = View::Player;
    w.application->parts().buttons->pressWindowButton(WindowButton::CompactMode);
    ASSERT_EQ(w.state().CompactMode, 1);
    w.window->hide();
    w.application->parts().shellCommands->takeSecondStartCommand("\"/my films/b.mkv\"");
    EXPECT_TRUE(w.window->isVisible());
    EXPECT_EQ(w.state().CompactMode, 0);
    EXPECT_EQ(w.state().MainTab, MainTab::Player);
    EXPECT_EQ(w.state().CurrentView, View::Player);
    EXPECT_EQ(w.player.url(), "/my films/b.mkv");
    EXPECT_EQ(w.session().recordKind(), qarvel::playback::RecordKind::LocalFile);
    EXPECT_TRUE(w.c().playerHostCheckTimer->isActive());
}

TEST(HandOff, ASecondStartWithoutAFileOnlyBringsTheWindowBack) {
    Window w;
    w.window->showMinimized();
    w.application->parts().shellCommands->takeSecondStartCommand("");
    EXPECT_TRUE(w.window->isVisible());
    EXPECT_FALSE(w.window->isMinimized());
    EXPECT_EQ(w.player.url(), "");
    EXPECT_EQ(w.state().MainTab, MainTab::Catalogue);
}

TEST(Balloons, WithoutATrayTheDesktopGetsThemAndElseTheWindowShowsThem) {
    Window w;
    ASSERT_FALSE(w.window->tray().available());  // no tray here
    QStringList sent;
    std::function<void()> unanswered;
    w.window->tray().desktopNotice = [&](const QString& title, const QString& text, std::function<void()> none) {
        sent << title + u'|' + text;
        unanswered = std::move(none);
    };
    w.window->tray().ShowTrayBalloon(QStringLiteral("部分文件可能正在使用中，未删除成功！请手动删除！"));
    EXPECT_EQ(sent, QStringList{QStringLiteral("Qarvel影视盒提示:|部分文件可能正在使用中，未删除成功！请手动删除！")});
    EXPECT_TRUE(!w.window->notice() || w.window->notice()->isHidden());

    // Nobody answered: the window shows it, and the status line's next
    // updates leave it standing.
    ASSERT_TRUE(unanswered);
    unanswered();
    ASSERT_NE(w.window->notice(), nullptr);
    EXPECT_TRUE(w.window->notice()->isVisible());
    EXPECT_TRUE(w.window->notice()->text().endsWith(QStringLiteral("请手动删除！")));
    w.c().statusText->setText(QStringLiteral("准备就绪"));
    qarvel::test::runEventsFor(1100);
    EXPECT_TRUE(w.window->notice()->isVisible());
}
