#pragma once
// What runs before the main window exists: the player component check, the
// catalogue sent on its way, the leftovers of interrupted writes, the settings
// file's first run and repair, the record files and list pages, and then
// loading and showing the main window.
#include "common/program_files.h"
#include "state/write_failure_notice.h"

#include <QString>
#include <functional>

namespace qarvel {
namespace platform {
class PlayerComponent;
class UserDialogs;
class Shell;
}  // namespace platform

struct StartupEnvironment {
    ProgramFiles files;
    platform::PlayerComponent* component = nullptr;
    platform::UserDialogs* dialogs = nullptr;
    platform::Shell* shell = nullptr;
    std::function<QString()> macAddress;  // empty text when none
    std::function<QString()> randomUserId;
    // Brings the list page of the record file of this name in line with it
    // (the page file only); called for both at every start.
    std::function<void(const QString& recordFileName)> renderRecordList;
    // Sends the catalogue, what the viewer waits for, on its way: its page
    // loads while the files are checked and the window is built.
    std::function<void()> sendCatalogueAhead = {};
    // Loads and shows the main window; false when one of its embedded
    // controls (the player) failed to load.
    std::function<bool()> showMainWindow;
    // Why the player failed to load, in the player library's words.
    std::function<QString()> playerFailure = {};
    // A settings or record file that could not be written (what: the file
    // and key); the window tells the user once it shows.
    std::function<void(WriteKind kind, const QString& what)> writeFailed = {};
};

enum class StartupResult {
    WindowShown,
    NoPlayerComponent,  // the user was offered the download page; no window
    DamagedComponent,   // the window could not load its player; no window
};

// The process's exit status when start-up ends without a window: not 0,
// since the program did not run.
int startupExitStatus(StartupResult result);

// What the user is told when the player library could not start.
QString playerFailureText(const QString& reason);

class StartupSequence {
public:
    explicit StartupSequence(StartupEnvironment env) : env_(std::move(env)) {}
    StartupResult run();

    // The steps, public so that tests can run them one by one.
    bool checkPlayerComponent();     // false: end without a window
    void removeInterruptedWrites();  // temporary files of writes a kill cut short
    void writeFirstRunSettings();
    void repairSettings();
    void createRecordFiles();
    void createListPages();
    void installListIcon();  // the delete icon the list pages show, when missing

    QString settingsPath() const;

private:
    QString newUserId() const;  // the adapter's address, else a random one
    void write(const QString& path, const char* section, const QString& key, const QString& value);
    void failed(WriteKind kind, const QString& what);

    StartupEnvironment env_;
};

}  // namespace qarvel
