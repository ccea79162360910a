#pragma once
// The one place where the client's parts are created and connected: the
// player, the main window and the subsystems it is made of. main() builds one
// after parsing the command line; tests build the real window the same way.
//
//     Application app({.files = ProgramFiles::inFolder(home), .serviceBase = base});
//     if (!app.showMainWindow()) fail(app.errorText());
#include "common/program_files.h"

#include <QString>
#include <memory>

namespace qarvel {

class MainWindow;
namespace engine {
class Player;
}

struct ApplicationOptions {
    ProgramFiles files;
    QString serviceBase;  // ends in "/box/"
    // A media address or list file from the command line, played once the
    // window has started; empty for none.
    QString playTarget = {};
    // The player to use; null: the program's own libmpv player on files.
    engine::Player* player = nullptr;
};

class Application {
public:
    explicit Application(ApplicationOptions options);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Starts the player, then creates, wires and shows the main window. False,
    // with errorText(), when the player cannot start: the window cannot stand
    // without its player control.
    bool showMainWindow();
    QString errorText() const { return errorText_; }

    const ProgramFiles& files() const { return options_.files; }
    // Null until showMainWindow() made them.
    engine::Player* player() const { return player_; }
    MainWindow* window() const { return window_.get(); }
    // Saves a picture of the whole window as PNG; false before it is shown.
    bool grabScreenshot(const QString& path) const;

private:
    ApplicationOptions options_;
    std::unique_ptr<engine::Player> ownPlayer_;
    engine::Player* player_ = nullptr;
    std::unique_ptr<MainWindow> window_;
    QString errorText_;
};

}  // namespace qarvel
