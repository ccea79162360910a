#include "dialogs/context_menus.h"

#include "window/main_window_controls.h"
#include "window/picture_box.h"

#include <QAction>
#include <QMenu>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace qarvel::dialogs {

BrowsingCommands browsingCommandsFor(QWidget* pane, std::function<void(const QString&)> navigate, QString homeAddress) {
    BrowsingCommands b;
    auto* view = qobject_cast<QWebEngineView*>(pane);
    if (view) {
        // Going back on the first page, or pasting without a document, is
        // simply nothing: the engine ignores what it cannot do.
        b.back = [view] { view->back(); };
        b.forward = [view] { view->forward(); };
        b.reload = [view] { view->reload(); };
        b.copy = [view] { view->triggerPageAction(QWebEnginePage::Copy); };
        b.paste = [view] { view->triggerPageAction(QWebEnginePage::Paste); };
    }
    if (navigate) b.home = [navigate, homeAddress] { navigate(homeAddress); };
    return b;
}

ContextMenus::ContextMenus(MenuHolder menus, MenuCommands commands, QObject* parent)
    : QObject(parent), menus_(menus), c_(std::move(commands)) {
    fillMenu(menus_.mainPopupMenu, myMenuTree());
    fillMenu(menus_.trayMenu, trayMenuTree());
    fillMenu(menus_.taskMenu, webcTree());
    fillMenu(menus_.taskListMenu, taskListMenuTree());

    const BrowsingCommands& b = c_.browsing;
    connectItem(menus_.mainPopupMenu, "ht", b.back);
    connectItem(menus_.mainPopupMenu, "qj", b.forward);
    connectItem(menus_.mainPopupMenu, "sx", b.reload);
    connectItem(menus_.mainPopupMenu, "fz", b.copy);
    connectItem(menus_.mainPopupMenu, "zt", b.paste);
    connectItem(menus_.mainPopupMenu, "zy", b.home);

    connectItem(menus_.trayMenu, "shezhi", [this] { openSettings(false); });
    connectItem(menus_.trayMenu, "green", [this] {
        if (c_.applySkin) c_.applySkin(0);
    });
    connectItem(menus_.trayMenu, "blue", [this] {
        if (c_.applySkin) c_.applySkin(1);
    });
    connectItem(menus_.trayMenu, "about", [this] { openSettings(true); });
    connectItem(menus_.trayMenu, "guanf", [this] {
        if (c_.openUrl) c_.openUrl(c_.site);
    });
    connectItem(menus_.trayMenu, "qsoft", c_.exit);
    updateCheck_ = menuAction(menus_.trayMenu, QStringLiteral("shengji"));

    connectItem(menus_.taskMenu, "c_f", c_.playChosenTask);
    connectItem(menus_.taskMenu, "c_shan", c_.deleteChosenTask);
    connectItem(menus_.taskMenu, "c_shan2", c_.deleteChosenTaskAndFiles);
    connectItem(menus_.taskListMenu, "renwub", c_.clearNetworkList);
    connectItem(menus_.taskListMenu, "wenjianb", c_.openDownloadFolder);
}

void ContextMenus::connectItem(QMenu& menu, const char* name, std::function<void()> command) {
    QAction* action = menuAction(menu, QString::fromLatin1(name));
    if (!action || !command) return;
    connect(action, &QAction::triggered, this, [command = std::move(command)] { command(); });
}

void ContextMenus::openSettings(bool aboutPage) {
    const bool wasOnTop = c_.onTopButton && c_.onTopButton->tip() == window::text::kCancelOnTop;
    if (wasOnTop && c_.setAlwaysOnTop) c_.setAlwaysOnTop(0);
    if (QWidget* w = c_.window) {
        if (!w->isVisible()) w->show();
        if (w->isMinimized()) w->showNormal();
    }
    if (showSettingsDialog) showSettingsDialog(aboutPage ? 0 : -1);
    if (wasOnTop && c_.setAlwaysOnTop) c_.setAlwaysOnTop(1);
}

}  // namespace qarvel::dialogs
