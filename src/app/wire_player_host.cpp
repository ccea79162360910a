// The player's helper processes: the check on Timer3 that finds the download
// service of the player folder in use, and the settings dialog, which ends
// and starts that service when its cache folder moves.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "app/player_host/player_host.h"
#include "app/wiring.h"
#include "common/build_config.h"
#include "dialogs/settings_dialog.h"
#include "engine/player.h"
#include "engine/cache/player_config.h"
#include "platform/process_finder.h"
#include "platform/user_dialogs.h"
#include "window/skin_painter.h"

#include <QTimer>

namespace qarvel {

void wirePlayerHost(Application& app) {
    AppParts& p = app.parts();
    MainWindow& w = *p.window;
    QTimer* timer3 = w.controls().playerHostCheckTimer;
    window::WindowSettings* settings = &w.settings();
    p.playerHost = std::make_unique<player_host::PlayerHost>(
        w.state(), player_host::PlayerHostServices{
                       .processes = *p.processes,
                       .playerHostCheckTimer = *timer3,
                       .readSetting = settingReader(w),
                       .writeSetting = [settings](const QString& section, const QString& key,
                                                  const QString& value) { settings->store(section, key, value); },
                       .defaultFolder = app.options().files.playerFolder});
    player_host::PlayerHost* host = p.playerHost.get();
    QObject::connect(timer3, &QTimer::timeout, timer3, [host] { host->PlayerHostCheck(); });
}

void wireSettingsDialog(Application& app) {
    AppParts& p = app.parts();
    MainWindow& w = *p.window;
    const ProgramFiles files = app.options().files;
    engine::Player* player = p.player;
    platform::Shell* shell = p.shell;
    dialogs::SettingsDialogServices services{
        .settings = w.settings(),
        .skin = w.skin(),
        .dialogs = *p.dialogs,
        // The engine keeps its configuration in the program's player folder,
        // whatever folder the settings remember.
        .readCachePath = [files](const QString&) { return engine::readCachePath(files, QString()); },
        .writeCachePath =
            [files](const QString&, const QString& path) {
                return player_host::WritePlayerCachePath(files.playerFolder, path);
            },
        // The download service reads its cache folder when it starts: it is
        // ended (with the stand-alone players) before the change and started
        // again after it, so the next film arrives in the new folder.
        .stopService =
            [host = p.playerHost.get()](const QString&) {
                host->EndEveryProcess(platform::kPlayerProgram);
                host->EndEveryProcess(platform::kTerminalProgram);
            },
        .startService =
            [player, processes = p.processes, folder = files.playerFolder](const QString&) {
                platform::startHelperProcess(*processes, platform::kTerminalProgram, folder,
                                             platform::HelperStart::Always);
                player->configurationChanged();
            },
        .openUrl =
            [shell](const QString& address) {
                if (shell) shell->openUrl(address);
                else platform::DesktopShell().openUrl(address);
            },
        .defaultCacheFolder = files.cacheFolder,
        .siteAddress = QString::fromUtf8(config::kDownloadSite)};
    p.settingsDialog = std::make_unique<dialogs::SettingsDialog>(&w, std::move(services));
    p.painter->repaintSettingsDialog = [dialog = p.settingsDialog.get()] { dialog->repaintFrame(); };
}

}  // namespace qarvel
