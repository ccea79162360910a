#pragma once
// The one place where the client's parts are created and connected: the
// player, the main window (controls, timers, state) and every subsystem that
// acts on them, and the window's start-up. main() builds one after parsing
// the command line; tests build the real window the same way.
//
//     Application app({.files = ProgramFiles::inFolder(home), .serviceBase = base});
//     if (app.start(component, shell) != StartupResult::WindowShown) return 0;
#include "app/startup_sequence.h"
#include "common/program_files.h"
#include "window/main_window_controls.h"
#include "window/skin.h"

#include <QString>
#include <functional>
#include <memory>

namespace qarvel {

class MainWindow;
class ShellCommands;
class SingleInstance;
namespace dialogs {
class ContextMenus;
class SettingsDialog;
}  // namespace dialogs
namespace engine {
class Player;
}
namespace extras {
class OnlineExtras;
}
namespace platform {
struct DesktopBus;
class MediaControls;
class MprisService;
class PlayerComponent;
class ScreenInhibitor;
class PowerOff;
class ProcessFinder;
class Shell;
class TextFetcher;
class UserDialogs;
}  // namespace platform
namespace player_host {
class PlayerHost;
}
namespace playback {
class FrameCapture;
class KeyCommands;
class PlayerBarMouse;
class PlaybackSpeed;
class PlayerMenu;
class StatusPoll;
class StopCommand;
class TransportCommands;
class ViewSwitcher;
}  // namespace playback
namespace records {
class ListPageWriter;
class RecordCommands;
class RecordStore;
}  // namespace records
namespace web {
class EpisodeSequencer;
class LinkRouter;
class PaneEvents;
class PaneSetNavigator;
}  // namespace web
namespace window {
class KeyPreview;
class MainWindowLayout;
class SkinPainter;
class WindowButtons;
class WindowChrome;
class WindowSettings;
}  // namespace window

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

    const ProgramFiles& files() const { return options_.files; }
    // Null until showMainWindow() made them.
    engine::Player* player() const { return player_; }
    MainWindow* window() const { return window_.get(); }
    window::MainWindowLayout& layout() { return *layout_; }
    window::WindowChrome& chrome() { return *chrome_; }
    window::WindowButtons& buttons() { return *buttons_; }
    window::SkinPainter& skinPainter() { return *painter_; }
    // The pane handlers and the link protocol; null when the panes are not
    // browser panes.
    web::PaneEvents* paneEvents() const { return paneEvents_.get(); }
    web::LinkRouter* linkRouter() const { return router_.get(); }
    records::RecordStore& records() { return *records_; }
    playback::ViewSwitcher& views() { return *views_; }
    playback::StopCommand& stopCommand() { return *stop_; }
    playback::StatusPoll& statusPoll() { return *poll_; }
    // The update check and what the service switches on.
    extras::OnlineExtras& extras() { return *extras_; }
    web::EpisodeSequencer& episodes() { return *sequencer_; }
    // The settings dialog `BA3`; its open() is what the settings menu item does.
    dialogs::SettingsDialog& settingsDialog() { return *settingsDialog_; }
    // The player's controls: the transport buttons' commands (by index or by
    // name, for the keys, the menus, the tray and the media keys), the bars'
    // and the picture's mouse, the keys and the player menu `qvod_m`.
    playback::TransportCommands& transport() { return *transport_; }
    playback::PlayerBarMouse& barMouse() { return *barMouse_; }
    playback::KeyCommands& keys() { return *keys_; }
    playback::PlayerMenu& playerMenu() { return *playerMenu_; }
    playback::PlaybackSpeed& playbackSpeed() { return *speed_; }
    playback::FrameCapture& frameCapture() { return *capture_; }
    // Null without a desktop bus.
    platform::MprisService* mpris() const { return mpris_.get(); }
    platform::ScreenInhibitor* screenInhibitor() const { return inhibitor_.get(); }
    // The helper processes: the check on Timer3, the ends at exit.
    player_host::PlayerHost& playerHost() { return *playerHost_; }
    platform::ProcessFinder& processes() { return options_.processes ? *options_.processes : *ownProcesses_; }
    // Writes the position of the film that plays into its record: at the end
    // of the session (quit, logout, a termination signal) and for tests.
    void storePlayPosition();
    // The shell: close and exit, the menus, the record commands and the
    // single-instance server; null before showMainWindow().
    ShellCommands* shell() const { return shellCommands_.get(); }
    dialogs::ContextMenus* menus() const { return menus_.get(); }
    records::RecordCommands* recordCommands() const { return recordCommands_.get(); }
    SingleInstance* instance() const { return instance_.get(); }
    // The exit procedure (an accepted update leaves through it).
    void exit();
    // The exit at the end of the desktop session (logout, a termination
    // signal): the position is stored, the helpers end as "qvodk" says, the
    // tray icon goes, and no window shows on the way out.
    void endSession();
    // Saves a picture of the whole window as PNG; false before it is shown.
    bool grabScreenshot(const QString& path) const;

private:
    bool startPlayer();
    void createSubsystems();
    void wirePanes();
    void wirePlayback();
    void wirePoll();
    void wireSettingsDialog();
    void wireControls();
    void wirePlayerExtras();  // speed, sound tracks and frame capture
    void wireDesktop();
    void wireShell();
    void wireExtras();
    void wirePlayerHost();
    void startWindow();

    ApplicationOptions options_;
    std::unique_ptr<engine::Player> ownPlayer_;
    engine::Player* player_ = nullptr;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<window::MainWindowLayout> layout_;
    std::unique_ptr<window::WindowChrome> chrome_;
    std::unique_ptr<window::WindowButtons> buttons_;
    std::unique_ptr<window::SkinPainter> painter_;
    std::unique_ptr<web::PaneEvents> paneEvents_;
    std::unique_ptr<platform::UserDialogs> ownDialogs_;
    std::unique_ptr<platform::ProcessFinder> ownProcesses_;
    std::unique_ptr<platform::TextFetcher> fetcher_;
    std::unique_ptr<web::PaneSetNavigator> navigator_;
    std::unique_ptr<records::ListPageWriter> pages_;  // from the start: start-up writes the pages too
    std::unique_ptr<records::RecordStore> records_;
    std::unique_ptr<playback::StopCommand> stop_;
    std::unique_ptr<playback::ViewSwitcher> views_;
    std::unique_ptr<web::LinkRouter> router_;
    std::unique_ptr<platform::PowerOff> ownPower_;
    std::unique_ptr<web::EpisodeSequencer> sequencer_;
    std::unique_ptr<playback::StatusPoll> poll_;
    std::unique_ptr<player_host::PlayerHost> playerHost_;
    std::unique_ptr<window::KeyPreview> keyPreview_;
    std::unique_ptr<dialogs::SettingsDialog> settingsDialog_;
    std::unique_ptr<playback::TransportCommands> transport_;
    std::unique_ptr<playback::PlayerBarMouse> barMouse_;
    std::unique_ptr<playback::KeyCommands> keys_;
    std::unique_ptr<playback::PlayerMenu> playerMenu_;
    std::unique_ptr<playback::PlaybackSpeed> speed_;
    std::unique_ptr<playback::FrameCapture> capture_;
    std::unique_ptr<QObject> pictureMouse_;
    std::unique_ptr<platform::MediaControls> mediaControls_;
    std::unique_ptr<platform::MprisService> mpris_;
    std::unique_ptr<platform::ScreenInhibitor> inhibitor_;
    std::unique_ptr<platform::Shell> ownShell_;  // when start() was given none
    platform::Shell* shell_ = nullptr;           // options.desktop, else the one start() was given
    std::unique_ptr<records::RecordCommands> recordCommands_;
    std::unique_ptr<dialogs::ContextMenus> menus_;
    std::unique_ptr<ShellCommands> shellCommands_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<extras::OnlineExtras> extras_;
    QString errorText_;
};

}  // namespace qarvel
