#pragma once
// The menus of the menu holder `tip` as data: each item's name (its
// objectName), caption, check mark and submenu, separators by name too. The
// menus are built from these trees and can be read back into one, so that a
// menu as shown can be compared with what it should hold.
#include <QString>
#include <vector>

class QAction;
class QMenu;

namespace qarvel::dialogs {

struct MenuItem {
    QString name;
    QString caption;  // empty: a separator line
    bool checked = false;
    std::vector<MenuItem> items = {};  // a submenu's items; its header has no command

    bool separator() const { return caption.isEmpty(); }
    bool operator==(const MenuItem&) const = default;
};
using MenuTree = std::vector<MenuItem>;

// The browsing menu of the catalogue pane.
MenuTree myMenuTree();
// The main menu: the title bar's menu button and the tray icon.
MenuTree trayMenuTree();
// The task menu of a network task in the task list.
MenuTree webcTree();
// The task-list management menu.
MenuTree taskListMenuTree();

// Adds the items of tree to menu, each action named after its item; a
// submenu header's action and its menu carry the header's name.
void fillMenu(QMenu& menu, const MenuTree& tree);
// The tree menu holds now.
MenuTree menuTree(const QMenu& menu);
// The item of menu (or of its submenus) with that name; null when none.
QAction* menuAction(const QMenu& menu, const QString& name);

}  // namespace qarvel::dialogs
