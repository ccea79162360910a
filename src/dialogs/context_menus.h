#pragma once
// The commands of the menus outside playback: the catalogue pane's browsing
// commands, settings and about, the two skins, the site, the update check and
// exit, and where the record items go. The menus are the window's; this fills
// them (menu_tree.h) and connects their items.
#include "dialogs/menu_tree.h"

#include <QObject>
#include <QString>
#include <functional>

class QMenu;
class QWidget;

namespace qarvel {
struct MainWindowState;
namespace window {
class PictureBox;
}
}  // namespace qarvel

namespace qarvel::dialogs {

// The catalogue pane's browsing commands; a missing one does nothing.
struct BrowsingCommands {
    std::function<void()> back, forward, reload, copy, paste, home;
};
// The commands of a browser pane: home navigates to homeAddress through
// navigate (the pane's own way of going somewhere).
BrowsingCommands browsingCommandsFor(QWidget* pane, std::function<void(const QString&)> navigate, QString homeAddress);

struct MenuHolder {
    QMenu& trayMenu;
    QMenu& mainPopupMenu;
    QMenu& taskMenu;
    QMenu& taskListMenu;
};

struct MenuCommands {
    BrowsingCommands browsing;
    std::function<void(int index)> applySkin;  // p_p
    std::function<void()> exit;                // ttt_v
    std::function<void(const QString& address)> openUrl;
    QString site;  // the program's download site
    // The record items: CCC, ddd, eee, qk_xl, qk_xw.
    std::function<void()> playChosenTask, deleteChosenTask, deleteChosenTaskAndFiles, clearNetworkList,
        openDownloadFolder;
    // For opening the settings dialog.
    QWidget* window = nullptr;                  // the main window
    window::PictureBox* onTopButton = nullptr;  // npc(4)
    std::function<void(int on)> setAlwaysOnTop;
};

class ContextMenus : public QObject {
    Q_OBJECT
public:
    // Fills the four menus and connects their items.
    ContextMenus(MenuHolder menus, MenuCommands commands, QObject* parent = nullptr);

    // `shezhi` and `about`: the main window comes out of the tray and from a
    // minimised state, the dialog opens in front of it (page 0, the
    // information page, for about), and an always-on-top window stays so.
    void openSettings(bool aboutPage);

    // Shows the settings dialog `BA3` modeless, owned by the main window, on
    // page (0 the information page; -1 as it is), and gives it the focus.
    // Set by whoever builds the dialog; until then the items do nothing more
    // than bring the main window forward.
    std::function<void(int page)> showSettingsDialog;

    // The update check's item (`shengji`): its command is the update check's.
    QAction* updateCheckItem() const { return updateCheck_; }

private:
    void connectItem(QMenu& menu, const char* name, std::function<void()> command);

    MenuHolder menus_;
    MenuCommands c_;
    QAction* updateCheck_ = nullptr;
};

}  // namespace qarvel::dialogs
