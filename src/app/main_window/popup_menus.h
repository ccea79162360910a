#pragma once
// The menus the main window pops up (the menu holder `tip`): the tray and main
// menu `trayMenu`, the catalogue menu `mainPopupMenu`, the task menu `taskMenu`, the task-list
// menu `taskListMenu` and the player menu `playerPopupMenu`. The window owns them; the menus'
// own items are added by the menu code, and an empty menu is never shown.
#include <QMenu>

namespace qarvel {

struct PopupMenus {
    QMenu trayMenu;
    QMenu mainPopupMenu;
    QMenu taskMenu;
    QMenu taskListMenu;
    QMenu playerPopupMenu;
};

}  // namespace qarvel
