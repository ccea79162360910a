#pragma once
// The one place where the client's parts are created and connected: the
// player, the main window (controls, timers, state) and every subsystem that
// acts on them, and the window's start-up. main() builds one after parsing
// the command line; tests build the real window the same way.
//
//     Application app({.files = ProgramFiles::inFolder(home), .serviceBase = base});
//     if (app.start(component, shell) != StartupResult::WindowShown) return 0;
#include "app/app_parts.h"
#include "app/startup_sequence.h"
#include "common/program_files.h"
#include "window/main_window_controls.h"
#include "window/skin.h"

#include <QString>
#include <functional>
#include <memory>

namespace qarvel {

namespace platform {
struct DesktopBus;
class PlayerComponent;
}  // namespace platform
namespace window {
class WindowSettings;
}
namespace web {
class WebPane;
}

struct ApplicationOptions {
    ProgramFiles files;
    QString serviceBase;  // ends in "/box/"
    // A media address or file from the command line, played once the window
    // has started; empty for none.
    QString playTarget = {};
    // The player to use; null: the program's own libmpv player on files.
    engine::Player* player = nullptr;
    // Stands in for the start of the libmpv player (when player is null):
    // null with why set says the player library could not start. Default:
    // the player itself.
    std::function<std::unique_ptr<engine::Player>(QString& why)> makePlayer = {};
    // Message boxes; default: the desktop's.
    platform::UserDialogs* dialogs = nullptr;
    // The player's helper processes; default: this platform's.
    platform::ProcessFinder* processes = nullptr;
    // Makes the browser panes; default: real panes on the program's profile.
    window::PaneFactory paneFactory = {};
    // Skin strips by resource number; default: the compiled-in pictures.
    window::Skin::PictureLoader skinPictures = {};
    // The settings file; default: the program's settings file.
    window::WindowSettings* settings = nullptr;
    // Switches the computer off after the last film; default: this platform's.
    platform::PowerOff* power = nullptr;
    // The buses for the desktop's media controls and for keeping the screen
    // on while a film plays; null: neither (tests that do not ask for them).
    const platform::DesktopBus* desktopBus = nullptr;
    // Opens web pages and folders; default: the shell start() is given, else
    // the desktop's.
    platform::Shell* desktop = nullptr;
    // Ends the process once the exit has closed the last window; default:
    // the event loop quits.
    std::function<void()> endProcess = {};
};

class Application {
public:
    explicit Application(ApplicationOptions options);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The program's start: the player component check, the settings, record
    // files and list pages, then the window (showMainWindow). What main() runs.
    StartupResult start(platform::PlayerComponent& component, platform::Shell& shell);

    // Starts the player, then creates and wires the main window and runs its
    // start-up; shows it when show is true. False, with errorText(), when the
    // player cannot start: the window cannot stand without its player control.
    bool showMainWindow(bool show = true);
    QString errorText() const { return errorText_; }

    const ApplicationOptions& options() const { return options_; }
    const ProgramFiles& files() const { return options_.files; }
    // Null until showMainWindow() made them.
    engine::Player* player() const { return parts_.player; }
    MainWindow* window() const { return parts_.window.get(); }
    // Every part, for the wiring functions and for tests; each is null until
    // showMainWindow() made it (the desktop's media controls and the pane
    // handlers stay null without a desktop bus or browser panes).
    AppParts& parts() { return parts_; }
    const AppParts& parts() const { return parts_; }

    // Writes the position of the film that plays into its record: at the end
    // of the session (quit, logout, a termination signal) and for tests.
    void storePlayPosition();
    // The exit procedure (an accepted update leaves through it).
    void exit();
    // The exit at the end of the desktop session (logout, a termination
    // signal): the position is stored, the helpers end as "qvodk" says, the
    // tray icon goes, and no window shows on the way out.
    void endSession();
    // Saves a picture of the whole window as PNG; false before it is shown.
    bool grabScreenshot(const QString& path) const;

private:
    void sendCatalogueAhead();
    bool startPlayer();
    void startWindow();

    ApplicationOptions options_;
    AppParts parts_;
    QString errorText_;
    std::unique_ptr<web::WebPane> catalogueAhead_;  // until the window takes it
};

}  // namespace qarvel
