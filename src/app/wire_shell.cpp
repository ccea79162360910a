// The shell around the window: close and exit, the context menus, the record
// lists' commands and the single-instance server a second start hands its
// film to.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "app/shell_commands.h"
#include "app/single_instance.h"
#include "app/system_services.h"
#include "app/player_host/player_host.h"
#include "app/wiring.h"
#include "common/build_config.h"
#include "dialogs/context_menus.h"
#include "dialogs/settings_dialog.h"
#include "engine/cache/player_config.h"
#include "extras/online_extras.h"
#include "extras/popup_window.h"
#include "platform/user_dialogs.h"
#include "playback/transport_commands.h"
#include "playback/view_switcher.h"
#include "records/record_commands.h"
#include "web/link_router.h"
#include "web/pane_navigator.h"
#include "window/skin_painter.h"
#include "window/window_buttons.h"
#include "window/window_chrome.h"

#include <QCoreApplication>
#include <QCursor>
#include <QUrl>

namespace qarvel {

void wireShell(Application& app) {
    AppParts& p = app.parts();
    MainWindow& w = *p.window;
    window::MainWindowControls& c = w.controls();
    MainWindowState& state = w.state();
    PopupMenus& menus = w.menus();
    platform::UserDialogs& dialogs = *p.dialogs;
    if (!p.shell) {
        p.ownShell = std::make_unique<platform::DesktopShell>();
        p.shell = p.ownShell.get();
    }
    platform::Shell* desktop = p.shell;
    window::WindowButtons* buttons = p.buttons.get();
    window::WindowChrome* chrome = p.chrome.get();
    web::LinkRouter* router = p.router.get();
    TrayIcon* tray = &w.tray();
    const ProgramFiles files = app.options().files;
    auto openFolder = [desktop](const QString& folder) { desktop->openUrl(QUrl::fromLocalFile(folder).toString()); };

    p.recordCommands = std::make_unique<records::RecordCommands>(
        state, records::RecordCommandServices{
                   .records = *p.records,
                   .dialogs = dialogs,
                   .downloadFolder =
                       [files] {
                           QString folder = engine::readCachePath(files, files.cacheFolder);
                           if (!folder.endsWith(u'/')) folder += u'/';
                           return folder;
                       },
                   .folderFiles =
                       [](const QString& folder) {
                           QStringList names;
                           ListFolderFiles(folder, QStringLiteral("*.*"), names);
                           return names;
                       },
                   .navigateWeb3 = [router](const QString& link) { router->onTaskListNavigate(link); },
                   .showBalloon = [tray](const QString& text) { tray->ShowTrayBalloon(text); },
                   .openFolder = openFolder,
                   .popupTaskListMenu = [&menus] { menus.taskListMenu.popup(QCursor::pos()); },
                   .keptOnTop =
                       [&c] { return c.windowButtons[WindowButton::AlwaysOnTop]->tip() == window::text::kCancelOnTop; },
                   .releaseOnTop = [buttons] { buttons->pressWindowButton(WindowButton::AlwaysOnTop); },
                   .resetQkColour = [chrome] { chrome->resetHoverColours(); }});
    records::RecordCommands* records = p.recordCommands.get();
    QObject::connect(c.sideListCommand, &window::Label::clicked, records, &records::RecordCommands::runSideListCommand);

    const std::function<void()> endProcess =
        app.options().endProcess ? app.options().endProcess : std::function<void()>([] { QCoreApplication::quit(); });
    p.shellCommands = std::make_unique<ShellCommands>(
        state, &w, c.playerHostCheckTimer, &menus.trayMenu, c.windowButtons[WindowButton::MainMenu],
        ShellServices{.settings = w.settings(),
                      .dialogs = dialogs,
                      .endHelper = [host = p.playerHost.get()](const QString& name) { host->EndEveryProcess(name); },
                      .tray = w.tray(),
                      .pressStop = [transport = p.transport.get()] { transport->pressTransportButton(1); },
                      .cancelRequests = [router] { router->cancelPlayRequest(); },
                      .closeMenus =
                          [&menus] {
                              for (QMenu* m : {&menus.mainPopupMenu, &menus.trayMenu, &menus.taskMenu,
                                               &menus.taskListMenu, &menus.playerPopupMenu})
                                  m->close();
                          },
                      .closeNotice =
                          [&p] {
                              // The pop-up notice ends with the program: its timers would show it again.
                              if (!p.extras || !p.extras->popup()) return;
                              p.extras->popup()->firstPageTimer()->stop();
                              p.extras->popup()->nextPageTimer()->stop();
                              p.extras->popup()->close();
                          },
                      .closeSettings =
                          [dialog = p.settingsDialog.get()] {
                              if (dialog->window()) dialog->window()->close();
                          },
                      .showSideWindow =
                          [&p, end = endProcess] {
                              // The process ends when the side window closes, or at once without one.
                              if (!p.extras || !p.extras->showSideWindowAtExit(end)) end();
                          },
                      .endProcess = endProcess,
                      .leaveCompactMode = [chrome] { chrome->leaveCompactMode(); },
                      .pressWindowButton = [buttons](int index) { buttons->pressWindowButton(index); },
                      .switchView = [views = p.views.get()](View view) { views->showView(view); },
                      .runCommandText = [router](QString& text) { router->runCommandText(text); },
                      .popup = {}});
    ShellCommands* shell = p.shellCommands.get();
    p.buttons->actions.close = [shell] { shell->closeButton(); };
    // The window manager's close takes the close button's path (question,
    // tray or exit); once the exit runs, the window may go.
    w.closeRequested = [shell] {
        if (!shell->exiting()) shell->closeButton();
        return shell->exiting();
    };
    p.buttons->actions.mainMenu = [shell] { shell->popupMainMenu(); };

    dialogs::MenuCommands mc;
    web::PaneNavigator* navigator = p.navigator.get();
    mc.browsing = dialogs::browsingCommandsFor(
        c.webPanes[Pane::Catalogue],
        [navigator](const QString& address) { navigator->navigate(Pane::Catalogue, address); },
        app.options().serviceBase);
    mc.applySkin = [painter = p.painter.get()](int index) { painter->applySkin(index); };
    mc.exit = [shell] { shell->exitProgram(); };
    mc.openUrl = [desktop](const QString& address) { desktop->openUrl(address); };
    mc.site = QString::fromUtf8(config::kDownloadSite);
    mc.playChosenTask = [records] { records->playChosenTask(); };
    mc.deleteChosenTask = [records] { records->deleteChosenTask(); };
    mc.deleteChosenTaskAndFiles = [records] { records->deleteChosenTaskAndFiles(); };
    mc.clearNetworkList = [records] { records->clearNetworkList(); };
    mc.openDownloadFolder = [records] { records->openDownloadFolder(); };
    mc.window = &w;
    mc.onTopButton = c.windowButtons[WindowButton::AlwaysOnTop];
    mc.setAlwaysOnTop = [buttons](int on) { buttons->setAlwaysOnTop(on); };
    p.menus = std::make_unique<dialogs::ContextMenus>(
        dialogs::MenuHolder{menus.trayMenu, menus.mainPopupMenu, menus.taskMenu, menus.taskListMenu}, std::move(mc));
    p.menus->showSettingsDialog = [dialog = p.settingsDialog.get()](int page) {
        dialog->open();
        if (dialogs::SettingsWindow* window = dialog->window()) {
            if (page >= 0) window->showSettingsTab(page);
            window->activateWindow();
        }
    };
    if (!p.chrome->setCompactMenuCaption) {
        p.chrome->setCompactMenuCaption = [&menus](const QString& caption) {
            if (QAction* item = dialogs::menuAction(menus.playerPopupMenu, QStringLiteral("q_jing")))
                item->setText(caption);
        };
    }

    // A second start on the same program folder hands its file over here.
    p.instance = std::make_unique<SingleInstance>();
    p.instance->listen(SingleInstance::serverName(app.options().files.folder));
    QObject::connect(p.instance.get(), &SingleInstance::commandReceived, shell,
                     [shell](const QString& text) { shell->takeSecondStartCommand(text); });
}

}  // namespace qarvel
