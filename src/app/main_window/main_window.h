#pragma once
// The main window `BA1`: owns every control, the six timers, the menus, the
// tray icon and the shared state, and runs the window's start-up. The
// behaviour lives in the classes it wires together (layout, chrome, window
// buttons, skin painter, pane events); handlers of later subsystems reach the
// controls and the state through the accessors.
//
//     qarvel::MainWindow window({ProgramFiles::inFolder(home), serviceBase, player});
//     window.show();
//
// The constructor runs the start-up in order: work area and maximise limit,
// window style, settings ("Skin"/"Num", "user"/"Name", "S_q" "h_w" "h_h"
// "s_size"), size, tabs, skin, the first page of every pane, tray icon,
// state, the player's advertisement page, key preview, and the command line.
#include "common/program_files.h"
#include "state/main_window_state.h"
#include "app/main_window/popup_menus.h"
#include "app/main_window/tray_icon.h"
#include "window/main_window_controls.h"
#include "window/main_window_layout.h"
#include "window/skin.h"
#include "window/skin_painter.h"
#include "window/window_buttons.h"
#include "window/window_chrome.h"
#include "window/window_settings.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace qarvel {

namespace engine {
class Player;
}
namespace web {
class PaneEvents;
class WebPane;
}  // namespace web

struct MainWindowDeps {
    ProgramFiles files;   // the program's files
    QString serviceBase;  // service base address, ends in "/box/"
    engine::Player& player;
    // The process's command line; when not empty it is handed to lComm at the
    // end of the start-up.
    QString commandLine = {};
    // Plays a command line in the running window (the hand-off's `l_com`).
    std::function<void(const QString&)> lComm = {};
    // Makes the browser panes; default: real panes on the program's shared
    // profile. Tests pass plain widgets.
    window::PaneFactory paneFactory = {};
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
    window::MainWindowControls& controls() { return c_; }
    window::MainWindowLayout& layout() { return *layout_; }
    window::WindowChrome& chrome() { return *chrome_; }
    window::WindowButtons& buttons() { return *buttons_; }
    window::SkinPainter& skinPainter() { return *painter_; }
    const window::Skin& skin() const { return skin_; }
    window::WindowSettings& settings() { return *settings_; }
    PopupMenus& menus() { return menus_; }
    TrayIcon& tray() { return tray_; }
    engine::Player& player() { return player_; }
    // Pane n (1 to 11) when it is a real browser pane, else nullptr.
    web::WebPane* pane(int n) const;
    // The pane handlers; nullptr when the panes are not browser panes.
    web::PaneEvents* paneEvents() { return paneEvents_; }

    // Commands of the window, by the names the other parts use.
    void npc_Click(int index) { buttons_->npc_Click(index); }
    void jbi_Click() { chrome_->jbi_Click(); }
    void p_p(int skin) { painter_->p_p(skin); }

    // Key presses anywhere in the window arrive here before the control with
    // the focus sees them (key preview); return true to consume one.
    std::function<bool(QKeyEvent*)> keyPreview;

    // Saves a picture of the whole window (frame, panes, bars) as PNG.
    bool grabScreenshot(const QString& path);

    // The window's timers, named as the handlers that own them expect.
    QTimer Timer1;  // status poll, 1000 ms, on
    QTimer Timer2;  // end of play, 2000 ms, off
    QTimer Timer3;  // player host check, 10 ms, on, once
    QTimer Timer4;  // next-episode retry, 50000 ms, off
    QTimer Timer5;  // update check, 6000 ms, on, once
    QTimer Timerg;  // scrolling notice, 50 ms, off

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpTimers();
    void startUp();
    void wirePanes();

    MainWindowState state_;
    engine::Player& player_;
    ProgramFiles files_;
    QString serviceBase_;
    QString commandLine_;
    std::function<void(const QString&)> lComm_;
    std::unique_ptr<window::WindowSettings> ownSettings_;
    window::WindowSettings* settings_;
    window::Skin skin_;
    PopupMenus menus_;
    TrayIcon tray_;
    window::MainWindowControls c_;
    std::unique_ptr<window::MainWindowLayout> layout_;
    std::unique_ptr<window::WindowChrome> chrome_;
    std::unique_ptr<window::WindowButtons> buttons_;
    std::unique_ptr<window::SkinPainter> painter_;
    web::PaneEvents* paneEvents_ = nullptr;
};

}  // namespace qarvel
