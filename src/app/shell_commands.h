#pragma once
// The application's shell around the main window: the close button's
// decision (hide to the tray or exit, asked once), the exit procedure
// `exitProgram`, the main menu's pop-up and a second start's hand-off
// (Form_LinkExecute). Everything it touches outside the window comes in as
// services, so tests drive it with fakes.
#include "platform/process_finder.h"
#include "state/main_window_state.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

class QMenu;
class QTimer;
class QWidget;

namespace qarvel {

class TrayIcon;
namespace platform {
class ProcessFinder;
class UserDialogs;
}  // namespace platform
namespace window {
class WindowSettings;
}

// "关闭 " + the program's name + "  最小化到托盘吗？"
QString closeQuestion();

struct ShellServices {
    window::WindowSettings& settings;
    platform::UserDialogs& dialogs;
    // Ends the helper program name (the player folder's own), not waited for.
    std::function<void(const QString& name)> endHelper;
    TrayIcon& tray;
    // Transport button 1: stops the film that is shown (its position is stored).
    std::function<void()> pressStop = {};
    // Drops a service request still on its way.
    std::function<void()> cancelRequests = {};
    // Closes the other windows, in the order of the exit: the menus, the
    // pop-up notice, the settings dialog.
    std::function<void()> closeMenus = {}, closeNotice = {}, closeSettings = {};
    // Shows the side web window at exit; null when there is none. The
    // process then ends when the user closes it.
    std::function<void()> showSideWindow = {};
    // Ends the process once the last window is closed.
    std::function<void()> endProcess = {};
    // The hand-off's steps in the window: leave compact mode (jbi_Click),
    // press a window button (npc_Click), switch the player area's view, play a
    // command text (l_com).
    std::function<void()> leaveCompactMode = {};
    std::function<void(int index)> pressWindowButton = {};
    std::function<void(View view)> switchView = {};
    std::function<void(QString& text)> runCommandText = {};
    // Pops up a menu at a screen position; default: QMenu::popup.
    std::function<void(QMenu* menu, const QPoint& globalPos)> popup = {};
};

// The helper processes "qvodk" = 2 ends at exit, in this order.
inline const QString kPlayerProcess = platform::kPlayerProgram;
inline const QString kTerminalProcess = platform::kTerminalProgram;

class ShellCommands : public QObject {
    Q_OBJECT
public:
    // window: the main window; Timer3: the player host check, run again after
    // a hand-off; r_m: the main menu; menuButton: npc(5).
    ShellCommands(MainWindowState& state, QWidget* window, QTimer* playerHostCheckTimer, QMenu* trayMenu,
                  QWidget* menuButton, ShellServices services, QObject* parent = nullptr);

    // The close button: hide to the tray or exit, by "ts" and "quit"; asks
    // the first time.
    void closeButton();
    // Hides the window to the tray; where the desktop has no tray, minimises
    // it, so that it can always be found again.
    void hideToTray();
    // The exit procedure; a second call while it runs does nothing.
    void exitProgram();
    // The same exit at the end of the desktop session (logout, a termination
    // signal): no window is shown on the way out, the side window included.
    void endSession();
    bool exiting() const { return exiting_; }

    // A second start's command text (empty when it had no file).
    void takeSecondStartCommand(const QString& text);
    // Plays a file or address in the player view, as a hand-off does, but
    // leaves the window where it is (a film dropped on it).
    void playTarget(const QString& text);

    // The main menu at the menu button: its left edge − 15, top edge + 20.
    void popupMainMenu();
    QPoint mainMenuPosition() const;

private:
    MainWindowState& state_;
    QWidget* window_;
    QTimer* playerHostCheckTimer_;
    QMenu* r_m_;
    QWidget* menuButton_;
    ShellServices s_;
    bool exiting_ = false;
    bool sessionEnding_ = false;
};

}  // namespace qarvel
