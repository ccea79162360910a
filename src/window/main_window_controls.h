#pragma once
// The builder of the main window's controls: creates the widget tree with its
// design-time captions, tooltips and visibility, and fills the controls' table.
#include "state/main_window_controls.h"
#include "window/picture_box.h"

#include <QWidget>
#include <array>
#include <functional>

namespace qarvel::window {

// Creates browser pane n (1 to 11) inside parent. The program makes real
// browser panes; layout tests make plain widgets.
using PaneFactory = std::function<QWidget*(int number, QWidget* parent)>;

// Design-time texts of the window.
namespace text {
inline const QString kCaption = QStringLiteral("Qarvel影视盒");
inline const QString kCloseSidebar = QStringLiteral("关闭侧栏");
inline const QString kShowSidebar = QStringLiteral("显示侧栏");
inline const QString kMaximise = QStringLiteral("最大化");
inline const QString kRestore = QStringLiteral("还原");
inline const QString kMinimise = QStringLiteral("最小化");
inline const QString kClose = QStringLiteral("关闭");
inline const QString kCompactMode = QStringLiteral("精简模式");
inline const QString kLeaveCompact = QStringLiteral("退出精简");
inline const QString kOnTop = QStringLiteral("置顶");
inline const QString kCancelOnTop = QStringLiteral("取消置顶");
inline const QString kMenu = QStringLiteral("菜单");
inline const QString kManageTasks = QStringLiteral("∴ 管理任务");
inline const QString kClearList = QStringLiteral("∴ 清空列表");
inline const QString kReady = QStringLiteral("准备就绪");
inline const QString kNextEpisodeWait = QStringLiteral("正准备播放下一集，请稍后...");
}  // namespace text

// Puts the player's video widget where the player control stands, under the
// overlay label.
void attachPlayerWidget(MainWindowControls& c, QWidget* video);

// Builds every control inside window (which becomes `mainWindow`), with the
// browser panes made by panes.
MainWindowControls buildMainWindowControls(QWidget* window, const PaneFactory& panes);

}  // namespace qarvel::window
