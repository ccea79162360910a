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
    fillMenu(menus_.myMenu, myMenuTree());
    fillMenu(menus_.r_m, r_mTree());
    fillMenu(menus_.webc, webcTree());
    fillMenu(menus_.c_fie, c_fieTree());

    const BrowsingCommands& b = c_.browsing;
    connectItem(menus_.myMenu, "ht", b.back);
    connectItem(menus_.myMenu, "qj", b.forward);
    connectItem(menus_.myMenu, "sx", b.reload);
    connectItem(menus_.myMenu, "fz", b.copy);
    connectItem(menus_.myMenu, "zt", b.paste);
    connectItem(menus_.myMenu, "zy", b.home);

    connectItem(menus_.r_m, "shezhi", [this] { openSettings(false); });
    connectItem(menus_.r_m, "green", [this] {
        if (c_.applySkin) c_.applySkin(0);
    });
    connectItem(menus_.r_m, "blue", [this] {
        if (c_.applySkin) c_.applySkin(1);
    });
    connectItem(menus_.r_m, "about", [this] { openSettings(true); });
    connectItem(menus_.r_m, "guanf", [this] {
        if (c_.openUrl) c_.openUrl(c_.site);
    });
    connectItem(menus_.r_m, "qsoft", c_.exit);
    updateCheck_ = menuAction(menus_.r_m, QStringLiteral("shengji"));

    connectItem(menus_.webc, "c_f", c_.CCC);
    connectItem(menus_.webc, "c_shan", c_.ddd);
    connectItem(menus_.webc, "c_shan2", c_.eee);
    connectItem(menus_.c_fie, "renwub", c_.qk_xl);
    connectItem(menus_.c_fie, "wenjianb", c_.qk_xw);
}

void ContextMenus::connectItem(QMenu& menu, const char* name, std::function<void()> command) {
    QAction* action = menuAction(menu, QString::fromLatin1(name));
    if (!action || !command) return;
    connect(action, &QAction::triggered, this, [command = std::move(command)] { command(); });
}

void ContextMenus::openSettings(bool aboutPage) {
    const bool wasOnTop = c_.onTopButton && c_.onTopButton->tip() == window::text::kCancelOnTop;
    if (wasOnTop && c_.zhi_d) c_.zhi_d(0);
    if (QWidget* w = c_.window) {
        if (!w->isVisible()) w->show();
        if (w->isMinimized()) w->showNormal();
    }
    if (showSettingsDialog) showSettingsDialog(aboutPage ? 0 : -1);
    if (wasOnTop && c_.zhi_d) c_.zhi_d(1);
}

}  // namespace qarvel::dialogs
