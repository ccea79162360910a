#pragma once
// The menus the main window pops up (the menu holder `tip`): the tray and main
// menu `r_m`, the catalogue menu `myMenu`, the task menu `webc`, the task-list
// menu `c_fie` and the player menu `qvod_m`. The window owns them; the menus'
// own items are added by the menu code, and an empty menu is never shown.
#include <QMenu>

namespace qarvel {

struct PopupMenus {
    QMenu r_m;
    QMenu myMenu;
    QMenu webc;
    QMenu c_fie;
    QMenu qvod_m;
};

}  // namespace qarvel
