// The four menus of the menu holder as the window has them (names, captions,
// separators, check marks) and what their items do.
#include "dialogs/context_menus.h"
#include "dialogs/settings_dialog.h"
#include "dialogs/menu_tree.h"
#include "records/record_commands.h"
#include "shell_fixture.h"
#include "window/picture_box.h"
#include "window/window_buttons.h"

#include <QAction>
#include <QMenu>

using qarvel::dialogs::menuAction;
using qarvel::dialogs::MenuItem;
using qarvel::dialogs::MenuTree;
using qarvel::dialogs::menuTree;
using shelltest::Window;

using namespace qarvel;

namespace {

MenuItem item(const char* name, const QString& caption, MenuTree items = {}) {
    return {QString::fromLatin1(name), caption, false, std::move(items)};
}
MenuItem line(const char* name) { return {QString::fromLatin1(name), {}}; }

void trigger(QMenu& menu, const char* name) {
    QAction* a = menuAction(menu, QString::fromLatin1(name));
    ASSERT_NE(a, nullptr) << name;
    a->trigger();
}

}  // namespace

TEST(Menus, TheWindowsMenusHoldTheirTrees) {
    Window w;
    auto& m = w.window->menus();
    EXPECT_EQ(menuTree(m.mainPopupMenu),
              (MenuTree{item("ht", "后退"), item("qj", "前进"), item("sx", "刷新"), line("sss"), item("fz", "复制"),
                        item("zt", "粘贴"), item("zy", "主页")}));
    EXPECT_EQ(menuTree(m.trayMenu),
              (MenuTree{item("shezhi", "软件设置"),
                        item("pifu", "更换皮肤", {item("green", "黑色冷酷"), item("blue", "蓝色经典")}),
                        item("about", "关于我们"), line("aa12"), item("guanf", "官方主页"), item("shengji", "升级检测"),
                        item("qsoft", "退出软件")}));
    EXPECT_EQ(menuTree(m.taskMenu), (MenuTree{item("c_f", "播放选定"), item("c_shan", "删除任务"), line("ttbn"),
                                              item("c_shan2", "删除下载")}));
    EXPECT_EQ(menuTree(m.taskListMenu), (MenuTree{item("renwub", "删除任务列表"), item("wenjianb", "管理下载文件")}));
    // None of these items carries a check mark.
    for (QMenu* menu : {&m.mainPopupMenu, &m.trayMenu, &m.taskMenu, &m.taskListMenu})
        for (QAction* a : menu->findChildren<QAction*>()) EXPECT_FALSE(a->isChecked()) << a->objectName().toStdString();
    // The update check finds its item by name.
    EXPECT_EQ(w.application->parts().menus->updateCheckItem(), menuAction(m.trayMenu, "shengji"));
}

TEST(Menus, MainMenuItemsActOnTheWindow) {
    Window w({{"S_q/ts", "1"}, {"S_q/quit", "2"}});
    auto& m = w.window->menus();
    trigger(m.trayMenu, "blue");
    EXPECT_EQ(w.setting("Skin", "Num"), "1");
    trigger(m.trayMenu, "green");
    EXPECT_EQ(w.setting("Skin", "Num"), "0");
    trigger(m.trayMenu, "guanf");
    EXPECT_EQ(w.desktop.opened, QStringList{"http://qarvel.example/"});
    EXPECT_EQ(w.ended, 0);
    trigger(m.trayMenu, "qsoft");
    EXPECT_EQ(w.ended, 1);
    EXPECT_FALSE(w.window->isVisible());
}

TEST(Menus, SettingsComeUpInFrontOfAHiddenOrTopmostWindow) {
    Window w;
    auto* menus = w.application->parts().menus.get();
    QList<int> pages;
    QList<int16_t> topWhenShown;
    menus->showSettingsDialog = [&](int page) {
        pages << page;
        topWhenShown << w.state().TopMost;
    };
    w.window->hide();
    trigger(w.window->menus().trayMenu, "shezhi");
    EXPECT_TRUE(w.window->isVisible());
    w.application->parts().buttons->pressWindowButton(WindowButton::AlwaysOnTop);  // on top
    trigger(w.window->menus().trayMenu, "about");
    EXPECT_EQ(pages, (QList<int>{-1, 0}));
    // Out of the top band while the dialog opens, back in afterwards.
    EXPECT_EQ(topWhenShown.last(), 0);
    EXPECT_EQ(w.state().TopMost, -1);
}

TEST(Menus, TaskMenuItemsRunTheRecordCommands) {
    Window w;
    QFile net(w.dir.path() + "/date.dat");
    ASSERT_TRUE(net.open(QIODevice::WriteOnly));
    net.write("1|t|n|http%3A//127.0.0.1/a.mp4|0|1|0\r\n2|t|n|http%3A//127.0.0.1/b.mp4|0|2|0\r\n");
    net.close();
    auto& m = w.window->menus();
    w.state().ContextLink = "open://1";
    trigger(m.taskMenu, "c_shan");
    ASSERT_TRUE(net.open(QIODevice::ReadOnly));
    EXPECT_EQ(net.readAll(), QByteArray("2|t|n|http%3A//127.0.0.1/b.mp4|0|2|0\r\n"));
    net.close();
    w.c().sideListCommand->setText(QStringLiteral("∴ 管理任务"));
    trigger(m.taskListMenu, "renwub");
    EXPECT_EQ(w.dialogs.asked, QStringList{QStringLiteral("提示：|确定要删除全部[网络任务]列表吗？")});
    ASSERT_TRUE(net.open(QIODevice::ReadOnly));
    EXPECT_EQ(net.readAll(), QByteArray("\r\n"));
    net.close();
    trigger(m.taskListMenu, "wenjianb");
    ASSERT_EQ(w.dialogs.informed.size(), 1);
    EXPECT_TRUE(w.dialogs.informed[0].endsWith(QStringLiteral("还没有任何影片。")));
}

TEST(Menus, SettingsOpenTheDialogAndTheExitClosesIt) {
    Window w;
    trigger(w.window->menus().trayMenu, "about");
    auto& dialog = *w.application->parts().settingsDialog;
    ASSERT_TRUE(dialog.isOpen());
    w.application->exit();
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(w.ended, 1);
}
