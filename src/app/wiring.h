#pragma once
// The wiring functions: each makes one subsystem's parts (into the
// application's AppParts) and connects them to the window, the player and the
// parts made before it. Application::showMainWindow() calls them in the order
// below, which is the order of their dependencies.
#include "web/web_pane.h"

#include <QString>
#include <functional>

namespace qarvel {

class Application;
class MainWindow;

void wireWindow(Application& app);          // layout, chrome, title buttons, skin painter
void wirePanes(Application& app);           // the pane handlers
void wirePlayback(Application& app);        // stop, views and the link protocol
void wirePoll(Application& app);            // the next episode and the status poll
void wirePlayerHost(Application& app);      // the helper processes' check
void wireSettingsDialog(Application& app);  // the settings dialog
void wireControls(Application& app);        // the player's buttons, bars, keys and menu
void wirePlayerExtras(Application& app);    // speed and frame capture
void wireDesktop(Application& app);         // the desktop's media controls and screen saver
void wireShell(Application& app);           // close and exit, the menus, the records, a second start
void wireExtras(Application& app);          // the update check and what the service switches on
void wireWriteFailures(Application& app);   // a failed write's one balloon

// Shared by the wiring functions.
using SettingReader = std::function<QString(const QString& section, const QString& key, const QString& defaultText)>;
SettingReader settingReader(MainWindow& window);
std::function<void(const QString&)> balloonShower(MainWindow& window);
web::PaneSet panesOf(const MainWindow& window);

}  // namespace qarvel
