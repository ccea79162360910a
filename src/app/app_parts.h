#pragma once
// What the application owns once its window is up, and the services it uses.
// C++ destroys members from the last to the first, so the order below is the
// teardown order read from the bottom up: each part is declared after every
// part it uses, which outlives it. The panes report their last loads while
// the controls are torn down, so the subsystems go before the window, and
// the window goes before the player it shows. A new part goes below every
// part it uses.
#include <QObject>
#include <memory>

namespace qarvel {

class MainWindow;
class ShellCommands;
class SingleInstance;
class WriteFailureNotice;
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
class MediaControls;
class MprisService;
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
class ListPaneReloads;
class PaneEvents;
class PaneSetNavigator;
}  // namespace web
namespace window {
class KeyPreview;
class MainWindowLayout;
class SkinPainter;
class WindowButtons;
class WindowChrome;
}  // namespace window

struct AppParts {
    AppParts();
    ~AppParts();
    AppParts(const AppParts&) = delete;
    AppParts& operator=(const AppParts&) = delete;

    // The services in use: the options' when given, else the own ones.
    std::unique_ptr<engine::Player> ownPlayer;
    engine::Player* player = nullptr;
    std::unique_ptr<platform::UserDialogs> ownDialogs;
    platform::UserDialogs* dialogs = nullptr;
    std::unique_ptr<platform::ProcessFinder> ownProcesses;
    platform::ProcessFinder* processes = nullptr;
    std::unique_ptr<platform::PowerOff> ownPower;
    platform::PowerOff* power = nullptr;
    std::unique_ptr<platform::Shell> ownShell;
    platform::Shell* shell = nullptr;

    // From the start: start-up reports its failed writes and writes the pages.
    std::unique_ptr<WriteFailureNotice> writeFailures;
    std::unique_ptr<records::ListPageWriter> pages;
    std::unique_ptr<platform::TextFetcher> fetcher;
    std::unique_ptr<web::PaneSetNavigator> navigator;
    std::unique_ptr<web::ListPaneReloads> listReloads;
    std::unique_ptr<records::RecordStore> records;

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<window::MainWindowLayout> layout;
    std::unique_ptr<window::WindowChrome> chrome;
    std::unique_ptr<window::WindowButtons> buttons;
    std::unique_ptr<window::SkinPainter> painter;
    std::unique_ptr<web::PaneEvents> paneEvents;  // null when the panes are not browser panes
    std::unique_ptr<playback::StopCommand> stop;
    std::unique_ptr<playback::ViewSwitcher> views;
    std::unique_ptr<web::LinkRouter> router;
    std::unique_ptr<web::EpisodeSequencer> sequencer;
    std::unique_ptr<playback::StatusPoll> poll;
    std::unique_ptr<player_host::PlayerHost> playerHost;
    std::unique_ptr<dialogs::SettingsDialog> settingsDialog;
    std::unique_ptr<playback::TransportCommands> transport;
    std::unique_ptr<playback::PlayerBarMouse> barMouse;
    std::unique_ptr<QObject> pictureMouse;
    std::unique_ptr<playback::KeyCommands> keys;
    std::unique_ptr<playback::PlaybackSpeed> speed;
    std::unique_ptr<playback::PlayerMenu> playerMenu;
    std::unique_ptr<playback::FrameCapture> capture;
    std::unique_ptr<platform::MediaControls> mediaControls;  // these three: null without a desktop bus
    std::unique_ptr<platform::ScreenInhibitor> inhibitor;
    std::unique_ptr<platform::MprisService> mpris;
    std::unique_ptr<records::RecordCommands> recordCommands;
    std::unique_ptr<dialogs::ContextMenus> menus;
    std::unique_ptr<ShellCommands> shellCommands;
    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<extras::OnlineExtras> extras;
    std::unique_ptr<window::KeyPreview> keyPreview;
};

}  // namespace qarvel
