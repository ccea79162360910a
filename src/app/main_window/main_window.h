#pragma once
// The main window `mainWindow`: owns every control (timers included), the menus, the
// tray icon, the skin pictures, the shared state and the play session. It holds no behaviour:
// the subsystems that act on it are created and connected by the application
// (app/application.h), which also runs the window's start-up.
//
//     qarvel::MainWindow window({.files = ProgramFiles::inFolder(home)});
#include "app/main_window/popup_menus.h"
#include "app/main_window/tray_icon.h"
#include "common/program_files.h"
#include "playback/play_session.h"
#include "state/main_window_state.h"
#include "window/main_window_controls.h"
#include "window/skin.h"
#include "window/window_settings.h"

#include <QWidget>

class QLabel;
class QTimer;
#include <functional>
#include <memory>

namespace qarvel {

namespace web {
class WebPane;
}

struct MainWindowDeps {
    ProgramFiles files;  // the program's files
    // Makes the browser panes; default: real panes on the program's shared
    // profile. Tests pass plain widgets.
    window::PaneFactory paneFactory = {};
    // With the default panes: a catalogue pane made and sent to its page
    // before the window, which takes it over.
    web::WebPane* catalogueAhead = nullptr;
    // Skin strips by resource number; default: the compiled-in pictures.
    window::Skin::PictureLoader skinPictures = {};
    // The settings file; default: the program's settings file.
    window::WindowSettings* settings = nullptr;
};

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowDeps deps);
    ~MainWindow() override;

    MainWindowState& state() { return state_; }
    // What plays.
    playback::PlaySession& session() { return session_; }
    window::MainWindowControls& controls() { return c_; }
    window::Skin& skin() { return skin_; }
    window::WindowSettings& settings() { return *settings_; }
    PopupMenus& menus() { return menus_; }
    TrayIcon& tray() { return tray_; }
    // Pane n (1 to 11) when it is a real browser pane, else nullptr.
    web::WebPane* pane(int n) const;

    // Saves a picture of the whole window (frame, panes, bars and the film)
    // as it stands on the screen, as PNG.
    bool grabScreenshot(const QString& path);

    // A balloon shown in the window, for desktops with neither a tray nor a
    // notification service: a notice of its own over the player bar (a
    // small window above the main window, so the film never covers it), which
    // the status line's updates leave alone, gone after a few seconds.
    void showNotice(const QString& text);
    QLabel* notice() const { return notice_; }

    // The window manager's close (its close button, Alt+F4, the taskbar):
    // the window closes only when this answers true; unset, it closes.
    // Closes from inside the program (the exit, the application's quit) are
    // not asked.
    std::function<bool()> closeRequested;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    MainWindowState state_;
    playback::PlaySession session_;
    std::unique_ptr<window::WindowSettings> ownSettings_;
    window::WindowSettings* settings_;
    window::Skin skin_;
    PopupMenus menus_;
    TrayIcon tray_;
    window::MainWindowControls c_;
    QLabel* notice_ = nullptr;
    QTimer* noticeTime_ = nullptr;
    // Keeps the notice at the window's bottom right, on the screen.
    void placeNotice();
};

}  // namespace qarvel
